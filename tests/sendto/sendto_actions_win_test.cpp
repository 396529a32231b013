// Disabling, enabling and deleting SendTo items on the real shell and the folders of the
// test prefix: user Ann's SendTo folder and a Disabled Box file of the test's own.
#include <doctest.h>

#include "system/shell_folders_win.h"

#include <windows.h>
#include <shlobj.h>

#include "disabled_box/disabled_box.h"
#include "disabled_box/kept_item_files.h"
#include "disabled_box/line_list_file.h"
#include "system/shell_port_win.h"
#include "platform/file_io.h"
#include "platform/folders_win.h"
#include "platform/scripted_prompt.h"
#include "platform/wide_win.h"
#include "sendto/sendto_actions.h"
#include "test_files_win.h"

using namespace orvela;
using namespace orvela::testing;
using orvela::testing::PutEarlierKeptItem;

namespace {

// A shortcut with what a line cannot carry: arguments, working folder, icon.
void WriteFullShortcut(const std::string& path, const std::string& target) {
  ComPtr<IShellLinkW> link;
  REQUIRE(SUCCEEDED(
      CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW, link.put_void())));
  link->SetPath(Wide(target).c_str());
  link->SetArguments(L"/compose \"宛先 1\"");
  link->SetWorkingDirectory(L"C:\\windows");
  link->SetIconLocation(L"C:\\windows\\system32\\shell32.dll", 12);
  REQUIRE(SUCCEEDED(link.query<IPersistFile>()->Save(Wide(path).c_str(), TRUE)));
}

struct SendToFixture {
  SendToFixture() {
    CoInitialize(nullptr);
    CreateDirectoryW(Wide(locations.root() + "Ann").c_str(), nullptr);
    locations.SetProfiles(ListSubfolders(locations.root()));
    folder = SendToFolderOf(locations, "Ann");
    REQUIRE(CreateFolderTree(folder));
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    data = Narrow(temp) + "orvela-sendto";
    RemoveTree(data);
    REQUIRE(CreateFolderTree(data + "\\programs"));
    program = data + "\\programs\\mailer.exe";
    REQUIRE(CopyFileW(Wide(FixturePath("sample-mailer.exe")).c_str(), Wide(program).c_str(), FALSE));
    box.path = data + "\\sendto.txt";
    box.state = DisabledBoxStore::State::kLoaded;
  }
  ~SendToFixture() {
    RemoveTree(locations.root() + "Ann");
    RemoveTree(data);
    CoUninitialize();
  }
  EntryRecord Item(const std::string& file) {
    return SendToItemRecords(folder, {file}).front();
  }
  std::string Path(const std::string& file) const { return folder + "\\" + file; }
  size_t KeptCount() const { return FileNamesIn(data + "\\kept\\sendto").size(); }

  ProfileLocations locations = ProfileLocations::FromShell(CurrentShellFolders());
  ScriptedPrompt prompt;
  TShellLink link;
  Win32ShellPort shell{link};
  DisabledBoxStore box;
  SendToContext context{prompt, shell, box, locations};
  std::string folder, data, program;
};

}  // namespace

