// The Windows registry behind RegistryBackend: W functions only, data as stored (strings
// are never expanded), the native view of a 64-bit program. Keys are opened for full
// access, so a key the user may only read counts as one that cannot be opened.
#pragma once
#include "platform/registry.h"

namespace orvela {

class Win32Registry : public RegistryBackend {
 public:
  std::unique_ptr<RegistryKey> OpenKey(RootKey root, std::string_view path, bool create) override;
  bool KeyExists(RootKey root, std::string_view path) override;
  bool DeleteKeyTree(RootKey root, std::string_view path) override;
};

}  // namespace orvela
