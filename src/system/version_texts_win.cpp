#include "system/version_texts_win.h"

#include <windows.h>

#include <cwchar>
#include <vector>

#include "platform/wide_win.h"

namespace orvela {

std::string QueryVersionString(const void* block, uint32_t translation, std::string_view name) {
  wchar_t prefix[40];
  std::swprintf(prefix, 40, L"\\StringFileInfo\\%04X%04X\\", translation & 0xFFFFu,
                translation >> 16);
  const std::wstring query = prefix + Wide(name);
  void* value = nullptr;
  UINT length = 0;  // in characters, possibly counting the terminating zero
  if (!VerQueryValueW(block, query.c_str(), &value, &length) || value == nullptr) return {};
  std::wstring_view text(static_cast<const wchar_t*>(value), length);
  const size_t end = text.find(L'\0');
  if (end != std::wstring_view::npos) text = text.substr(0, end);
  return Narrow(text);
}

std::optional<VersionTexts> ReadVersionTexts(const std::string& path) {
  const std::wstring wide_path = Wide(path);
  DWORD ignored = 0;
  const DWORD size = GetFileVersionInfoSizeW(wide_path.c_str(), &ignored);
  if (size == 0) return std::nullopt;
  std::vector<unsigned char> block(size);
  if (!GetFileVersionInfoW(wide_path.c_str(), 0, size, block.data())) return std::nullopt;
  void* table = nullptr;
  UINT table_size = 0;
  if (!VerQueryValueW(block.data(), L"\\VarFileInfo\\Translation", &table, &table_size) ||
      table == nullptr || table_size < sizeof(DWORD))
    return std::nullopt;
  const auto* pair = static_cast<const WORD*>(table);  // language, then code page
  const uint32_t first = pair[0] | (static_cast<uint32_t>(pair[1]) << 16);
  VersionTexts texts;
  texts.product = QueryVersionString(block.data(), first, "ProductName");
  texts.company = QueryVersionString(block.data(), first, "CompanyName");
  texts.legal_notice = QueryVersionString(block.data(), first, "LegalCopyright");
  texts.description = QueryVersionString(block.data(), first, "FileDescription");
  return texts;
}

}  // namespace orvela
