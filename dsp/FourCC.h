#pragma once
#include <cstdint>
#include <string>

// Four-character codes are 32-bit numbers whose most significant byte is the
// first character ('APRT' reads A, P, R, T from the top byte down).
constexpr uint32_t FourCC(const char (&code)[5])
{
    return (uint32_t(uint8_t(code[0])) << 24) | (uint32_t(uint8_t(code[1])) << 16) |
           (uint32_t(uint8_t(code[2])) << 8) | uint32_t(uint8_t(code[3]));
}

// The four characters of a code, most significant first.
inline std::string FourCCText(uint32_t code)
{
    return {char(code >> 24), char(code >> 16), char(code >> 8), char(code)};
}
