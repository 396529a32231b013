// The version box against a real HTTP server on 127.0.0.1: the update check's messages,
// the addresses it asks for, and the download into the chosen folder.
#include <doctest.h>

// Before anything that includes <windows.h>: winsock2 must come first.
#include "loopback_http_server.h"
#include "version_box_test_support.h"
#include "zip_bytes.h"

#include "platform/handles_win.h"
#include "platform/win32_prompt_win.h"

using namespace orvela;
using namespace orvela::testing;

namespace {

constexpr char kPage[] = "/DownLoadHtml/UpdateFilePageFree.html";
constexpr char kArchive[] = "/UpdateFile/Orvela_Up1278.zip";

std::string PageNaming(const std::string& text) {
  return "<html><body><p>最新版</p><a href=\"../UpdateFile/" + text + "\">" + text + "</a></body></html>";
}

// A real archive of 5000 bytes with every byte value, zeros included.
std::string ArchiveBytes() {
  std::string bytes;
  for (int i = 0; i < 5000; ++i) bytes.push_back(static_cast<char>((i * 7 + i / 256) & 0xFF));
  return StoredZip("Orvela-setup.exe", bytes);
}

// Answers the folder question with a folder, and notes whether the program's other
// windows were disabled while it was asked.
class FolderPrompt : public ScriptedPrompt {
 public:
  HWND other_window = nullptr;
  bool other_was_disabled = false;
  std::optional<std::string> ChooseFolder(std::string_view title, std::string_view initial) override {
    other_was_disabled = other_window && !IsWindowEnabled(other_window);
    return ScriptedPrompt::ChooseFolder(title, initial);
  }
};

// An answer that sends part of `body` and then nothing more, holding the connection open.
LoopbackHttpServer::Response Stalling(const std::string& body) {
  LoopbackHttpServer::Response response{200, body};
  response.cut_after = body.size() / 2;
  response.stall = true;
  return response;
}

LoopbackHttpServer::Response Redirect(const std::string& location) {
  LoopbackHttpServer::Response response{302, ""};
  response.location = location;
  return response;
}

// The real message boxes and folder browser, noting the window that owns them.
class OwnerNotingPrompt : public Win32Prompt {
 public:
  HWND owner = nullptr;
  void SetOwnerWindow(void* window) override {
    owner = static_cast<HWND>(window);
    Win32Prompt::SetOwnerWindow(window);
  }
};

// Watches for the next dialog of this thread (a message box, the folder browser): notes its
// owner and whether the box could still be used, then presses a button of it.
class DialogWatch {
 public:
  DialogWatch(HWND box, int button) : box_(box), button_(button) {
    current_ = this;
    timer_ = SetTimer(nullptr, 0, 100, Tick);
  }
  ~DialogWatch() {
    KillTimer(nullptr, timer_);
    current_ = nullptr;
  }
  bool seen() const { return seen_; }
  HWND owner = nullptr;
  bool box_was_enabled = true;

 private:
  static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
    if (current_ && !current_->seen_) EnumThreadWindows(GetCurrentThreadId(), Inspect, 0);
  }
  static BOOL CALLBACK Inspect(HWND window, LPARAM) {
    wchar_t cls[16] = {};
    GetClassNameW(window, cls, 16);
    if (!IsWindowVisible(window) || lstrcmpW(cls, L"#32770") != 0) return TRUE;
    current_->owner = GetWindow(window, GW_OWNER);
    current_->box_was_enabled = IsWindowEnabled(current_->box_) != FALSE;
    current_->seen_ = true;
    PostMessageW(window, WM_COMMAND, MAKEWPARAM(current_->button_, BN_CLICKED), 0);
    return FALSE;
  }
  static inline DialogWatch* current_ = nullptr;
  HWND box_;
  int button_;
  UINT_PTR timer_ = 0;
  bool seen_ = false;
};

struct Box {
  LoopbackHttpServer server;
  FolderPrompt prompt;
  std::unique_ptr<TVersionBox> box;

