// The SendTo page: the items of the chosen user's SendTo folder (ListBox2) and their
// Disabled Box.
#pragma once
#include <windows.h>

#include <vector>

#include "common/entry.h"
#include "common/page_host_win.h"

namespace orvela {

class SendToPage : public WindowPage {
 public:
  SendToPage(PageHost& host, HWND sheet);

  void FillSendToList();
  void ShowSendToDisabledBox();

  HWND content() const override { return sheet_; }
  void Layout(int width, int height) override;
  void Redraw() override { InvalidateRect(ListBox2, nullptr, TRUE); }
  bool OnCommand(int id, int code, HWND control) override;
  bool OnDrawItem(const DRAWITEMSTRUCT& item) override;

  std::vector<EntryRecord> entries;
  HWND ListBox2 = nullptr;

 private:
  PageHost& host_;
  HWND sheet_;
};

}  // namespace orvela
