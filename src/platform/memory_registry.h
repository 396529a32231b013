// A registry held in memory, for portable tests and the fuzz target. It behaves like the
// Windows one where the program could notice: key and value names compare
// case-insensitively and keep the spelling they were made with, the default value is the
// name "", a handle to a deleted key fails. Values keep their insertion order.
#pragma once
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/registry.h"

namespace orvela {

class MemoryRegistry : public RegistryBackend {
 public:
  struct Node {
    std::string name;
    bool deleted = false;
    std::vector<std::pair<std::string, RegistryValue>> values;
    std::vector<std::shared_ptr<Node>> subkeys;
  };

  std::unique_ptr<RegistryKey> OpenKey(RootKey root, std::string_view path, bool create) override;
  bool KeyExists(RootKey root, std::string_view path) override;
  bool DeleteKeyTree(RootKey root, std::string_view path) override;

  // Makes every later OpenKey of this path (any root) fail while the key still exists,
  // like a key the user may not open for full access.
  void DenyFullAccess(std::string path) { denied_.push_back(std::move(path)); }

  // Number of keys below all roots, for checks that nothing was created.
  size_t CountKeys() const;

 private:
  std::shared_ptr<Node> Find(RootKey root, std::string_view path, bool create);
  bool IsDenied(std::string_view path) const;

  std::map<RootKey, std::shared_ptr<Node>> roots_;
  std::vector<std::string> denied_;
};

}  // namespace orvela
