// The startup page's look at the real system: files, drives, the system folder.
#pragma once
#include <functional>
#include <string>
#include <vector>

#include "startup/startup_entries.h"
#include "startup/startup_system.h"

namespace orvela {

class Win32StartupSystem final : public StartupSystem {
 public:
  // resolve_link: the shell link component's "target if it exists, else the link itself".
  explicit Win32StartupSystem(std::function<std::string(const std::string&)> resolve_link);

  PathKind KindOf(const std::string& path) const override;
  DriveKind DriveKindOf(const std::string& path) const override;
  std::string SystemFolder() const override;
  std::string ResolveLink(const std::string& link_path) const override;
  std::string ExpandVariables(const std::string& text) const override;

 private:
  std::function<std::string(const std::string&)> resolve_link_;
};

// Appends one item per file of the folder whose name ends in "." + extension (every file
// when the extension is empty), hidden and system files included, folders left out. A
// folder that does not exist adds nothing.
void ListFolderFiles(const std::string& folder, int profile_index, const std::string& extension,
                     std::vector<FolderItem>& items);

}  // namespace orvela
