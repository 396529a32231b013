// A registry held in memory, for portable tests and the fuzz target. It behaves like the
// Windows one where the program could notice: key and value names compare
// case-insensitively and keep the spelling they were made with, the default value is the
// name "", a handle to a deleted key fails. Values keep their insertion order.
#pragma once
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/registry_backend.h"

namespace orvela {

class MemoryRegistry : public RegistryBackend {
 public:
  struct Node {
    std::string name;
    bool deleted = false;
    std::vector<std::pair<std::string, RegistryValue>> values;
    std::vector<std::shared_ptr<Node>> subkeys;
  };

  bool KeyExists(RootKey root, std::string_view path) override;
  std::optional<KeyRefusal> DeleteRefusal(RootKey root, std::string_view path) override;
  bool DeleteKeyTree(RootKey root, std::string_view path) override;

  // The key may be read but not changed from now on, like a key whose access list lets the
  // user read only: opening it for writing fails with kErrorAccessDenied while it exists,
  // and so does deleting it or a key above it.
  void MakeReadOnly(RootKey root, std::string path) { read_only_.push_back({root, std::move(path)}); }

  // Number of keys below all roots, for checks that nothing was created.
  size_t CountKeys() const;

 protected:
  std::unique_ptr<RegistryKey> Open(RootKey root, std::string_view path, KeyAccess access,
                                    SystemError& status) override;

 private:
  std::shared_ptr<Node> Find(RootKey root, std::string_view path, bool create);
  bool IsReadOnly(RootKey root, std::string_view path) const;

  std::map<RootKey, std::shared_ptr<Node>> roots_;
  std::vector<std::pair<RootKey, std::string>> read_only_;
};

}  // namespace orvela
