// The SendTo page in a real main window, on items made in user Ann's SendTo folder.
#include <doctest.h>

#include "app/form1_win.h"

#include <shlobj.h>

#include "system/shell_folders_win.h"
#include "platform/file_io.h"
#include "platform/folders_win.h"
#include "platform/registry_backend_win.h"
#include "platform/scripted_prompt.h"
#include "platform/wide_win.h"
#include "sendto/sendto_page_win.h"

using namespace orvela;

namespace {

std::string Fixture(const char* exe) {
  std::string dir = "Z:" ORVELA_FIXTURE_DIR;
  for (char& c : dir)
    if (c == '/') c = '\\';
  return dir + "\\" + exe;
}

// Ann's SendTo folder: a shortcut to a program with version texts, one to a program that is
// gone and an empty plain item. Made before the window, which lists the profiles once.
struct AnnsItems {
  ProfileLocations locations = ProfileLocations::FromShell(CurrentShellFolders());
  std::string folder = locations.root() + "Ann" + locations.SubPath(FolderKind::kSendTo);
  TShellLink links;
  AnnsItems() {
    CoInitialize(nullptr);
    REQUIRE(CreateFolderTree(folder));
    REQUIRE(!links.CreateLink2(Fixture("sample-mailer.exe"), nullptr, folder, "Mail", true).empty());
    const std::string gone = folder + "\\..\\gone.exe";
    REQUIRE(CopyFileW(Wide(Fixture("sample-mailer.exe")).c_str(), Wide(gone).c_str(), FALSE));
    REQUIRE(!links.CreateLink2(gone, nullptr, folder, "Broken", true).empty());
    DeleteFileW(Wide(gone).c_str());
    REQUIRE(WriteNewFile(folder + "\\Fax.xyz", ""));
  }
  ~AnnsItems() {
    std::wstring profile = Wide(locations.root() + "Ann");
    profile.push_back(L'\0');  // the list of paths ends in two zeros
    SHFILEOPSTRUCTW op{};
    op.wFunc = FO_DELETE;
    op.pFrom = profile.c_str();
    op.fFlags = FOF_NO_UI;
    SHFileOperationW(&op);
    CoUninitialize();
  }
};

struct Window {
  ScriptedPrompt prompt;
  Win32Registry registry;
  std::unique_ptr<TForm1> form;
  SendToPage* page = nullptr;
  Window() {
    FormServices services = RealFormServices(prompt, registry);
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    services.program_folder = Narrow(temp) + "orvela-sendto-page\\";
    DeleteFileW(Wide(services.program_folder + "data\\sendto.txt").c_str());
    form = std::make_unique<TForm1>(services);
    form->Show(SW_SHOWNORMAL);
    page = &form->sendto_page();
    form->SpeedButton9Click(kSendToPage);
  }
  void ChooseUser(const char* user) {
    SendMessageW(form->ComboBox6, CB_SELECTSTRING, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(Wide(user).c_str()));
    form->ComboBox6Change();
    page->details().FetchAll();
  }
  int RowNamed(const std::string& name) const {
    for (size_t i = 0; i < page->entries.size(); ++i)
      if (page->entries[i].Name == name) return static_cast<int>(i);
    return -1;
  }
  void Select(int row) {
    SendMessageW(page->ListBox2, LB_SETCURSEL, row, 0);
    page->ListBox2Click();
  }
  std::vector<std::string> MenuCaptions() {
    UniqueMenu menu = page->PopupMenu2Popup();
    std::vector<std::string> captions;
    for (int i = 0; i < GetMenuItemCount(menu.get()); ++i) {
      wchar_t text[64] = {};
      if (GetMenuStringW(menu.get(), i, text, 64, MF_BYPOSITION) > 0) captions.push_back(Narrow(text));
    }
    return captions;
  }
};

// The colour of a pixel of row `row` as the page draws it.
COLORREF RowPixel(SendToPage& page, int row, int x, int y) {
  HDC screen = GetDC(nullptr);
  HDC dc = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, 400, 42);
  ReleaseDC(nullptr, screen);
  const HGDIOBJ old = SelectObject(dc, bitmap);
  DRAWITEMSTRUCT item{};
  item.CtlType = ODT_LISTBOX;
  item.itemID = static_cast<UINT>(row);
  item.hwndItem = page.ListBox2;
  item.hDC = dc;
  item.rcItem = {0, 0, 400, 42};
  page.OnDrawItem(item);
  const COLORREF pixel = GetPixel(dc, x, y);
  SelectObject(dc, old);
  DeleteObject(bitmap);
  DeleteDC(dc);
  return pixel;
}

}  // namespace

