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

#include "platform/system_error.h"

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

// One open key. Operations fail (nullopt/false) once the key has been deleted, and writes
// fail on a key opened for reading.
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

// What a key is opened for. The system is asked for the rights of that use only, so a key
// the user may read but not change is still listed and shown whole.
enum class KeyAccess {
  kRead,    // list and read its values and subkeys
  kWrite,   // also write and delete its values; the key must exist
  kCreate,  // as kWrite, and missing keys on the path are made
};

// A key the system would not let a change touch: its path from the root, and why.
struct KeyRefusal {
  std::string path;
  SystemError code = kErrorNone;
};

// Paths are key names separated by "\" without a leading backslash; "" is the root itself.
// Key and value names compare case-insensitively, as in Windows.
class RegistryBackend {
 public:
  virtual ~RegistryBackend() = default;
  // nullptr when the key does not exist or cannot be opened for that use. `status`, when
  // given, receives the system's code (kErrorNone when opened, kErrorFileNotFound when the
  // key is not there, kErrorAccessDenied when the user may not use it so).
  std::unique_ptr<RegistryKey> OpenKey(RootKey root, std::string_view path, KeyAccess access,
                                       SystemError* status = nullptr) {
    SystemError code = kErrorNone;
    std::unique_ptr<RegistryKey> key = Open(root, path, access, code);
    if (status) *status = key ? kErrorNone : code != kErrorNone ? code : kErrorFileNotFound;
    return key;
  }
  // True when the key exists, even if the user may not open it.
  virtual bool KeyExists(RootKey root, std::string_view path) = 0;
  // Why the key with all its subkeys could not be deleted: the first key of the tree that
  // does not open for deletion. nullopt when every one does (or the key is not there).
  // Nothing is changed.
  virtual std::optional<KeyRefusal> DeleteRefusal(RootKey root, std::string_view path) = 0;
  // Deletes the key with all its subkeys and values. Nothing is deleted when DeleteRefusal
  // names a key: the system would otherwise delete the tree in part. False when it did not
  // exist, when it is a root, when it was refused, or when anything could not be deleted.
  virtual bool DeleteKeyTree(RootKey root, std::string_view path) = 0;

 protected:
  virtual std::unique_ptr<RegistryKey> Open(RootKey root, std::string_view path, KeyAccess access,
                                            SystemError& status) = 0;
};

// Key and value names compare the way the registry compares them: without case (ASCII,
// Latin-1 and full-width Latin letters; enough for the names the program meets).
bool SameRegistryName(std::string_view a, std::string_view b);

// Whether the key named `key` is `top` itself or lies below it (names compare without case;
// "Run2" is not below "Run").
bool IsKeyOrBelow(std::string_view key, std::string_view top);

}  // namespace orvela
