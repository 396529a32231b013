// The registry as the program sees it: root keys, value types and a backend interface,
// so the logic above it runs on the real registry under Windows and on an in-memory one
// in portable tests. Names are UTF-8; value data are the raw bytes the registry holds
// (strings as UTF-16LE).
#pragma once
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace orvela {

// The predefined root handles, by their 32-bit values.
enum class RootKey : std::uint32_t {
  kNone = 0,
  kClassesRoot = 0x80000000,
  kCurrentUser = 0x80000001,
  kLocalMachine = 0x80000002,
  kUsers = 0x80000003,
  kPerformanceData = 0x80000004,
  kCurrentConfig = 0x80000005,
  kDynData = 0x80000006,
};

// Value types (the REG_* numbers).
inline constexpr std::uint32_t kRegNone = 0;
inline constexpr std::uint32_t kRegSz = 1;
inline constexpr std::uint32_t kRegExpandSz = 2;
inline constexpr std::uint32_t kRegBinary = 3;
inline constexpr std::uint32_t kRegDword = 4;
inline constexpr std::uint32_t kRegDwordBigEndian = 5;
inline constexpr std::uint32_t kRegLink = 6;
inline constexpr std::uint32_t kRegMultiSz = 7;
inline constexpr std::uint32_t kRegQword = 11;

struct RegistryValue {
  std::uint32_t type = kRegNone;
  std::vector<std::uint8_t> data;
  bool operator==(const RegistryValue&) const = default;
};

// One open key. Operations fail (nullopt/false) once the key has been deleted.
// The value name "" is the key's default value.
class RegistryKey {
 public:
  virtual ~RegistryKey() = default;
  // nullopt when the key cannot be enumerated. The order is the backend's: callers must
  // not rely on it (Wine sorts, Windows keeps storage order).
  virtual std::optional<std::vector<std::string>> ValueNames() = 0;
  virtual std::optional<std::vector<std::string>> SubkeyNames() = 0;
  // nullopt when the value does not exist or cannot be read.
  virtual std::optional<RegistryValue> ReadValue(std::string_view name) = 0;
  virtual bool WriteValue(std::string_view name, const RegistryValue& value) = 0;
  virtual bool DeleteValue(std::string_view name) = 0;
};

// Paths are key names separated by "\" without a leading backslash; "" is the root itself.
// Key and value names compare case-insensitively, as in Windows.
class RegistryBackend {
 public:
  virtual ~RegistryBackend() = default;
  // Opens for full access (reading and writing); with create, missing keys on the path are
  // made. nullptr when the key does not exist or cannot be opened that way.
  virtual std::unique_ptr<RegistryKey> OpenKey(RootKey root, std::string_view path,
                                               bool create) = 0;
  // True when the key exists, even if it could not be opened for full access.
  virtual bool KeyExists(RootKey root, std::string_view path) = 0;
  // Deletes the key with all its subkeys and values. False when it did not exist, when it
  // is a root, or when anything could not be deleted.
  virtual bool DeleteKeyTree(RootKey root, std::string_view path) = 0;
};

// Key and value names compare the way the registry compares them: without case (ASCII,
// Latin-1 and full-width Latin letters; enough for the names the program meets).
bool SameRegistryName(std::string_view a, std::string_view b);

}  // namespace orvela