TEST_CASE("SendTo items leave for the Disabled Box and come back as they were") {
  SendToFixture f;

  SUBCASE("a shortcut with arguments and an icon, byte for byte") {
    WriteFullShortcut(f.Path("Mail.lnk"), f.program);
    const auto bytes = ReadWholeFile(f.Path("Mail.lnk"));
    REQUIRE(DisableSendToItem(f.context, "Ann", f.Item("Mail.lnk")));
    CHECK(f.box.lines == std::vector<std::string>{"Ann@#@Mail=lnk" + f.program});
    CHECK(LoadLineList(f.box.path).lines == f.box.lines);  // on disk at once
    CHECK_FALSE(FileExists(f.Path("Mail.lnk")));
    REQUIRE(EnableSendToLine(f.context, 0));
    CHECK(ReadWholeFile(f.Path("Mail.lnk")) == bytes);
    CHECK(f.box.lines.empty());
    CHECK(f.KeptCount() == 0);
  }
  SUBCASE("a hidden system desktop.ini keeps its attributes and time") {
    const std::wstring ini = Wide(f.Path("desktop.ini"));
    REQUIRE(WriteNewFile(f.Path("desktop.ini"), "[.ShellClassInfo]\r\n"));
    const FILETIME y2000{0x256D4000, 0x01BF53EB};
    {
      const HANDLE file = CreateFileW(ini.c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr, OPEN_EXISTING, 0, nullptr);
      REQUIRE(SetFileTime(file, nullptr, nullptr, &y2000));
      CloseHandle(file);
    }
    REQUIRE(SetFileAttributesW(ini.c_str(), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM));
    REQUIRE(DisableSendToItem(f.context, "Ann", f.Item("desktop.ini")));
    REQUIRE(EnableSendToLine(f.context, 0));
    WIN32_FILE_ATTRIBUTE_DATA back{};
    REQUIRE(GetFileAttributesExW(ini.c_str(), GetFileExInfoStandard, &back));
    CHECK((back.dwFileAttributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM)) ==
          (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM));
    CHECK(CompareFileTime(&back.ftLastWriteTime, &y2000) == 0);
  }
  SUBCASE("an empty plain item and one with content") {
    REQUIRE(WriteNewFile(f.Path("Fax.xyz"), ""));
    REQUIRE(WriteNewFile(f.Path("Copy.js"), "WScript.Echo('送る');\r\n"));
    REQUIRE(DisableSendToItem(f.context, "Ann", f.Item("Fax.xyz")));
    REQUIRE(DisableSendToItem(f.context, "Ann", f.Item("Copy.js")));
    CHECK(f.box.lines == std::vector<std::string>{"Ann@#@Fax=" + f.Path("Fax.xyz"), "Ann@#@Copy=" + f.Path("Copy.js")});
    REQUIRE(EnableSendToLine(f.context, 1));
    REQUIRE(EnableSendToLine(f.context, 0));
    CHECK(ReadWholeFile(f.Path("Fax.xyz")) == "");
    CHECK(ReadWholeFile(f.Path("Copy.js")) == "WScript.Echo('送る');\r\n");
    CHECK(f.KeptCount() == 0);
  }
  SUBCASE("lines of an older file, with no kept copy, are made again from the line") {
    REQUIRE(f.box.Commit({"Ann@#@Mail=lnk" + f.program, "Ann@#@Fax=C:\\old\\SendTo\\Fax.xyz"}));
    REQUIRE(EnableSendToLine(f.context, 0));
    CHECK(f.shell.ResolveLink(f.Path("Mail.lnk")) == f.program);
    REQUIRE(EnableSendToLine(f.context, 0));
    CHECK(ReadWholeFile(f.Path("Fax.xyz")) == "");
    CHECK(f.box.lines.empty());
    CHECK(f.prompt.shown().empty());
  }
  SUBCASE("a line whose item cannot be made stays, and the user is told why") {
    REQUIRE(f.box.Commit({"Ann@#@Gone=lnkC:\\no\\such\\program.exe", "Nobody@#@Fax=C:\\x\\Fax.xyz"}));
    CHECK_FALSE(EnableSendToLine(f.context, 0));
    CHECK_FALSE(EnableSendToLine(f.context, 1));
    CHECK(f.box.lines.size() == 2);
    CHECK(f.prompt.messages() == std::vector<std::string>{
                                     "[Gone]\n" + std::string(sendto_messages::kShortcutFailedKept),
                                     "[Fax]\n" + std::string(sendto_messages::kNoFolder)});
    CHECK_FALSE(FolderExists(f.locations.root() + "Nobody"));
  }
}

TEST_CASE("an item of the same name is replaced only when the user says so") {
  SendToFixture f;
  REQUIRE(WriteNewFile(f.Path("Copy.js"), "old"));
  REQUIRE(DisableSendToItem(f.context, "Ann", f.Item("Copy.js")));
  REQUIRE(WriteNewFile(f.Path("Copy.js"), "new"));
  f.prompt.AnswerNo();
  CHECK_FALSE(EnableSendToLine(f.context, 0));
  CHECK(f.prompt.shown().back().default_no);  // Enter keeps the item nothing else keeps
  CHECK(ReadWholeFile(f.Path("Copy.js")) == "new");
  CHECK(f.box.lines.size() == 1);
  f.prompt.AnswerYes();
  CHECK(EnableSendToLine(f.context, 0));
  CHECK(ReadWholeFile(f.Path("Copy.js")) == "old");
  CHECK(f.box.lines.empty());

  // The same item back in place already (put back before a crash): the line just goes.
  REQUIRE(DisableSendToItem(f.context, "Ann", f.Item("Copy.js")));
  REQUIRE(WriteNewFile(f.Path("Copy.js"), "old"));
  f.prompt.clear();
  CHECK(EnableSendToLine(f.context, 0));
  CHECK(f.prompt.shown().empty());
  CHECK(f.box.lines.empty());
}

