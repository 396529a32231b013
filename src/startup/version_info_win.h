// Product, company, copyright and description from a program's version resource.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>

#include "common/entry.h"

namespace orvela {

// Fills Product, Company, LegalNotice and Description from the first translation of the
// file's version information. False, with the four fields left as they were, when the file
// has none (or cannot be read).
bool ReadVersionInfo(const std::string& path, EntryRecord& record);

// One value of the block's string table for a translation (language in the low 16 bits,
// code page in the high 16 bits); empty when the value is not there.
std::string QueryVersionString(const void* block, uint32_t translation, std::string_view name);

}  // namespace orvela