  explicit Box(const std::string& ver_str = "1277", const std::string& folder_name = "DownLoadHtml") {
    REQUIRE(server.running());
    VersionBoxSettings settings = TestBoxSettings(server.base_url(), ver_str);
    settings.update.folder_name = folder_name;
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

TEST_CASE("closing the box during a stalled download returns at once; the partial file goes") {
  TestFolder folder("cancel");
  Box b;
  b.server.Serve(kPage, {200, PageNaming("Orvela_Up1278.zip")});
  b.server.Serve(kArchive, Stalling(ArchiveBytes()));
  b.prompt.AnswerYes();
  b.prompt.AnswerPath(folder.path());
  b.box->UpdateChkBtnClick();
  // The download has begun once its temporary file is there.
  REQUIRE(PumpUntil([&] { return b.prompt.shown().size() == 2 && !folder.Files().empty(); }));
  const DWORD start = GetTickCount();
  SendMessageW(b.box->hwnd(), WM_CLOSE, 0, 0);
  CHECK(b.box->closed());
  b.box.reset();
  CHECK(GetTickCount() - start < 2000);  // does not wait for the silent server
  // The worker still waits for the server; when its read ends, the file goes.
  b.server.Stop();
  CHECK(PumpUntil([&] { return folder.Files().empty(); }, 10000));
  CHECK(b.prompt.messages().empty());
}

TEST_CASE("a program that ends while its download has stalled leaves no temporary file") {
  TestFolder folder("exit");
  LoopbackHttpServer server;
  server.Serve(kArchive, Stalling(ArchiveBytes()));
  std::wstring command = L"\"" + Wide("Z:" ORVELA_FIXTURE_DIR "/stalled-download.exe") + L"\" \"" +
                         Wide(server.base_url() + "UpdateFile/Orvela_Up1278.zip") + L"\" \"" + Wide(folder.path()) +
                         L"\"";
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  REQUIRE(CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process));
  UniqueHandle child(process.hProcess);
  CloseHandle(process.hThread);
  REQUIRE(WaitForSingleObject(child.get(), 20000) == WAIT_OBJECT_0);
  DWORD code = 1;
  GetExitCodeProcess(child.get(), &code);
  CHECK(code == 0);  // its temporary file was there when it ended
  CHECK(PumpUntil([&] { return folder.Files().empty(); }, 5000));
}

TEST_CASE("a check that has not finished in its time is given up as no connection") {
  LoopbackHttpServer server;
  server.Serve(kPage, Stalling(PageNaming("Orvela_Up1278.zip")));
  ScriptedPrompt prompt;
  VersionBoxSettings settings = TestBoxSettings(server.base_url());
  settings.update.check_time_limit_ms = 1000;
  TVersionBox box(settings, prompt);
  REQUIRE(box.Create(nullptr));
  REQUIRE(PressUpdateAndWait(box));
  CHECK(prompt.messages() == std::vector<std::string>{"接続できませんでした。"});
}

TEST_CASE("a redirect is followed, a loop of redirects is not") {
  Box b;
  SUBCASE("to the page's new place") {
    b.server.Serve(kPage, Redirect(b.server.base_url() + "moved.html"));
    b.server.Serve("/moved.html", {200, PageNaming("Orvela_Up1277.zip")});
    REQUIRE(PressUpdateAndWait(*b.box));
    CHECK(b.server.requests() == std::vector<std::string>{kPage, "/moved.html"});
    CHECK(b.prompt.messages() == std::vector<std::string>{"お使いのソフトは最新のバージョンです。"});
  }
  SUBCASE("to itself") {
    b.server.Serve(kPage, Redirect("UpdateFilePageFree.html"));
    REQUIRE(PressUpdateAndWait(*b.box));
    CHECK(b.server.requests().size() < 10);
    CHECK(b.prompt.messages() == std::vector<std::string>{"接続できませんでした。"});
  }
}

TEST_CASE("a download longer than announced is refused, saying so") {
  TestFolder folder("long");
  Box b;
  b.server.Serve(kPage, {200, PageNaming("Orvela_Up1278.zip")});
  LoopbackHttpServer::Response longer{200, ArchiveBytes()};
  longer.declared_length = static_cast<long long>(longer.body.size()) - 1000;
  b.server.Serve(kArchive, longer);
  b.prompt.AnswerYes();
  b.prompt.AnswerPath(folder.path());
  REQUIRE(PressUpdateAndWait(*b.box));
  CHECK(b.prompt.messages() ==
        std::vector<std::string>{"受け取ったファイルは書庫として完全ではありません。\n"
                                 "サーバーが知らせた大きさが中身と合っていないか、サーバー上のファイルが壊れています。\n"
                                 "'Orvela_Up1278.zip' は保存されていません。"});
  CHECK(folder.Files().empty());
}

TEST_CASE("the box owns its messages and folder chooser, which keep it from being used meanwhile") {
  LoopbackHttpServer server;
  server.Serve(kPage, {200, PageNaming("Orvela_Up1277.zip")});
  OwnerNotingPrompt prompt;
  HWND main_window = CreateWindowExW(0, L"STATIC", L"main", WS_POPUP, 0, 0, 50, 50, nullptr, nullptr,
                                     GetModuleHandleW(nullptr), nullptr);
  auto box = std::make_unique<TVersionBox>(TestBoxSettings(server.base_url()), prompt);
  REQUIRE(box->Create(main_window));
  ShowWindow(box->hwnd(), SW_SHOWNOACTIVATE);

  DialogWatch message(box->hwnd(), IDOK);
  REQUIRE(PressUpdateAndWait(*box));
  CHECK(message.seen());
  CHECK(message.owner == box->hwnd());
  CHECK_FALSE(message.box_was_enabled);

  DialogWatch chooser(box->hwnd(), IDCANCEL);
  CHECK(box->ChooseFolder("保存先を選択して下さい", "") == std::nullopt);
  CHECK(chooser.seen());
  CHECK(chooser.owner == box->hwnd());
  CHECK_FALSE(chooser.box_was_enabled);
  CHECK(IsWindowEnabled(box->hwnd()));

  box.reset();  // the box's owner owns the boxes again
  CHECK(prompt.owner == main_window);
  DestroyWindow(main_window);
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
