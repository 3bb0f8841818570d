#pragma once
#include <algorithm>
#include <cstddef>
#include <cstring>
#include <ostream>
#include <string>
#include <string_view>

// A short display text held in place, so that forming a parameter's text
// never touches the heap: control changes can arrive on the audio thread.
// Texts longer than the capacity are cut.
class DisplayText {
public:
    static constexpr size_t kCapacity = 127;

    DisplayText() = default;
    DisplayText(std::string_view text) { Append(text); }
    DisplayText(const char* text) { Append(text); }

    DisplayText& Append(std::string_view text)
    {
        const size_t count = std::min(text.size(), kCapacity - length_);
        if (count == 0) // an empty view may carry a null pointer
            return *this;
        std::memcpy(text_ + length_, text.data(), count);
        length_ += count;
        text_[length_] = '\0';
        return *this;
    }
    DisplayText& operator+=(std::string_view text) { return Append(text); }

    const char* c_str() const { return text_; }
    size_t size() const { return length_; }
    bool empty() const { return length_ == 0; }
    std::string_view view() const { return {text_, length_}; }
    std::string str() const { return std::string(view()); }
    operator std::string_view() const { return view(); }

    friend bool operator==(const DisplayText& a, std::string_view b) { return a.view() == b; }
    friend bool operator==(const DisplayText& a, const char* b) { return a.view() == std::string_view(b); }
    friend bool operator==(const DisplayText& a, const std::string& b) { return a.view() == b; }
    friend std::ostream& operator<<(std::ostream& out, const DisplayText& text) { return out << text.view(); }

private:
    char text_[kCapacity + 1] = {};
    size_t length_ = 0;
};
