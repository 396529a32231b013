#include <doctest.h>

#include "platform/system_error.h"

using namespace orvela;

TEST_CASE("a system code becomes a reason in Japanese, never in English") {
  // Codes of the program's table, one the system words itself where it can, one nobody knows.
  for (const SystemError code : {kErrorAccessDenied, kErrorFilenameTooLong, SystemError{1234}, SystemError{0x20001234}}) {
    const std::string text = SystemErrorText(code);
    CHECK((!text.empty() && text.find_first_of("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz") == std::string::npos));
  }
  CHECK(SystemErrorText(0x20001234).find(std::to_string(0x20001234)) != std::string::npos);
}
