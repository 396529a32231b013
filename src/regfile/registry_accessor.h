// The registry accessor: a current root key and at most one open key, with the value
// operations on that key. Text is UTF-8 here and UTF-16LE in the registry.
#pragma once
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/registry_backend.h"

namespace orvela {

class TRegistry {
 public:
  // The root key starts as HKEY_CURRENT_USER.
  explicit TRegistry(RegistryBackend& backend);
  virtual ~TRegistry();
  TRegistry(const TRegistry&) = delete;
  TRegistry& operator=(const TRegistry&) = delete;

  // Closes the open key.
  void SetRootKey(orvela::RootKey root);
  orvela::RootKey RootKey() const { return root_; }

  // Opens a key of the current root ("\Software\X" or "Software\X"; always from the root,
  // "" or "\" is the root itself) for reading and for writing its values, closing the one
  // open before. False when it does not exist (and can_create is false) or the user may
  // not change it; LastError() tells which.
  bool OpenKey(std::string_view path, bool can_create);
  // The same for reading only: a key the user may read but not change opens.
  bool OpenKeyReadOnly(std::string_view path);
  // The system's code of the last OpenKey or OpenKeyReadOnly (kErrorNone when it opened).
  SystemError LastError() const { return last_error_; }
  void CloseKey();
  bool HasOpenKey() const { return key_ != nullptr; }
  // The open key's path without leading backslash; "" when none is open.
  const std::string& CurrentPath() const { return current_path_; }

  // Names in the backend's order; empty when no key is open or it cannot be enumerated.
  std::vector<std::string> GetValueNames() const;
  std::vector<std::string> GetKeyNames() const;
  // The same, but nullopt when the names could not be listed (for callers that must know
  // whether they saw everything).
  std::optional<std::vector<std::string>> ListValueNames() const;
  std::optional<std::vector<std::string>> ListKeyNames() const;

  // All value readers give nullopt when no key is open or the value does not exist;
  // the typed ones also when the value has another type.
  std::optional<RegistryValue> ReadValue(std::string_view name) const;
  std::optional<std::uint32_t> GetDataType(std::string_view name) const;
  std::optional<std::uint32_t> GetDataSize(std::string_view name) const;
  // REG_SZ or REG_EXPAND_SZ, as stored (never expanded), up to the first NUL.
  std::optional<std::string> ReadString(std::string_view name) const;
  std::optional<std::uint32_t> ReadInteger(std::string_view name) const;  // REG_DWORD
  std::optional<std::vector<std::uint8_t>> ReadBinaryData(std::string_view name) const;  // REG_BINARY
  bool ValueExists(std::string_view name) const;

  // Writers return false when no key is open or the registry refused.
  bool WriteValue(std::string_view name, const RegistryValue& value);
  bool WriteString(std::string_view name, std::string_view text);
  bool WriteExpandString(std::string_view name, std::string_view text);
  bool WriteInteger(std::string_view name, std::uint32_t number);
  bool WriteBinaryData(std::string_view name, const std::vector<std::uint8_t>& bytes);
  bool DeleteValue(std::string_view name);

  // Paths as for OpenKey, from the current root; the open key is not changed.
  bool KeyExists(std::string_view path) const;
  // Deletes the key with all its subkeys; closes the open key if it was inside.
  bool DeleteKey(std::string_view path);

 protected:
  RegistryBackend& backend() { return backend_; }

 private:
  RegistryBackend& backend_;
  orvela::RootKey root_ = orvela::RootKey::kCurrentUser;
  bool Open(std::string_view path, KeyAccess access);

  std::unique_ptr<RegistryKey> key_;
  std::string current_path_;
  SystemError last_error_ = kErrorNone;
};

// "\Software\X\" -> "Software\X": the path form the backend takes.
std::string NormalizeKeyPath(std::string_view path);

// Registry string data: UTF-16LE with a terminating NUL, and back (up to the first NUL).
std::vector<std::uint8_t> StringToRegistryData(std::string_view text);
std::string RegistryDataToString(const std::vector<std::uint8_t>& data);

}  // namespace orvela
