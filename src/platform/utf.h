// UTF-8 <-> UTF-16 conversion. Text inside the program is UTF-8 in std::string;
// Win32 wants UTF-16, and the registry stores strings as UTF-16LE bytes.
#pragma once
#include <string>
#include <string_view>

namespace orvela {

// Ill-formed input (a lone surrogate, a broken UTF-8 sequence) becomes U+FFFD:
// both directions always produce well-formed output.
std::u16string Utf8ToUtf16(std::string_view utf8);
std::string Utf16ToUtf8(std::u16string_view utf16);

// Appends one code point (a valid one: below 0x110000, no surrogate) as UTF-8.
void AppendUtf8(std::string& out, char32_t code_point);

// True when the text is well-formed UTF-8.
bool IsValidUtf8(std::string_view text);

}  // namespace orvela
