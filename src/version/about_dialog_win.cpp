#include "version/about_dialog_win.h"

#include "rows/high_contrast_win.h"
#include "platform/device_context_win.h"
#include "platform/handles_win.h"

namespace orvela {

TAboutDialog::TAboutDialog(Prompt& prompt, AboutDialogProperties properties, std::string site_url)
    : AboutDialogProperties(std::move(properties)), prompt_(prompt), site_url_(std::move(site_url)) {}

void TAboutDialog::Execute(HWND owner) {
  if (busy_) return;
  busy_ = true;
  ScopeExit not_busy([this] {
    busy_ = false;
    box_ = nullptr;
  });
  const int bits_per_pixel = [] {
    const WindowDc screen(nullptr);
    return GetDeviceCaps(screen.get(), BITSPIXEL) * GetDeviceCaps(screen.get(), PLANES);
  }();
  VersionBoxSettings settings = MakeVersionBoxSettings(*this, site_url_, bits_per_pixel);
  if (HighContrastOn()) UseHighContrastColours(settings, CurrentSystemColours());
  TVersionBox box(std::move(settings), prompt_, shell_open);
  if (!box.Create(owner)) return;
  box_ = &box;
  box.ShowModal();
}

}  // namespace orvela
