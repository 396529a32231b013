#include "startup/task_definition.h"

#include <initializer_list>
#include <vector>

#include "platform/utf.h"

namespace orvela {
namespace {

constexpr size_t npos = std::string_view::npos;

// "#60", "#x3C": the character, or nullopt for no character XML allows.
std::optional<char32_t> CharacterReference(std::string_view digits) {
  const bool hex = !digits.empty() && (digits[0] == 'x' || digits[0] == 'X');
  if (hex) digits.remove_prefix(1);
  if (digits.empty() || digits.size() > 8) return std::nullopt;
  char32_t value = 0;
  for (const char c : digits) {
    int digit = -1;
    if (c >= '0' && c <= '9') digit = c - '0';
    else if (hex && c >= 'a' && c <= 'f') digit = c - 'a' + 10;
    else if (hex && c >= 'A' && c <= 'F') digit = c - 'A' + 10;
    if (digit < 0) return std::nullopt;
    value = value * (hex ? 16 : 10) + static_cast<char32_t>(digit);
  }
  if (value == 0 || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) return std::nullopt;
  return value;
}

// Text with its references replaced; a reference that names nothing stays as written.
void AppendText(std::string& out, std::string_view raw) {
  for (size_t i = 0; i < raw.size();) {
    const size_t semicolon = raw[i] == '&' ? raw.find(';', i) : npos;
    if (semicolon == npos || semicolon - i > 10) {
      out += raw[i++];
      continue;
    }
    const std::string_view name = raw.substr(i + 1, semicolon - i - 1);
    std::optional<char32_t> character;
    if (name == "lt") character = '<';
    else if (name == "gt") character = '>';
    else if (name == "amp") character = '&';
    else if (name == "quot") character = '"';
    else if (name == "apos") character = '\'';
    else if (!name.empty() && name[0] == '#') character = CharacterReference(name.substr(1));
    if (!character) {
      out += raw[i++];
      continue;
    }
    AppendUtf8(out, *character);
    i = semicolon + 1;
  }
}

std::string_view Trimmed(std::string_view text) {
  const size_t first = text.find_first_not_of(" \t\r\n");
  if (first == npos) return {};
  return text.substr(first, text.find_last_not_of(" \t\r\n") - first + 1);
}

// The element name without a namespace prefix ("task:Exec" -> "Exec").
std::string_view LocalName(std::string_view name) {
  const size_t colon = name.find(':');
  return colon == npos ? name : name.substr(colon + 1);
}

bool IsFalse(std::string_view text) {
  const std::string_view value = Trimmed(text);
  return value == "false" || value == "0";
}

// Reads the elements in order and keeps what the page needs as they close.
class DefinitionReader {
 public:
  void Open(std::string_view name) {
    open_.emplace_back(name);
    text_.clear();
    if (At({"Task", "Triggers", "LogonTrigger"})) trigger_on_ = true;
    if (At({"Task", "Actions", "Exec"})) ++exec_count_;
  }
  void Close() {
    if (At({"Task", "Triggers", "LogonTrigger", "Enabled"})) trigger_on_ = !IsFalse(text_);
    if (At({"Task", "Triggers", "LogonTrigger"}) && trigger_on_) definition.logon = true;
    if (At({"Task", "Settings", "Enabled"})) definition.enabled = !IsFalse(text_);
    if (exec_count_ == 1 && At({"Task", "Actions", "Exec", "Command"}))
      definition.command = std::string(Trimmed(text_));
    if (exec_count_ == 1 && At({"Task", "Actions", "Exec", "Arguments"}))
      definition.arguments = std::string(Trimmed(text_));
    open_.pop_back();
    text_.clear();
  }
  std::string& text() { return text_; }
  const std::vector<std::string>& open() const { return open_; }

  TaskDefinition definition;

 private:
  bool At(std::initializer_list<std::string_view> path) const {
    if (open_.size() != path.size()) return false;
    size_t i = 0;
    for (const std::string_view part : path)
      if (open_[i++] != part) return false;
    return true;
  }

