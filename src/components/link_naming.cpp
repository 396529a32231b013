#include "components/link_naming.h"

#include <array>
#include <utility>

namespace orvela {

namespace {

constexpr std::string_view kSeparators = "\\/:";

// Each character a shortcut's file name must not hold, with the full-width form that
// stands for it. "." is among them so that a display name keeps its dots visibly
// without any of them being taken for an extension.
constexpr std::array<std::pair<std::string_view, std::string_view>, 11> kForbidden = {{
    {".", "．"},
    {"/", "／"},
    {"\"", "”"},
    {":", "："},
    {";", "；"},
    {"*", "＊"},
    {"<", "＜"},
    {">", "＞"},
    {"?", "？"},
    {"\\", "￥"},
    {"|", "｜"},
}};

bool PathExists(const LinkFileSystem& fs, const std::string& path) {
  return fs.FileExists(path) || fs.FolderExists(path);
}

// The name a shortcut to an existing file or folder gets, before numbering.
std::optional<std::string> NameForPath(const LinkFileSystem& fs, std::string name,
                                       const std::string& target) {
  const bool is_folder = fs.FolderExists(target);
  if (!is_folder && !fs.FileExists(target)) return std::nullopt;
  if (name.empty()) {
    std::string_view trimmed = target;  // a folder given as C:\Data.old\ is named Data
    while (trimmed.size() > 1 && trimmed.back() == '\\') trimmed.remove_suffix(1);
    name = RemoveExtension(FileNamePart(trimmed));
  }
  // A file's derived name loses one more extension (report.final.exe gives report);
  // a given name holds no "." any more, so this leaves it alone.
  if (!is_folder) name = RemoveExtension(name);
  return name;
}

std::optional<std::string> NameForItem(
    std::string name, const std::function<std::optional<ShellItemName>()>& describe_item) {
  if (!name.empty()) return name;
  const std::optional<ShellItemName> item = describe_item();
  if (!item) return std::nullopt;
  name = item->is_folder ? item->display_name : RemoveExtension(item->display_name);
  // A display name such as "Local Disk (C:)" may hold what a file name cannot; its dots
  // stay, as a derived name keeps them.
  for (const auto& [from, to] : kForbidden) {
    if (from != ".") MogChange(name, from, to);
  }
  return name;
}

}  // namespace

void MogChange(std::string& text, std::string_view from, std::string_view to) {
  if (from.empty()) return;
  std::string::size_type pos = 0;
  while ((pos = text.find(from, pos)) != std::string::npos) {
    text.replace(pos, from.size(), to);
    pos += to.size();
  }
}

std::string FileMogChk(std::string name) {
  for (const auto& [from, to] : kForbidden) MogChange(name, from, to);
  return name;
}

std::string PathToSetKugiriMog(const LinkFileSystem& fs, std::string path) {
  if (!path.empty() && fs.FileExists(path)) return path;
  if (path.empty() || path.back() != '\\') path += '\\';
  return path;
}

std::string FileNamePart(std::string_view path) {
  const auto cut = path.find_last_of(kSeparators);
  return std::string(cut == std::string_view::npos ? path : path.substr(cut + 1));
}

std::string RemoveExtension(std::string_view name) {
  const auto dot = name.rfind('.');
  const auto separator = name.find_last_of(kSeparators);
  if (dot == std::string_view::npos || dot == 0) return std::string(name);
  if (separator != std::string_view::npos && (dot < separator || dot == separator + 1)) {
    return std::string(name);
  }
  return std::string(name.substr(0, dot));
}

std::string JoinPath(std::string_view folder, std::string_view name) {
  std::string path(folder);
  if (!path.empty() && path.back() != '\\') path += '\\';
  path += name;
  return path;
}

std::optional<LinkPlan> PlanLink(const LinkFileSystem& fs, const LinkRequest& request,
                                 const std::function<std::optional<ShellItemName>()>& describe_item) {
  const std::string wanted = FileMogChk(request.name);
  std::optional<std::string> name;
  if (!request.target_path.empty()) {
    name = NameForPath(fs, wanted, request.target_path);
  } else if (request.has_item) {
    name = NameForItem(wanted, describe_item);
  }
  // No folder would mean the root of the current drive; no name would mean ".lnk"; a
  // file given as the folder would glue its name to the shortcut's.
  if (!name || name->empty() || request.folder.empty() || fs.FileExists(request.folder)) {
    return std::nullopt;
  }

  const std::string base = PathToSetKugiriMog(fs, request.folder);
  LinkPlan plan{base + *name + ".lnk", false};
  if (!request.overwrite || request.probe) {
    const std::string first = plan.path;
    for (unsigned n = 1; PathExists(fs, plan.path); ++n) {
      plan.path = base + *name + "(" + std::to_string(n) + ").lnk";
    }
    plan.name_taken = plan.path != first;
  }
  return plan;
}

LinkNameProbe ProbeAnswer(const std::optional<LinkPlan>& plan) {
  if (!plan) return LinkNameProbe::kNoShortcut;
  return plan->name_taken ? LinkNameProbe::kTaken : LinkNameProbe::kFree;
}

std::vector<std::string> DeleteLinkCandidates(std::string_view folder, std::string_view name,
                                              std::string_view alternative) {
  std::vector<std::string> files;
  if (folder.empty()) return files;
  auto add = [&](std::string file_name) {
    std::string path = JoinPath(folder, file_name);
    for (const std::string& earlier : files) {
      if (earlier == path) return;
    }
    files.push_back(std::move(path));
  };
  if (!name.empty()) {
    add(RemoveExtension(FileNamePart(name)) + ".lnk");
    add(std::string(name) + ".lnk");
  }
  if (!alternative.empty()) add(std::string(alternative) + ".lnk");
  return files;
}

}  // namespace orvela
