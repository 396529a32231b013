// The system's error codes as the file and registry wrappers give them back, and their
// reasons in Japanese for the messages that name what failed.
#pragma once
#include <cstdint>
#include <optional>
#include <string>

namespace orvela {

// A Win32 error code (the registry functions' result, GetLastError); 0 is success.
using SystemError = std::uint32_t;

inline constexpr SystemError kErrorNone = 0;
inline constexpr SystemError kErrorFileNotFound = 2;
inline constexpr SystemError kErrorPathNotFound = 3;
inline constexpr SystemError kErrorAccessDenied = 5;
inline constexpr SystemError kErrorWriteProtect = 19;
inline constexpr SystemError kErrorNotReady = 21;
inline constexpr SystemError kErrorSharingViolation = 32;
inline constexpr SystemError kErrorLockViolation = 33;
inline constexpr SystemError kErrorHandleDiskFull = 39;
inline constexpr SystemError kErrorFileExists = 80;
inline constexpr SystemError kErrorDiskFull = 112;
inline constexpr SystemError kErrorInvalidName = 123;
inline constexpr SystemError kErrorAlreadyExists = 183;
inline constexpr SystemError kErrorFilenameTooLong = 206;
inline constexpr SystemError kErrorKeyDeleted = 1018;

// Why something failed, in Japanese, as one sentence. The codes users meet (no rights, not
// found, in use, too long, disk full...) have words of our own, the same on every system
// and short; others take the system's own Japanese message; where the system has none
// (its messages are English) the code is given as a number.
std::string SystemErrorText(SystemError code);

// The system's message for the code in Japanese, without its line end; nullopt when the
// system has none in Japanese.
std::optional<std::string> SystemJapaneseMessage(SystemError code);

}  // namespace orvela
