#include <doctest.h>

#include "sendto/sendto_actions.h"

using namespace orvela;

namespace {

ProfileLocations Locations() {
  ShellFolderPaths s;
  s.profile = "C:\\Users\\taro";
  const std::string windows = s.profile + "\\AppData\\Roaming\\Microsoft\\Windows";
  s.sendto = windows + "\\SendTo";
  s.startup = windows + "\\Start Menu\\Programs\\Startup";
  ProfileLocations loc = ProfileLocations::FromShell(s);
  loc.SetProfiles({"taro", "Ann"});
  return loc;
}

}  // namespace

TEST_CASE("SendTo rows: the folder's files and the Disabled Box lines as the view shows them") {
  const ProfileLocations loc = Locations();
  const std::string ann = "C:\\Users\\Ann\\AppData\\Roaming\\Microsoft\\Windows\\SendTo";
  CHECK(SendToFolderOf(loc, "Ann") == ann);
  CHECK(SendToFolderOf(loc, "").empty());

  const auto items = SendToItemRecords(ann, {"Mail.lnk", "Fax.xyz.lnk", ".desk"});
  CHECK(items[1].Name == "Fax.xyz");
  CHECK(items[1].Command == ann + "\\Fax.xyz.lnk");
  CHECK(items[2].Name == ".desk");

  const auto rows = SendToBoxRecords({"Ann@#@Mail=lnkC:\\Mail\\mail.exe", "Ann@#@Box=lnk@@@14001F50",
                                      "Ann@#@Fax=" + ann + "\\Fax.xyz", "taro=Mail#$#C:\\m.exe"},
                                     loc);
  CHECK((rows[0].Name == "Ann@#@Mail" && rows[0].ShortcutForm && !rows[0].ItemIdForm));
  CHECK((rows[0].Command == "C:\\Mail\\mail.exe" && rows[0].Location == rows[0].Command));
  CHECK((rows[1].ItemIdForm && rows[1].Command == "14001F50" && rows[1].Location == ann));
  CHECK((!rows[2].ShortcutForm && rows[2].Location == ann + "\\Fax.xyz"));
  CHECK((rows[3].Unrecognised && rows[3].Name == "taro" && rows[3].Command == "taro=Mail#$#C:\\m.exe"));

  CHECK(SendToRowColour(rows[0]) == Rgb(233, 255, 172));
  CHECK(SendToRowColour(rows[1]) == Rgb(232, 223, 255));
  CHECK(SendToRowColour(rows[2]) == Rgb(247, 255, 225));
  CHECK(SendToCaption("Ann@#@Mail") == "[Mail （Ann）] ");
  CHECK(SendToCaption("Mail") == "[Mail] ");
}
