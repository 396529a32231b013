// The text rules of the Windows-settings page, apart from the registry and the controls:
// number fields, the size text, the SharedSection token of the subsystem value, the CPU
// priority fields, the RWIN sum and the ping and speed-test addresses.
#pragma once
#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace orvela {

// Decimal digits only (blanks around them allowed); nullopt for anything else or a number
// over 2^64 - 1.
std::optional<std::uint64_t> ParseWholeNumber(std::string_view text);

// A number field of the page: its row caption and the range the value must lie in.
struct NumberField {
  std::string_view caption;
  std::uint32_t min = 0;
  std::uint32_t max = 0xFFFFFFFFu;
};
// The field's number; nullopt when the text is no number or lies outside the range.
std::optional<std::uint32_t> FieldNumber(const NumberField& field, std::string_view text);
// "「メニューが開くまでの時間」には 0～1000 の整数を入れて下さい（今は「abc」）。"
std::string FieldNumberMessage(const NumberField& field, std::string_view text);

// "256.00KB", "2.00MB", "1.50GB": two decimals, halves rounded up.
std::string FormatByteSize(std::uint64_t bytes);
// IoPageLockLimit of the presets "64MB" to "1GB" (ComboBox4's items); 0 for any other index.
std::uint32_t PresetLockLimit(int index);
inline constexpr std::array<std::string_view, 5> kLockLimitPresets = {"64MB", "128MB", "256MB", "512MB", "1GB"};

// The `Windows` value of the SubSystems key: blank-separated tokens, each name=value. Only
// the SharedSection token is ever changed; every other byte stays as it was.
class SubsystemValue {
 public:
  explicit SubsystemValue(std::string_view text);

  // The first three comma-separated numbers of SharedSection; nullopt when there is no such
  // token or it holds fewer than three parts.
  std::optional<std::array<std::string, 3>> SharedSection() const;
  // The whole SharedSection token as it stands; nullopt when there is none.
  std::optional<std::string> SharedSectionToken() const;
  // The whole value with the SharedSection token replaced by `token`. Only when
  // SharedSectionToken() has a value.
  std::string WithSharedSectionToken(std::string_view token) const;
  // The whole value with SharedSection's first three parts replaced, in place. Parts after
  // the third stay. Only when SharedSection() has a value.
  std::string WithSharedSection(const std::array<std::string, 3>& numbers) const;

 private:
  std::optional<size_t> SharedSectionIndex() const;
  std::vector<std::string> tokens_;
};

// Win32PrioritySeparation: the item of each radio group (bits 5-4, 3-2, 1-0; a field of 3
// selects the last item), and the number they compose.
std::array<int, 3> PriorityItems(std::uint32_t value);
std::uint32_t ComposePriority(const std::array<int, 3>& items);

// A decimal number as the user types it ("20", "0.5", "1e3"); nullopt for anything else.
std::optional<float> ParseDecimal(std::string_view text);
// RWIN = speed x size x 0.125 x latency, in that order and in extended precision.
long double ComputeRwin(float speed, int size, float latency);
// The shortest general form, up to 15 significant digits: 362000, 1234.5.
std::string FormatGeneral(long double value);
// The TcpWindowSize for the RWIN text, truncated toward zero; nullopt when the text is no
// number or the result is no 32-bit count.
std::optional<std::uint32_t> RwinToWrite(std::string_view text);

// What the ping button does with the typed host.
struct PingHost {
  enum class Kind { kNothing, kRefused, kPing } kind = Kind::kNothing;
  std::string host;
};
// A "www." first label is dropped (with a scheme before it), then one trailing "/". A text
// with "www" but no "." does nothing; a host with characters the command interpreter would
// act on is refused.
PingHost PingHostFrom(std::string_view typed);
// cmd.exe's parameters: keep the window open with ping's output.
std::string PingParameters(std::string_view packet_size, std::string_view host);

// Only http:// and https:// addresses without blanks, quotes or control characters are
// opened: anything else could start a program.
bool IsWebAddress(std::string_view address);

// Starts a file with parameters the way ShellExecute "open" does; true when it started.
using WebPageOpener = std::function<bool(std::string_view file, std::string_view parameters)>;
// The speed-test page: "IEXPLORE.EXE" with the address, else the address itself (the
// system's browser).
bool OpenWebPageWith(std::string_view address, const WebPageOpener& shell_open);

// ASCII letters compare without case; everything else byte by byte.
bool SameTextIgnoringCase(std::string_view a, std::string_view b);

}  // namespace orvela
