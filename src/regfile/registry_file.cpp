#include "regfile/registry_file.h"

#include <array>

#include "platform/ansi_codec.h"
#include "platform/file_io.h"

namespace orvela {
namespace {

constexpr std::string_view kCrLf = "\r\n";

struct RootName {
  RootKey key;
  std::string_view name;
};
constexpr std::array<RootName, 6> kRootNames{{
    {RootKey::kClassesRoot, "HKEY_CLASSES_ROOT"},
    {RootKey::kCurrentUser, "HKEY_CURRENT_USER"},
    {RootKey::kLocalMachine, "HKEY_LOCAL_MACHINE"},
    {RootKey::kUsers, "HKEY_USERS"},
    {RootKey::kCurrentConfig, "HKEY_CURRENT_CONFIG"},
    {RootKey::kDynData, "HKEY_DYN_DATA"},
}};

bool IsBlank(char c) { return static_cast<unsigned char>(c) <= 0x20; }

std::string_view TrimBlanks(std::string_view text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  return text;
}

std::string_view TrimTrailingBlanks(std::string_view text) {
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  return text;
}

void AppendHexByte(std::uint8_t byte, std::string& out) {
  constexpr char kDigits[] = "0123456789ABCDEF";
  out += kDigits[byte >> 4];
  out += kDigits[byte & 0xF];
}

int HexDigitValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

std::string_view FileNameWithoutFolder(std::string_view path) {
  const size_t slash = path.find_last_of("\\/");
  return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

std::string JoinKeyName(std::string_view root_name, std::string_view path) {
  return std::string(root_name) + "\\" + std::string(path);
}

}  // namespace

std::string EscapeValueText(std::string_view text) {
  std::string escaped;
  escaped.reserve(text.size() + 8);
  for (char c : text) {
    if (c == '\\' || c == '"') escaped += '\\';
    escaped += c;
  }
  std::string trimmed(TrimBlanks(escaped));
  if (trimmed.find(kCrLf) != std::string::npos) trimmed += kCrLf;
  return trimmed;
}

std::string BinaryValueText(const std::vector<std::uint8_t>& bytes) {
  std::string out;
  out.reserve(bytes.size() * 3 + bytes.size() / 4 + 2);
  for (size_t i = 0; i < bytes.size(); ++i) {
    AppendHexByte(bytes[i], out);
    if (i + 1 < bytes.size()) out += ',';
    const size_t written = i + 1;
    if (written == 9 || (written > 9 && (written - 9) % 8 == 0)) out += kCrLf;
  }
  out += kCrLf;
  return out;
}

TRegistryFile::TRegistryFile(RegistryBackend& backend, Prompt& prompt)
    : TRegistry(backend), FHeader("Ｖ＆Ｌ Registry Text Data Version 1.1\r\n"), prompt_(prompt) {}

std::string TRegistryFile::RootKeyToName(orvela::RootKey root) {
  for (const auto& entry : kRootNames)
    if (entry.key == root) return std::string(entry.name);
  return {};
}

orvela::RootKey TRegistryFile::RootNameToKey(std::string_view name) {
  for (const auto& entry : kRootNames)
    if (entry.name == name) return entry.key;
  return orvela::RootKey::kNone;
}

void TRegistryFile::Warn(std::string_view text) {
  prompt_.ShowMessage(text, kCaption, PromptIcon::kWarning);
}

// ---- Writing ----

SaveResult TRegistryFile::SaveKeysToFile(const std::string& file_name,
                                         const std::vector<std::string>& keys,
                                         std::string_view comment) {
  SaveResult result;
  if (keys.empty()) return result;
  const std::string bytes = KeysFileBytes(keys, comment, result);
  result.file_written = WriteWholeFileReplacing(file_name, bytes);
  return result;
}

std::string TRegistryFile::KeysFileBytes(const std::vector<std::string>& keys,
                                         std::string_view comment, SaveResult& result) {
  std::string text = FHeader;
  if (!comment.empty()) {
    text += comment;
    text += kCrLf;
  }
  out_ = &text;
  save_result_ = &result;
  for (const std::string& key : keys) {
    const size_t backslash = key.find('\\');
    if (backslash == std::string::npos) {
      // No root name to go by: the key cannot be opened.
      Warn(kOpenKeyError);
      result.keys_not_saved.push_back(key);
      continue;
    }
    SetRootKey(RootNameToKey(std::string_view(key).substr(0, backslash)));
    ExportKey(std::string_view(key).substr(backslash));
  }
  out_ = nullptr;
  save_result_ = nullptr;
  CloseKey();
  return EncodeFileText(text);
}

// Called by SaveKeysToFile only, with out_ and save_result_ set.
void TRegistryFile::ExportKey(std::string_view path) {
  std::string& out = *out_;
  SaveResult& result = *save_result_;

  const std::string root_name = RootKeyToName(RootKey());
  if (!OpenKey(path, false)) {
    Warn(kOpenKeyError);
    result.keys_not_saved.push_back(JoinKeyName(root_name, NormalizeKeyPath(path)));
    return;
  }
  const std::string key_path = CurrentPath();
  const std::string key_name = JoinKeyName(root_name, key_path);
  // The reader ends a section line at the first "]": such a key would land elsewhere.
  if (key_path.find(']') != std::string::npos) {
    result.keys_not_saved.push_back(key_name);
    CloseKey();
    return;
  }
  out += kCrLf;
  out += '[';
  out += key_name;
  out += ']';
  out += kCrLf;

  const auto value_names = ListValueNames();
  const auto subkey_names = ListKeyNames();
  if (!value_names || !subkey_names) result.keys_not_saved.push_back(key_name);
  for (const std::string& name : value_names.value_or(std::vector<std::string>{})) {
    const size_t before = out.size();
    AppendValueEntry(name, out);
    if (out.size() == before) result.values_not_saved.emplace_back(key_name, name);
  }
  CloseKey();
  for (const std::string& subkey : subkey_names.value_or(std::vector<std::string>{}))
    ExportKey(key_path + "\\" + subkey);
}

// Appends the value's entry, or nothing when the value has none in this format.
void TRegistryFile::AppendValueEntry(std::string_view name, std::string& out) {
  const auto value = ReadValue(name);
  if (!value) return;
  const bool is_text = value->type == kRegSz || value->type == kRegExpandSz;
  if (name.empty()) {
    if (!is_text) {
      // A default value the format can only hold as text.
      prompt_.ShowMessage(CurrentPath() + "\n\n既定の値が文字列ではないため、ファイルに保存できませんでした。", kCaption,
                          PromptIcon::kError);
      return;
    }
    out += "@=\"" + EscapeValueText(RegistryDataToString(value->data)) + "\"" + std::string(kCrLf);
    return;
  }
  // A name ends at the first quote when read back.
  if (name.find('"') != std::string_view::npos) return;
  const std::string name_part = "\"" + std::string(name) + "\"=";
  if (is_text) {
    out += name_part + "\"" + EscapeValueText(RegistryDataToString(value->data)) + "\"" +
           std::string(kCrLf);
  } else if (value->type == kRegDword) {
    const auto number = ReadInteger(name);
    if (!number) return;
    out += name_part + "dword:";
    for (int shift = 24; shift >= 0; shift -= 8)
      AppendHexByte(static_cast<std::uint8_t>(*number >> shift), out);
    out += kCrLf;
  } else if (value->type == kRegBinary) {
    out += name_part + "hex:" + BinaryValueText(value->data);
  }
}

// ---- Reading ----

FileBody TRegistryFile::ReadFileBody(std::string_view text) {
  FileBody result;
  const size_t header_end = text.find(kCrLf);
  if (header_end == std::string_view::npos) return result;
  const std::string_view rest = text.substr(header_end + kCrLf.size());
  const size_t line_end = rest.find(kCrLf);
  if (line_end != std::string_view::npos) {
    const std::string_view line = rest.substr(0, line_end);
    if (line.find('[') == std::string_view::npos) result.comment = std::string(line);
  }
  const size_t first_section = rest.find('[');
  if (first_section != std::string_view::npos) result.body = std::string(rest.substr(first_section));
  return result;
}

std::optional<FileBody> TRegistryFile::AcceptedBody(std::optional<std::string_view> bytes,
                                                    std::string_view file_name,
                                                    std::string_view expected_comment) {
  std::optional<std::string> text;
  if (bytes) {
    // The text ends at the first NUL.
    text = DecodeFileText(bytes->substr(0, bytes->find('\0')));
  }
  FileBody body = text ? ReadFileBody(*text) : FileBody{};
  if (body.body.empty()) {
    Warn(kNotRegistryFile);
    return std::nullopt;
  }
  if (!expected_comment.empty() && body.comment != expected_comment) {
    Warn(std::string(FileNameWithoutFolder(file_name)) + std::string(kNotExpectedFile));
    return std::nullopt;
  }
  return body;
}

bool TRegistryFile::CheckKeysFile(const std::string& file_name, std::string_view expected_comment) {
  const auto bytes = ReadWholeFile(file_name);
  return AcceptedBody(bytes ? std::optional<std::string_view>(*bytes) : std::nullopt, file_name,
                      expected_comment)
      .has_value();
}

bool TRegistryFile::LoadKeysFromFile(const std::string& file_name, std::string_view key_prefix,
                                     std::string_view path_filter,
                                     std::string_view expected_comment, bool only_missing_keys) {
  const auto bytes = ReadWholeFile(file_name);
  if (!bytes) {
    FOnlyMissingKeys = only_missing_keys;
    FKeyPrefix.clear();
    FRootName.clear();
    not_restored_.clear();
    Warn(kNotRegistryFile);
    return false;
  }
  return LoadKeysFromBytes(*bytes, file_name, key_prefix, path_filter, expected_comment,
                           only_missing_keys);
}

bool TRegistryFile::LoadKeysFromBytes(std::string_view bytes, std::string_view file_name,
                                      std::string_view key_prefix, std::string_view path_filter,
                                      std::string_view expected_comment, bool only_missing_keys) {
  FOnlyMissingKeys = only_missing_keys;
  FKeyPrefix.clear();
  FRootName.clear();
  not_restored_.clear();
  const auto body = AcceptedBody(bytes, file_name, expected_comment);
  if (!body) return false;

  if (!key_prefix.empty()) FKeyPrefix = std::string(key_prefix);
  path_filter_ = std::string(path_filter);
  if (!path_filter_.empty() && path_filter_.front() != '\\') path_filter_.insert(0, "\\");

  CloseKey();
  body_ = body->body;
  pos_ = 0;
  target_ = Target::kNone;
  loading_ = true;
  bool going = true;
  while (going && pos_ < body_.size()) {
    switch (body_[pos_]) {
      case '"': going = ReadNamedValue(); break;
      case '@': going = ReadDefaultValue(); break;
      case '[': going = ReadSection(); break;
      default: ++pos_; break;
    }
  }
  body_ = {};
  loading_ = false;
  CloseKey();
  return true;
}

bool TRegistryFile::ReadSection() {
  const size_t close = body_.find(']', pos_ + 1);
  if (close == std::string_view::npos) {
    CloseKey();
    target_ = Target::kSkipped;
    ConversionWarning();
    return false;
  }
  const std::string_view section = body_.substr(pos_ + 1, close - pos_ - 1);
  pos_ = close + 1;
  CloseKey();
  target_ = Target::kSkipped;

  const size_t backslash = section.find('\\');
  if (backslash == std::string_view::npos) {
    // No root and path to tell where its values belong: they are passed over, each
    // with the warning.
    ConversionWarning();
    target_ = Target::kNone;
    return true;
  }
  const std::string_view root_name = section.substr(0, backslash);
  std::string_view path = section.substr(backslash);
  // Always from the section's own root name: an empty or unknown one must not leave the
  // values to whatever root was current.
  FRootName = std::string(root_name);
  SetRootKey(RootNameToKey(root_name));
  if (!path_filter_.empty()) {
    const size_t found = path.find(path_filter_);
    if (found == std::string_view::npos) return true;
    if (!FKeyPrefix.empty()) path = path.substr(found);
  }
  const std::string key_path = FKeyPrefix + std::string(path);
  if (FOnlyMissingKeys && KeyExists(key_path)) return true;
  if (!OpenKey(key_path, true)) {
    not_restored_.push_back(JoinKeyName(root_name, NormalizeKeyPath(key_path)));
    return true;
  }
  target_ = Target::kOpenKey;
  return true;
}

std::optional<std::string> TRegistryFile::ReadQuotedText() {
  std::string text;
  while (pos_ < body_.size()) {
    const char c = body_[pos_];
    if (c == '"') {
      ++pos_;
      return text;
    }
    if (c == '\\' && pos_ + 1 < body_.size() && (body_[pos_ + 1] == '\\' || body_[pos_ + 1] == '"')) {
      text += body_[pos_ + 1];
      pos_ += 2;
      continue;
    }
    text += c;
    ++pos_;
  }
  return std::nullopt;
}

bool TRegistryFile::ReadNamedValue() {
  const size_t close = body_.find('"', pos_ + 1);
  if (close == std::string_view::npos) return false;
  const std::string name(body_.substr(pos_ + 1, close - pos_ - 1));
  pos_ = close + 2;  // the closing quote and the "="
  if (pos_ >= body_.size()) return false;

  const char kind = body_[pos_];
  if (kind == '"') {
    ++pos_;
    auto text = ReadQuotedText();
    if (!text) {
      ConversionWarning();  // cut off: better nothing than a piece
      return false;
    }
    StoreValue(name, {kRegSz, StringToRegistryData(TrimTrailingBlanks(*text))});
    return true;
  }
  if (kind == 'd') {
    const size_t colon = body_.find(':', pos_);
    if (colon == std::string_view::npos) return false;
    const size_t start = colon + 1;
    size_t end = body_.find(kCrLf, start);
    if (end == std::string_view::npos) end = body_.size();
    const std::string_view digits = body_.substr(start, end - start);
    pos_ = end;
    if (digits.size() > 8) {
      ConversionWarning();
      return true;
    }
    const std::uint32_t number = HexTextToInt(digits);
    StoreValue(name, {kRegDword,
                      {static_cast<std::uint8_t>(number), static_cast<std::uint8_t>(number >> 8),
                       static_cast<std::uint8_t>(number >> 16),
                       static_cast<std::uint8_t>(number >> 24)}});
    return true;
  }
  if (kind == 'h') {
    const size_t colon = body_.find(':', pos_);
    if (colon == std::string_view::npos) return false;
    pos_ = colon + 1;
    std::vector<std::uint8_t> bytes;
    ReadBinaryText(bytes);
    StoreValue(name, {kRegBinary, std::move(bytes)});
    return true;
  }
  return true;  // a type without an entry: passed over
}

bool TRegistryFile::ReadBinaryText(std::vector<std::uint8_t>& bytes) {
  while (pos_ < body_.size()) {
    if (body_[pos_] == ',') {
      ++pos_;
      if (body_.substr(pos_, 2) == kCrLf) pos_ += 2;
      continue;
    }
    if (body_.substr(pos_, 2) == kCrLf) return true;
    const std::string_view digits = body_.substr(pos_, 2);
    pos_ += digits.size();
    bytes.push_back(static_cast<std::uint8_t>(HexTextToInt(digits)));
  }
  return true;
}

bool TRegistryFile::ReadDefaultValue() {
  const size_t open = body_.find('"', pos_ + 1);
  if (open == std::string_view::npos) return false;
  pos_ = open + 1;
  auto text = ReadQuotedText();
  if (!text) {
    ConversionWarning();
    return false;
  }
  // The CR LF the writer puts after a multi-line text is not part of it.
  if (text->size() > 2 && text->ends_with(kCrLf) &&
      text->find(kCrLf) < text->size() - kCrLf.size())
    text->resize(text->size() - kCrLf.size());
  StoreValue("", {kRegSz, StringToRegistryData(*text)});
  return true;
}

void TRegistryFile::StoreValue(std::string_view name, const RegistryValue& value) {
  switch (target_) {
    case Target::kOpenKey:
      if (!WriteValue(name, value)) {
        not_restored_.push_back(JoinKeyName(FRootName, CurrentPath()) + " : " + std::string(name));
        prompt_.ShowMessage(JoinKeyName(FRootName, CurrentPath()) + "\n" + std::string(name) +
                                "\n\nレジストリに書き込めませんでした。", kCaption, PromptIcon::kError);
      }
      break;
    case Target::kNone:
      // Before any usable section line: there is no key it could belong to.
      ConversionWarning();
      break;
    case Target::kSkipped:
      break;
  }
}

void TRegistryFile::ConversionWarning() { Warn(kConversionError); }

std::uint32_t TRegistryFile::HexTextToInt(std::string_view text) {
  std::uint32_t number = 0;
  bool bad = text.size() > 8;
  for (size_t i = 0; !bad && i < text.size(); ++i) {
    const int digit = HexDigitValue(text[i]);
    if (digit < 0)
      bad = true;
    else
      number = (number << 4) | static_cast<std::uint32_t>(digit);
  }
  if (!bad) return number;
  // Values that are not being restored are read only to pass over them.
  if (!loading_ || target_ == Target::kOpenKey) ConversionWarning();
  return 0;
}

}  // namespace orvela
