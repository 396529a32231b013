// The pages' shell port on the real shell: shortcuts through TShellLink, files through
// Win32, item id lists moved between bytes and the shell allocator.
#pragma once
#include <windows.h>
#include <shlobj.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "system/shell_port.h"
#include "components/shell_link_win.h"
#include "platform/handles_win.h"

namespace orvela {

class Win32ShellPort final : public ShellPort {
 public:
  explicit Win32ShellPort(TShellLink& link) : link_(link) {}

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
  std::optional<FileMetadata> FileMetadataOf(const std::string& path) override;
  bool SetFileMetadata(const std::string& path, const FileMetadata& metadata) override;
  std::optional<ShortcutTarget> ShortcutTargetOf(std::string_view bytes) override;

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

// The shell's large icon of the item an item-id form (hex) names; empty when the text is
// no well-formed list or the shell has no icon for it.
UniqueHicon ItemIdFormIcon(const std::string& hex);

}  // namespace orvela
