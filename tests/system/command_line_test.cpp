#include <doctest.h>

#include <map>

#include "platform/ansi_codec.h"
#include "system/command_line.h"

using namespace orvela;

namespace {

// A small machine: a few files and folders, drive A: removable, D: a CD-ROM drive.
class FakeSystem : public ProgramLookup {
 public:
  std::map<std::string, PathKind> paths;
  std::map<std::string, std::string> links;  // shortcut -> target
  std::map<std::string, std::string> variables;

  PathKind KindOf(const std::string& path) const override {
    auto it = paths.find(path);
    return it == paths.end() ? PathKind::kNone : it->second;
  }
  DriveKind DriveKindOf(const std::string& path) const override {
    if (path.rfind("A:", 0) == 0) return DriveKind::kRemovable;
    if (path.rfind("D:", 0) == 0) return DriveKind::kCdRom;
    return DriveKind::kOther;
  }
  std::string SystemFolder() const override { return "C:\\Windows\\system32"; }
  // C: is the one local fixed drive.
  bool AbsentFromFixedDrive(const std::string& path) const override {
    return path.rfind("C:\\", 0) == 0 && KindOf(path) == PathKind::kNone;
  }
  std::string ResolveLink(const std::string& link) const override {
    auto it = links.find(link);
    if (it == links.end() || KindOf(it->second) == PathKind::kNone) return link;
    return it->second;
  }
  std::string ExpandVariables(const std::string& text) const override {
    std::string result = text;
    for (const auto& [name, value] : variables) result = ReplaceAll(result, "%" + name + "%", value);
    return result;
  }
};

}  // namespace

TEST_CASE("ReplaceAll works on whole characters") {
  CHECK(ReplaceAll("aXbXXc", "X", "-") == "a-b--c");
  CHECK(ReplaceAll("aaaa", "aa", "a") == "aa");  // left to right, no overlap
  CHECK(ReplaceAll("abc", "", "z") == "abc");

  SUBCASE("a code page 932 trail byte 0x5C is no backslash") {
    // 表 is 0x95 0x5C, ソ is 0x83 0x5C: a byte-wise search would split them.
    auto text = AnsiToUtf8("C:\\\x95\x5C\\\x83\x5C\x83\x74\x83\x67.exe");
    REQUIRE(text);
    CHECK(*text == "C:\\表\\ソフト.exe");
    CHECK(ReplaceAll(*text, "\\", "/") == "C:/表/ソフト.exe");
    CHECK(ReplaceAll(*text, "表", "裏") == "C:\\裏\\ソフト.exe");
  }
  SUBCASE("a pattern that is part of a character does not match inside one") {
    const std::string hyou = "表";  // E8 A1 A8
    CHECK(ReplaceAll("x" + hyou, hyou.substr(1), "!") == "x" + hyou);
    CHECK(ReplaceAll(hyou + "y", hyou.substr(0, 2), "!") == hyou + "y");
  }
}

TEST_CASE("ProgramPathOf takes the program out of a command line") {
  CHECK(ProgramPathOf("\"C:\\Program Files\\Tool\\tool.exe\" /min") ==
        "C:\\Program Files\\Tool\\tool.exe");
  CHECK(ProgramPathOf("rundll32.exe shell32.dll,Control_RunDLL") == "rundll32.exe");
  CHECK(ProgramPathOf("C:\\Tools\\App.EXE -x") == "C:\\Tools\\App.EXE");
  CHECK(ProgramPathOf("C:\\Lib\\hook.DLL,Start") == "C:\\Lib\\hook.DLL");
  CHECK(ProgramPathOf("tool /s") == "tool");
  CHECK(ProgramPathOf(" \ttool\t /s") == "tool");
  CHECK(ProgramPathOf(" notepad ") == " notepad ");  // no "/": taken as it is
}

TEST_CASE("ResolveTarget finds the program or marks it missing") {
  FakeSystem system;
  system.paths["C:\\Windows\\system32\\rundll32.exe"] = PathKind::kFile;
  system.paths["C:\\Windows\\system32\\drivers"] = PathKind::kFolder;
  system.paths["C:\\Apps\\mailer.exe"] = PathKind::kFile;
  system.paths["C:\\Startup\\mailer.lnk"] = PathKind::kFile;
  system.paths["C:\\Startup\\gone.lnk"] = PathKind::kFile;
  system.paths["local.exe"] = PathKind::kFile;
  system.links["C:\\Startup\\mailer.lnk"] = "C:\\Apps\\mailer.exe";
  system.links["C:\\Startup\\gone.lnk"] = "C:\\Apps\\deleted.exe";

  SUBCASE("a name without a drive is looked for in the system folder") {
    auto found = ResolveTarget(ProgramPathOf("rundll32.exe shell32.dll,Control_RunDLL"), system);
    CHECK(found.target == "C:\\Windows\\system32\\rundll32.exe");
    CHECK_FALSE(found.missing);
    auto absent = ResolveTarget("ghost.exe", system);
    CHECK(absent.target == "C:\\Windows\\system32\\ghost.exe");
    CHECK(absent.missing);
    // A folder of that name is no program.
    CHECK(ResolveTarget("drivers", system).missing);
  }
  SUBCASE("a name that exists as it is stays as it is") {
    auto local = ResolveTarget("local.exe", system);
    CHECK(local.target == "local.exe");
    CHECK_FALSE(local.missing);
  }
  SUBCASE("a path with a drive is missing when a local fixed drive says so, and only then") {
    auto absent = ResolveTarget("C:\\Gone\\app.exe", system);
    CHECK(absent.target == "C:\\Gone\\app.exe");
    CHECK(absent.missing);
    CHECK_FALSE(ResolveTarget("C:\\Apps\\mailer.exe", system).missing);
    CHECK_FALSE(ResolveTarget("N:\\Share\\app.exe", system).missing);  // a drive of another kind
    CHECK_FALSE(ResolveTarget("\\\\server\\share\\app.exe", system).missing);  // a network path
  }
  SUBCASE("a shortcut leads to its target, or is missing when that was deleted") {
    auto live = ResolveTarget("C:\\Startup\\mailer.lnk", system);
    CHECK(live.target == "C:\\Apps\\mailer.exe");
    CHECK_FALSE(live.missing);
    auto dead = ResolveTarget("C:\\Startup\\gone.lnk", system);
    CHECK(dead.target == "C:\\Startup\\gone.lnk");  // the icon is the shortcut's own
    CHECK(dead.missing);
    // Only the exact extension counts, as the stored rows expect.
    CHECK(ResolveTarget("C:\\Startup\\mailer.lnk.txt", system).target == "C:\\Startup\\mailer.lnk.txt");
  }
  SUBCASE("removable and CD-ROM drives are not replaced by the system folder") {
    auto floppy = ResolveTarget("A:setup.exe", system);
    CHECK(floppy.target == "A:setup.exe");
    CHECK(floppy.missing);
    CHECK(ResolveTarget("D:autorun.exe", system).target == "D:autorun.exe");
  }
  SUBCASE("environment references are expanded before looking") {
    system.variables["SystemRoot"] = "C:\\Windows";
    auto expanded = ResolveTarget("%SystemRoot%\\system32\\rundll32.exe", system);
    CHECK(expanded.program == "C:\\Windows\\system32\\rundll32.exe");
    CHECK(expanded.target == "C:\\Windows\\system32\\rundll32.exe");
    CHECK_FALSE(expanded.missing);
  }
}
