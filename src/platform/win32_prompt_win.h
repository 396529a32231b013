// The prompt port on real Win32 dialogs: message boxes, the input box, the file-open
// dialog and the folder browser. Boxes are owned by the given window, or by no window:
// never by whatever window is in front, which may be another program's (it would stay
// disabled while the box is open). Every box and chooser gives the keyboard focus back to the
// control that had it (KeptFocus).
#pragma once
#include <windows.h>

#include "platform/prompt.h"

namespace orvela {

// Sent to the owner once the item browser shows, with the browser's window in wParam: the
// main window centres it on its next timer tick (the browser places itself first).
UINT CentreLaterMessage();

// The shell's browser rooted at the desktop, showing files as well as folders; only items
// of the file system can be chosen. The chosen path, or "" when cancelled.
std::string BrowseForItem(HWND owner, const std::string& title, const std::string& initial_folder);
// Its notification routine: selects the initial folder, has the window centred, and
// enables OK only for file-system items. Always 0.
int CALLBACK BrowseNotify(HWND window, UINT message, LPARAM parameter, LPARAM data);

class Win32Prompt : public Prompt {
 public:
  explicit Win32Prompt(HWND owner = nullptr) : owner_(owner) {}
  void SetOwnerWindow(void* window) override { owner_ = static_cast<HWND>(window); }

  void ShowMessage(std::string_view text, std::string_view caption, PromptIcon icon) override;
  bool AskYesNo(std::string_view text, std::string_view caption, PromptIcon icon) override;
  bool AskYesNoDefaultNo(std::string_view text, std::string_view caption, PromptIcon icon) override;
  std::optional<std::string> AskText(std::string_view caption, std::string_view label,
                                     std::string_view initial) override;
  std::optional<std::string> ChooseFileToOpen(std::string_view title, const FileFilter& filter,
                                              std::string_view initial_folder) override;
  std::optional<std::string> ChooseFileToSave(std::string_view title, const FileFilter& filter,
                                              std::string_view initial_name) override;
  std::optional<std::string> ChooseFolder(std::string_view title,
                                          std::string_view initial_folder) override;
  std::optional<std::string> ChooseItem(std::string_view title, std::string_view initial_folder) override;

 private:
  HWND Owner() const { return owner_; }
  HWND owner_;
};

}  // namespace orvela
