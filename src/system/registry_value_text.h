// A registry value as one line of text, as the startup list shows a Run value's command.
#pragma once
#include <string>

#include "platform/registry_backend.h"

namespace orvela {

// The command a Run value shows: strings as stored (expandable ones unexpanded), multi-strings
// joined by spaces, numbers in decimal, anything else as hexadecimal bytes.
std::string RunValueText(const RegistryValue& value);

}  // namespace orvela
