// TAboutDialog: the about component the main window owns. Its properties (about_dialog.h)
// say what the version box shows; Execute shows the box modally, one at a time.
#pragma once
#include <windows.h>

#include <string>

#include "platform/prompt.h"
#include "version/about_dialog.h"
#include "version/version_box_win.h"

namespace orvela {

class TAboutDialog : public AboutDialogProperties {
 public:
  // site_url: the maker's web site; tests give the address of their own server.
  explicit TAboutDialog(Prompt& prompt, AboutDialogProperties properties = {},
                        std::string site_url = std::string(kMakerSiteUrl));

  // Shows the version box owned by `owner` and returns when it closes; returns at once
  // while a box of this component is open.
  void Execute(HWND owner);

  bool busy() const { return busy_; }
  // The open box, for tests; nullptr when none is open.
  TVersionBox* box() const { return box_; }
  ShellOpen shell_open = ShellOpenNormally;

 private:
  Prompt& prompt_;
  std::string site_url_;
  bool busy_ = false;
  TVersionBox* box_ = nullptr;
};

}  // namespace orvela