  std::vector<std::string> open_;
  std::string text_;  // the innermost element's own text so far
  bool trigger_on_ = true;
  int exec_count_ = 0;
};

// The end of a start tag beginning at `from` ('<'): the '>' outside quoted attribute values.
size_t TagEnd(std::string_view xml, size_t from) {
  for (size_t i = from; i < xml.size(); ++i) {
    if (xml[i] == '"' || xml[i] == '\'') {
      i = xml.find(xml[i], i + 1);
      if (i == npos) return npos;
    } else if (xml[i] == '>') {
      return i;
    }
  }
  return npos;
}

bool StartsWithAt(std::string_view text, size_t at, std::string_view prefix) {
  return text.substr(at, prefix.size()) == prefix;
}

}  // namespace

std::optional<TaskDefinition> ReadTaskDefinition(std::string_view xml) {
  if (StartsWithAt(xml, 0, "\xEF\xBB\xBF")) xml.remove_prefix(3);
  DefinitionReader reader;
  bool root_done = false;
  for (size_t i = 0; i < xml.size();) {
    if (xml[i] != '<') {
      const size_t next = std::min(xml.find('<', i), xml.size());
      if (!reader.open().empty()) AppendText(reader.text(), xml.substr(i, next - i));
      i = next;
      continue;
    }
    // Comments, character data, declarations and processing instructions.
    struct Skipped {
      std::string_view start, end;
    };
    static constexpr Skipped kSkipped[] = {
        {"<!--", "-->"}, {"<![CDATA[", "]]>"}, {"<?", "?>"}, {"<!", ">"}};
    bool skipped = false;
    for (const Skipped& form : kSkipped) {
      if (!StartsWithAt(xml, i, form.start)) continue;
      const size_t end = xml.find(form.end, i + form.start.size());
      if (end == npos) return std::nullopt;
      if (form.start == "<![CDATA[" && !reader.open().empty())
        reader.text() += xml.substr(i + form.start.size(), end - i - form.start.size());
      i = end + form.end.size();
      skipped = true;
      break;
    }
    if (skipped) continue;

    const size_t end = TagEnd(xml, i);
    if (end == npos) return std::nullopt;
    std::string_view tag = xml.substr(i + 1, end - i - 1);
    i = end + 1;
    if (!tag.empty() && tag[0] == '/') {
      const std::string_view name = LocalName(Trimmed(tag.substr(1)));
      if (reader.open().empty() || reader.open().back() != name) return std::nullopt;
      reader.Close();
      root_done = reader.open().empty();
      continue;
    }
    const bool empty_element = !tag.empty() && tag.back() == '/';
    if (empty_element) tag.remove_suffix(1);
    const std::string_view name = LocalName(tag.substr(0, tag.find_first_of(" \t\r\n")));
    if (name.empty() || root_done) return std::nullopt;
    if (reader.open().empty() && name != "Task") return std::nullopt;
    reader.Open(name);
    if (empty_element) reader.Close();
    root_done = reader.open().empty();
  }
  if (!root_done) return std::nullopt;
  return reader.definition;
}

std::string TaskCommandLine(const TaskDefinition& definition) {
  return definition.arguments.empty() ? definition.command
                                      : definition.command + " " + definition.arguments;
}

std::optional<std::string> TaskFileText(std::string_view bytes) {
  if (StartsWithAt(bytes, 0, "\xFF\xFE")) {
    bytes.remove_prefix(2);
    if (bytes.size() % 2 != 0) return std::nullopt;
    std::u16string text(bytes.size() / 2, u'\0');
    for (size_t i = 0; i < text.size(); ++i)
      text[i] = static_cast<char16_t>(static_cast<unsigned char>(bytes[2 * i]) |
                                      (static_cast<unsigned char>(bytes[2 * i + 1]) << 8));
    return Utf16ToUtf8(text);
  }
  if (StartsWithAt(bytes, 0, "\xEF\xBB\xBF")) bytes.remove_prefix(3);
  if (!IsValidUtf8(bytes) || bytes.find('\0') != std::string_view::npos) return std::nullopt;
  return std::string(bytes);
}

}  // namespace orvela
