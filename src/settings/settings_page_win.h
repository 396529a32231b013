// The Windows-settings page: its own page control (PageControl2) with the memory and other
// tuning values, for administrators.
#pragma once
#include <windows.h>

#include "common/page_host_win.h"

namespace orvela {

class SettingsPage : public WindowPage {
 public:
  SettingsPage(PageHost& host, HWND sheet);

  void FillSettingsPages();
  void SetAllowed(bool allowed);
  bool allowed() const;

  HWND content() const override { return sheet_; }
  void Layout(int width, int height) override;
  bool OnNotify(NMHDR& header, LRESULT& result) override;

  HWND PageControl2 = nullptr;

 private:
  PageHost& host_;
  HWND sheet_;
};

}  // namespace orvela
