#include <doctest.h>

#include "system/locations.h"

using namespace orvela;

namespace {

ShellFolderPaths TaroWithProfileFolderTaro2() {
  ShellFolderPaths s;
  s.user_name = "taro";  // log-on name differs from the profile folder name
  s.profile = "C:\\Users\\taro.CORP";
  const std::string appdata = s.profile + "\\AppData\\Roaming\\Microsoft\\Windows";
  s.startup = appdata + "\\Start Menu\\Programs\\Startup";
  s.sendto = appdata + "\\SendTo";
  s.recent = appdata + "\\Recent";
  s.programs = appdata + "\\Start Menu\\Programs";
  s.common_startup = "C:\\ProgramData\\Microsoft\\Windows\\Start Menu\\Programs\\Startup";
  s.common_programs = "C:\\ProgramData\\Microsoft\\Windows\\Start Menu\\Programs";
  return s;
}

}  // namespace

TEST_CASE("profile locations come from the profile folder, not the log-on name") {
  const ShellFolderPaths shell = TaroWithProfileFolderTaro2();
  ProfileLocations loc = ProfileLocations::FromShell(shell);
  loc.SetProfiles({"taro.CORP", "Public", "hanako", "Default"});

  CHECK(loc.root() == "C:\\Users\\");
  CHECK(loc.current_profile_name() == "taro.CORP");
  CHECK(loc.SubPath(FolderKind::kStartup) == "\\AppData\\Roaming\\Microsoft\\Windows\\Start Menu\\Programs\\Startup");

  SUBCASE("sorted list with All Users added and its index remembered") {
    CHECK(loc.profiles() == std::vector<std::string>{"All Users", "Default", "hanako", "Public", "taro.CORP"});
    CHECK(loc.all_users_index() == 0);
    CHECK(loc.ProfileIndexOf("HANAKO") == 2);
    CHECK_FALSE(loc.ProfileIndexOf("jiro"));
  }
  SUBCASE("the current user's folders are the shell's own") {
    const int me = *loc.ProfileIndexOf("taro.CORP");
    CHECK(loc.FolderOf(FolderKind::kStartup, me) == shell.startup);
    CHECK(loc.FolderOf(FolderKind::kSendTo, me) == shell.sendto);
    CHECK(loc.FolderOf(FolderKind::kRecent, me) == shell.recent);
    CHECK(loc.FolderOf(FolderKind::kPrograms, me) == shell.programs);
  }
  SUBCASE("another profile gets the same sub-paths") {
    CHECK(loc.FolderOf(FolderKind::kSendTo, 2) == "C:\\Users\\hanako\\AppData\\Roaming\\Microsoft\\Windows\\SendTo");
  }
  SUBCASE("All Users: common Startup and Programs, other kinds composed") {
    CHECK(loc.FolderOf(FolderKind::kStartup, 0) == shell.common_startup);
    CHECK(loc.FolderOf(FolderKind::kPrograms, 0) == shell.common_programs);
    CHECK(loc.FolderOf(FolderKind::kRecent, 0) == "C:\\Users\\All Users\\AppData\\Roaming\\Microsoft\\Windows\\Recent");
    CHECK(loc.FolderOf(FolderKind::kStartup, 99).empty());
  }
}

TEST_CASE("an existing All Users folder is listed once, in any case") {
  ProfileLocations loc = ProfileLocations::FromShell(TaroWithProfileFolderTaro2());
  loc.SetProfiles({"zeta", "all users", "Alpha"});
  CHECK(loc.profiles() == std::vector<std::string>{"all users", "Alpha", "zeta"});
  CHECK(loc.all_users_index() == 0);
}

TEST_CASE("fallback: the log-on name searched in the Startup path") {
  ShellFolderPaths s = TaroWithProfileFolderTaro2();
  s.profile.clear();  // the shell gave no profile folder
  s.startup = "D:\\Profiles\\taro\\Startup";
  s.sendto = "D:\\Profiles\\taro\\SendTo";
  ProfileLocations loc = ProfileLocations::FromShell(s);
  CHECK(loc.root() == "D:\\Profiles\\");
  CHECK(loc.SubPath(FolderKind::kStartup) == "\\Startup");
  CHECK(loc.SubPath(FolderKind::kSendTo) == "\\SendTo");

  SUBCASE("a name not in the path gives an empty root and cuts at the name's length") {
    s.user_name = "Taro";  // the search is case-sensitive
    ProfileLocations other = ProfileLocations::FromShell(s);
    CHECK(other.root().empty());
    CHECK(other.SubPath(FolderKind::kStartup) == s.startup.substr(4));
  }
}

TEST_CASE("fallback: the name's length counts bytes of the ANSI code page, never half a character") {
  ShellFolderPaths s;
  s.user_name = "山田";  // 4 bytes in code page 932, 6 in UTF-8
  SUBCASE("a cut between characters") {
    s.startup = "C:\\ab表\\Startup";  // the first 4 bytes are "C:\a"
    CHECK(ProfileLocations::FromShell(s).SubPath(FolderKind::kStartup) == "b表\\Startup");
  }
  SUBCASE("a cut inside a double-byte character moves past it") {
    s.startup = "\\表示\\Startup";  // 示 takes bytes 3 and 4
    s.sendto = "C:\\";             // shorter than the cut
    const ProfileLocations loc = ProfileLocations::FromShell(s);
    CHECK(loc.SubPath(FolderKind::kStartup) == "\\Startup");
    CHECK(loc.SubPath(FolderKind::kSendTo).empty());
  }
  SUBCASE("the name found: a folder elsewhere is cut at the byte the Startup path was") {
    s.startup = "D:\\表\\山田\\Startup";  // "D:\表\山田" is 10 bytes
    s.sendto = "E:\\x\\山田\\SendTo";
    const ProfileLocations loc = ProfileLocations::FromShell(s);
    CHECK(loc.root() == "D:\\表\\");
    CHECK(loc.SubPath(FolderKind::kStartup) == "\\Startup");
    CHECK(loc.SubPath(FolderKind::kSendTo) == "SendTo");
  }
}
