// The tuning values of the Windows-settings page: what each sheet shows (by the names of its
// controls), how the page reads them from the registry and how the apply buttons write the
// changed groups back through SettingsWriter (each write after its backup).
#pragma once
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "settings/settings_backup.h"
#include "settings/tuning_rules.h"

namespace orvela {

class TRegistry;

// "メモリ" (CheckBox1, CheckBox2, Edit3, Label27, Edit11, Edit6 to Edit9): bits of
// MemoryChangeMask are 0 large_system_cache, 1 disable_paging_executive, 2 io_page_lock_limit,
// 3 max_cached_icons, 4 the three heaps and irp_stack_size.
struct MemorySheet {
  bool large_system_cache = false;        // LargeSystemCache
  bool disable_paging_executive = false;  // DisablePagingExecutive
  std::string io_page_lock_limit;         // IoPageLockLimit
  std::string io_page_lock_limit_size;    // its size text
  std::string max_cached_icons;           // MaxCachedIcons
  std::string system_heap, desktop_heap, noninteractive_heap;  // SharedSection of the Windows value
  std::string irp_stack_size;             // IRPStackSize
};

// "その他" (Edit1, Edit2, CheckBox3, Edit4, Edit5, the radio groups, CheckBox4, CheckBox5): bits
// of OtherChangeMask are 0 menu_show_delay, 1 min_animate, 2 auto_end_tasks with the two
// timeouts, 3 priority_separation, 4 no_resolve_track, 5 no_shortcut_prefix.
struct OtherSheet {
  std::string menu_show_delay;           // MenuShowDelay
  std::string min_animate;               // MinAnimate
  bool auto_end_tasks = false;           // AutoEndTasks
  std::string hung_app_timeout;          // HungAppTimeout
  std::string wait_to_kill_app_timeout;  // WaitToKillAppTimeout
  std::array<int, 3> priority_separation{-1, -1, -1};  // Win32PrioritySeparation; -1: none chosen
  bool no_resolve_track = false;         // NoResolveTrack
  bool no_shortcut_prefix = false;       // link is 0: no "～へのショートカット" prefix
};

// One entry of the card map: ComboBox3 shows the description, Edit18 the service name.
struct NetworkCard {
  std::string description, service;
};

struct NetworkSheet {
  std::vector<NetworkCard> cards;  // NetworkCardMap, in the order of the subkeys
  std::string tcp_window_size;     // TcpWindowSize (Edit17)
};

// The number fields, with the ranges of their up-down buttons.
inline constexpr NumberField kLockLimitField{"デバイスドライバが使用できるメモリサイズの設定", 0, 0xFFFFFFFFu};
inline constexpr NumberField kCachedIconsField{"アイコンキャッシュのサイズ", 0, 4096};
inline constexpr NumberField kHeapField{"デスクトップアプリケーションヒープ", 3072, 4096};
inline constexpr NumberField kIrpStackField{"IRPStackSize", 11, 50};
inline constexpr NumberField kMenuDelayField{"メニューが開くまでの時間", 0, 1000};
inline constexpr NumberField kMinAnimateField{"ウィンドウが開閉するまでの時間", 0, 1000};
inline constexpr NumberField kHungTimeoutField{"応答待ちダイアログが表示されるまでの時間", 1000, 5000};
inline constexpr NumberField kKillTimeoutField{"終了出来ないアプリケーションのダイアログが表示されるまでの時間", 1000,
                                               20000};
inline constexpr NumberField kMtuField{"MTU", 500, 2000};

inline constexpr std::string_view kSharedSectionNotRead =
    "「Windows」の値の SharedSection を読み込めていないため、デスクトップアプリケーションヒープは書き込みませんでした。";
inline constexpr std::string_view kSharedSectionChanged =
    "「Windows」の値の SharedSection が、このページが読み込んだ後に変わりました。"
    "デスクトップアプリケーションヒープは書き込まずに、読み込み直しました。確かめてから、もう一度適用して下さい。";
inline constexpr std::string_view kPriorityNotChosen =
    "「CPUの優先度の変更」は、3つの項目をすべて選んでから適用して下さい。";

// The values the page reads. A key or value that is missing, or of another type, leaves
// what the sheet showed; a stored text that is no number shows as it is. `windows` is the
// token list of the Windows value as read now (nullopt when it was not read); the three
// SharedSection fields are emptied when it holds none, so nothing of an earlier reading
// stays.
struct SettingsRead {
  MemorySheet& memory;
  OtherSheet& other;
  NetworkSheet& network;
  std::optional<SubsystemValue>& windows;
};
void FillSettingsPages(TRegistry& registry, const SettingsRead& sheets);
// The card map from the NetworkCards key.
std::vector<NetworkCard> FillNetworkCards(TRegistry& registry);
// Edit12 for the chosen card: its MTU + 12, or "1460" when it has none.
std::string MtuTextOf(TRegistry& registry, std::string_view service);

// The values a restore may write: the page's own values in their keys, and MTU in one key
// right under Tcpip\Parameters\Interfaces. The Windows value (the system's command line of
// its subsystem) is only ever changed in its SharedSection token: a record of it is taken
// only as a string holding that token, and only the token goes back into the value as it is
// then.
class TuningScope : public BackupScope {
 public:
  bool Records(RootKey root, std::string_view key_path, std::string_view name,
               const std::optional<RegistryValue>& value) const override;
  std::optional<RegistryValue> ToWrite(std::string_view name, const RegistryValue& recorded,
                                       const std::optional<RegistryValue>& present) const override;
};

// What an apply did: the bits still marked (groups not written), what to tell the user, and
// whether the page must be read again (the Windows value changed under it).
struct ApplyResult {
  std::uint32_t mask = 0;
  std::vector<std::string> messages;
  bool refill = false;
};
// Writes the groups marked in `mask` in their fixed order. `stored` is the sheet as the
// registry holds it as far as the page knows (as the last fill showed it, with what was
// written since); the apply keeps it up to date. A number field is checked and written only
// when the user changed it: one that shows what is stored keeps its value, whatever it is. A
// changed field that is no number or lies outside its range keeps its group from being
// written (the others are); a failed write ends the apply, and what was written stays
// written. The heap number goes into the Windows value as it is at the apply, replacing
// only its SharedSection token, and only while that token is still the one `windows` read.
ApplyResult ApplyMemorySheet(SettingsWriter& writer, const MemorySheet& sheet, MemorySheet& stored,
                             std::optional<SubsystemValue>& windows, std::uint32_t mask);
ApplyResult ApplyOtherSheet(SettingsWriter& writer, const OtherSheet& sheet, OtherSheet& stored, std::uint32_t mask);

// Button3: RWIN from Edit14 (latency), Edit15 (speed) and Edit16 (packet size).
struct RwinComputation {
  bool computed = false;
  std::string text;     // for Edit17
  std::string message;  // why not, when something was no number
};
RwinComputation ComputeRwinText(std::string_view latency_text, std::string_view speed_text, std::string_view packet_size_text);

// Button4: TcpWindowSize from Edit17, the MTU of Edit18's interface from Edit12.
struct NetworkApply {
  bool written = false;
  std::string message;  // the confirmation, or what went wrong (empty: nothing to do)
};
NetworkApply ApplyNetworkValues(SettingsWriter& writer, std::string_view rwin_text, std::string_view interface_id,
                                std::string_view mtu_text);

}  // namespace orvela
