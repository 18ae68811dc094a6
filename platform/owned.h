// Owns one resource (a handle, a COM string or pointer, a VARIANT, an open
// registry key) and gives it back through `Close` when it goes. Move-only.
// - `Invalid` is the value that holds nothing, never closed: null unless
//   given (INVALID_SOCKET, 0 for a number). A structure such as VARIANT has
//   none: its close is always called, with its address, and knows an empty one.
// - `State`, when given, is what the close needs besides the value (the
//   table of a DLL's functions, the registry): kept beside the value, and
//   the close called as Close(state, value).
// A close that raises through reset() reaches the caller, and the value,
// still held, is closed again when the owner goes; one that raises as the
// owner goes is given up, since a failure is on its way already.
#pragma once

#include <type_traits>
#include <utility>

namespace platform {

struct NoState {};

template <typename T, auto Close, auto Invalid = nullptr, typename State = NoState>
class Owned {
public:
    Owned() = default;
    explicit Owned(T value, State state = {}) : value_(value), state_(std::move(state)) {}
    Owned(Owned&& other) noexcept : value_(other.release()), state_(other.state_) {}
    Owned& operator=(Owned&& other) noexcept {
        reset(other.release());
        state_ = other.state_;
        return *this;
    }
    ~Owned() {
        try {
            reset();
        } catch (...) {
        }
    }

    const T& get() const { return value_; }
    // For a call that fills in a new value; the old one is closed first.
    T* out() {
        reset();
        return &value_;
    }
    T release() { return std::exchange(value_, Empty()); }  // the caller keeps it
    void reset(T value = Empty()) {
        if constexpr (std::is_class_v<T>) {
            Close(&value_);
        } else if (value_ != T(Invalid)) {
            if constexpr (std::is_same_v<State, NoState>)
                Close(value_);
            else
                Close(state_, value_);
        }
        value_ = value;
    }

private:
    static T Empty() {
        if constexpr (std::is_class_v<T>)
            return T{};
        else
            return T(Invalid);
    }

    T value_ = Empty();
    State state_{};
};

}  // namespace platform
