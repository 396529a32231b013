#include "system/locations.h"

#include <algorithm>
#include <cctype>

#include "platform/ansi_codec.h"

namespace orvela {
namespace {

char Lower(char c) { return static_cast<char>(std::tolower(static_cast<unsigned char>(c))); }

bool StartsWithIgnoringCase(std::string_view text, std::string_view prefix) {
  return text.size() >= prefix.size() && EqualsIgnoringCase(text.substr(0, prefix.size()), prefix);
}

std::string_view WithoutTrailingBackslash(std::string_view path) {
  while (!path.empty() && path.back() == '\\') path.remove_suffix(1);
  return path;
}

// Bytes of one UTF-8 sequence from its lead byte; a stray byte counts as one.
size_t SequenceLength(unsigned char lead) {
  if (lead >= 0xF0 && lead < 0xF8) return 4;
  if (lead >= 0xE0) return lead < 0xF0 ? 3 : 1;
  if (lead >= 0xC0) return 2;
  return 1;
}

// Bytes the text takes in the ANSI code page, character by character; a character the code
// page has no form for counts one, as the "?" it would become.
size_t AnsiLength(std::string_view text) {
  size_t length = 0;
  for (size_t at = 0; at < text.size();) {
    const size_t n = std::min(SequenceLength(static_cast<unsigned char>(text[at])), text.size() - at);
    const auto ansi = Utf8ToAnsi(text.substr(at, n));
    length += ansi ? ansi->size() : 1;
    at += n;
  }
  return length;
}

// The rest of the path from `ansi_position` bytes of the ANSI code page on (the positions of
// the old byte-wise rule). A position inside a double-byte character moves past it: a
// path never starts with half a character.
std::string AfterAnsiPosition(std::string_view path, size_t ansi_position) {
  size_t at = 0, ansi = 0;
  while (at < path.size() && ansi < ansi_position) {
    const size_t n = std::min(SequenceLength(static_cast<unsigned char>(path[at])), path.size() - at);
    ansi += AnsiLength(path.substr(at, n));
    at += n;
  }
  return ansi >= ansi_position ? std::string(path.substr(at)) : "";
}

// The rest of a shell folder path after the user's profile folder, e.g.
// "\AppData\Roaming\Microsoft\Windows\Start Menu\Programs\Startup". A path outside the
// profile (a redirected folder) keeps the old rule: cut at the position after the user name,
// counted in bytes of the ANSI code page.
std::string SubPathOf(std::string_view path, std::string_view profile, size_t fallback_position) {
  if (!profile.empty() && StartsWithIgnoringCase(path, profile) &&
      (path.size() == profile.size() || path[profile.size()] == '\\'))
    return std::string(path.substr(profile.size()));
  return AfterAnsiPosition(path, fallback_position);
}

}  // namespace

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() &&
         std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) { return Lower(x) == Lower(y); });
}

bool LessIgnoringCase(std::string_view a, std::string_view b) {
  return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(),
                                      [](char x, char y) { return Lower(x) < Lower(y); });
}

ProfileLocations ProfileLocations::FromShell(const ShellFolderPaths& shell) {
  ProfileLocations loc;
  const std::string_view profile = WithoutTrailingBackslash(shell.profile);
  const std::string_view startup = shell.startup;
  size_t fallback_position;
  std::string_view profile_used;
  const size_t slash = profile.rfind('\\');
  if (slash != std::string_view::npos && slash + 1 < profile.size() &&
      StartsWithIgnoringCase(startup, profile)) {
    loc.root_ = std::string(profile.substr(0, slash + 1));
    loc.current_profile_name_ = std::string(profile.substr(slash + 1));
    profile_used = profile;
    fallback_position = AnsiLength(profile);
  } else {
    // Fallback: the first occurrence of the log-on name in the Startup path (case-sensitive).
    const size_t at = shell.user_name.empty() ? std::string::npos : startup.find(shell.user_name);
    if (at != std::string_view::npos) {
      loc.root_ = std::string(startup.substr(0, at));
      fallback_position = AnsiLength(startup.substr(0, at + shell.user_name.size()));
    } else {
      fallback_position = AnsiLength(shell.user_name);
    }
    loc.current_profile_name_ = shell.user_name;
  }
  const std::string* paths[4] = {&shell.startup, &shell.sendto, &shell.recent, &shell.programs};
  for (int k = 0; k < 4; ++k) loc.sub_paths_[k] = SubPathOf(*paths[k], profile_used, fallback_position);
  loc.common_startup_ = shell.common_startup;
  loc.common_programs_ = shell.common_programs;
  return loc;
}

void ProfileLocations::SetProfiles(std::vector<std::string> folder_names) {
  const bool has_all_users =
      std::any_of(folder_names.begin(), folder_names.end(),
                  [](const std::string& n) { return EqualsIgnoringCase(n, kAllUsers); });
  if (!has_all_users) folder_names.emplace_back(kAllUsers);
  std::stable_sort(folder_names.begin(), folder_names.end(),
                   [](const std::string& a, const std::string& b) { return LessIgnoringCase(a, b); });
  profiles_ = std::move(folder_names);
  all_users_index_ = ProfileIndexOf(kAllUsers).value_or(-1);
}

const std::string& ProfileLocations::SubPath(FolderKind kind) const {
  return sub_paths_[static_cast<int>(kind)];
}

std::optional<int> ProfileLocations::ProfileIndexOf(std::string_view name) const {
  for (size_t i = 0; i < profiles_.size(); ++i)
    if (EqualsIgnoringCase(profiles_[i], name)) return static_cast<int>(i);
  return std::nullopt;
}

std::string ProfileLocations::FolderOf(FolderKind kind, int profile_index) const {
  if (profile_index < 0 || profile_index >= static_cast<int>(profiles_.size())) return {};
  if (profile_index == all_users_index_) {
    if (kind == FolderKind::kStartup && !common_startup_.empty()) return common_startup_;
    if (kind == FolderKind::kPrograms && !common_programs_.empty()) return common_programs_;
  }
  return root_ + profiles_[profile_index] + SubPath(kind);
}

}  // namespace orvela
