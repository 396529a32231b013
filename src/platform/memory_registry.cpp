#include "platform/memory_registry.h"

#include <algorithm>

#include "platform/utf.h"

namespace orvela {
namespace {

// Key names of a path; nullopt when a name is empty ("a\\b", a trailing "\").
std::optional<std::vector<std::string_view>> SplitPath(std::string_view path) {
  std::vector<std::string_view> names;
  if (path.empty()) return names;
  size_t start = 0;
  while (true) {
    size_t end = path.find('\\', start);
    std::string_view name = path.substr(start, end == std::string_view::npos ? end : end - start);
    if (name.empty()) return std::nullopt;
    names.push_back(name);
    if (end == std::string_view::npos) return names;
    start = end + 1;
  }
}

void MarkDeleted(MemoryRegistry::Node& node) {
  node.deleted = true;
  for (auto& sub : node.subkeys) MarkDeleted(*sub);
}

size_t CountBelow(const MemoryRegistry::Node& node) {
  size_t n = node.subkeys.size();
  for (const auto& sub : node.subkeys) n += CountBelow(*sub);
  return n;
}

class MemoryKey : public RegistryKey {
 public:
  MemoryKey(std::shared_ptr<MemoryRegistry::Node> node, bool writable)
      : node_(std::move(node)), writable_(writable) {}

  std::optional<std::vector<std::string>> ValueNames() override {
    if (node_->deleted) return std::nullopt;
    std::vector<std::string> names;
    for (const auto& [name, value] : node_->values) names.push_back(name);
    return names;
  }

  std::optional<std::vector<std::string>> SubkeyNames() override {
    if (node_->deleted) return std::nullopt;
    std::vector<std::string> names;
    for (const auto& sub : node_->subkeys) names.push_back(sub->name);
    return names;
  }

  std::optional<RegistryValue> ReadValue(std::string_view name) override {
    if (node_->deleted) return std::nullopt;
    auto it = FindValue(name);
    if (it == node_->values.end()) return std::nullopt;
    return it->second;
  }

  bool WriteValue(std::string_view name, const RegistryValue& value) override {
    if (node_->deleted || !writable_) return false;
    auto it = FindValue(name);
    if (it != node_->values.end())
      it->second = value;
    else
      node_->values.emplace_back(std::string(name), value);
    return true;
  }

  bool DeleteValue(std::string_view name) override {
    if (node_->deleted || !writable_) return false;
    auto it = FindValue(name);
    if (it == node_->values.end()) return false;
    node_->values.erase(it);
    return true;
  }

 private:
  std::vector<std::pair<std::string, RegistryValue>>::iterator FindValue(std::string_view name) {
    return std::find_if(node_->values.begin(), node_->values.end(),
                        [&](const auto& entry) { return SameRegistryName(entry.first, name); });
  }

  std::shared_ptr<MemoryRegistry::Node> node_;
  bool writable_;
};

std::shared_ptr<MemoryRegistry::Node> FindChild(const MemoryRegistry::Node& node,
                                                std::string_view name) {
  for (const auto& sub : node.subkeys)
    if (SameRegistryName(sub->name, name)) return sub;
  return nullptr;
}

bool IsKnownRoot(RootKey root) {
  const auto value = static_cast<std::uint32_t>(root);
  return value >= 0x80000000u && value <= 0x80000006u;
}

}  // namespace

std::shared_ptr<MemoryRegistry::Node> MemoryRegistry::Find(RootKey root, std::string_view path,
                                                           bool create) {
  if (!IsKnownRoot(root)) return nullptr;
  auto names = SplitPath(path);
  if (!names) return nullptr;
  auto& root_node = roots_[root];
  if (!root_node) root_node = std::make_shared<Node>();
  std::shared_ptr<Node> node = root_node;
  for (std::string_view name : *names) {
    auto child = FindChild(*node, name);
    if (!child) {
      if (!create) return nullptr;
      child = std::make_shared<Node>();
      child->name = std::string(name);
      node->subkeys.push_back(child);
    }
    node = child;
  }
  return node;
}

bool MemoryRegistry::IsReadOnly(RootKey root, std::string_view path) const {
  return std::any_of(read_only_.begin(), read_only_.end(),
                     [&](const auto& key) { return key.first == root && SameRegistryName(key.second, path); });
}

std::unique_ptr<RegistryKey> MemoryRegistry::Open(RootKey root, std::string_view path, KeyAccess access,
                                                  SystemError& status) {
  const bool writing = access != KeyAccess::kRead;
  if (writing && IsReadOnly(root, path) && Find(root, path, false)) {
    status = kErrorAccessDenied;
    return nullptr;
  }
  auto node = Find(root, path, access == KeyAccess::kCreate);
  if (!node) {
    status = kErrorFileNotFound;
    return nullptr;
  }
  return std::make_unique<MemoryKey>(node, writing);
}

bool MemoryRegistry::KeyExists(RootKey root, std::string_view path) {
  return Find(root, path, false) != nullptr;
}

std::optional<KeyRefusal> MemoryRegistry::DeleteRefusal(RootKey root, std::string_view path) {
  if (!Find(root, path, false)) return std::nullopt;
  for (const auto& [key_root, key] : read_only_)
    if (key_root == root && IsKeyOrBelow(key, path) && Find(root, key, false))
      return KeyRefusal{key, kErrorAccessDenied};
  return std::nullopt;
}

bool MemoryRegistry::DeleteKeyTree(RootKey root, std::string_view path) {
  auto names = SplitPath(path);
  if (!names || names->empty() || DeleteRefusal(root, path)) return false;
  const size_t parent_length = path.size() - names->back().size();
  auto parent = Find(root, path.substr(0, parent_length == 0 ? 0 : parent_length - 1), false);
  if (!parent) return false;
  auto& subs = parent->subkeys;
  auto it = std::find_if(subs.begin(), subs.end(), [&](const auto& sub) {
    return SameRegistryName(sub->name, names->back());
  });
  if (it == subs.end()) return false;
  MarkDeleted(**it);
  subs.erase(it);
  return true;
}

size_t MemoryRegistry::CountKeys() const {
  size_t n = 0;
  for (const auto& [root, node] : roots_) n += CountBelow(*node);
  return n;
}

}  // namespace orvela
