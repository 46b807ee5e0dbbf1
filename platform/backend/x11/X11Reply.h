#pragma once
// xcb answers with replies it allocated; X11Reply owns one and frees it.
#include <cstdlib>
#include <memory>

template <typename T> using X11Reply = std::unique_ptr<T, decltype(&std::free)>;

template <typename T> X11Reply<T> reply(T* r) { return X11Reply<T>(r, &std::free); }
