// Product, company, copyright and description from a program's version resource.
#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "system/version_texts.h"

namespace orvela {

// The four texts of the first translation of the file's version information; nullopt when
// the file has none (or cannot be read).
std::optional<VersionTexts> ReadVersionTexts(const std::string& path);

// One value of the block's string table for a translation (language in the low 16 bits,
// code page in the high 16 bits); empty when the value is not there.
std::string QueryVersionString(const void* block, uint32_t translation, std::string_view name);

}  // namespace orvela
