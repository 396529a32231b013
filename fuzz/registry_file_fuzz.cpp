// Feeds arbitrary bytes to the Registry Text Data reader over the in-memory registry.
// Besides the sanitizers it checks that what the reader stored is written and read back
// without a warning and to the same bytes (the writer's files always load cleanly and pass
// the check), and that the check agrees with the load it stands in for: it names every key
// the load writes (restores refuse a file by the check's sections).
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "platform/memory_registry.h"
#include "platform/prompt.h"
#include "regfile/registry_file.h"

namespace {

using namespace orvela;

class CountingPrompt : public DecliningPrompt {
 public:
  int messages = 0;
  void ShowMessage(std::string_view, std::string_view, PromptIcon) override { ++messages; }
};

const std::vector<std::string> kAllRoots = {
    "HKEY_CLASSES_ROOT\\", "HKEY_CURRENT_USER\\", "HKEY_LOCAL_MACHINE\\",
    "HKEY_USERS\\",        "HKEY_CURRENT_CONFIG\\", "HKEY_DYN_DATA\\"};

std::string WriteAll(RegistryBackend& backend) {
  CountingPrompt prompt;
  TRegistryFile writer(backend, prompt);
  SaveResult result;
  return writer.KeysFileBytes(kAllRoots, {}, result);
}

// Every key the load made is a section of the check or lies above one (made on the way),
// and only a section's own key holds values (a root's section is "HKEY_USERS\").
bool ChecksNameEveryKey(RegistryBackend& registry, const KeysFileCheck& check, RootKey root,
                        const std::string& name, const std::string& path) {
  const auto key = registry.OpenKey(root, path, KeyAccess::kRead);
  const auto below = [&](const auto& section) { return IsKeyOrBelow(section.key, name); };
  if (!key || !(path.empty() || std::any_of(check.sections.begin(), check.sections.end(), below)) ||
      (!check.Find(path.empty() ? name + "\\" : name) && !key->ValueNames().value_or(std::vector<std::string>{}).empty()))
    return false;
  for (const std::string& sub : key->SubkeyNames().value_or(std::vector<std::string>{}))
    if (!ChecksNameEveryKey(registry, check, root, name + "\\" + sub, path.empty() ? sub : path + "\\" + sub))
      return false;
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const std::uint8_t flags = size > 0 ? data[0] : 0;

  MemoryRegistry registry;
  CountingPrompt prompt;
  TRegistryFile reader(registry, prompt);
  // The first byte also picks the load options, so every path of the reader is reached.
  const bool only_missing = flags & 1;
  const std::string_view prefix = (flags & 2) ? "\\Prefix" : "";
  const std::string_view filter = (flags & 4) ? "Software" : "";
  const std::string_view comment = (flags & 8) ? "Keep" : "";
  // The check touches no key, and a file it finds sound loads without a single warning.
  const KeysFileCheck check = reader.CheckKeysBytes(bytes, comment);
  if (registry.CountKeys() != 0 || prompt.messages != 0) std::abort();
  const bool loaded =
      reader.LoadKeysFromBytes(bytes, "fuzz.reg", prefix, filter, comment, only_missing);
  if (loaded != check.accepted) std::abort();
  if (!loaded) return 0;
  if (check.sound() && prompt.messages != 0) std::abort();
  for (const std::string& root : kAllRoots) {
    const std::string name = root.substr(0, root.size() - 1);
    if (prefix.empty() && filter.empty() &&
        !ChecksNameEveryKey(registry, check, TRegistryFile::RootNameToKey(name), name, ""))
      std::abort();
  }

  const std::string first = WriteAll(registry);
  MemoryRegistry again;
  CountingPrompt quiet;
  TRegistryFile second_reader(again, quiet);
  if (!second_reader.LoadKeysFromBytes(first, "first.reg") || quiet.messages != 0 ||
      !second_reader.NotRestored().empty())
    std::abort();  // the writer wrote something its reader does not take back cleanly
  if (WriteAll(again) != first) std::abort();  // nor to the same contents
  if (!second_reader.CheckKeysBytes(first).sound()) std::abort();  // nor passes the check
  return 0;
}
