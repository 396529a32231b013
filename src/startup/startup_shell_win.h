// The startup page's changes on the real shell: shortcuts through TShellLink, files through
// Win32, item id lists moved between bytes and the shell allocator.
#pragma once
#include <windows.h>
#include <shlobj.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "components/shell_link_win.h"
#include "platform/handles_win.h"
#include "common/entry.h"
#include "startup/startup_actions.h"
#include "common/startup_system.h"

namespace orvela {

class Win32StartupShell final : public StartupShell {
 public:
  explicit Win32StartupShell(TShellLink& link) : link_(link) {}

  std::string ResolveLink(const std::string& link) override;
  std::optional<std::vector<std::uint8_t>> LinkTargetItemIdList(const std::string& link) override;
  std::optional<LinkFields> ReadLinkFields(const std::string& link) override;
  std::string CreateShortcut(const ShortcutTarget& target, const std::string& folder,
                             const std::string& name) override;
  std::string StartupFolder(bool all_users) override;
  bool FileExists(const std::string& path) override;
  bool RemoveFile(const std::string& path) override;
  bool CopyFileTo(const std::string& from, const std::string& to) override;
  std::optional<std::string> ReadFileBytes(const std::string& path) override;
  bool WriteFileBytes(const std::string& path, std::string_view bytes, bool replace) override;

 private:
  TShellLink& link_;
};

// The bytes of a list the shell handed out, terminator included; nullopt for null.
std::optional<std::vector<std::uint8_t>> ItemIdListBytes(LPCITEMIDLIST list);
// A copy of list bytes (terminator included) in the shell allocator's memory; empty when
// the bytes are no well-formed list.
UniqueItemIdList ItemIdListFromBytes(const std::vector<std::uint8_t>& bytes);

// The shell item a text names (a path, or a shell name such as "::{CLSID}"), parsed by the
// desktop folder; empty for an empty text or when parsing fails.
UniqueItemIdList PathToItemIdList(const std::string& text);

// What a Disabled Box view row shows besides its record: fills the version texts of the
// record and gives its large icon (empty when the shell has none). A folder record in
// item-id form takes both from the shell item its list names.
UniqueHicon PrepareDisabledBoxRow(EntryRecord& record, const StartupSystem& system);

}  // namespace orvela