TEST_CASE("the SendTo page: the chosen user's items, their details, the kept selection") {
  AnnsItems items;
  Window w;
  w.ChooseUser("Ann");
  REQUIRE(w.page->entries.size() == 3);
  for (const EntryRecord& row : w.page->entries) CHECK(row.Command.rfind(items.folder + "\\", 0) == 0);
  CHECK(w.form->status_text(0) == "3");
  const EntryRecord& mail = w.page->entries[static_cast<size_t>(w.RowNamed("Mail"))];
  CHECK(mail.Company == "さくら通信株式会社");
  CHECK(mail.Description == "メール着信通知");
  CHECK_FALSE(mail.Missing);
  CHECK(w.page->entries[static_cast<size_t>(w.RowNamed("Broken"))].Missing);
  CHECK_FALSE(w.page->entries[static_cast<size_t>(w.RowNamed("Fax"))].Missing);
  CHECK(w.page->picture_of(w.RowNamed("Mail")) >= 0);

  // After a refill the row of the same name is selected again; a gone name selects none.
  w.Select(w.RowNamed("Fax"));
  CHECK(w.form->status_text(1) == items.folder + "\\Fax.xyz");
  REQUIRE(WriteNewFile(items.folder + "\\Another.txt", ""));
  w.page->FillSendToList();
  CHECK(w.page->selected_row() == w.RowNamed("Fax"));
  DeleteFileW(Wide(items.folder + "\\Fax.xyz").c_str());
  w.page->FillSendToList();
  CHECK(w.page->selected_row() == -1);

  // Another user's folder: the current user's own.
  w.ChooseUser(w.form->locations().current_profile_name().c_str());
  for (const EntryRecord& row : w.page->entries) CHECK(row.Command.find("\\Ann\\") == std::string::npos);
}

TEST_CASE("the Disabled Box view: [Mail （Ann）] in the shortcut colour, its menu and Delete key") {
  AnnsItems items;
  Window w;
  w.ChooseUser("Ann");
  CHECK(w.MenuCaptions() == std::vector<std::string>{"送るに追加(&A)", "フォルダを開く(&O)", "一覧を保存(&L)\tCtrl+S"});
  w.Select(w.RowNamed("Mail"));
  CHECK(w.MenuCaptions() ==
        std::vector<std::string>{"無効(&N)", "削除(&D)", "送るに追加(&A)", "フォルダを開く(&O)", "一覧を保存(&L)\tCtrl+S"});
  w.page->N7Click();
  CHECK(w.RowNamed("Mail") == -1);

  w.form->SpeedButton2Click();
  w.page->details().FetchAll();
  REQUIRE(w.page->entries.size() == 1);
  CHECK(w.page->entries[0].Name == "Ann@#@Mail");
  CHECK(w.form->status_text(0) == "1");
  CHECK(RowPixel(*w.page, 0, 200, 20) == RGB(233, 255, 172));
  CHECK(RowPixel(*w.page, 0, 200, 0) == RGB(207, 229, 146));  // the frame, 26 darker
  CHECK(w.MenuCaptions() == std::vector<std::string>{"一覧を保存(&L)\tCtrl+S"});
  w.Select(0);
  CHECK(w.MenuCaptions() == std::vector<std::string>{"有効(&E)", "削除(&D)", "一覧を保存(&L)\tCtrl+S"});

  w.prompt.AnswerNo();
  w.form->ListBox1KeyDown(w.page->ListBox2, VK_DELETE);
  REQUIRE(w.prompt.shown().size() == 1);
  CHECK(w.prompt.shown()[0].text == "[Mail]\n無効ボックスから、この送るメニューを削除してよろしいですか？");
  CHECK(w.page->entries.size() == 1);

  w.page->N8Click();
  CHECK(w.page->entries.empty());
  CHECK(FileExists(items.folder + "\\Mail.lnk"));
}
