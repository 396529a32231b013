// Fakes of the settings page's ports for the portable tests.
#pragma once
#include <memory>
#include <string>
#include <vector>

#include "platform/memory_registry.h"
#include "settings/settings_backup.h"

namespace orvela::testing {

class RecordingRestart : public RestartPort {
 public:
  void RestartSystem() override { ++restarts; }
  int restarts = 0;
};

// A registry that refuses to write the values named in `refused`; while `unreadable`, no
// value can be read and no key's names listed.
class RefusingRegistry : public RegistryBackend {
 public:
  std::vector<std::string> refused;
  bool unreadable = false;
  MemoryRegistry memory;

  bool KeyExists(RootKey root, std::string_view path) override { return memory.KeyExists(root, path); }
  std::optional<KeyRefusal> DeleteRefusal(RootKey root, std::string_view path) override {
    return memory.DeleteRefusal(root, path);
  }
  bool DeleteKeyTree(RootKey root, std::string_view path) override { return memory.DeleteKeyTree(root, path); }

 protected:
  std::unique_ptr<RegistryKey> Open(RootKey root, std::string_view path, KeyAccess access,
                                    SystemError& status) override {
    auto key = memory.OpenKey(root, path, access, &status);
    return key ? std::make_unique<Key>(std::move(key), *this) : nullptr;
  }

 private:
  class Key : public RegistryKey {
   public:
    Key(std::unique_ptr<RegistryKey> key, const RefusingRegistry& owner) : key_(std::move(key)), owner_(owner) {}
    std::optional<std::vector<std::string>> ValueNames() override {
      return owner_.unreadable ? std::nullopt : key_->ValueNames();
    }
    std::optional<std::vector<std::string>> SubkeyNames() override { return key_->SubkeyNames(); }
    std::optional<RegistryValue> ReadValue(std::string_view name) override {
      return owner_.unreadable ? std::nullopt : key_->ReadValue(name);
    }
    bool WriteValue(std::string_view name, const RegistryValue& value) override {
      for (const std::string& r : owner_.refused)
        if (r == name) return false;
      return key_->WriteValue(name, value);
    }
    bool DeleteValue(std::string_view name) override { return key_->DeleteValue(name); }

   private:
    std::unique_ptr<RegistryKey> key_;
    const RefusingRegistry& owner_;
  };
};

}  // namespace orvela::testing
