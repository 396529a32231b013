// The version box against a real HTTP server on 127.0.0.1: the update check's messages,
// the addresses it asks for, and the download into the chosen folder.
#include <doctest.h>

// Before anything that includes <windows.h>: winsock2 must come first.
#include "loopback_http_server.h"
#include "version_box_test_support.h"

#include "platform/handles_win.h"

using namespace orvela;
using namespace orvela::testing;

namespace {

constexpr char kPage[] = "/DownLoadHtml/UpdateFilePageFree.html";
constexpr char kArchive[] = "/UpdateFile/Orvela_Up1278.zip";

std::string PageNaming(const std::string& text) {
  return "<html><body><p>最新版</p><a href=\"../UpdateFile/" + text + "\">" + text + "</a></body></html>";
}

// 5000 bytes with every byte value, zeros included, ending as a ZIP archive does: an end
// record with a comment, whose central directory (empty) ends where the record begins.
std::string ArchiveBytes() {
  std::string bytes;
  for (int i = 0; i < 5000; ++i) bytes.push_back(static_cast<char>((i * 7 + i / 256) & 0xFF));
  const std::size_t record = bytes.size();
  const std::string comment = "最新版";
  bytes += std::string("PK\x05\x06", 4) + std::string(12, '\0');
  for (std::size_t n : {record, record >> 8, record >> 16, record >> 24, comment.size(), comment.size() >> 8})
    bytes.push_back(static_cast<char>(n));
  return bytes + comment;
}

// Answers the folder question with a folder, and notes whether the program's other
// windows were disabled while it was asked.
class FolderPrompt : public ScriptedPrompt {
 public:
  HWND other_window = nullptr, owner = nullptr;
  bool other_was_disabled = false;
  void SetOwnerWindow(void* window) override { owner = static_cast<HWND>(window); }
  std::optional<std::string> ChooseFolder(std::string_view title, std::string_view initial) override {
    other_was_disabled = other_window && !IsWindowEnabled(other_window);
    return ScriptedPrompt::ChooseFolder(title, initial);
  }
};

// An answer that sends half of `body` and then nothing more, holding the connection open.
LoopbackHttpServer::Response Stalling(const std::string& body) {
  LoopbackHttpServer::Response response{200, body};
  response.piece = body.size() / 2;
  response.pause_ms = LoopbackHttpServer::kLifetimeMs;
  return response;
}

struct Box {
  LoopbackHttpServer server;
  FolderPrompt prompt;
  std::unique_ptr<TVersionBox> box;

  explicit Box(const std::string& ver_str = "1277", const std::string& folder_name = "DownLoadHtml",
               unsigned time_limit_ms = kCheckTimeLimitMs) {
    REQUIRE(server.running());
    VersionBoxSettings settings = TestBoxSettings(server.base_url(), ver_str);
    settings.update.folder_name = folder_name;
    settings.update.check_time_limit_ms = time_limit_ms;
    box = std::make_unique<TVersionBox>(settings, prompt);
    REQUIRE(box->Create(nullptr));
  }
};

}  // namespace

TEST_CASE("Orvela_Up1278.zip is offered to 1277 and refused to 1278 and 1279") {
  SUBCASE("1277: the download is offered") {
    Box b("1277");
    b.server.Serve(kPage, {200, PageNaming("Orvela_Up1278.zip")});
    b.prompt.AnswerNo();
    REQUIRE(PressUpdateAndWait(*b.box));
    REQUIRE(b.prompt.shown().size() == 1);
    CHECK(b.prompt.shown()[0].kind == ScriptedPrompt::Kind::kYesNo);
    CHECK(b.prompt.shown()[0].text == "最新のアップデートファイルが見つかりました。\n'Orvela_Up1278.zip' をダウンロードしますか？");
    CHECK(b.prompt.shown()[0].caption == "Update");
    CHECK(b.server.requests() == std::vector<std::string>{kPage});  // "No" downloads nothing
  }
  for (const char* own : {"1278", "1279"}) {
    SUBCASE(own) {
      Box b(own);
      b.server.Serve(kPage, {200, PageNaming("Orvela_Up1278.zip")});
      REQUIRE(PressUpdateAndWait(*b.box));
      CHECK(b.prompt.messages() == std::vector<std::string>{"お使いのソフトは最新のバージョンです。"});
      REQUIRE(b.prompt.shown().size() == 1);
      CHECK(b.prompt.shown()[0].caption == "Orvela");
    }
  }
}

TEST_CASE("the first of two release names is the one offered") {
  Box b;
  b.server.Serve(kPage, {200, PageNaming("Orvela_Up1279.zip") + PageNaming("Orvela_Up1280.zip")});
  REQUIRE(PressUpdateAndWait(*b.box));
  REQUIRE(b.prompt.shown().size() == 1);
  CHECK(b.prompt.shown()[0].text.find("'Orvela_Up1279.zip'") != std::string::npos);
}

