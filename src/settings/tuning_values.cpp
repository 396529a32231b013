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
    if (auto n = registry.ReadInteger("LargeSystemCache")) memory.CheckBox1 = *n != 0;
    if (auto n = registry.ReadInteger("DisablePagingExecutive")) memory.CheckBox2 = *n != 0;
    if (auto n = registry.ReadInteger("IoPageLockLimit")) {
      memory.Edit3 = std::to_string(*n);
      memory.Label27 = FormatByteSize(*n);
    }
  }
  // The token list is that of this reading: a value no longer there leaves none to write,
  // and no numbers of an earlier reading.
  sheets.windows.reset();
  memory.Edit6.clear();
  memory.Edit7.clear();
  memory.Edit8.clear();
  if (Open(registry, RootKey::kLocalMachine, kSubSystemsKey)) {
    if (std::optional<std::string> text = registry.ReadString("Windows")) {
      sheets.windows.emplace(*text);
      if (auto numbers = sheets.windows->SharedSection()) {
        memory.Edit6 = (*numbers)[0];
        memory.Edit7 = (*numbers)[1];
        memory.Edit8 = (*numbers)[2];
      }
    }
  }
  memory.Edit9 = "11";
  if (Open(registry, RootKey::kLocalMachine, kLanmanServerKey))
    if (auto n = registry.ReadInteger("IRPStackSize")) memory.Edit9 = std::to_string(*n);
  if (Open(registry, RootKey::kLocalMachine, kPriorityControlKey))
    if (auto n = registry.ReadInteger("Win32PrioritySeparation")) other.RadioGroups = PriorityItems(*n);

  sheets.network.cards = FillNetworkCards(registry);
  if (Open(registry, RootKey::kLocalMachine, kTcpipKey))
    if (auto n = registry.ReadInteger("TcpWindowSize")) sheets.network.Edit17 = std::to_string(*n);

  if (Open(registry, RootKey::kCurrentUser, kExplorerKey)) {
    ReadText(registry, "MaxCachedIcons", memory.Edit11);
    if (auto bytes = registry.ReadBinaryData("link"); bytes && bytes->size() == 4)
      other.CheckBox5 = (*bytes)[0] == 0 && (*bytes)[1] == 0 && (*bytes)[2] == 0 && (*bytes)[3] == 0;
  }
  if (Open(registry, RootKey::kCurrentUser, kDesktopKey)) {
    ReadText(registry, "MenuShowDelay", other.Edit1);
    if (auto text = registry.ReadString("AutoEndTasks")) other.CheckBox3 = *text == "1";
    ReadText(registry, "HungAppTimeout", other.Edit4);
    ReadText(registry, "WaitToKillAppTimeout", other.Edit5);
  }
  if (Open(registry, RootKey::kCurrentUser, kWindowMetricsKey)) ReadText(registry, "MinAnimate", other.Edit2);
  other.CheckBox4 = false;
  if (Open(registry, RootKey::kCurrentUser, kPoliciesExplorerKey))
    if (auto n = registry.ReadInteger("NoResolveTrack")) other.CheckBox4 = *n != 0;
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
      if (!writer.WriteInteger("LargeSystemCache", sheet.CheckBox1 ? 1 : 0)) return fail();
      result.mask &= ~Bit(0);
    }
    if (Has(mask, 1)) {
      if (!writer.WriteInteger("DisablePagingExecutive", sheet.CheckBox2 ? 1 : 0)) return fail();
      result.mask &= ~Bit(1);
    }
    if (Has(mask, 2)) {
      FieldCheck check(result.messages);
      const std::optional<std::uint32_t> limit = check.Changed(kLockLimitField, sheet.Edit3, stored.Edit3);
      if (check.ok()) {
        if (limit && !writer.WriteInteger("IoPageLockLimit", *limit)) return fail();
        stored.Edit3 = sheet.Edit3;
        result.mask &= ~Bit(2);
      }
    }
  }
  if (Has(mask, 4)) {
    const bool heap_read = windows && windows->SharedSection();
    FieldCheck check(result.messages);
    const std::optional<std::uint32_t> heap =
        heap_read ? check.Changed(kHeapField, sheet.Edit7, stored.Edit7) : std::nullopt;
    const std::optional<std::uint32_t> irp = check.Changed(kIrpStackField, sheet.Edit9, stored.Edit9);
    if (check.ok()) {
      if (!heap_read && sheet.Edit7 != stored.Edit7) result.messages.emplace_back(kSharedSectionNotRead);
      if (heap) {
        const HeapWrite written = WriteHeap(writer, windows, *heap);
        if (written == HeapWrite::kFailed) return fail();
        if (written == HeapWrite::kChanged) {
          result.messages.emplace_back(kSharedSectionChanged);
          result.refill = true;
        } else {
          stored.Edit7 = sheet.Edit7;
        }
      }
      if (irp) {
        if (!writer.OpenKey(RootKey::kLocalMachine, kLanmanServerKey)) return fail();
        if (!writer.WriteInteger("IRPStackSize", *irp)) return fail();
      }
      stored.Edit9 = sheet.Edit9;
      if (!result.refill) result.mask &= ~Bit(4);
    }
  }
  if (Has(mask, 3)) {
    FieldCheck check(result.messages);
    const std::optional<std::uint32_t> icons = check.Changed(kCachedIconsField, sheet.Edit11, stored.Edit11);
    if (check.ok()) {
      if (icons) {
        if (!writer.OpenKey(RootKey::kCurrentUser, kExplorerKey)) return fail();
        if (!writer.WriteString("MaxCachedIcons", std::to_string(*icons))) return fail();
      }
      stored.Edit11 = sheet.Edit11;
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
  if (Has(mask, 0) && !number_group(0, kMenuDelayField, sheet.Edit1, stored.Edit1, kDesktopKey, "MenuShowDelay"))
    return fail();
  if (Has(mask, 2)) {
    FieldCheck check(result.messages);
    const std::optional<std::uint32_t> hung = check.Changed(kHungTimeoutField, sheet.Edit4, stored.Edit4);
    const std::optional<std::uint32_t> kill = check.Changed(kKillTimeoutField, sheet.Edit5, stored.Edit5);
    if (check.ok()) {
      if (!writer.OpenKey(RootKey::kCurrentUser, kDesktopKey)) return fail();
      if (!writer.WriteString("AutoEndTasks", sheet.CheckBox3 ? "1" : "0")) return fail();
      if (hung && !writer.WriteString("HungAppTimeout", std::to_string(*hung))) return fail();
      stored.Edit4 = sheet.Edit4;
      if (kill && !writer.WriteString("WaitToKillAppTimeout", std::to_string(*kill))) return fail();
      stored.Edit5 = sheet.Edit5;
      result.mask &= ~Bit(2);
    }
  }
  if (Has(mask, 1) && !number_group(1, kMinAnimateField, sheet.Edit2, stored.Edit2, kWindowMetricsKey, "MinAnimate"))
    return fail();
  if (Has(mask, 3)) {
    const std::array<int, 3>& items = sheet.RadioGroups;
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
    if (!writer.WriteInteger("NoResolveTrack", sheet.CheckBox4 ? 1 : 0)) return fail();
    result.mask &= ~Bit(4);
  }
  if (Has(mask, 5)) {
    if (!writer.OpenKey(RootKey::kCurrentUser, kExplorerKey)) return fail();
    const std::uint8_t first = sheet.CheckBox5 ? 0x00 : 0x1B;
    if (!writer.WriteValue("link", RegistryValue{kRegBinary, {first, 0, 0, 0}})) return fail();
    result.mask &= ~Bit(5);
  }
  writer.registry().CloseKey();
  return result;
}

RwinComputation ComputeRwinText(std::string_view edit14, std::string_view edit15, std::string_view edit16) {
  RwinComputation result;
  if (edit14.empty() || edit15.empty()) return result;
  const std::optional<float> latency = ParseDecimal(edit14);
  const std::optional<float> speed = ParseDecimal(edit15);
  const std::optional<std::uint32_t> packet = FieldNumber(kMtuField, edit16);
  if (!latency || *latency < 0) {
    result.message = "「Average（応答遅延時間）」には 0 以上の数値を入れて下さい（今は「" + std::string(edit14) + "」）。";
  } else if (!speed || *speed < 0) {
    result.message = "「下りデータ速度」には 0 以上の数値を入れて下さい（今は「" + std::string(edit15) + "」）。";
  } else if (!packet) {
    result.message = FieldNumberMessage(kMtuField, edit16);
  } else {
    result.computed = true;
    result.text = FormatGeneral(ComputeRwin(*speed, static_cast<int>(*packet) - 12, *latency));
  }
  return result;
}

NetworkApply ApplyNetworkValues(SettingsWriter& writer, std::string_view edit17, std::string_view edit18,
                                std::string_view edit12) {
  NetworkApply result;
  if (edit17.empty() || edit18.empty()) return result;
  const std::optional<std::uint32_t> rwin = RwinToWrite(edit17);
  const std::optional<std::uint32_t> mtu = FieldNumber(kMtuField, edit12);
  if (!rwin) {
    result.message = "「RWIN」には 0～4294967295 の数値を入れて下さい（今は「" + std::string(edit17) + "」）。";
    return result;
  }
  if (!mtu) {
    result.message = FieldNumberMessage(kMtuField, edit12);
    return result;
  }
  const bool ok = writer.OpenKey(RootKey::kLocalMachine, kTcpipKey) && writer.WriteInteger("TcpWindowSize", *rwin) &&
                  writer.OpenKey(RootKey::kLocalMachine, std::string(kInterfacesKey) + std::string(edit18)) &&
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
