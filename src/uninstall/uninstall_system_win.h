// The uninstall list's look at the real system: the program lookup of the startup list,
// file creation dates and the user's locale.
#pragma once
#include <functional>
#include <string>

#include "system/program_lookup_win.h"
#include "uninstall/uninstall_list.h"

namespace orvela {

class Win32UninstallSystem final : public UninstallSystem {
 public:
  explicit Win32UninstallSystem(std::function<std::string(const std::string&)> resolve_link)
      : lookup_(std::move(resolve_link)) {}

  PathKind KindOf(const std::string& path) const override { return lookup_.KindOf(path); }
  DriveKind DriveKindOf(const std::string& path) const override { return lookup_.DriveKindOf(path); }
  std::string SystemFolder() const override { return lookup_.SystemFolder(); }
  std::string ResolveLink(const std::string& link_path) const override { return lookup_.ResolveLink(link_path); }
  std::string ExpandVariables(const std::string& text) const override { return lookup_.ExpandVariables(text); }

  std::string FileDateText(const std::string& path) const override;
  int CompareText(std::string_view a, std::string_view b) const override;
  int CompareTextIgnoringCase(std::string_view a, std::string_view b) const override;
  std::string LowerCase(std::string_view text) const override;

 private:
  Win32ProgramLookup lookup_;
};

}  // namespace orvela
