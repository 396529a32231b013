// Product, company, copyright and description of a startup row from its program's version
// resource.
#pragma once
#include <string>

#include "disabled_box/entry.h"
#include "system/version_texts_win.h"

namespace orvela {

// Copies the texts into the record's Product, Company, LegalNotice and Description.
void ApplyVersionTexts(const VersionTexts& texts, EntryRecord& record);

// Fills the four fields from the first translation of the file's version information.
// False, with the fields left as they were, when the file has none (or cannot be read).
bool ReadVersionInfo(const std::string& path, EntryRecord& record);

}  // namespace orvela
