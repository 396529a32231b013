#include "regfile/registry_file.h"

#include <algorithm>
#include <array>

#include "platform/ansi_codec.h"
#include "platform/file_io.h"
#include "platform/plain_text.h"

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

bool IsLineBreak(char c) { return c == '\r' || c == '\n'; }

bool HasLineBreak(std::string_view text) { return text.find_first_of("\r\n") != std::string_view::npos; }

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
  return escaped;
}

bool FitsStringForm(const RegistryValue& value) {
  if (value.type != kRegSz) return false;
  const std::string text = RegistryDataToString(value.data);
  // An embedded NUL, a missing terminator, an odd byte or a lone surrogate.
  if (StringToRegistryData(text) != value.data) return false;
  if (text.empty()) return true;
  return !IsBlank(text.front(), Blanks::kSpacesAndControls) && !IsBlank(text.back(), Blanks::kSpacesAndControls) && !HasLineBreak(text);
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

std::string BracketedNameLines(const std::vector<std::string>& names) {
  constexpr size_t kShown = 20;
  std::string lines;
  for (size_t i = 0; i < names.size() && i < kShown; ++i) lines += "\n[" + names[i] + "]";
  if (names.size() > kShown) lines += "\nほか " + std::to_string(names.size() - kShown) + " 個";
  return lines;
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

std::string TRegistryFile::KeyNotOpenedText(std::string_view key_name, SystemError code) {
  return std::string(kKeyNotOpened) + "\n[" + std::string(key_name) + "]\n" + SystemErrorText(code);
}

void TRegistryFile::Warn(std::string_view text) {
  if (check_) return;  // a check shows nothing; its result says what it found
  prompt_.ShowMessage(text, kAppTitle, PromptIcon::kWarning);
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
      Warn(KeyNotOpenedText(key, kErrorFileNotFound));
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
  if (!OpenKeyReadOnly(path)) {
    const std::string key_name = JoinKeyName(root_name, NormalizeKeyPath(path));
    Warn(KeyNotOpenedText(key_name, LastError()));
    result.keys_not_saved.push_back(key_name);
    return;
  }
  const std::string key_path = CurrentPath();
  const std::string key_name = JoinKeyName(root_name, key_path);
  // The reader ends a section line at the first "]" and never reads one over a line end:
  // such a key would land elsewhere.
  if (key_path.find(']') != std::string::npos || HasLineBreak(key_path)) {
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

// Appends the value's entry, or nothing when it cannot be read or its name not written.
void TRegistryFile::AppendValueEntry(std::string_view name, std::string& out) {
  const auto value = ReadValue(name);
  if (!value) return;
  // A name is written as it is: a quote would end it early, and the reader takes no name
  // over a line end.
  if (name.find('"') != std::string_view::npos || HasLineBreak(name)) return;
  out += name.empty() ? std::string("@=") : "\"" + std::string(name) + "\"=";
  if (FitsStringForm(*value)) {
    out += "\"" + EscapeValueText(RegistryDataToString(value->data)) + "\"" + std::string(kCrLf);
  } else if (value->type == kRegDword && value->data.size() == 4) {
    out += "dword:";
    for (int i = 3; i >= 0; --i) AppendHexByte(value->data[static_cast<size_t>(i)], out);
    out += kCrLf;
  } else if (value->type == kRegBinary) {
    out += "hex:" + BinaryValueText(value->data);
  } else {
    constexpr char kDigits[] = "0123456789abcdef";
    std::string type;
    for (std::uint32_t rest = value->type; type.empty() || rest != 0; rest >>= 4)
      type.insert(type.begin(), kDigits[rest & 0xF]);
    out += "hex(" + type + "):" + BinaryValueText(value->data);
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

const KeysFileCheck::Section* KeysFileCheck::Find(std::string_view key) const {
  for (const Section& section : sections)
    if (SameRegistryName(section.key, key)) return &section;
  return nullptr;
}

std::vector<std::string> KeysFileCheck::SectionsOutside(const std::vector<std::string>& tops) const {
  std::vector<std::string> outside;
  for (const Section& section : sections) {
    const auto below = [&](const std::string& top) { return IsKeyOrBelow(section.key, top); };
    const auto named = [&](const std::string& key) { return SameRegistryName(key, section.key); };
    if (std::none_of(tops.begin(), tops.end(), below) && std::none_of(outside.begin(), outside.end(), named))
      outside.push_back(section.key);
  }
  return outside;
}

KeysFileCheck TRegistryFile::CheckKeysBytes(std::string_view bytes,
                                            std::string_view expected_comment) {
  KeysFileCheck check;
  check_ = &check;
  FOnlyMissingKeys = false;
  FKeyPrefix.clear();
  FRootName.clear();
  path_filter_.clear();
  const auto body = AcceptedBody(bytes, {}, expected_comment);
  if (body) {
    check.accepted = true;
    // Whatever lies past a NUL is lost to a load.
    if (bytes.find('\0') != std::string_view::npos) ++check.faults;
    const std::string text = DecodeFileText(bytes.substr(0, bytes.find('\0'))).value_or("");
    const size_t header_end = text.find(kCrLf) + kCrLf.size();
    if (std::string_view(text).substr(0, header_end) != FHeader) ++check.faults;
    // Between the header and the first section: the comment line asked for, then line
    // breaks only.
    std::string_view between =
        std::string_view(text).substr(header_end, text.size() - header_end - body->body.size());
    if (!expected_comment.empty()) between.remove_prefix(expected_comment.size());
    if (between.find_first_not_of("\r\n") != std::string_view::npos) ++check.faults;
    if (!body->body.ends_with(kCrLf)) ++check.faults;  // cut inside its last line
    body_ = body->body;
    Scan();
  }
  check_ = nullptr;
  return check;
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
  body_ = body->body;
  Scan();
  return true;
}

std::vector<std::string> TRegistryFile::NotAsSaved(const KeysFileCheck& check) {
  std::vector<std::string> missing;
  for (const KeysFileCheck::Section& section : check.sections) {
    // A check names a section only by a known root and a path after its first "\".
    const size_t backslash = section.key.find('\\');
    SetRootKey(RootNameToKey(std::string_view(section.key).substr(0, backslash)));
    if (!OpenKeyReadOnly(std::string_view(section.key).substr(backslash))) {
      missing.push_back(section.key);
      continue;
    }
    for (const auto& [name, value] : section.values)
      if (ReadValue(name) != value) missing.push_back(section.key + " : " + (name.empty() ? "(既定)" : name));
  }
  CloseKey();
  return missing;
}

void TRegistryFile::Scan() {
  CloseKey();
  pos_ = 0;
  target_ = Target::kNone;
  loading_ = true;
  bool going = true;
  while (going && pos_ < body_.size()) {
    switch (body_[pos_]) {
      case '"': going = ReadNamedValue(); break;
      case '@': going = ReadDefaultValue(); break;
      case '[': going = ReadSection(); break;
      default:
        if (!IsLineBreak(body_[pos_])) Stray();
        ++pos_;
        break;
    }
  }
  body_ = {};
  loading_ = false;
  CloseKey();
}

size_t TRegistryFile::LineEnd(size_t from) const {
  const size_t end = body_.find_first_of("\r\n", from);
  return end == std::string_view::npos ? body_.size() : end;
}

bool TRegistryFile::ReadSection() {
  const size_t line_end = LineEnd(pos_);
  const size_t close = body_.find(']', pos_ + 1);
  CloseKey();
  target_ = Target::kSkipped;
  if (close == std::string_view::npos || close > line_end) {
    // Without its "]" the key's name is unknown: a key named after the lines that follow
    // must not be made, nor its values go to the key before it.
    ConversionWarning();
    pos_ = line_end;
    return true;
  }
  const std::string_view section = body_.substr(pos_ + 1, close - pos_ - 1);
  pos_ = close + 1;

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
  if (check_) {
    if (RootNameToKey(root_name) == orvela::RootKey::kNone) {
      ++check_->faults;
      return true;
    }
    check_->sections.push_back({JoinKeyName(root_name, NormalizeKeyPath(path)), {}});
    target_ = Target::kOpenKey;
    return true;
  }
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
    // Files of earlier versions hold multi-line strings; this writer puts them in hex(1).
    if (IsLineBreak(c)) Stray();
    text += c;
    ++pos_;
  }
  return std::nullopt;
}

bool TRegistryFile::ReadNamedValue() {
  const size_t line_end = LineEnd(pos_);
  const size_t close = body_.find('"', pos_ + 1);
  if (close == std::string_view::npos || close > line_end) {
    // A name ends on its own line: a quote further on opens another value.
    ConversionWarning();
    pos_ = line_end;
    return true;
  }
  const std::string name(body_.substr(pos_ + 1, close - pos_ - 1));
  pos_ = close + 1;
  if (pos_ < body_.size() && body_[pos_] != '=') Stray();
  ++pos_;  // the "="
  if (pos_ >= body_.size()) return false;
  return ReadValueData(name, false);
}

bool TRegistryFile::ReadDefaultValue() {
  if (pos_ + 2 < body_.size() && body_[pos_ + 1] == '=') {
    pos_ += 2;
    return ReadValueData("", true);
  }
  // Not "@=": the string is looked for on this line only.
  Stray();
  const size_t line_end = LineEnd(pos_);
  const size_t open = body_.find('"', pos_ + 1);
  if (open == std::string_view::npos || open > line_end) {
    ConversionWarning();
    pos_ = line_end;
    return true;
  }
  pos_ = open;
  return ReadValueData("", true);
}

bool TRegistryFile::ReadValueData(const std::string& name, bool is_default) {
  const char kind = body_[pos_];
  if (kind == '"') {
    ++pos_;
    auto text = ReadQuotedText();
    if (!text) {
      ConversionWarning();  // cut off: better nothing than a piece
      return false;
    }
    std::string_view kept = *text;
    if (!is_default) {
      kept = TrimEnd(kept, Blanks::kSpacesAndControls);
    } else if (kept.size() > 2 && kept.ends_with(kCrLf) &&
               kept.find(kCrLf) < kept.size() - kCrLf.size()) {
      // The CR LF earlier writers put after a multi-line text is not part of it.
      kept.remove_suffix(kCrLf.size());
    }
    StoreValue(name, {kRegSz, StringToRegistryData(kept)});
    return true;
  }
  if (kind != 'd' && kind != 'h') {
    Stray();
    return true;  // a type without an entry: passed over
  }
  // The type word ends at a ":" on its own line; one further on belongs to another entry.
  const size_t line_end = LineEnd(pos_);
  const size_t colon = body_.find(':', pos_);
  if (colon == std::string_view::npos || colon > line_end) {
    ConversionWarning();
    pos_ = line_end;
    return true;
  }
  const std::string_view word = body_.substr(pos_, colon - pos_);
  if (kind == 'd') {
    const std::string_view digits = body_.substr(colon + 1, line_end - colon - 1);
    pos_ = line_end;
    if (digits.size() > 8) {
      DataWarning();
      return true;
    }
    const std::uint32_t number = HexTextToInt(digits);
    StoreValue(name, {kRegDword,
                      {static_cast<std::uint8_t>(number), static_cast<std::uint8_t>(number >> 8),
                       static_cast<std::uint8_t>(number >> 16),
                       static_cast<std::uint8_t>(number >> 24)}});
    return true;
  }
  std::uint32_t type = kRegBinary;
  if (word.starts_with("hex(")) {
    // hex(N): the type number N in hexadecimal.
    const std::string_view number = word.substr(4, word.size() - 4 - (word.ends_with(')') ? 1 : 0));
    const bool good = word.ends_with(')') && !number.empty() && number.size() <= 8 &&
                      number.find_first_not_of("0123456789abcdefABCDEF") == std::string_view::npos;
    if (!good) {
      DataWarning();
      pos_ = line_end;
      return true;
    }
    type = 0;
    for (char c : number) type = (type << 4) | static_cast<std::uint32_t>(HexDigitValue(c));
  }
  pos_ = colon + 1;
  std::vector<std::uint8_t> bytes;
  ReadBinaryText(bytes);
  StoreValue(name, {type, std::move(bytes)});
  return true;
}

void TRegistryFile::ReadBinaryText(std::vector<std::uint8_t>& bytes) {
  while (pos_ < body_.size()) {
    const char c = body_[pos_];
    if (c == ',') {
      ++pos_;
      size_t next = pos_;
      if (body_.substr(next, 2) == kCrLf)
        next += 2;
      else if (next < body_.size() && IsLineBreak(body_[next]))
        ++next;
      if (next != pos_) {
        // The writer wraps after a comma, and its next line starts with a byte: anything
        // else is the next entry or section, which this value must not take in.
        if (next >= body_.size() || HexDigitValue(body_[next]) < 0) {
          DataWarning();
          return;
        }
        pos_ = next;
      }
      continue;
    }
    if (IsLineBreak(c)) return;
    size_t length = 0;
    while (length < 2 && pos_ + length < body_.size() && body_[pos_ + length] != ',' &&
           !IsLineBreak(body_[pos_ + length]))
      ++length;
    const std::string_view digits = body_.substr(pos_, length);
    pos_ += length;
    if (length < 2) {
      DataWarning();
      bytes.push_back(0);
      continue;
    }
    bytes.push_back(static_cast<std::uint8_t>(HexTextToInt(digits)));
  }
}

void TRegistryFile::StoreValue(std::string_view name, const RegistryValue& value) {
  switch (target_) {
    case Target::kOpenKey:
      if (check_) {
        check_->sections.back().values.emplace_back(std::string(name), value);
      } else if (!WriteValue(name, value)) {
        not_restored_.push_back(JoinKeyName(FRootName, CurrentPath()) + " : " + std::string(name));
        prompt_.ShowMessage(JoinKeyName(FRootName, CurrentPath()) + "\n" + std::string(name) +
                                "\n\nレジストリに書き込めませんでした。", kAppTitle, PromptIcon::kError);
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

void TRegistryFile::ConversionWarning() {
  if (check_)
    ++check_->faults;
  else
    Warn(kConversionError);
}

void TRegistryFile::DataWarning() {
  // Values that are not being restored are read only to pass over them.
  if (target_ == Target::kOpenKey) ConversionWarning();
}

void TRegistryFile::Stray() {
  if (check_) ++check_->faults;
}

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
  if (!loading_ || target_ == Target::kOpenKey) ConversionWarning();
  return 0;
}

}  // namespace orvela
