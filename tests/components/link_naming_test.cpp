#include <doctest.h>

#include <set>

#include "components/link_naming.h"
#include "platform/ansi_codec.h"

using namespace orvela;

namespace {

struct FakeFileSystem : LinkFileSystem {
  std::set<std::string> files;
  std::set<std::string> folders;
  bool FileExists(const std::string& path) const override { return files.count(path) > 0; }
  bool FolderExists(const std::string& path) const override { return folders.count(path) > 0; }
};

std::optional<ShellItemName> NoItem() {
  FAIL("the shell item was asked for although no item target was given");
  return std::nullopt;
}

LinkRequest ToPath(std::string target, std::string name = "", bool overwrite = true) {
  LinkRequest request;
  request.target_path = std::move(target);
  request.name = std::move(name);
  request.folder = "C:\\Links";
  request.overwrite = overwrite;
  return request;
}

}  // namespace

TEST_CASE("forbidden characters become their full-width forms") {
  CHECK(FileMogChk(".\"/:;*<>?\\|") == "．”／：；＊＜＞？￥｜");
  // In the stored code page: the double-byte forms shortcut names have always had.
  CHECK(Utf8ToAnsi(FileMogChk("./\":;*<>?\\|")) ==
        std::string("\x81\x44\x81\x5E\x81\x68\x81\x46\x81\x47\x81\x96\x81\x83\x81\x84\x81\x48\x81\x8F\x81\x62"));
  CHECK(FileMogChk("A/B:C") == "A／B：C");
  CHECK(FileMogChk("Tool 1.2") == "Tool 1．2");

  SUBCASE("every occurrence is replaced, even after a character whose code-page form ends in 0x5C") {
    const auto decoded = AnsiToUtf8("\x95\x5C\\\x95\x5C\\x");  // 表\表\x
    REQUIRE(decoded);
    CHECK(Utf8ToAnsi(FileMogChk(*decoded)) == std::string("\x95\x5C\x81\x8F\x95\x5C\x81\x8Fx"));
  }
  SUBCASE("a replacement holding its own pattern is not replaced again") {
    std::string text = "a-a";
    MogChange(text, "a", "ba");
    CHECK(text == "ba-ba");
    MogChange(text, "a", "aa");
    CHECK(text == "baa-baa");
    MogChange(text, "", "x");
    CHECK(text == "baa-baa");
  }
}

TEST_CASE("trailing separator and extensions") {
  FakeFileSystem fs;
  fs.files.insert("C:\\Data\\file.txt");
  const auto hyou = AnsiToUtf8("C:\\\x95\x5C");  // C:\表, last byte 0x5C
  REQUIRE(hyou);
  CHECK(Utf8ToAnsi(PathToSetKugiriMog(fs, *hyou)) == std::string("C:\\\x95\x5C\\"));
  CHECK(PathToSetKugiriMog(fs, "C:\\Data\\") == "C:\\Data\\");
  CHECK(PathToSetKugiriMog(fs, "C:\\Data") == "C:\\Data\\");
  CHECK(PathToSetKugiriMog(fs, "C:\\Data\\file.txt") == "C:\\Data\\file.txt");
  CHECK(PathToSetKugiriMog(fs, "") == "\\");

  CHECK(RemoveExtension("report.final.exe") == "report.final");
  CHECK(RemoveExtension(".profile") == ".profile");
  CHECK(RemoveExtension("C:\\a.b\\c") == "C:\\a.b\\c");
}

