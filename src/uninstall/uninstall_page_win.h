// The uninstall page: installed programs and updates (ListBox3), for administrators.
#pragma once
#include <windows.h>

#include <vector>

#include "common/entry.h"
#include "common/page_host_win.h"

namespace orvela {

class UninstallPage : public WindowPage {
 public:
  UninstallPage(PageHost& host, HWND sheet);

  void FillUninstallList();
  // Without administrator rights the page stays disabled and its list hidden.
  void SetAllowed(bool allowed);
  bool allowed() const;

  HWND content() const override { return sheet_; }
  void Layout(int width, int height) override;
  void Redraw() override { InvalidateRect(ListBox3, nullptr, TRUE); }
  bool OnCommand(int id, int code, HWND control) override;
  bool OnDrawItem(const DRAWITEMSTRUCT& item) override;

  std::vector<EntryRecord> entries;
  HWND ListBox3 = nullptr;
  HWND MoreInfoButton = nullptr;  // "他の情報も表示" above the list

 private:
  PageHost& host_;
  HWND sheet_;
};

}  // namespace orvela
