#include <doctest.h>

#include <algorithm>

#include "platform/system_error.h"

using namespace orvela;

TEST_CASE("a system code becomes a reason in Japanese, never in English") {
  // The codes users meet, one the system words itself (where it can), one no system knows.
  for (const SystemError code : {kErrorAccessDenied, kErrorFileNotFound, kErrorSharingViolation, kErrorDiskFull,
                                 kErrorFilenameTooLong, SystemError{1234}, SystemError{0x20001234}}) {
    CAPTURE(code);
    const std::string text = SystemErrorText(code);
    CHECK_FALSE(text.empty());
    CHECK(std::none_of(text.begin(), text.end(), [](char c) { return (c | 0x20) >= 'a' && (c | 0x20) <= 'z'; }));
  }
  CHECK(SystemErrorText(0x20001234).find(std::to_string(0x20001234)) != std::string::npos);
}
