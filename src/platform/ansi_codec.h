// The system's ANSI code page (932 on the target) <-> UTF-8. Stored files keep their
// byte formats in that code page; the program works on the decoded text, so a trail
// byte 0x5C of a double-byte character can never be taken for a backslash.
#pragma once
#include <optional>
#include <string>
#include <string_view>

namespace orvela {

// nullopt when the bytes are not valid text of the code page.
std::optional<std::string> AnsiToUtf8(std::string_view ansi);

// nullopt when a character has no form in the code page that decodes back to itself.
std::optional<std::string> Utf8ToAnsi(std::string_view utf8);

// The whole text of a stored file: ANSI bytes when every character fits, otherwise
// UTF-8 behind a byte-order mark, so that nothing turns into "?".
std::string EncodeFileText(std::string_view utf8);

// Reads what EncodeFileText writes: UTF-8 after a byte-order mark, ANSI otherwise.
// nullopt when the bytes are valid in neither.
std::optional<std::string> DecodeFileText(std::string_view bytes);

inline constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";

}  // namespace orvela
