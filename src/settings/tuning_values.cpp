#include "settings/tuning_values.h"

#include "regfile/registry_accessor.h"

namespace orvela {
namespace {

// HKEY_LOCAL_MACHINE
constexpr std::string_view kMemoryManagementKey = "\\SYSTEM\\CurrentControlSet\\Control\\Session Manager\\Memory Management";
constexpr std::string_view kSubSystemsKey = "\\SYSTEM\\CurrentControlSet\\Control\\Session Manager\\SubSystems";
constexpr std::string_view kLanmanServerKey = "\\SYSTEM\\CurrentControlSet\\Services\\lanmanserver\\parameters";
constexpr std::string_view kPriorityControlKey = "\\SYSTEM\\CurrentControlSet\\Control\\PriorityControl";
constexpr std::string_view kTcpipKey = "\\SYSTEM\\CurrentControlSet\\Services\\Tcpip\\Parameters";
constexpr std::string_view kInterfacesKey = "\\SYSTEM\\CurrentControlSet\\Services\\Tcpip\\Parameters\\Interfaces\\";
constexpr std::string_view kNetworkCardsKey = "\\SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\NetworkCards";
// HKEY_CURRENT_USER
constexpr std::string_view kExplorerKey = "\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer";
constexpr std::string_view kDesktopKey = "\\Control Panel\\Desktop";
constexpr std::string_view kWindowMetricsKey = "\\Control Panel\\Desktop\\WindowMetrics";
constexpr std::string_view kPoliciesExplorerKey = "\\Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Explorer";

bool Open(TRegistry& registry, RootKey root, std::string_view path) {
  registry.SetRootKey(root);
  return registry.OpenKeyReadOnly(path);
}

void ReadText(const TRegistry& registry, std::string_view name, std::string& shown) {
  if (std::optional<std::string> text = registry.ReadString(name)) shown = *text;
}

bool Has(std::uint32_t mask, int bit) { return (mask >> bit) & 1; }

// The number fields of a group: only those the user changed are checked and written.
class FieldCheck {
 public:
  explicit FieldCheck(std::vector<std::string>& messages) : messages_(messages) {}
  // The number to write; nullopt for a field that shows what is stored (it keeps its value,
  // whatever it is) or one that is no number in its range (told; ok() turns false).
  std::optional<std::uint32_t> Changed(const NumberField& field, const std::string& shown, const std::string& stored) {
    if (shown == stored) return std::nullopt;
    const std::optional<std::uint32_t> n = FieldNumber(field, shown);
    if (!n) {
      messages_.push_back(FieldNumberMessage(field, shown));
      ok_ = false;
    }
    return n;
  }
  bool ok() const { return ok_; }

