// TUnInstKeepDlg, "削除した情報": one list in a small modal dialog. In the backup mode it
// lists the uninstall information saved before removal and puts selected entries back
// ("戻す") or throws their files away ("削除"); in the running-application mode it lists
// what the adding commands fill in and hands back the chosen program's path.
#pragma once
#include <windows.h>
#include <commctrl.h>

#include <functional>
#include <string>
#include <vector>

#include "platform/dpi.h"
#include "platform/handles_win.h"
#include "platform/prompt.h"
#include "platform/registry_backend.h"
#include "window/modal_window_win.h"

namespace orvela {

struct KeepDialogServices {
  RegistryBackend& registry;
  Prompt& prompt;
  HIMAGELIST glyphs;          // the main window's ImageList2, for the menu
  std::string backup_folder;  // ends in a separator
};

class TUnInstKeepDlg : public ModalWindow {
 public:
  enum MenuId : UINT { kIdRestore = 2351, kIdDelete };

  TUnInstKeepDlg(HWND owner, Dpi dpi, KeepDialogServices services, bool running_application_mode = false);

  // Fills the list (the backup folder's files, or the running-application mode's fill);
  // ShowModal runs it.
  void FormShow() override;

  // A row: its caption, sub-item 0 (backup mode: the file's path; running-application mode:
  // the product name, its tip) and sub-item 1 (the program's path), with an image of
  // ImageList1 (running-application mode).
  void AddRow(const std::string& caption, const std::string& sub_item0, const std::string& sub_item1 = {},
              int image = -1);
  int row_count() const;
  std::string RowCaption(int row) const;
  void SelectRow(int row, bool selected);

  void N1Click();      // 戻す
  void Delete1Click(); // 削除
  void OkBtnClick();
  // The row menu as it opens; the caller shows and destroys it.
  UniqueMenu PopupMenu1Popup() const;

  bool restored() const { return restored_; }
  const std::string& chosen_path() const { return chosen_path_; }
  bool ok() const { return ok_; }

  // Filled by the running-application mode's own code when the dialog is shown.
  std::function<void(TUnInstKeepDlg&)> fill_running_applications;
  HIMAGELIST image_list1() const { return ImageList1.get(); }

  HWND ListView1 = nullptr;
  HWND CancelBtn = nullptr;
  HWND OkBtn = nullptr;

 private:
  struct Row {
    std::string caption, sub_item0, sub_item1;
  };
  HWND FirstFocus() const override { return ListView1; }
  LRESULT HandleMessage(UINT message, WPARAM wparam, LPARAM lparam, bool& handled) override;
  void ProcessSelectedRows(bool restore);
  void ShowPopupMenu(POINT screen_point);
  const Row* RowAt(int row) const;

  KeepDialogServices services_;
  bool running_application_mode_;
  bool restored_ = false;
  bool ok_ = false;
  std::string chosen_path_;
  std::vector<Row> rows_;  // by the items' lParam
  UniqueHfont font_;
  UniqueHimagelist ImageList1;
};

}  // namespace orvela
