// The tuning values as a Windows XP machine has them, written into a registry (the test
// prefix's or one in memory) and taken out again. Wine has none of the machine's keys but
// Memory Management and Tcpip\Parameters, and no card in the 64-bit NetworkCards key.
#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "regfile/registry_accessor.h"

namespace orvela::testing {

inline constexpr char kMemoryKey[] = "SYSTEM\\CurrentControlSet\\Control\\Session Manager\\Memory Management";
inline constexpr char kSubSystemsKey[] = "SYSTEM\\CurrentControlSet\\Control\\Session Manager\\SubSystems";
inline constexpr char kLanmanKey[] = "SYSTEM\\CurrentControlSet\\Services\\lanmanserver\\parameters";
inline constexpr char kPriorityKey[] = "SYSTEM\\CurrentControlSet\\Control\\PriorityControl";
inline constexpr char kTcpipKey[] = "SYSTEM\\CurrentControlSet\\Services\\Tcpip\\Parameters";
inline constexpr char kCardsKey[] = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\NetworkCards";
inline constexpr char kExplorerKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer";
inline constexpr char kDesktopKey[] = "Control Panel\\Desktop";
inline constexpr char kMetricsKey[] = "Control Panel\\Desktop\\WindowMetrics";
inline constexpr char kPoliciesKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Explorer";

inline constexpr char kWindowsValue[] =
    "%SystemRoot%\\system32\\csrss.exe ObjectDirectory=\\Windows SharedSection=1024,3072,512 Windows=On "
    "SubSystemType=Windows ServerDll=basesrv,1 ServerDll=winsrv:UserServerDllInitialization,3 ProfileControl=Off "
    "MaxRequestThreads=16";
inline constexpr char kCardWithMtu[] = "{4D36E972-E325-11CE-BFC1-08002BE10318}";
inline constexpr char kCardWithoutMtu[] = "{6BDD1FC6-810F-11D0-BEC7-08002BE2092F}";

inline RegistryValue DwordValue(std::uint32_t n) {
  return {kRegDword, {static_cast<std::uint8_t>(n), static_cast<std::uint8_t>(n >> 8),
                      static_cast<std::uint8_t>(n >> 16), static_cast<std::uint8_t>(n >> 24)}};
}
inline RegistryValue TextValue(std::string_view text, std::uint32_t type = kRegSz) {
  return {type, StringToRegistryData(text)};
}

// Writes one value, making its key; nullopt deletes it.
inline void Put(RegistryBackend& backend, RootKey root, std::string_view path, std::string_view name,
                const std::optional<RegistryValue>& value) {
  TRegistry registry(backend);
  registry.SetRootKey(root);
  if (!registry.OpenKey(path, true)) return;
  if (value) registry.WriteValue(name, *value); else registry.DeleteValue(name);
}

inline std::optional<RegistryValue> Get(RegistryBackend& backend, RootKey root, std::string_view path,
                                        std::string_view name) {
  TRegistry registry(backend);
  registry.SetRootKey(root);
  if (!registry.OpenKey(path, false)) return std::nullopt;
  return registry.ReadValue(name);
}

inline void SeedTuningValues(RegistryBackend& backend) {
  const RootKey lm = RootKey::kLocalMachine, cu = RootKey::kCurrentUser;
  Put(backend, lm, kMemoryKey, "LargeSystemCache", DwordValue(0));
  Put(backend, lm, kMemoryKey, "DisablePagingExecutive", DwordValue(1));
  Put(backend, lm, kMemoryKey, "IoPageLockLimit", DwordValue(524288));
  Put(backend, lm, kSubSystemsKey, "Windows", TextValue(kWindowsValue, kRegExpandSz));
  Put(backend, lm, kLanmanKey, "IRPStackSize", DwordValue(15));
  Put(backend, lm, kPriorityKey, "Win32PrioritySeparation", DwordValue(38));
  Put(backend, lm, kTcpipKey, "TcpWindowSize", DwordValue(64240));
  Put(backend, lm, std::string(kCardsKey) + "\\2", "ServiceName", TextValue(kCardWithMtu));
  Put(backend, lm, std::string(kCardsKey) + "\\2", "Description", TextValue("Intel(R) PRO/1000 MT ネットワーク接続"));
  Put(backend, lm, std::string(kCardsKey) + "\\3", "ServiceName", TextValue(kCardWithoutMtu));
  Put(backend, lm, std::string(kCardsKey) + "\\3", "Description", TextValue("1394 ネット アダプタ"));
  Put(backend, lm, std::string(kTcpipKey) + "\\Interfaces\\" + kCardWithMtu, "MTU", DwordValue(1500));
  Put(backend, lm, std::string(kTcpipKey) + "\\Interfaces\\" + kCardWithoutMtu, "MTU", std::nullopt);
  Put(backend, cu, kExplorerKey, "MaxCachedIcons", TextValue("2048"));
  Put(backend, cu, kExplorerKey, "link", RegistryValue{kRegBinary, {0x1B, 0, 0, 0}});
  Put(backend, cu, kDesktopKey, "MenuShowDelay", TextValue("400"));
  Put(backend, cu, kDesktopKey, "AutoEndTasks", TextValue("0"));
  Put(backend, cu, kDesktopKey, "HungAppTimeout", TextValue("5000"));
  Put(backend, cu, kDesktopKey, "WaitToKillAppTimeout", TextValue("20000"));
  Put(backend, cu, kMetricsKey, "MinAnimate", TextValue("200"));
  Put(backend, cu, kPoliciesKey, "NoResolveTrack", std::nullopt);
}

// Takes out what the seed added (the prefix keeps Wine's own values and keys).
inline void RemoveTuningValues(RegistryBackend& backend) {
  const RootKey lm = RootKey::kLocalMachine, cu = RootKey::kCurrentUser;
  for (const char* name : {"LargeSystemCache", "DisablePagingExecutive", "IoPageLockLimit"})
    Put(backend, lm, kMemoryKey, name, std::nullopt);
  Put(backend, lm, kTcpipKey, "TcpWindowSize", std::nullopt);
  for (std::string key : {std::string(kSubSystemsKey), std::string("SYSTEM\\CurrentControlSet\\Services\\lanmanserver"),
                          std::string(kPriorityKey), std::string(kCardsKey), std::string(kTcpipKey) + "\\Interfaces"})
    backend.DeleteKeyTree(lm, key);
  for (const char* name : {"MaxCachedIcons", "link"}) Put(backend, cu, kExplorerKey, name, std::nullopt);
  for (const char* name : {"AutoEndTasks", "HungAppTimeout", "WaitToKillAppTimeout"})
    Put(backend, cu, kDesktopKey, name, std::nullopt);
  Put(backend, cu, kDesktopKey, "MenuShowDelay", TextValue("400"));
  Put(backend, cu, kMetricsKey, "MinAnimate", std::nullopt);
  backend.DeleteKeyTree(cu, "Software\\Microsoft\\Windows\\CurrentVersion\\Policies");
}

}  // namespace orvela::testing
