// The Windows-settings page: its own page control (PageControl2) with the sheets "メモリ",
// "ネットワーク" (no tab) and "その他", for administrators. The sheets show the tuning values,
// mark the groups the user changes, and write them back with their first values recorded
// in "data\windata.ini"; the frame's restore button puts those back.
#pragma once
#include <windows.h>

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "window/page_host_win.h"
#include "settings/settings_system_win.h"
#include "settings/tuning_values.h"

namespace orvela {

// Control ids that tests from outside the process look for; the others follow from 1710.
enum SettingsControlId { kIdPageControl2 = 1701, kIdEdit1 = 1702, kIdUpDateBtn2 = 1703 };

class SettingsPage : public WindowPage {
 public:
  // PageControl2's pages by index; the network page has no tab.
  enum Sheet { kMemorySheet = 0, kNetworkSheet = 1, kOtherSheet = 2 };

  SettingsPage(PageHost& host, HWND sheet);
  ~SettingsPage() override;

  // The page became current: the values are read, "メモリ" is shown, both masks are
  // cleared and Timer3 runs while the page is shown.
  void ShowPage();
  // Reads every value into the sheets; a shown value that changes marks its group.
  void FillSettingsPages();
  // SpeedButton7 on this page.
  void RestoreSettings();
  void SetAllowed(bool allowed);
  bool allowed() const;
  // Shows one of PageControl2's pages, the tab-less network page included.
  void ShowSheet(Sheet sheet);
  // Tests replace what would start cmd.exe, a browser or the restart.
  void SetPorts(LaunchPort* launch, RestartPort* restart);

  HWND content() const override { return sheet_; }
  void Layout(int width, int height) override;
  bool OnCommand(int id, int code, HWND control) override;
  bool OnNotify(NMHDR& header, LRESULT& result) override;

  // Handlers, by their names on the form.
  void CheckBox1Click(HWND sender);  // a change on "メモリ"
  void Edit1Change(HWND sender);     // a change on "その他"
  void ComboBox4Change();
  void Timer3Timer();
  void UpDateBtn1Click();
  void UpDateBtn2Click();
  void ComboBox3Change();
  void Edit12Change();
  void Edit14Change();
  void Button1Click();  // ping
  void Button2Click();  // speed-test page
  void Button3Click();  // compute RWIN
  void Button4Click();  // write MTU and RWIN

  std::uint32_t MemoryChangeMask = 0;
  std::uint32_t OtherChangeMask = 0;

  HWND PageControl2 = nullptr;
  HWND TabSheet5 = nullptr, TabSheet7 = nullptr, TabSheet6 = nullptr;  // メモリ, ネットワーク, その他
  // メモリ
  HWND CheckBox1 = nullptr, CheckBox2 = nullptr, Edit3 = nullptr, ComboBox4 = nullptr, Label27 = nullptr;
  HWND Edit11 = nullptr, UpDown8 = nullptr;
  HWND Edit6 = nullptr, Edit7 = nullptr, UpDown5 = nullptr, Edit8 = nullptr, Edit9 = nullptr, UpDown6 = nullptr;
  HWND UpDateBtn1 = nullptr;
  // その他
  HWND Edit1 = nullptr, UpDown3 = nullptr, Edit2 = nullptr, UpDown4 = nullptr;
  HWND CheckBox3 = nullptr, Edit4 = nullptr, UpDown1 = nullptr, Edit5 = nullptr, UpDown2 = nullptr;
  HWND RadioGroup1 = nullptr, RadioGroup2 = nullptr, RadioGroup3 = nullptr;
  std::array<std::array<HWND, 3>, 3> RadioItems{};  // the buttons of RadioGroup1 to 3
  HWND CheckBox4 = nullptr, CheckBox5 = nullptr, UpDateBtn2 = nullptr;
  // ネットワーク (Panel4)
  HWND ComboBox3 = nullptr, Edit18 = nullptr, Edit12 = nullptr, UpDown9 = nullptr, ComboBox5 = nullptr;
  HWND Button1 = nullptr, Edit10 = nullptr, Button2 = nullptr;
  HWND Edit14 = nullptr, Edit15 = nullptr, Edit16 = nullptr, Button3 = nullptr, Edit17 = nullptr, Button4 = nullptr;

 private:
  // An edit with its up-down button, which steps the edit's number within the range.
  struct Spinner {
    HWND updown = nullptr, edit = nullptr;
    NumberField field;
    int step = 1;
  };
  // Which sheet's mask a control's changes mark, and its bit (the control's tag).
  struct Tagged {
    HWND control = nullptr;
    Sheet sheet = kMemorySheet;
    int tag = 0;
  };

  void CreateMemorySheet();
  void CreateOtherSheet();
  void CreateNetworkSheet();
  HWND Make(HWND parent, const wchar_t* cls, const std::string& text, DWORD style, int x, int y, int w, int h,
            DWORD ex_style = 0);
  HWND MakeLabel(HWND parent, const std::string& text, int x, int y, int w, int h = 16);
  HWND MakeEdit(HWND parent, int x, int y, int w, bool read_only = false, const std::string& text = {});
  HWND MakeSpinner(HWND parent, HWND edit, const NumberField& field, int step);
  HWND MakeCheck(HWND parent, const std::string& text, int x, int y, int w);
  HWND MakeButton(HWND parent, const std::string& text, int x, int y, int w, int h = 25);
  void Tag(HWND control, Sheet sheet, int tag);
  void Mark(HWND control);
  bool StepSpinner(HWND updown, int delta);

  MemorySheet ReadMemorySheet() const;
  OtherSheet ReadOtherSheet() const;
  // Shows the values; every one that changes marks its group, as the user's change would.
  void ShowValues(const MemorySheet& memory, const OtherSheet& other, const NetworkSheet& network);
  void ShowText(HWND edit, const std::string& text);
  void ShowCheck(HWND check, bool checked);
  void ShowMessages(const std::vector<std::string>& messages);
  void BackupWritten(const SettingsWriter& writer);

  PageHost& host_;
  HWND sheet_;
  Sheet current_sheet_ = kMemorySheet;
  std::vector<Spinner> spinners_;
  std::vector<Tagged> tagged_;
  std::optional<SubsystemValue> windows_;  // the token list of the last reading
  // The sheets as the registry holds them, as far as the page knows: what the last fill
  // showed, with what was written since. A field showing that was not changed by the user.
  MemorySheet stored_memory_;
  OtherSheet stored_other_;
  std::vector<NetworkCard> cards_;         // NetworkCardMap
  bool filling_ = false;
  int next_id_ = 1710;
  std::unique_ptr<LaunchPort> own_launch_;
  std::unique_ptr<RestartPort> own_restart_;
  LaunchPort* launch_ = nullptr;
  RestartPort* restart_ = nullptr;
};

}  // namespace orvela
