// Where things are: the profiles of the machine and each profile's shell folders,
// computed once at start from the current user's own shell folders.
#pragma once
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace orvela {

enum class FolderKind { kStartup, kSendTo, kRecent, kPrograms };

inline constexpr std::string_view kAllUsers = "All Users";

// What the shell reports for the current user (paths without a trailing backslash).
struct ShellFolderPaths {
  std::string user_name;  // log-on name
  std::string profile;    // the user's profile folder
  std::string startup, sendto, recent, programs;
  std::string common_startup, common_programs;
};

class ProfileLocations {
 public:
  // Profiles root and sub-paths. The root is the parent of the user's profile folder and a
  // sub-path is what follows the profile folder in a shell folder path; the profile folder
  // often differs from the log-on name, so the name search is only the fallback.
  static ProfileLocations FromShell(const ShellFolderPaths& shell);

  // The sub-folder names of the profiles root, in any order: sorted, "All Users" included.
  void SetProfiles(std::vector<std::string> folder_names);

  const std::string& root() const { return root_; }  // ends in a backslash unless empty
  const std::string& SubPath(FolderKind kind) const;
  const std::vector<std::string>& profiles() const { return profiles_; }
  int all_users_index() const { return all_users_index_; }
  // The folder name of the current user's profile (for the user selectors).
  const std::string& current_profile_name() const { return current_profile_name_; }
  // Position of a profile name, compared without regard to case; nullopt when absent.
  std::optional<int> ProfileIndexOf(std::string_view name) const;

  // The folder of kind K for profile P: the one answer every page uses. "All Users" has
  // its Startup and Programs folders in the shell's common folders.
  std::string FolderOf(FolderKind kind, int profile_index) const;

 private:
  std::string root_;
  std::string sub_paths_[4];
  std::string common_startup_, common_programs_;
  std::string current_profile_name_;
  std::vector<std::string> profiles_;
  int all_users_index_ = -1;
};

// Case-insensitive comparison of ASCII letters, as profile and file names compare on Windows.
bool EqualsIgnoringCase(std::string_view a, std::string_view b);
bool LessIgnoringCase(std::string_view a, std::string_view b);

}  // namespace orvela
