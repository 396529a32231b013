// The real system as finding an entry's program sees it: files, drives, the system folder.
#pragma once
#include <functional>
#include <string>

#include "system/program_lookup.h"

namespace orvela {

// %NAME% references replaced by the environment; the text unchanged when there are none or
// the result would not fit a path.
std::string ExpandEnvironmentText(const std::string& text);

class TShellLink;
class Win32ProgramLookup;
// The real system with shortcuts followed through `links` (TShellLink::GetLinkToPath), which
// must outlive it.
Win32ProgramLookup LookupThroughLinks(const TShellLink& links);

class Win32ProgramLookup final : public ProgramLookup {
 public:
  // resolve_link: the shell link component's "target if it exists, else the link itself".
  explicit Win32ProgramLookup(std::function<std::string(const std::string&)> resolve_link);

  PathKind KindOf(const std::string& path) const override;
  DriveKind DriveKindOf(const std::string& path) const override;
  std::string SystemFolder() const override;
  std::string ResolveLink(const std::string& link_path) const override;
  std::string ExpandVariables(const std::string& text) const override;
  bool AbsentFromFixedDrive(const std::string& path) const override;

 private:
  std::function<std::string(const std::string&)> resolve_link_;
};

}  // namespace orvela
