#include "settings/tuning_rules.h"

#include <algorithm>
#include <charconv>
#include <cmath>

#include "platform/plain_text.h"

namespace orvela {
namespace {

char LowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

std::vector<std::string> Split(std::string_view text, char separator) {
  std::vector<std::string> parts;
  size_t start = 0;
  for (;;) {
    const size_t end = text.find(separator, start);
    parts.emplace_back(text.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start));
    if (end == std::string_view::npos) return parts;
    start = end + 1;
  }
}

std::string Join(const std::vector<std::string>& parts, char separator) {
  std::string text;
  for (size_t i = 0; i < parts.size(); ++i) {
    if (i) text += separator;
    text += parts[i];
  }
  return text;
}

bool HostCharacter(unsigned char c) {
  if (c >= 0x80) return true;  // a name in another script; the shell does not act on it
  if ((c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z')) return true;
  return c == '.' || c == '-' || c == ':' || c == '_';
}

}  // namespace

bool SameTextIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (LowerAscii(a[i]) != LowerAscii(b[i])) return false;
  return true;
}

std::optional<std::uint64_t> ParseWholeNumber(std::string_view text) {
  text = Trim(text, Blanks::kSpacesAndTabs);
  if (text.empty()) return std::nullopt;
  std::uint64_t number = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    const std::uint64_t digit = static_cast<std::uint64_t>(c - '0');
    if (number > (UINT64_MAX - digit) / 10) return std::nullopt;
    number = number * 10 + digit;
  }
  return number;
}

std::optional<std::uint32_t> FieldNumber(const NumberField& field, std::string_view text) {
  const std::optional<std::uint64_t> number = ParseWholeNumber(text);
  if (!number || *number < field.min || *number > field.max) return std::nullopt;
  return static_cast<std::uint32_t>(*number);
}

std::string FieldNumberMessage(const NumberField& field, std::string_view text) {
  return "「" + std::string(field.caption) + "」には " + std::to_string(field.min) + "～" +
         std::to_string(field.max) + " の整数を入れて下さい（今は「" + std::string(text) + "」）。";
}

std::string FormatByteSize(std::uint64_t bytes) {
  std::uint64_t unit = 1024;
  const char* name = "KB";
  if (bytes >= (1ull << 30)) {
    unit = 1ull << 30;
    name = "GB";
  } else if (bytes >= (1ull << 20)) {
    unit = 1ull << 20;
    name = "MB";
  }
  // In hundredths, from whole units and the rest, so nothing overflows.
  const std::uint64_t whole = bytes / unit;
  const std::uint64_t hundredths = whole * 100 + ((bytes % unit) * 100 + unit / 2) / unit;
  std::string cents = std::to_string(hundredths % 100);
  if (cents.size() < 2) cents.insert(0, "0");
  return std::to_string(hundredths / 100) + "." + cents + name;
}

std::uint32_t PresetLockLimit(int index) {
  constexpr std::uint32_t kLimits[] = {262144, 524288, 1048576, 2097152, 4194304};
  return index >= 0 && index < 5 ? kLimits[index] : 0;
}

SubsystemValue::SubsystemValue(std::string_view text) : tokens_(Split(text, ' ')) {}

std::optional<size_t> SubsystemValue::SharedSectionIndex() const {
  for (size_t i = 0; i < tokens_.size(); ++i) {
    const size_t equals = tokens_[i].find('=');
    if (equals != std::string::npos && SameTextIgnoringCase(std::string_view(tokens_[i]).substr(0, equals), "SharedSection"))
      return i;
  }
  return std::nullopt;
}

std::optional<std::array<std::string, 3>> SubsystemValue::SharedSection() const {
  const std::optional<size_t> index = SharedSectionIndex();
  if (!index) return std::nullopt;
  const std::string& token = tokens_[*index];
  const std::vector<std::string> parts = Split(std::string_view(token).substr(token.find('=') + 1), ',');
  if (parts.size() < 3) return std::nullopt;
  return std::array<std::string, 3>{parts[0], parts[1], parts[2]};
}

std::optional<std::string> SubsystemValue::SharedSectionToken() const {
  const std::optional<size_t> index = SharedSectionIndex();
  if (!index) return std::nullopt;
  return tokens_[*index];
}

