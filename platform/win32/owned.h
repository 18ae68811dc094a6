// Owns one system resource (a handle, a COM string or pointer, a VARIANT)
// and gives it back through `Close` when it goes. Move-only.
#pragma once

#include <type_traits>
#include <utility>

namespace platform::win32 {

template <typename T, auto Close>
class Owned {
public:
    Owned() = default;
    explicit Owned(T value) : value_(value) {}
    Owned(Owned&& other) noexcept : value_(other.release()) {}
    Owned& operator=(Owned&& other) noexcept {
        reset(other.release());
        return *this;
    }
    ~Owned() { reset(); }

    const T& get() const { return value_; }
    // For a call that fills in a new value; the old one is closed first.
    T* out() {
        reset();
        return &value_;
    }
    T release() { return std::exchange(value_, T{}); }  // the caller keeps it
    void reset(T value = T{}) {
        if constexpr (std::is_pointer_v<T>) {
            if (value_) Close(value_);
        } else {
            Close(&value_);  // a structure such as VARIANT, cleared in place
        }
        value_ = value;
    }

private:
    T value_{};
};

template <typename Interface>
void ReleaseCom(Interface* object) {
    object->Release();
}

}  // namespace platform::win32
