// The Windows registry behind RegistryBackend: W functions only, data as stored (strings
// are never expanded), the native view of a 64-bit program (the 32-bit programs' keys are
// reached by their WOW6432Node paths, so no view flag is asked for). Each key is opened
// with the rights of its use only.
#pragma once
#include "platform/registry_backend.h"

namespace orvela {

class Win32Registry : public RegistryBackend {
 public:
  bool KeyExists(RootKey root, std::string_view path) override;
  std::optional<KeyRefusal> DeleteRefusal(RootKey root, std::string_view path) override;
  bool DeleteKeyTree(RootKey root, std::string_view path) override;

 protected:
  std::unique_ptr<RegistryKey> Open(RootKey root, std::string_view path, KeyAccess access,
                                    SystemError& status) override;
};

}  // namespace orvela
