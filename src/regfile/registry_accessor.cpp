#include "regfile/registry_accessor.h"

#include "platform/utf.h"

namespace orvela {

std::string NormalizeKeyPath(std::string_view path) {
  while (!path.empty() && path.front() == '\\') path.remove_prefix(1);
  while (!path.empty() && path.back() == '\\') path.remove_suffix(1);
  return std::string(path);
}

std::vector<std::uint8_t> StringToRegistryData(std::string_view text) {
  const std::u16string wide = Utf8ToUtf16(text);
  std::vector<std::uint8_t> data;
  data.reserve(wide.size() * 2 + 2);
  for (char16_t c : wide) {
    data.push_back(static_cast<std::uint8_t>(c & 0xFF));
    data.push_back(static_cast<std::uint8_t>(c >> 8));
  }
  data.push_back(0);
  data.push_back(0);
  return data;
}

std::string RegistryDataToString(const std::vector<std::uint8_t>& data) {
  std::u16string wide;
  for (size_t i = 0; i + 1 < data.size(); i += 2) {
    const char16_t c = static_cast<char16_t>(data[i] | (data[i + 1] << 8));
    if (c == 0) break;
    wide.push_back(c);
  }
  return Utf16ToUtf8(wide);
}

TRegistry::TRegistry(RegistryBackend& backend) : backend_(backend) {}

TRegistry::~TRegistry() = default;

void TRegistry::SetRootKey(orvela::RootKey root) {
  CloseKey();
  root_ = root;
}

bool TRegistry::OpenKey(std::string_view path, bool can_create) {
  return Open(path, can_create ? KeyAccess::kCreate : KeyAccess::kWrite);
}

bool TRegistry::OpenKeyReadOnly(std::string_view path) { return Open(path, KeyAccess::kRead); }

bool TRegistry::Open(std::string_view path, KeyAccess access) {
  CloseKey();
  std::string normalized = NormalizeKeyPath(path);
  key_ = backend_.OpenKey(root_, normalized, access, &last_error_);
  if (!key_) return false;
  current_path_ = std::move(normalized);
  return true;
}

void TRegistry::CloseKey() {
  key_.reset();
  current_path_.clear();
}

std::optional<std::vector<std::string>> TRegistry::ListValueNames() const {
  if (!key_) return std::nullopt;
  return key_->ValueNames();
}

std::optional<std::vector<std::string>> TRegistry::ListKeyNames() const {
  if (!key_) return std::nullopt;
  return key_->SubkeyNames();
}

std::vector<std::string> TRegistry::GetValueNames() const {
  return ListValueNames().value_or(std::vector<std::string>{});
}

std::vector<std::string> TRegistry::GetKeyNames() const {
  return ListKeyNames().value_or(std::vector<std::string>{});
}

std::optional<RegistryValue> TRegistry::ReadValue(std::string_view name) const {
  if (!key_) return std::nullopt;
  return key_->ReadValue(name);
}

std::optional<std::uint32_t> TRegistry::GetDataType(std::string_view name) const {
  auto value = ReadValue(name);
  if (!value) return std::nullopt;
  return value->type;
}

std::optional<std::uint32_t> TRegistry::GetDataSize(std::string_view name) const {
  auto value = ReadValue(name);
  if (!value) return std::nullopt;
  return static_cast<std::uint32_t>(value->data.size());
}

std::optional<std::string> TRegistry::ReadString(std::string_view name) const {
  auto value = ReadValue(name);
  if (!value || (value->type != kRegSz && value->type != kRegExpandSz)) return std::nullopt;
  return RegistryDataToString(value->data);
}

std::optional<std::uint32_t> TRegistry::ReadInteger(std::string_view name) const {
  auto value = ReadValue(name);
  if (!value || value->type != kRegDword || value->data.size() != 4) return std::nullopt;
  const auto& d = value->data;
  return static_cast<std::uint32_t>(d[0] | (d[1] << 8) | (d[2] << 16)) |
         (static_cast<std::uint32_t>(d[3]) << 24);
}

std::optional<std::vector<std::uint8_t>> TRegistry::ReadBinaryData(std::string_view name) const {
  auto value = ReadValue(name);
  if (!value || value->type != kRegBinary) return std::nullopt;
  return std::move(value->data);
}

bool TRegistry::ValueExists(std::string_view name) const { return ReadValue(name).has_value(); }

bool TRegistry::WriteValue(std::string_view name, const RegistryValue& value) {
  return key_ && key_->WriteValue(name, value);
}

bool TRegistry::WriteString(std::string_view name, std::string_view text) {
  return WriteValue(name, {kRegSz, StringToRegistryData(text)});
}

bool TRegistry::WriteExpandString(std::string_view name, std::string_view text) {
  return WriteValue(name, {kRegExpandSz, StringToRegistryData(text)});
}

bool TRegistry::WriteInteger(std::string_view name, std::uint32_t number) {
  return WriteValue(name, {kRegDword,
                           {static_cast<std::uint8_t>(number), static_cast<std::uint8_t>(number >> 8),
                            static_cast<std::uint8_t>(number >> 16),
                            static_cast<std::uint8_t>(number >> 24)}});
}

bool TRegistry::WriteBinaryData(std::string_view name, const std::vector<std::uint8_t>& bytes) {
  return WriteValue(name, {kRegBinary, bytes});
}

bool TRegistry::DeleteValue(std::string_view name) { return key_ && key_->DeleteValue(name); }

bool TRegistry::KeyExists(std::string_view path) const {
  return backend_.KeyExists(root_, NormalizeKeyPath(path));
}

bool TRegistry::DeleteKey(std::string_view path) {
  const std::string normalized = NormalizeKeyPath(path);
  if (normalized.empty()) return false;
  // The open key goes when it is the deleted one or lies below it.
  if (key_ && IsKeyOrBelow(current_path_, normalized)) CloseKey();
  return backend_.DeleteKeyTree(root_, normalized);
}

}  // namespace orvela