TEST_CASE("names derived from the target") {
  FakeFileSystem fs;
  fs.files.insert("C:\\Tools\\report.final.exe");
  fs.files.insert("C:\\Tools\\.hidden");
  fs.folders.insert("C:\\Data.old");
  fs.folders.insert("C:\\Data.old\\");
  fs.folders.insert("C:\\Links");

  auto path_of = [&](const LinkRequest& request) {
    auto plan = PlanLink(fs, request, NoItem);
    return plan ? plan->path : std::string("<none>");
  };
  CHECK(path_of(ToPath("C:\\Tools\\report.final.exe")) == "C:\\Links\\report.lnk");
  CHECK(path_of(ToPath("C:\\Data.old")) == "C:\\Links\\Data.lnk");
  CHECK(path_of(ToPath("C:\\Data.old\\")) == "C:\\Links\\Data.lnk");
  CHECK(path_of(ToPath("C:\\Tools\\.hidden")) == "C:\\Links\\.hidden.lnk");
  CHECK(path_of(ToPath("C:\\Tools\\report.final.exe", "Tool 1.2")) == "C:\\Links\\Tool 1．2.lnk");
  CHECK(path_of(ToPath("C:\\Tools\\report.final.exe", "A/B:C")) == "C:\\Links\\A／B：C.lnk");

  SUBCASE("nothing is planned without an existing target, a folder or a name") {
    CHECK_FALSE(PlanLink(fs, ToPath("C:\\Tools\\gone.exe", "Gone"), NoItem));
    LinkRequest no_folder = ToPath("C:\\Tools\\report.final.exe");
    no_folder.folder.clear();
    CHECK_FALSE(PlanLink(fs, no_folder, NoItem));
    LinkRequest file_as_folder = ToPath("C:\\Tools\\report.final.exe");
    file_as_folder.folder = "C:\\Tools\\.hidden";
    CHECK_FALSE(PlanLink(fs, file_as_folder, NoItem));
    LinkRequest nothing = ToPath("");
    CHECK_FALSE(PlanLink(fs, nothing, NoItem));
  }

  SUBCASE("a shell item without a path") {
    LinkRequest item = ToPath("");
    item.has_item = true;
    auto named = [&](ShellItemName name) {
      auto plan = PlanLink(fs, item, [&] { return std::optional<ShellItemName>(name); });
      return plan ? plan->path : std::string("<none>");
    };
    CHECK(named({"Data.old", true}) == "C:\\Links\\Data.old.lnk");
    CHECK(named({"report.final.exe", false}) == "C:\\Links\\report.final.lnk");
    CHECK(named({"", true}) == "<none>");
    CHECK(named({"Disk (C:)", true}) == "C:\\Links\\Disk (C：).lnk");
    CHECK_FALSE(PlanLink(fs, item, [] { return std::optional<ShellItemName>(); }));

    item.name = "My.Computer";
    CHECK(PlanLink(fs, item, NoItem)->path == "C:\\Links\\My．Computer.lnk");
  }
}

TEST_CASE("numbering and probing") {
  FakeFileSystem fs;
  fs.files.insert("C:\\Tools\\X.exe");
  fs.folders.insert("C:\\Links");
  const LinkRequest keep = ToPath("C:\\Tools\\X.exe", "", false);
  const LinkRequest overwrite = ToPath("C:\\Tools\\X.exe", "", true);
  LinkRequest probe = overwrite;
  probe.probe = true;

  CHECK(PlanLink(fs, keep, NoItem)->path == "C:\\Links\\X.lnk");
  CHECK(ProbeAnswer(PlanLink(fs, probe, NoItem)) == LinkNameProbe::kFree);

  fs.files.insert("C:\\Links\\X.lnk");
  fs.files.insert("C:\\Links\\X(1).lnk");
  CHECK(PlanLink(fs, keep, NoItem)->path == "C:\\Links\\X(2).lnk");
  CHECK(PlanLink(fs, overwrite, NoItem)->path == "C:\\Links\\X.lnk");
  CHECK(ProbeAnswer(PlanLink(fs, probe, NoItem)) == LinkNameProbe::kTaken);

  // A folder of that name blocks the name just as a file does.
  fs.folders.insert("C:\\Links\\X(2).lnk");
  fs.files.insert("C:\\Links\\X(10).lnk");
  CHECK(PlanLink(fs, keep, NoItem)->path == "C:\\Links\\X(3).lnk");

  probe.target_path = "C:\\Tools\\gone.exe";
  CHECK(ProbeAnswer(PlanLink(fs, probe, NoItem)) == LinkNameProbe::kNoShortcut);
}

TEST_CASE("delete by name tries its files in order") {
  CHECK(DeleteLinkCandidates("C:\\Startup\\", "notepad.exe", "Editor") ==
        std::vector<std::string>{"C:\\Startup\\notepad.lnk", "C:\\Startup\\notepad.exe.lnk",
                                 "C:\\Startup\\Editor.lnk"});
  CHECK(DeleteLinkCandidates("C:\\Startup", "notepad", "") ==
        std::vector<std::string>{"C:\\Startup\\notepad.lnk"});
  CHECK(DeleteLinkCandidates("", "notepad", "x").empty());
}
