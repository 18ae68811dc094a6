// A secret text, such as a password, that leaves no copy of itself behind.
// It cannot be copied by accident (copies are made with Copy()), and its
// bytes are overwritten when it is destroyed, cleared, moved from, or
// grown into a new buffer. Secret holds bytes (UTF-8 or code-page bytes),
// WideSecret UTF-16 for the wide Win32 calls.
#pragma once

#include <algorithm>
#include <cstddef>
#include <string>
#include <string_view>

namespace platform {

template <typename Char>
class BasicSecret {
public:
    using View = std::basic_string_view<Char>;

    BasicSecret() = default;
    explicit BasicSecret(View text) { Assign(text); }
    ~BasicSecret() { Clear(); }

    BasicSecret(BasicSecret&& other) noexcept { Swap(other); }
    BasicSecret& operator=(BasicSecret&& other) noexcept {
        if (this != &other) {
            Clear();
            Swap(other);
        }
        return *this;
    }
    BasicSecret(const BasicSecret&) = delete;
    BasicSecret& operator=(const BasicSecret&) = delete;

    BasicSecret Copy() const { return BasicSecret(view()); }

    View view() const { return {text_.data(), text_.size()}; }
    const Char* c_str() const { return text_.c_str(); }
    // For a call that takes a std::string by reference and keeps no copy.
    const std::basic_string<Char>& str() const { return text_; }
    Char* data() { return text_.data(); }
    std::size_t size() const { return text_.size(); }
    bool empty() const { return text_.empty(); }
    Char operator[](std::size_t i) const { return text_[i]; }

    // Overwrites every byte the buffer holds, then empties it.
    void Clear() noexcept {
        volatile Char* p = text_.data();
        for (std::size_t i = 0; i < text_.capacity(); ++i) p[i] = Char();
        text_.clear();
    }
    void Assign(View text) {
        Clear();
        Append(text);
    }
    // Grows into a new buffer first when this one is too small, wiping the
    // old one, so that growing never frees a copy unwiped.
    void Append(View text) {
        Reserve(text_.size() + text.size());
        text_.append(text.data(), text.size());
    }
    void Append(Char c) { Append(View(&c, 1)); }
    // Changes the length; new places hold NULs (for a call to write into).
    void Resize(std::size_t size) {
        Reserve(size);
        text_.resize(size);
    }
    void Reserve(std::size_t size) {
        if (size <= text_.capacity()) return;
        std::basic_string<Char> bigger;
        bigger.reserve(std::max(size, 2 * text_.capacity()));
        bigger.assign(text_.data(), text_.size());
        Clear();
        text_.swap(bigger);
    }
    // Drops the characters from `from` on, wiping them.
    void Truncate(std::size_t from) {
        if (from >= text_.size()) return;
        volatile Char* p = text_.data();
        for (std::size_t i = from; i < text_.size(); ++i) p[i] = Char();
        text_.resize(from);
    }

    friend bool operator==(const BasicSecret& a, const BasicSecret& b) {
        return a.view() == b.view();
    }
    friend bool operator!=(const BasicSecret& a, const BasicSecret& b) { return !(a == b); }
    friend bool operator==(const BasicSecret& a, View b) { return a.view() == b; }
    friend bool operator!=(const BasicSecret& a, View b) { return a.view() != b; }

private:
    // Swapping short strings copies their bytes both ways, so the
    // moved-from side is wiped afterwards in full, not just emptied.
    void Swap(BasicSecret& other) noexcept {
        text_.swap(other.text_);
        other.Clear();
    }

    std::basic_string<Char> text_;
};

using Secret = BasicSecret<char>;
using WideSecret = BasicSecret<wchar_t>;

}  // namespace platform