 private:
  std::vector<std::string>& messages_;
  bool ok_ = true;
};

enum class HeapWrite { kWritten, kChanged, kFailed };

// The heap number into the Windows value as it is now: only the SharedSection token changes
// (an installer may have added tokens since the fill), and only while it is the token read.
HeapWrite WriteHeap(SettingsWriter& writer, std::optional<SubsystemValue>& windows, std::uint32_t heap) {
  if (!writer.OpenKey(RootKey::kLocalMachine, kSubSystemsKey)) return HeapWrite::kFailed;
  const std::optional<RegistryValue> now = writer.registry().ReadValue("Windows");
  if (!now || (now->type != kRegSz && now->type != kRegExpandSz)) return HeapWrite::kChanged;
  const SubsystemValue present(RegistryDataToString(now->data));
  const std::optional<std::array<std::string, 3>> numbers = present.SharedSection();
  if (!numbers || present.SharedSectionToken() != windows->SharedSectionToken()) return HeapWrite::kChanged;
  const std::string text = present.WithSharedSection({(*numbers)[0], std::to_string(heap), (*numbers)[2]});
  // Of the type it has: the value is the system's, the page changes one number in it.
  if (!writer.WriteValue("Windows", RegistryValue{now->type, StringToRegistryData(text)})) return HeapWrite::kFailed;
  windows.emplace(text);
  return HeapWrite::kWritten;
}

constexpr std::uint32_t Bit(int bit) { return 1u << bit; }

// The Windows value's token list, when the value is a string.
std::optional<SubsystemValue> SubsystemValueOf(const std::optional<RegistryValue>& value) {
  if (!value || (value->type != kRegSz && value->type != kRegExpandSz)) return std::nullopt;
  return SubsystemValue(RegistryDataToString(value->data));
}

bool IsTuningValue(RootKey root, std::string_view key_path, std::string_view name) {
  struct Known {
    RootKey root;
    std::string_view key, name;
  };
  static constexpr RootKey lm = RootKey::kLocalMachine, cu = RootKey::kCurrentUser;
  static constexpr Known kKnown[] = {
      {lm, kMemoryManagementKey, "LargeSystemCache"}, {lm, kMemoryManagementKey, "DisablePagingExecutive"},
      {lm, kMemoryManagementKey, "IoPageLockLimit"},  {lm, kSubSystemsKey, "Windows"},
      {lm, kLanmanServerKey, "IRPStackSize"},         {lm, kPriorityControlKey, "Win32PrioritySeparation"},
      {lm, kTcpipKey, "TcpWindowSize"},               {cu, kExplorerKey, "MaxCachedIcons"},
      {cu, kExplorerKey, "link"},                     {cu, kDesktopKey, "MenuShowDelay"},
      {cu, kDesktopKey, "AutoEndTasks"},              {cu, kDesktopKey, "HungAppTimeout"},
      {cu, kDesktopKey, "WaitToKillAppTimeout"},      {cu, kWindowMetricsKey, "MinAnimate"},
      {cu, kPoliciesExplorerKey, "NoResolveTrack"},
  };
  const std::string key = NormalizeKeyPath(key_path);
  for (const Known& k : kKnown)
    if (k.root == root && SameRegistryName(NormalizeKeyPath(k.key), key) && SameRegistryName(k.name, name)) return true;
  // The MTU of a card: one key right under Interfaces, named by the card's service.
  const std::string interfaces = NormalizeKeyPath(kInterfacesKey) + "\\";
  if (root != lm || !SameRegistryName(name, "MTU") || key.size() <= interfaces.size()) return false;
  return SameRegistryName(std::string_view(key).substr(0, interfaces.size()), interfaces) &&
         key.find('\\', interfaces.size()) == std::string::npos;
}

}  // namespace

bool TuningScope::Records(RootKey root, std::string_view key_path, std::string_view name,
                          const std::optional<RegistryValue>& value) const {
  if (!IsTuningValue(root, key_path, name)) return false;
  if (!SameRegistryName(name, "Windows")) return true;
  const std::optional<SubsystemValue> windows = SubsystemValueOf(value);
  return windows && windows->SharedSectionToken();
}

std::optional<RegistryValue> TuningScope::ToWrite(std::string_view name, const RegistryValue& recorded,
                                                  const std::optional<RegistryValue>& present) const {
  if (!SameRegistryName(name, "Windows")) return recorded;
  const std::optional<SubsystemValue> now = SubsystemValueOf(present);
  if (!now || !now->SharedSectionToken()) return std::nullopt;
  const std::string text = now->WithSharedSectionToken(*SubsystemValueOf(recorded)->SharedSectionToken());
  return RegistryValue{present->type, StringToRegistryData(text)};
}

std::vector<NetworkCard> FillNetworkCards(TRegistry& registry) {
  std::vector<NetworkCard> cards;
  if (!Open(registry, RootKey::kLocalMachine, kNetworkCardsKey)) return cards;
  const std::vector<std::string> subkeys = registry.GetKeyNames();
  registry.CloseKey();
  for (const std::string& subkey : subkeys) {
    NetworkCard card;
    if (Open(registry, RootKey::kLocalMachine, std::string(kNetworkCardsKey) + "\\" + subkey)) {
      ReadText(registry, "ServiceName", card.service);
      ReadText(registry, "Description", card.description);
    }
    registry.CloseKey();
    cards.push_back(std::move(card));
  }
  return cards;
}

std::string MtuTextOf(TRegistry& registry, std::string_view service) {
  std::string text = "1460";
  if (Open(registry, RootKey::kLocalMachine, std::string(kInterfacesKey) + std::string(service)))
    if (std::optional<std::uint32_t> mtu = registry.ReadInteger("MTU")) text = std::to_string(std::uint64_t{*mtu} + 12);
  registry.CloseKey();
  return text;
}

void FillSettingsPages(TRegistry& registry, const SettingsRead& sheets) {
  MemorySheet& memory = sheets.memory;
  OtherSheet& other = sheets.other;
  if (Open(registry, RootKey::kLocalMachine, kMemoryManagementKey)) {
    if (auto n = registry.ReadInteger("LargeSystemCache")) memory.large_system_cache = *n != 0;
    if (auto n = registry.ReadInteger("DisablePagingExecutive")) memory.disable_paging_executive = *n != 0;
    if (auto n = registry.ReadInteger("IoPageLockLimit")) {
      memory.io_page_lock_limit = std::to_string(*n);
      memory.io_page_lock_limit_size = FormatByteSize(*n);
    }
  }
  // The token list is that of this reading: a value no longer there leaves none to write,
  // and no numbers of an earlier reading.
  sheets.windows.reset();
  memory.system_heap.clear();
  memory.desktop_heap.clear();
  memory.noninteractive_heap.clear();
  if (Open(registry, RootKey::kLocalMachine, kSubSystemsKey)) {
    if (std::optional<std::string> text = registry.ReadString("Windows")) {
      sheets.windows.emplace(*text);
      if (auto numbers = sheets.windows->SharedSection()) {
        memory.system_heap = (*numbers)[0];
        memory.desktop_heap = (*numbers)[1];
        memory.noninteractive_heap = (*numbers)[2];
      }
    }
  }
  memory.irp_stack_size = "11";
  if (Open(registry, RootKey::kLocalMachine, kLanmanServerKey))
    if (auto n = registry.ReadInteger("IRPStackSize")) memory.irp_stack_size = std::to_string(*n);
  if (Open(registry, RootKey::kLocalMachine, kPriorityControlKey))
    if (auto n = registry.ReadInteger("Win32PrioritySeparation")) other.priority_separation = PriorityItems(*n);

  sheets.network.cards = FillNetworkCards(registry);
  if (Open(registry, RootKey::kLocalMachine, kTcpipKey))
    if (auto n = registry.ReadInteger("TcpWindowSize")) sheets.network.tcp_window_size = std::to_string(*n);

  if (Open(registry, RootKey::kCurrentUser, kExplorerKey)) {
    ReadText(registry, "MaxCachedIcons", memory.max_cached_icons);
    if (auto bytes = registry.ReadBinaryData("link"); bytes && bytes->size() == 4)
      other.no_shortcut_prefix = (*bytes)[0] == 0 && (*bytes)[1] == 0 && (*bytes)[2] == 0 && (*bytes)[3] == 0;
  }
  if (Open(registry, RootKey::kCurrentUser, kDesktopKey)) {
    ReadText(registry, "MenuShowDelay", other.menu_show_delay);
    if (auto text = registry.ReadString("AutoEndTasks")) other.auto_end_tasks = *text == "1";
    ReadText(registry, "HungAppTimeout", other.hung_app_timeout);
    ReadText(registry, "WaitToKillAppTimeout", other.wait_to_kill_app_timeout);
  }
  if (Open(registry, RootKey::kCurrentUser, kWindowMetricsKey)) ReadText(registry, "MinAnimate", other.min_animate);
  other.no_resolve_track = false;
  if (Open(registry, RootKey::kCurrentUser, kPoliciesExplorerKey))
    if (auto n = registry.ReadInteger("NoResolveTrack")) other.no_resolve_track = *n != 0;
  registry.CloseKey();
}

ApplyResult ApplyMemorySheet(SettingsWriter& writer, const MemorySheet& sheet, MemorySheet& stored,
                             std::optional<SubsystemValue>& windows, std::uint32_t mask) {
  ApplyResult result{mask, {}};
  auto fail = [&] {
    result.messages.push_back(writer.error());
    writer.registry().CloseKey();
    return result;
  };
  if (mask & 0b111) {
    if (!writer.OpenKey(RootKey::kLocalMachine, kMemoryManagementKey)) return fail();
    if (Has(mask, 0)) {
      if (!writer.WriteInteger("LargeSystemCache", sheet.large_system_cache ? 1 : 0)) return fail();
      result.mask &= ~Bit(0);
    }
    if (Has(mask, 1)) {
      if (!writer.WriteInteger("DisablePagingExecutive", sheet.disable_paging_executive ? 1 : 0)) return fail();
      result.mask &= ~Bit(1);
    }
    if (Has(mask, 2)) {
      FieldCheck check(result.messages);
      const std::optional<std::uint32_t> limit = check.Changed(kLockLimitField, sheet.io_page_lock_limit, stored.io_page_lock_limit);
      if (check.ok()) {
        if (limit && !writer.WriteInteger("IoPageLockLimit", *limit)) return fail();
        stored.io_page_lock_limit = sheet.io_page_lock_limit;
        result.mask &= ~Bit(2);
      }
    }
  }
  if (Has(mask, 4)) {
    const bool heap_read = windows && windows->SharedSection();
    FieldCheck check(result.messages);
    const std::optional<std::uint32_t> heap =
        heap_read ? check.Changed(kHeapField, sheet.desktop_heap, stored.desktop_heap) : std::nullopt;
    const std::optional<std::uint32_t> irp = check.Changed(kIrpStackField, sheet.irp_stack_size, stored.irp_stack_size);
    if (check.ok()) {
      if (!heap_read && sheet.desktop_heap != stored.desktop_heap) result.messages.emplace_back(kSharedSectionNotRead);
      if (heap) {
        const HeapWrite written = WriteHeap(writer, windows, *heap);
        if (written == HeapWrite::kFailed) return fail();
        if (written == HeapWrite::kChanged) {
          result.messages.emplace_back(kSharedSectionChanged);
          result.refill = true;
        } else {
          stored.desktop_heap = sheet.desktop_heap;
        }
      }
      if (irp) {
        if (!writer.OpenKey(RootKey::kLocalMachine, kLanmanServerKey)) return fail();
        if (!writer.WriteInteger("IRPStackSize", *irp)) return fail();
      }
      stored.irp_stack_size = sheet.irp_stack_size;
      if (!result.refill) result.mask &= ~Bit(4);
    }
  }
  if (Has(mask, 3)) {
    FieldCheck check(result.messages);
    const std::optional<std::uint32_t> icons = check.Changed(kCachedIconsField, sheet.max_cached_icons, stored.max_cached_icons);
    if (check.ok()) {
      if (icons) {
        if (!writer.OpenKey(RootKey::kCurrentUser, kExplorerKey)) return fail();
        if (!writer.WriteString("MaxCachedIcons", std::to_string(*icons))) return fail();
      }
      stored.max_cached_icons = sheet.max_cached_icons;
      result.mask &= ~Bit(3);
    }
  }
  writer.registry().CloseKey();
  return result;
}

ApplyResult ApplyOtherSheet(SettingsWriter& writer, const OtherSheet& sheet, OtherSheet& stored, std::uint32_t mask) {
  ApplyResult result{mask, {}};
  auto fail = [&] {
    result.messages.push_back(writer.error());
    writer.registry().CloseKey();
    return result;
  };
  // A group of one number field and its string value.
  auto number_group = [&](int bit, const NumberField& field, const std::string& shown, std::string& kept,
                          std::string_view key, std::string_view name) {
    FieldCheck check(result.messages);
    const std::optional<std::uint32_t> n = check.Changed(field, shown, kept);
    if (!check.ok()) return true;
    if (n && !(writer.OpenKey(RootKey::kCurrentUser, key) && writer.WriteString(name, std::to_string(*n)))) return false;
    kept = shown;
    result.mask &= ~Bit(bit);
    return true;
  };
  if (Has(mask, 0) && !number_group(0, kMenuDelayField, sheet.menu_show_delay, stored.menu_show_delay, kDesktopKey, "MenuShowDelay"))
    return fail();
  if (Has(mask, 2)) {
    FieldCheck check(result.messages);
    const std::optional<std::uint32_t> hung = check.Changed(kHungTimeoutField, sheet.hung_app_timeout, stored.hung_app_timeout);
    const std::optional<std::uint32_t> kill = check.Changed(kKillTimeoutField, sheet.wait_to_kill_app_timeout, stored.wait_to_kill_app_timeout);
    if (check.ok()) {
      if (!writer.OpenKey(RootKey::kCurrentUser, kDesktopKey)) return fail();
      if (!writer.WriteString("AutoEndTasks", sheet.auto_end_tasks ? "1" : "0")) return fail();
      if (hung && !writer.WriteString("HungAppTimeout", std::to_string(*hung))) return fail();
      stored.hung_app_timeout = sheet.hung_app_timeout;
      if (kill && !writer.WriteString("WaitToKillAppTimeout", std::to_string(*kill))) return fail();
      stored.wait_to_kill_app_timeout = sheet.wait_to_kill_app_timeout;
      result.mask &= ~Bit(2);
    }
  }
  if (Has(mask, 1) && !number_group(1, kMinAnimateField, sheet.min_animate, stored.min_animate, kWindowMetricsKey, "MinAnimate"))
    return fail();
  if (Has(mask, 3)) {
    const std::array<int, 3>& items = sheet.priority_separation;
    if (items[0] < 0 || items[1] < 0 || items[2] < 0) {
      result.messages.emplace_back(kPriorityNotChosen);
    } else {
      if (!writer.OpenKey(RootKey::kLocalMachine, kPriorityControlKey)) return fail();
      if (!writer.WriteInteger("Win32PrioritySeparation", ComposePriority(items))) return fail();
      result.mask &= ~Bit(3);
    }
  }
  if (Has(mask, 4)) {
    if (!writer.OpenKey(RootKey::kCurrentUser, kPoliciesExplorerKey)) return fail();
    if (!writer.WriteInteger("NoResolveTrack", sheet.no_resolve_track ? 1 : 0)) return fail();
    result.mask &= ~Bit(4);
  }
  if (Has(mask, 5)) {
    if (!writer.OpenKey(RootKey::kCurrentUser, kExplorerKey)) return fail();
    const std::uint8_t first = sheet.no_shortcut_prefix ? 0x00 : 0x1B;
    if (!writer.WriteValue("link", RegistryValue{kRegBinary, {first, 0, 0, 0}})) return fail();
    result.mask &= ~Bit(5);
  }
  writer.registry().CloseKey();
  return result;
}

RwinComputation ComputeRwinText(std::string_view latency_text, std::string_view speed_text, std::string_view packet_size_text) {
  RwinComputation result;
  if (latency_text.empty() || speed_text.empty()) return result;
  const std::optional<float> latency = ParseDecimal(latency_text);
  const std::optional<float> speed = ParseDecimal(speed_text);
  const std::optional<std::uint32_t> packet = FieldNumber(kMtuField, packet_size_text);
  if (!latency || *latency < 0) {
    result.message = "「Average（応答遅延時間）」には 0 以上の数値を入れて下さい（今は「" + std::string(latency_text) + "」）。";
  } else if (!speed || *speed < 0) {
    result.message = "「下りデータ速度」には 0 以上の数値を入れて下さい（今は「" + std::string(speed_text) + "」）。";
  } else if (!packet) {
    result.message = FieldNumberMessage(kMtuField, packet_size_text);
  } else {
    result.computed = true;
    result.text = FormatGeneral(ComputeRwin(*speed, static_cast<int>(*packet) - 12, *latency));
  }
  return result;
}

NetworkApply ApplyNetworkValues(SettingsWriter& writer, std::string_view rwin_text, std::string_view interface_id,
                                std::string_view mtu_text) {
  NetworkApply result;
  if (rwin_text.empty() || interface_id.empty()) return result;
  const std::optional<std::uint32_t> rwin = RwinToWrite(rwin_text);
  const std::optional<std::uint32_t> mtu = FieldNumber(kMtuField, mtu_text);
  if (!rwin) {
    result.message = "「RWIN」には 0～4294967295 の数値を入れて下さい（今は「" + std::string(rwin_text) + "」）。";
    return result;
  }
  if (!mtu) {
    result.message = FieldNumberMessage(kMtuField, mtu_text);
    return result;
  }
  const bool ok = writer.OpenKey(RootKey::kLocalMachine, kTcpipKey) && writer.WriteInteger("TcpWindowSize", *rwin) &&
                  writer.OpenKey(RootKey::kLocalMachine, std::string(kInterfacesKey) + std::string(interface_id)) &&
                  writer.WriteInteger("MTU", *mtu - 12);
  writer.registry().CloseKey();
  if (!ok) {
    result.message = writer.error();
    return result;
  }
  result.written = true;
  result.message = "MTU=" + std::to_string(*mtu) + "\nRWIN=" + std::to_string(*rwin) + "\n\n上記の値を設定しました。";
  return result;
}

}  // namespace orvela
