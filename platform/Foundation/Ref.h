#pragma once
// Ownership in the type: Ref<T> owns one reference to an intrusively counted
// object (nullable, like an Objective-C object pointer); Weak<T> reads as null
// once the object is gone.
#include <atomic>
#include <cstddef>
#include <functional>
#include <type_traits>
#include <utility>

template <class T> class Ref {
public:
    Ref() = default;
    Ref(std::nullptr_t) { }
    Ref(T* p)
        : m_ptr(p)
    {
        if (m_ptr) m_ptr->retain();
    }
    Ref(const Ref& o)
        : m_ptr(o.m_ptr)
    {
        if (m_ptr) m_ptr->retain();
    }
    Ref(Ref&& o) noexcept
        : m_ptr(std::exchange(o.m_ptr, nullptr))
    { }
    template <class U, class = std::enable_if_t<std::is_convertible_v<U*, T*>>>
    Ref(const Ref<U>& o)
        : m_ptr(o.get())
    {
        if (m_ptr) m_ptr->retain();
    }
    template <class U, class = std::enable_if_t<std::is_convertible_v<U*, T*>>>
    Ref(Ref<U>&& o) noexcept
        : m_ptr(o.leak())
    { }
    ~Ref()
    {
        if (m_ptr) m_ptr->release();
    }

    Ref& operator=(Ref o) noexcept
    {
        std::swap(m_ptr, o.m_ptr);
        return *this;
    }

    // Takes over a reference the caller already owns (a fresh allocation).
    static Ref adopt(T* p)
    {
        Ref r;
        r.m_ptr = p;
        return r;
    }
    T* leak() { return std::exchange(m_ptr, nullptr); }

    T* get() const { return m_ptr; }
    T* operator->() const { return m_ptr; }
    T& operator*() const { return *m_ptr; }
    explicit operator bool() const { return m_ptr != nullptr; }

    template <class U> friend bool operator==(const Ref& a, const Ref<U>& b) { return a.get() == b.get(); }
    friend bool operator==(const Ref& a, const T* b) { return a.get() == b; }
    friend bool operator==(const Ref& a, std::nullptr_t) { return a.get() == nullptr; }

private:
    T* m_ptr = nullptr;
};

// Cast helpers in the spirit of isKindOfClass: a failed dynamic cast is nil.
template <class T, class U> Ref<T> dynamic_ref_cast(const Ref<U>& r) { return Ref<T>(dynamic_cast<T*>(r.get())); }
template <class T, class U> Ref<T> static_ref_cast(const Ref<U>& r) { return Ref<T>(static_cast<T*>(r.get())); }

class NSObject;
class WeakControl;

// Shared between an object and its weak references; the object clears it when
// it dies.
class WeakControl {
public:
    explicit WeakControl(NSObject* object)
        : m_object(object)
    { }
    void retain() { m_count.fetch_add(1, std::memory_order_relaxed); }
    void release()
    {
        if (m_count.fetch_sub(1, std::memory_order_acq_rel) == 1) delete this;
    }
    // A strong reference to the object, or null once it has started dying.
    NSObject* lockObject();
    void clear();

private:
    std::atomic<int> m_count{1};
    std::atomic_flag m_lock = ATOMIC_FLAG_INIT;
    NSObject* m_object;
    friend class NSObject;
};

WeakControl* weakControlOf(const NSObject* object);

template <class T> class Weak {
public:
    Weak() = default;
    Weak(std::nullptr_t) { }
    Weak(T* p) { assign(p); }
    Weak(const Ref<T>& r) { assign(r.get()); }
    template <class U, class = std::enable_if_t<std::is_convertible_v<U*, T*>>> Weak(const Ref<U>& r)
    {
        assign(r.get());
    }
    Weak(const Weak& o)
        : m_control(o.m_control)
        , m_raw(o.m_raw)
    {
        if (m_control) m_control->retain();
    }
    Weak& operator=(Weak o) noexcept
    {
        std::swap(m_control, o.m_control);
        std::swap(m_raw, o.m_raw);
        return *this;
    }
    ~Weak()
    {
        if (m_control) m_control->release();
    }

    // A strong reference while the object lives, else null.
    Ref<T> get() const
    {
        if (!m_control) return nullptr;
        NSObject* o = m_control->lockObject();
        if (!o) return nullptr;
        return Ref<T>::adopt(m_raw);
    }
    Ref<T> operator->() const = delete;
    explicit operator bool() const { return static_cast<bool>(get()); }
    // Identity comparison without touching the object (it may be gone).
    bool refersTo(const T* p) const { return p && m_raw == p && static_cast<bool>(get()); }

private:
    void assign(T* p)
    {
        if (!p) return;
        m_raw = p;
        m_control = weakControlOf(p);
    }
    WeakControl* m_control = nullptr;
    T* m_raw = nullptr;
};

template <class T> struct std::hash<Ref<T>> {
    size_t operator()(const Ref<T>& r) const noexcept { return std::hash<T*>()(r.get()); }
};
