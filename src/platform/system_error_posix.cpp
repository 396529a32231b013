// The native build has no system messages: every code not in the table reads as a number.
#include "platform/system_error.h"

namespace orvela {

std::optional<std::string> SystemJapaneseMessage(SystemError) { return std::nullopt; }

}  // namespace orvela
