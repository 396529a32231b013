// The recent-files and programs pages: one virtual list view (ListView2) that lies where
// the page control would be, showing a user's recent-files shortcuts or every profile's
// Start-menu programs.
#pragma once
#include <windows.h>

#include <functional>
#include <string>

#include "common/page_host_win.h"

namespace orvela {

class RecentPage : public WindowPage {
 public:
  RecentPage(PageHost& host, HWND parent);

  void FillRecentList();
  void FillProgramsList();
  // The captions of the first two columns, which differ between the two pages.
  void SetColumnCaptions(const std::string& column0, const std::string& column1);

  HWND content() const override { return ListView2; }
  void Layout(int width, int height) override;
  bool OnNotify(NMHDR& header, LRESULT& result) override;

  HWND ListView2 = nullptr;
  std::string N32Caption, N32Hint;  // the folder item of the list's menu
  // Each row's overlay (-1 none, 0 shared, 1 shortcut), asked with its image.
  std::function<int(int row)> list_view_overlay = [](int) { return -1; };

 private:
  PageHost& host_;
};

}  // namespace orvela
