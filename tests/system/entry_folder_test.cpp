#include <doctest.h>

#include <map>

#include "system/entry_folder.h"

using namespace orvela;

namespace {

class Folders : public ProgramLookup {
 public:
  std::map<std::string, PathKind> paths{{"C:\\Windows\\system32\\rundll32.exe", PathKind::kFile}};
  std::map<std::string, std::string> links;
  PathKind KindOf(const std::string& p) const override {
    auto it = paths.find(p);
    return it == paths.end() ? PathKind::kNone : it->second;
  }
  DriveKind DriveKindOf(const std::string& p) const override {
    return p.rfind("A:", 0) == 0 ? DriveKind::kRemovable : DriveKind::kOther;
  }
  std::string SystemFolder() const override { return "C:\\Windows\\system32"; }
  std::string ResolveLink(const std::string& l) const override {
    auto it = links.find(l);
    return it == links.end() ? l : it->second;
  }
  std::string ExpandVariables(const std::string& t) const override {
    std::string text = t;
    const std::string name = "%SystemRoot%";
    if (const size_t at = text.find(name); at != std::string::npos) text.replace(at, name.size(), "C:\\Windows");
    return text;
  }
};

}  // namespace

TEST_CASE("the folder an entry's command points to") {
  Folders system;
  CHECK(EntryFolderOf("\"C:\\Program Files\\Tool\\tool.exe\" /min", system) == "C:\\Program Files\\Tool");
  CHECK(EntryFolderOf("C:\\tool.exe -x", system) == "C:\\");
  SUBCASE("a name without a drive is looked for in the system folder") {
    CHECK(EntryFolderOf("rundll32.exe shell32.dll,Control_RunDLL", system) == "C:\\Windows\\system32");
    CHECK(EntryFolderOf("A:setup.exe", system) == "A:");
  }
  SUBCASE("quoted pieces: the one naming the uninstaller wins, else the last") {
    CHECK(QuotedPieces("\"a\" x \"b c\" \"d") == std::vector<std::string>{"a", "b c"});
    CHECK(EntryFolderOf("\"C:\\Windows\\msiexec.exe\" \"C:\\Apps\\Uninstall Tool\\run.exe\" \"C:\\Data\\x.log\"",
                        system) == "C:\\Apps\\Uninstall Tool");
    CHECK(EntryFolderOf("\"C:\\A\\a.exe\" \"D:\\B\\b.dat\"", system) == "D:\\B");
    // An uninstall command whose last piece is a switch ends in the system folder.
    CHECK(EntryFolderOf("\"C:\\A\\setup.exe\" \"/remove\"", system) == "C:\\Windows\\system32");
    CHECK(EntryFolderOf("MsiExec.exe /X{1234}", system) == "C:\\Windows\\system32");
  }
  SUBCASE("%NAME% references are expanded, as the missing-program test does") {
    CHECK(EntryFolderOf("%SystemRoot%\\system32\\rundll32.exe x.dll,Run", system) ==
          "C:\\Windows\\system32");
    CHECK(EntryFolderOf("\"%SystemRoot%\\Tool\\tool.exe\" /min", system) == "C:\\Windows\\Tool");
  }
  SUBCASE("a shortcut leads to its target's folder") {
    system.links["C:\\S\\Mail.lnk"] = "C:\\Mail\\mail.exe";
    CHECK(EntryFolderOf("C:\\S\\Mail.lnk", system) == "C:\\Mail");
  }
}
