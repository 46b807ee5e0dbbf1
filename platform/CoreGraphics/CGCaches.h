#pragma once
// Library caches (Cairo's static data, fontconfig, FreeType and HarfBuzz
// objects the layer keeps) are released at process exit, so LeakSanitizer
// reports only real leaks.
#include <functional>

// Releases every cache now. Nothing drawn with the layer may be alive
// afterwards except plain images.
void GraphicsReleaseCaches();
// Registers GraphicsReleaseCaches with atexit, once; the layer calls it on
// first use.
void GraphicsRegisterCacheRelease();
// A release step of a part of the layer (fonts), run before the libraries'
// own caches are reset; later steps run first.
void GraphicsAddCacheRelease(std::function<void()> release);