TEST_CASE("the page is asked for with no folder, one blank, or a folder") {
  struct Case {
    const char* folder;
    const char* path;
  };
  for (Case c : {Case{"", "//UpdateFilePageFree.html"}, Case{" ", "/UpdateFilePageFree.html"},
                 Case{"DownLoadHtml", "/DownLoadHtml/UpdateFilePageFree.html"}}) {
    CAPTURE(c.folder);
    Box b("1277", c.folder);
    b.server.Serve(c.path, {200, PageNaming("Orvela_Up1277.zip")});
    REQUIRE(PressUpdateAndWait(*b.box));
    CHECK(b.server.requests() == std::vector<std::string>{c.path});
    CHECK(b.prompt.messages() == std::vector<std::string>{"お使いのソフトは最新のバージョンです。"});
  }
}

TEST_CASE("an error page is no update page") {
  Box b;
  b.server.Serve(kPage, {404, PageNaming("Orvela_Up1278.zip")});
  REQUIRE(PressUpdateAndWait(*b.box));
  CHECK(b.prompt.messages() == std::vector<std::string>{"接続できませんでした。"});
  CHECK(b.prompt.shown().size() == 1);
}

TEST_CASE("no server at the address: no connection") {
  std::string site;
  { site = LoopbackHttpServer().base_url(); }  // its port is free again
  FolderPrompt prompt;
  TVersionBox box(TestBoxSettings(site), prompt);
  REQUIRE(box.Create(nullptr));
  REQUIRE(PressUpdateAndWait(box));
  CHECK(prompt.messages() == std::vector<std::string>{"接続できませんでした。"});
}

TEST_CASE("a name that is not stem, four digits and .zip is no release") {
  for (const char* hostile : {"Orvela_Up../../x", "Orvela_Up12a8.zip"}) {
    CAPTURE(hostile);
    Box b;
    b.server.Serve(kPage, {200, PageNaming(hostile)});
    REQUIRE(PressUpdateAndWait(*b.box));
    CHECK(b.prompt.messages() == std::vector<std::string>{"アップデートファイルが有りません！"});
    CHECK(b.prompt.shown().size() == 1);
    CHECK(b.server.requests() == std::vector<std::string>{kPage});
  }
}

TEST_CASE("a newer release is downloaded whole into the chosen folder") {
  TestFolder folder("download");
  Box b;
  b.server.Serve(kPage, {200, PageNaming("Orvela_Up1278.zip")});
  b.server.Serve(kArchive, {200, ArchiveBytes()});
  // Another window of the program, which the folder browser must leave alone.
  HWND other = CreateWindowExW(0, L"STATIC", L"other", WS_POPUP | WS_VISIBLE, 0, 0, 50, 50, nullptr, nullptr,
                               GetModuleHandleW(nullptr), nullptr);
  b.prompt.other_window = other;
  b.prompt.AnswerYes();
  b.prompt.AnswerPath(folder.path());
  REQUIRE(PressUpdateAndWait(*b.box));

  CHECK(b.prompt.shown().size() == 3);
  CHECK(b.prompt.shown()[1].kind == ScriptedPrompt::Kind::kFolder);
  CHECK(b.prompt.shown()[1].text == "保存先を選択して下さい");
  CHECK(b.prompt.other_was_disabled);
  CHECK(IsWindowEnabled(other));
  CHECK(b.prompt.messages() == std::vector<std::string>{"ダウンロードが完了しました。"});
  CHECK(b.server.requests() == std::vector<std::string>{kPage, kArchive});
  CHECK(folder.Files() == std::vector<std::string>{"Orvela_Up1278.zip"});
  CHECK(ReadFileBytes(folder.path() + "\\Orvela_Up1278.zip") == ArchiveBytes());
  DestroyWindow(other);
  CHECK(b.prompt.owner == b.box->hwnd());  // the topmost box owns what it shows
  b.box.reset();
  CHECK(b.prompt.owner == nullptr);  // and gives its boxes back to its own owner
}

TEST_CASE("a download the server cuts short leaves no file and says so") {
  TestFolder folder("cut");
  Box b;
  b.server.Serve(kPage, {200, PageNaming("Orvela_Up1278.zip")});
  LoopbackHttpServer::Response cut{200, ArchiveBytes()};
  cut.cut_after = 3000;
  b.server.Serve(kArchive, cut);
  b.prompt.AnswerYes();
  b.prompt.AnswerPath(folder.path());
  REQUIRE(PressUpdateAndWait(*b.box));
  CHECK(b.prompt.messages() ==
        std::vector<std::string>{"ダウンロードが途中で終わりました。\n'Orvela_Up1278.zip' は保存されていません。"});
  CHECK(folder.Files().empty());
}

