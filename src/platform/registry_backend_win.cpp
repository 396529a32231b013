#include "platform/registry_backend_win.h"

#include <windows.h>

#include <algorithm>
#include <vector>

#include "platform/handles_win.h"
#include "platform/wide_win.h"

namespace orvela {
namespace {

HKEY RootHandle(RootKey root) {
  switch (root) {
    case RootKey::kClassesRoot: return HKEY_CLASSES_ROOT;
    case RootKey::kCurrentUser: return HKEY_CURRENT_USER;
    case RootKey::kLocalMachine: return HKEY_LOCAL_MACHINE;
    case RootKey::kUsers: return HKEY_USERS;
    case RootKey::kPerformanceData: return HKEY_PERFORMANCE_DATA;
    case RootKey::kCurrentConfig: return HKEY_CURRENT_CONFIG;
    case RootKey::kDynData: return HKEY_DYN_DATA;
    default: return nullptr;
  }
}

// A name read back from the registry: UTF-16 of a counted length.
std::string NameOf(const std::wstring& buffer, DWORD length) {
  return Narrow(std::wstring_view(buffer.data(), length));
}

class Win32Key : public RegistryKey {
 public:
  explicit Win32Key(UniqueHkey key) : key_(std::move(key)) {}

  std::optional<std::vector<std::string>> ValueNames() override { return Names(Kind::kValues); }
  std::optional<std::vector<std::string>> SubkeyNames() override { return Names(Kind::kSubkeys); }

  std::optional<RegistryValue> ReadValue(std::string_view name) override {
    const std::wstring wide_name = Wide(name);
    RegistryValue value;
    DWORD type = 0, size = 0;
    LONG rc = RegQueryValueExW(key_.get(), wide_name.c_str(), nullptr, &type, nullptr, &size);
    // The value may grow between the two calls: ask again until it fits.
    for (int attempt = 0; rc == ERROR_SUCCESS || rc == ERROR_MORE_DATA; ++attempt) {
      value.data.resize(size);
      rc = RegQueryValueExW(key_.get(), wide_name.c_str(), nullptr, &type,
                            value.data.empty() ? nullptr : value.data.data(), &size);
      if (rc == ERROR_SUCCESS) {
        value.data.resize(size);
        value.type = type;
        return value;
      }
      if (attempt > 8) break;
    }
    return std::nullopt;
  }

  bool WriteValue(std::string_view name, const RegistryValue& value) override {
    // For string types the system counts in a terminator it finds just past the data
    // (and looks one character before it for a single byte): non-zero bytes on both
    // sides keep the value to exactly its own bytes.
    std::vector<BYTE> padded(value.data.size() + 4, 0xFF);
    std::copy(value.data.begin(), value.data.end(), padded.begin() + 2);
    return RegSetValueExW(key_.get(), Wide(name).c_str(), 0, value.type, padded.data() + 2,
                          static_cast<DWORD>(value.data.size())) == ERROR_SUCCESS;
  }

  bool DeleteValue(std::string_view name) override {
    return RegDeleteValueW(key_.get(), Wide(name).c_str()) == ERROR_SUCCESS;
  }

 private:
  enum class Kind { kValues, kSubkeys };

