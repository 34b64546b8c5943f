#pragma once
// Case changes for ASCII letters only: A..Z and a..z change, every other byte (digits,
// blanks, NUL, bytes above 127) stays as it is, whatever the locale.

#include <string>

constexpr char LowerAscii(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

constexpr char UpperAscii(char c) {
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

inline std::string LowerAscii(std::string text) {
    for (char& c : text) c = LowerAscii(c);
    return text;
}