TEST_CASE("a missing archive is no connection and leaves no file") {
  TestFolder folder("missing");
  Box b;
  b.server.Serve(kPage, {200, PageNaming("Orvela_Up1278.zip")});
  b.prompt.AnswerYes();
  b.prompt.AnswerPath(folder.path() + "\\");  // a trailing backslash is not doubled
  REQUIRE(PressUpdateAndWait(*b.box));
  CHECK(b.prompt.messages() == std::vector<std::string>{"接続できませんでした。"});
  CHECK(b.server.requests() == std::vector<std::string>{kPage, kArchive});
  CHECK(folder.Files().empty());
}

TEST_CASE("a file of the release's name is replaced only when the user agrees") {
  TestFolder folder("existing");
  const std::string existing = folder.path() + "\\Orvela_Up1278.zip";
  HANDLE file = CreateFileW(Wide(existing).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
  DWORD written = 0;
  WriteFile(file, "old", 3, &written, nullptr);
  CloseHandle(file);

  Box b;
  b.server.Serve(kPage, {200, PageNaming("Orvela_Up1278.zip")});
  b.server.Serve(kArchive, {200, ArchiveBytes()});
  SUBCASE("No keeps it and downloads nothing") {
    b.prompt.AnswerYes();
    b.prompt.AnswerPath(folder.path());
    b.prompt.AnswerNo();
    REQUIRE(PressUpdateAndWait(*b.box));
    REQUIRE(b.prompt.shown().size() == 3);
    CHECK(b.prompt.shown()[2].text == "'Orvela_Up1278.zip' は保存先に既に有ります。\n置き換えますか？");
    CHECK(b.prompt.messages().empty());
    CHECK(b.server.requests() == std::vector<std::string>{kPage});
    CHECK(ReadFileBytes(existing) == "old");
  }
  SUBCASE("Yes replaces it") {
    b.prompt.AnswerYes();
    b.prompt.AnswerPath(folder.path());
    b.prompt.AnswerYes();
    REQUIRE(PressUpdateAndWait(*b.box));
    CHECK(b.prompt.messages() == std::vector<std::string>{"ダウンロードが完了しました。"});
    CHECK(ReadFileBytes(existing) == ArchiveBytes());
    CHECK(folder.Files().size() == 1);
  }
}

TEST_CASE("while a check runs the box answers, animates, and ignores a second press") {
  Box b;
  LoopbackHttpServer::Response slow{200, PageNaming("Orvela_Up1277.zip")};
  slow.piece = 10;
  slow.pause_ms = 100;  // about a second for the page
  b.server.Serve(kPage, slow);
  b.box->FormShow();  // starts the animation timer
  b.box->UpdateChkBtnClick();
  REQUIRE(b.box->update_running());
  b.box->UpdateChkBtnClick();
  // The timer ticks while the page is read: the frame keeps changing.
  const int frame = b.box->animation().frame();
  CHECK(PumpUntil([&] { return b.box->animation().frame() != frame; }, 2000));
  CHECK(b.box->update_running());
  REQUIRE(PumpUntil([&] { return !b.box->update_running(); }));
  CHECK(b.server.requests().size() == 1);
  CHECK(b.prompt.messages() == std::vector<std::string>{"お使いのソフトは最新のバージョンです。"});
}

TEST_CASE("closing the box cancels the download and removes what was written") {
  TestFolder folder("cancel");
  Box b;
  b.server.Serve(kPage, {200, PageNaming("Orvela_Up1278.zip")});
  LoopbackHttpServer::Response slow{200, std::string(200000, 'z')};
  slow.piece = 1000;
  slow.pause_ms = 100;  // twenty seconds for the whole archive
  b.server.Serve(kArchive, slow);
  b.prompt.AnswerYes();
  b.prompt.AnswerPath(folder.path());
  b.box->UpdateChkBtnClick();
  // The download has begun once its temporary file is there.
  REQUIRE(PumpUntil([&] { return b.prompt.shown().size() == 2 && !folder.Files().empty(); }));
  const DWORD start = GetTickCount();
  SendMessageW(b.box->hwnd(), WM_CLOSE, 0, 0);
  CHECK(b.box->closed());
  b.box.reset();
  CHECK(GetTickCount() - start < 3000);
  CHECK(PumpUntil([&] { return folder.Files().empty(); }, 5000));  // once the worker's read ends
  CHECK(b.prompt.messages().empty());
}

TEST_CASE("a program that ends while its download has stalled closes at once and leaves no temporary file") {
  TestFolder folder("exit");
  LoopbackHttpServer server;
  server.Serve(kArchive, Stalling(ArchiveBytes()));
  std::wstring command = Wide("\"Z:" ORVELA_FIXTURE_DIR "/stalled-download.exe\" " + server.base_url() + (kArchive + 1) + " \"" +
                              folder.path() + "\"");
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION child{};
  REQUIRE(CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &child));
  UniqueHandle process(child.hProcess), thread(child.hThread);
  REQUIRE(WaitForSingleObject(child.hProcess, 20000) == WAIT_OBJECT_0);
  DWORD code = 1;
  GetExitCodeProcess(child.hProcess, &code);
  CHECK(code == 0);  // the file was there, and letting the transfer go took less than two seconds
  CHECK(PumpUntil([&] { return folder.Files().empty(); }, 5000));
}