std::string SubsystemValue::WithSharedSectionToken(std::string_view token) const {
  std::vector<std::string> tokens = tokens_;
  if (const std::optional<size_t> index = SharedSectionIndex()) tokens[*index] = token;
  return Join(tokens, ' ');
}

std::string SubsystemValue::WithSharedSection(const std::array<std::string, 3>& numbers) const {
  const std::optional<std::string> token = SharedSectionToken();
  if (!token) return Join(tokens_, ' ');
  const size_t equals = token->find('=');
  std::vector<std::string> parts = Split(std::string_view(*token).substr(equals + 1), ',');
  for (size_t i = 0; i < 3 && i < parts.size(); ++i) parts[i] = numbers[i];
  return WithSharedSectionToken(token->substr(0, equals + 1) + Join(parts, ','));
}

std::array<int, 3> PriorityItems(std::uint32_t value) {
  auto item = [&](int shift) { return std::min(static_cast<int>((value >> shift) & 3), 2); };
  return {item(4), item(2), item(0)};
}

std::uint32_t ComposePriority(const std::array<int, 3>& items) {
  return static_cast<std::uint32_t>((items[0] << 4) | (items[1] << 2) | items[2]);
}

std::optional<float> ParseDecimal(std::string_view text) {
  text = Trim(text, Blanks::kSpacesAndTabs);
  if (text.empty()) return std::nullopt;
  float value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size() || !std::isfinite(value)) return std::nullopt;
  return value;
}

long double ComputeRwin(float speed, int size, float latency) {
  return static_cast<long double>(speed) * size * 0.125L * latency;
}

std::string FormatGeneral(long double value) {
  char text[64];
  const auto [end, error] =
      std::to_chars(text, text + sizeof text, static_cast<double>(value), std::chars_format::general, 15);
  return error == std::errc() ? std::string(text, end) : std::string();
}

std::optional<std::uint32_t> RwinToWrite(std::string_view text) {
  text = Trim(text, Blanks::kSpacesAndTabs);
  double value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (text.empty() || error != std::errc() || end != text.data() + text.size() || !std::isfinite(value))
    return std::nullopt;
  const double whole = std::trunc(value);
  if (whole < 0 || whole > 4294967295.0) return std::nullopt;
  return static_cast<std::uint32_t>(whole);
}

PingHost PingHostFrom(std::string_view typed) {
  std::string host(Trim(typed, Blanks::kSpacesAndTabs));
  std::string lower = host;
  for (char& c : lower) c = LowerAscii(c);
  if (lower.find("www") != std::string::npos) {
    const size_t dot = host.find('.');
    if (dot == std::string::npos) return {};
    // Only a first label that is "www" (after a scheme, if any) names the web server: the
    // rest of a "wwwmaker.jp" is no host of its own.
    if (lower.substr(0, dot).ends_with("www")) host = host.substr(dot + 1);
  }
  if (!host.empty() && host.back() == '/') host.pop_back();
  if (host.empty()) return {};
  PingHost result{PingHost::Kind::kPing, host};
  // A leading "-" would be read as one of ping's switches.
  bool safe = host.front() != '-';
  for (unsigned char c : host) safe = safe && HostCharacter(c);
  if (!safe) result.kind = PingHost::Kind::kRefused;
  return result;
}

std::string PingParameters(std::string_view packet_size, std::string_view host) {
  return "/k ping -f -l " + std::string(packet_size) + " " + std::string(host);
}

bool IsWebAddress(std::string_view address) {
  const std::string_view scheme = SameTextIgnoringCase(address.substr(0, 7), "http://") ? address.substr(0, 7)
                                  : SameTextIgnoringCase(address.substr(0, 8), "https://") ? address.substr(0, 8)
                                                                                           : std::string_view();
  if (scheme.empty() || address.size() == scheme.size()) return false;
  for (unsigned char c : address)
    if (c <= ' ' || c == '"' || c == 0x7F) return false;
  return true;
}

}  // namespace orvela

namespace orvela {

bool OpenWebPageWith(std::string_view address, const WebPageOpener& shell_open) {
  if (shell_open("IEXPLORE.EXE", "\"" + std::string(address) + "\"")) return true;
  // Today's Windows has no Internet Explorer: the address goes to the default browser.
  return shell_open(address, "");
}

}  // namespace orvela
