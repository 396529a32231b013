#include "settings/tuning_values.h"

#include "regfile/registry.h"

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
  return registry.OpenKey(path, false);
}

void ReadText(const TRegistry& registry, std::string_view name, std::string& shown) {
  if (std::optional<std::string> text = registry.ReadString(name)) shown = *text;
}

bool Has(std::uint32_t mask, int bit) { return (mask >> bit) & 1; }

// The numbers of the fields a group writes, or the messages of those that are none.
class FieldCheck {
 public:
  explicit FieldCheck(std::vector<std::string>& messages) : messages_(messages) {}
  std::string Number(const NumberField& field, std::string_view text) {
    const std::optional<std::uint32_t> n = FieldNumber(field, text);
    if (!n) {
      messages_.push_back(FieldNumberMessage(field, text));
      ok_ = false;
      return {};
    }
    return std::to_string(*n);
  }
  bool ok() const { return ok_; }

 private:
  std::vector<std::string>& messages_;
  bool ok_ = true;
};

std::uint32_t Decimal(const std::string& canonical) { return static_cast<std::uint32_t>(std::stoul(canonical)); }

}  // namespace

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
  // The token list is that of this reading: a value no longer there leaves none to write.
  sheets.windows.reset();
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

ApplyResult ApplyMemorySheet(SettingsWriter& writer, const MemorySheet& sheet,
                             const std::optional<SubsystemValue>& windows, std::uint32_t mask) {
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
      result.mask &= ~(1u << 0);
    }
    if (Has(mask, 1)) {
      if (!writer.WriteInteger("DisablePagingExecutive", sheet.CheckBox2 ? 1 : 0)) return fail();
      result.mask &= ~(1u << 1);
    }
    if (Has(mask, 2)) {
      FieldCheck check(result.messages);
      const std::string limit = check.Number(kLockLimitField, sheet.Edit3);
      if (check.ok()) {
        if (!writer.WriteInteger("IoPageLockLimit", Decimal(limit))) return fail();
        result.mask &= ~(1u << 2);
      }
    }
  }
  if (Has(mask, 4)) {
    const bool heap_read = windows && windows->SharedSection();
    FieldCheck check(result.messages);
    const std::string heap = heap_read ? check.Number(kHeapField, sheet.Edit7) : std::string();
    const std::string irp = check.Number(kIrpStackField, sheet.Edit9);
    if (check.ok()) {
      if (heap_read) {
        if (!writer.OpenKey(RootKey::kLocalMachine, kSubSystemsKey)) return fail();
        if (!writer.WriteExpandString("Windows", windows->WithSharedSection({sheet.Edit6, heap, sheet.Edit8})))
          return fail();
      } else {
        result.messages.emplace_back(kSharedSectionNotRead);
      }
      if (!writer.OpenKey(RootKey::kLocalMachine, kLanmanServerKey)) return fail();
      if (!writer.WriteInteger("IRPStackSize", Decimal(irp))) return fail();
      result.mask &= ~(1u << 4);
    }
  }
  if (Has(mask, 3)) {
    FieldCheck check(result.messages);
    const std::string icons = check.Number(kCachedIconsField, sheet.Edit11);
    if (check.ok()) {
      if (!writer.OpenKey(RootKey::kCurrentUser, kExplorerKey)) return fail();
      if (!writer.WriteString("MaxCachedIcons", icons)) return fail();
      result.mask &= ~(1u << 3);
    }
  }
  writer.registry().CloseKey();
  return result;
}

ApplyResult ApplyOtherSheet(SettingsWriter& writer, const OtherSheet& sheet, std::uint32_t mask) {
  ApplyResult result{mask, {}};
  auto fail = [&] {
    result.messages.push_back(writer.error());
    writer.registry().CloseKey();
    return result;
  };
  if (Has(mask, 0)) {
    FieldCheck check(result.messages);
    const std::string delay = check.Number(kMenuDelayField, sheet.Edit1);
    if (check.ok()) {
      if (!writer.OpenKey(RootKey::kCurrentUser, kDesktopKey)) return fail();
      if (!writer.WriteString("MenuShowDelay", delay)) return fail();
      result.mask &= ~(1u << 0);
    }
  }
  if (Has(mask, 2)) {
    FieldCheck check(result.messages);
    const std::string hung = check.Number(kHungTimeoutField, sheet.Edit4);
    const std::string kill = check.Number(kKillTimeoutField, sheet.Edit5);
    if (check.ok()) {
      if (!writer.OpenKey(RootKey::kCurrentUser, kDesktopKey)) return fail();
      if (!writer.WriteString("AutoEndTasks", sheet.CheckBox3 ? "1" : "0")) return fail();
      if (!writer.WriteString("HungAppTimeout", hung)) return fail();
      if (!writer.WriteString("WaitToKillAppTimeout", kill)) return fail();
      result.mask &= ~(1u << 2);
    }
  }
  if (Has(mask, 1)) {
    FieldCheck check(result.messages);
    const std::string animate = check.Number(kMinAnimateField, sheet.Edit2);
    if (check.ok()) {
      if (!writer.OpenKey(RootKey::kCurrentUser, kWindowMetricsKey)) return fail();
      if (!writer.WriteString("MinAnimate", animate)) return fail();
      result.mask &= ~(1u << 1);
    }
  }
  if (Has(mask, 3)) {
    const std::array<int, 3>& items = sheet.RadioGroups;
    if (items[0] < 0 || items[1] < 0 || items[2] < 0) {
      result.messages.emplace_back(kPriorityNotChosen);
    } else {
      if (!writer.OpenKey(RootKey::kLocalMachine, kPriorityControlKey)) return fail();
      if (!writer.WriteInteger("Win32PrioritySeparation", ComposePriority(items))) return fail();
      result.mask &= ~(1u << 3);
    }
  }
  if (Has(mask, 4)) {
    if (!writer.OpenKey(RootKey::kCurrentUser, kPoliciesExplorerKey)) return fail();
    if (!writer.WriteInteger("NoResolveTrack", sheet.CheckBox4 ? 1 : 0)) return fail();
    result.mask &= ~(1u << 4);
  }
  if (Has(mask, 5)) {
    if (!writer.OpenKey(RootKey::kCurrentUser, kExplorerKey)) return fail();
    const std::uint8_t first = sheet.CheckBox5 ? 0x00 : 0x1B;
    if (!writer.WriteValue("link", RegistryValue{kRegBinary, {first, 0, 0, 0}})) return fail();
    result.mask &= ~(1u << 5);
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
