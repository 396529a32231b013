#include "system/add_shortcut_win.h"

#include "platform/app_title.h"

namespace orvela {

bool AddShortcut(TShellLink& links, Prompt& prompt, const std::string& target, LPCITEMIDLIST item,
                 const std::string& folder, const std::string& name, const std::string& picked) {
  const std::string shown = "[" + picked + "]\n";
  if (links.LinkNameTaken(target, item, folder, name) &&
      !prompt.AskYesNoDefaultNo(shown + kAddedShortcutReplaceQuestion, kAppTitle, PromptIcon::kQuestion))
    return false;
  if (!links.CreateLink2(target, item, folder, name, true).empty()) return true;
  prompt.ShowMessage(shown + kAddedShortcutNotWritten, kAppTitle, PromptIcon::kError);
  return false;
}

}  // namespace orvela