  // The key's value or subkey names; nullopt when the key cannot be read.
  std::optional<std::vector<std::string>> Names(Kind kind) {
    DWORD max_subkey = 0, max_value = 0;
    if (RegQueryInfoKeyW(key_.get(), nullptr, nullptr, nullptr, nullptr, &max_subkey, nullptr, nullptr,
                         &max_value, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
      return std::nullopt;
    std::vector<std::string> names;
    std::wstring buffer((kind == Kind::kValues ? max_value : max_subkey) + 1, L'\0');
    for (DWORD index = 0;; ++index) {
      DWORD length = static_cast<DWORD>(buffer.size());
      const LONG rc = kind == Kind::kValues
                          ? RegEnumValueW(key_.get(), index, buffer.data(), &length, nullptr, nullptr, nullptr, nullptr)
                          : RegEnumKeyExW(key_.get(), index, buffer.data(), &length, nullptr, nullptr, nullptr, nullptr);
      if (rc == ERROR_NO_MORE_ITEMS) return names;
      if (rc == ERROR_MORE_DATA) {  // a name was added since the count; try again larger
        buffer.resize(buffer.size() * 2 + 256);
        --index;
        continue;
      }
      if (rc != ERROR_SUCCESS) return std::nullopt;
      names.push_back(NameOf(buffer, length));
    }
  }

  UniqueHkey key_;
};

}  // namespace

std::unique_ptr<RegistryKey> Win32Registry::Open(RootKey root, std::string_view path, KeyAccess access,
                                                  SystemError& status) {
  HKEY parent = RootHandle(root);
  if (!parent) {
    status = kErrorFileNotFound;
    return nullptr;
  }
  const std::wstring wide_path = Wide(path);
  const REGSAM rights = access == KeyAccess::kRead ? KEY_READ : KEY_READ | KEY_SET_VALUE;
  UniqueHkey key;
  const LONG rc = access == KeyAccess::kCreate
                      ? RegCreateKeyExW(parent, wide_path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, rights,
                                        nullptr, key.put(), nullptr)
                      : RegOpenKeyExW(parent, wide_path.c_str(), 0, rights, key.put());
  status = static_cast<SystemError>(rc);
  if (rc != ERROR_SUCCESS) return nullptr;
  return std::make_unique<Win32Key>(std::move(key));
}

bool Win32Registry::KeyExists(RootKey root, std::string_view path) {
  HKEY parent = RootHandle(root);
  if (!parent) return false;
  UniqueHkey key;
  LONG rc = RegOpenKeyExW(parent, Wide(path).c_str(), 0, KEY_QUERY_VALUE, key.put());
  // A key we may not read still exists.
  return rc == ERROR_SUCCESS || rc == ERROR_ACCESS_DENIED;
}

namespace {

// The rights a deletion of the tree asks of each of its keys: deleting it, listing it, and
// changing its values, which go with it (a key whose values the user may not change is not
// the user's to remove, even where the system would let it be deleted).
constexpr REGSAM kDeleteRights = DELETE | KEY_SET_VALUE | KEY_ENUMERATE_SUB_KEYS | KEY_QUERY_VALUE;

// The first key at or below `path` of `parent` that does not open for deletion.
std::optional<KeyRefusal> FirstRefused(HKEY parent, const std::wstring& name, const std::wstring& path) {
  UniqueHkey key;
  const LONG rc = RegOpenKeyExW(parent, name.c_str(), 0, kDeleteRights, key.put());
  if (rc != ERROR_SUCCESS) return KeyRefusal{Narrow(path), static_cast<SystemError>(rc)};
  DWORD max_name = 0;
  if (RegQueryInfoKeyW(key.get(), nullptr, nullptr, nullptr, nullptr, &max_name, nullptr, nullptr, nullptr,
                       nullptr, nullptr, nullptr) != ERROR_SUCCESS)
    return KeyRefusal{Narrow(path), kErrorAccessDenied};
  std::wstring buffer(max_name + 1, L'\0');
  for (DWORD index = 0;; ++index) {
    DWORD length = static_cast<DWORD>(buffer.size());
    const LONG enum_rc = RegEnumKeyExW(key.get(), index, buffer.data(), &length, nullptr, nullptr, nullptr, nullptr);
    if (enum_rc == ERROR_NO_MORE_ITEMS) return std::nullopt;
    if (enum_rc == ERROR_MORE_DATA) {
      buffer.resize(buffer.size() * 2 + 256);
      --index;
      continue;
    }
    if (enum_rc != ERROR_SUCCESS) return KeyRefusal{Narrow(path), static_cast<SystemError>(enum_rc)};
    const std::wstring sub(buffer.data(), length);
    if (auto refused = FirstRefused(key.get(), sub, path + L"\\" + sub)) return refused;
  }
}

}  // namespace

std::optional<KeyRefusal> Win32Registry::DeleteRefusal(RootKey root, std::string_view path) {
  HKEY parent = RootHandle(root);
  if (!parent || path.empty()) return std::nullopt;
  const std::wstring wide = Wide(path);
  std::optional<KeyRefusal> refused = FirstRefused(parent, wide, wide);
  if (refused && refused->code == ERROR_FILE_NOT_FOUND && refused->path == path) return std::nullopt;
  return refused;
}

bool Win32Registry::DeleteKeyTree(RootKey root, std::string_view path) {
  HKEY parent = RootHandle(root);
  if (!parent || path.empty() || DeleteRefusal(root, path)) return false;
  return RegDeleteTreeW(parent, Wide(path).c_str()) == ERROR_SUCCESS;
}

}  // namespace orvela
