#include "startup/startup_row_details_win.h"

#include <optional>
#include <string>

#include "system/command_line.h"
#include "startup/startup_shell_win.h"
#include "startup/version_info_win.h"

namespace orvela {
namespace {

// The system as ResolveTarget sees it, with shortcuts read through the store: a shortcut
// leads to its stored target while that exists, as TShellLink::GetLinkToPath answers.
class StoredLinks final : public ProgramLookup {
 public:
  StoredLinks(const ProgramLookup& system, RowDetailStore& store, bool fetch)
      : system_(system), store_(store), fetch_(fetch) {}

  PathKind KindOf(const std::string& path) const override { return system_.KindOf(path); }
  DriveKind DriveKindOf(const std::string& path) const override { return system_.DriveKindOf(path); }
  std::string SystemFolder() const override { return system_.SystemFolder(); }
  bool AbsentFromFixedDrive(const std::string& path) const override { return system_.AbsentFromFixedDrive(path); }
  std::string ExpandVariables(const std::string& text) const override {
    return system_.ExpandVariables(text);
  }
  std::string ResolveLink(const std::string& link_path) const override {
    link_ = store_.Link(link_path, fetch_);
    if (!link_) {
      unknown_ = true;  // not read yet: the row waits
      return link_path;
    }
    if (link_->path.empty() || system_.KindOf(link_->path) == PathKind::kNone) return link_path;
    followed_ = link_->path;
    return followed_;
  }

  bool unknown() const { return unknown_; }
  // The existing target that a shortcut without an icon of its own led to, if any.
  std::optional<std::string> icon_from_target() const {
    if (followed_.empty() || link_->own_icon) return std::nullopt;
    return followed_;
  }

 private:
  const ProgramLookup& system_;
  RowDetailStore& store_;
  bool fetch_;
  mutable bool unknown_ = false;
  mutable std::optional<LinkTarget> link_;
  mutable std::string followed_;
};

}  // namespace

bool FillStartupRowDetails(EntryRecord& record, PictureKey& picture, bool live, bool fetch,
                           RowDetailStore& store, const ProgramLookup& system) {
  if (record.Unrecognised) {
    picture = 0;
    return true;
  }
  if (record.ItemIdForm) {
    // A shell item rather than a file: nothing to key it by, and rare; read when shown.
    if (!fetch) return false;
    picture = store.AddPicture(PrepareDisabledBoxRow(record, system).release());
    return true;
  }

  StoredLinks links(system, store, fetch);
  const ResolvedTarget resolved = ResolveTarget(ProgramPathOf(record.Command), links);
  if (links.unknown()) return false;

  std::optional<PictureKey> icon;
  if (const std::optional<std::string> target = links.icon_from_target()) {
    icon = store.PictureKeyOf(*target, fetch);
  } else {
    icon = store.PictureKeyOf(resolved.program, fetch);
    if (icon && *icon == 0) icon = store.PictureKeyOf(resolved.target, fetch);
  }
  if (!icon) return false;
  const std::optional<VersionTexts> version = store.Version(resolved.target, fetch);
  if (!version) return false;

  picture = *icon;
  ApplyVersionTexts(*version, record);
  if (live) record.Missing = resolved.missing;
  return true;
}

}  // namespace orvela