TEST_CASE("a check that has not finished in its time is given up as no connection") {
  Box b("1277", "DownLoadHtml", 1000);
  b.server.Serve(kPage, Stalling(PageNaming("Orvela_Up1278.zip")));
  REQUIRE(PressUpdateAndWait(*b.box));
  CHECK(b.prompt.messages() == std::vector<std::string>{"接続できませんでした。"});
}

TEST_CASE("a redirect loop is followed five times, then given up as no connection") {
  Box b;
  LoopbackHttpServer::Response back{302, ""};
  back.location = "UpdateFilePageFree.html";  // the page itself, relative
  b.server.Serve(kPage, back);
  REQUIRE(PressUpdateAndWait(*b.box));
  CHECK(b.server.requests() == std::vector<std::string>(6, kPage));
  CHECK(b.prompt.messages() == std::vector<std::string>{"接続できませんでした。"});
}

TEST_CASE("an archive announced shorter than it is comes in cut and is refused, saying so") {
  TestFolder folder("long");
  Box b;
  b.server.Serve(kPage, {200, PageNaming("Orvela_Up1278.zip")});
  LoopbackHttpServer::Response longer{200, ArchiveBytes()};
  longer.declared_length = 3000;  // wininet reads no further than that
  b.server.Serve(kArchive, longer);
  b.prompt.AnswerYes();
  b.prompt.AnswerPath(folder.path());
  REQUIRE(PressUpdateAndWait(*b.box));
  CHECK(b.prompt.messages() == std::vector<std::string>{"受け取ったファイルは書庫として完全ではありません。\nサーバーが"
                                                        "知らせた大きさが中身と合っていないか、サーバー上のファイルが"
                                                        "壊れています。\n'Orvela_Up1278.zip' は保存されていません。"});
  CHECK(folder.Files().empty());
}

TEST_CASE("the maker's link opens the site in the browser, or with its own handler") {
  struct Call {
    std::string file, parameters;
  };
  std::vector<Call> calls;
  INT_PTR browser_result = 0;
  ScriptedPrompt prompt;
  TVersionBox box(TestBoxSettings("https://site.test/"), prompt, [&](const std::string& file, const std::string& parameters) {
    calls.push_back({file, parameters});
    return calls.size() == 1 ? browser_result : INT_PTR{42};
  });
  REQUIRE(box.Create(nullptr));
  SUBCASE("the browser starts") {
    browser_result = 33;
    SendMessageW(box.Panel1, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(box.Label4), STN_CLICKED),
                 reinterpret_cast<LPARAM>(box.Label4));
    REQUIRE(calls.size() == 1);
    CHECK(calls[0].file == "iexplore");
    CHECK(calls[0].parameters == "https://site.test/");
  }
  SUBCASE("no browser: the address itself") {
    browser_result = 32;
    box.Label4Click();
    REQUIRE(calls.size() == 2);
    CHECK(calls[1].file == "https://site.test/");
    CHECK(calls[1].parameters.empty());
  }
}

TEST_CASE("the icon shrinks when pressed and grows under the pointer, at once") {
  ScriptedPrompt prompt;
  TVersionBox box(TestBoxSettings("https://site.test/"), prompt);
  REQUIRE(box.Create(nullptr));
  auto width = [&] {
    RECT r;
    GetWindowRect(box.Image1, &r);
    return r.right - r.left;
  };
  CHECK(width() == box.Scale(64));
  SendMessageW(box.Image1, WM_LBUTTONDOWN, MK_LBUTTON, 0);
  CHECK(width() == box.Scale(54));
  SendMessageW(box.Image1, WM_MOUSEMOVE, 0, 0);  // still pressed
  CHECK(width() == box.Scale(54));
  SendMessageW(box.Panel1, WM_MOUSEMOVE, 0, MAKELPARAM(200, 100));
  SendMessageW(box.Image1, WM_MOUSEMOVE, 0, 0);
  CHECK(width() == box.Scale(74));
}
