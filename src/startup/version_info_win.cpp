#include "startup/version_info_win.h"

namespace orvela {

void ApplyVersionTexts(const VersionTexts& texts, EntryRecord& record) {
  record.Product = texts.product;
  record.Company = texts.company;
  record.LegalNotice = texts.legal_notice;
  record.Description = texts.description;
}

bool ReadVersionInfo(const std::string& path, EntryRecord& record) {
  const std::optional<VersionTexts> texts = ReadVersionTexts(path);
  if (texts) ApplyVersionTexts(*texts, record);
  return texts.has_value();
}

}  // namespace orvela