TEST_CASE("a disable that cannot be completed changes nothing and says so") {
  SendToFixture f;
  SUBCASE("a name no line can carry") {
    REQUIRE(WriteNewFile(f.Path("a=b.txt"), "x"));
    CHECK_FALSE(DisableSendToItem(f.context, "Ann", f.Item("a=b.txt")));
    CHECK(f.prompt.messages() == std::vector<std::string>{"[a=b]\n" + std::string(sendto_messages::kNameNotStorable)});
  }
  SUBCASE("a file that cannot be deleted: its line is taken back out") {
    REQUIRE(WriteNewFile(f.Path("Locked.txt"), "x"));
    const HANDLE open = CreateFileW(Wide(f.Path("Locked.txt")).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                    OPEN_EXISTING, 0, nullptr);
    CHECK_FALSE(DisableSendToItem(f.context, "Ann", f.Item("Locked.txt")));
    CloseHandle(open);
    CHECK(f.prompt.messages() == std::vector<std::string>{"[Locked]\n" + std::string(sendto_messages::kNotDisabledFile)});
    CHECK(f.KeptCount() == 0);
  }
  CHECK(f.box.lines.empty());
  CHECK(LoadLineList(f.box.path).lines.empty());
  CHECK(FileNamesIn(f.folder).size() == 1);  // the item stays where it was
}

TEST_CASE("deleting a line takes its kept copy with it; the live item is not touched") {
  SendToFixture f;
  REQUIRE(WriteNewFile(f.Path("Copy.js"), "x"));
  REQUIRE(DisableSendToItem(f.context, "Ann", f.Item("Copy.js")));
  REQUIRE(WriteNewFile(f.Path("Copy.js"), "y"));
  CHECK(DeleteSendToLine(f.context, 0, false));
  CHECK(LoadLineList(f.box.path).lines.empty());
  CHECK(f.KeptCount() == 0);
  CHECK(ReadWholeFile(f.Path("Copy.js")) == "y");
}

TEST_CASE("what a hand-edited box or kept item says is checked before it is written") {
  SendToFixture f;
  SUBCASE("a name that climbs out of the SendTo folder is refused, with or without a question") {
    const std::string victim = f.data + "\\precious.txt";
    REQUIRE(WriteNewFile(victim, "precious"));
    std::string climb = "..\\";  // from the SendTo folder up to the root
    for (char c : f.folder.substr(3))
      if (c == '\\') climb += "..\\";
    const std::vector<std::string> lines = {"Ann@#@" + climb + f.data.substr(3) + "\\precious=C:\\x\\x.txt",
                                            "Ann@#@..\\Start Menu\\Programs\\Startup\\evil=C:\\x\\evil.js"};
    REQUIRE(f.box.Commit(lines));
    f.prompt.AnswerYes();
    CHECK_FALSE(EnableSendToLine(f.context, 1));
    CHECK_FALSE(EnableSendToLine(f.context, 0));
    CHECK(ReadWholeFile(victim) == "precious");
    CHECK_FALSE(FileExists(f.folder + "\\..\\Start Menu\\Programs\\Startup\\evil.js"));
    CHECK(f.prompt.messages().size() == 2);
    CHECK(f.box.lines == lines);
  }
  SUBCASE("a kept shortcut that leads elsewhere than its line is not used, and the user is told") {
    const std::string line = "Ann@#@Mail=lnk" + f.program;
    const std::string other = f.data + "\\programs\\other.exe";
    REQUIRE(CopyFileW(Wide(f.program).c_str(), Wide(other).c_str(), FALSE));
    WriteFullShortcut(f.Path("Other.lnk"), other);
    const std::string bytes = *ReadWholeFile(f.Path("Other.lnk"));
    REQUIRE(DeleteFileW(Wide(f.Path("Other.lnk")).c_str()));
    REQUIRE(f.box.Commit({line}));
    REQUIRE(PutEarlierKeptItem(f.box.path, 1, line, "file=Mail.lnk", bytes));
    f.box.Load(f.prompt);
    REQUIRE(EnableSendToLine(f.context, 0));
    CHECK(f.shell.ResolveLink(f.Path("Mail.lnk")) == f.program);
    CHECK(f.prompt.messages() == std::vector<std::string>{"[Mail]\n" + std::string(kKeptNotUsedText)});
  }
}
