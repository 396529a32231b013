// A shortcut added to a Startup or SendTo folder by the user (a dropped or chosen file).
#pragma once
#include <windows.h>
#include <shlobj.h>

#include <string>

#include "components/shell_link_win.h"
#include "platform/prompt.h"

namespace orvela {

inline constexpr char kAddedShortcutReplaceQuestion[] =
    "同じ名前のショートカットが既にあります。\n"
    "置き換えてよろしいですか？（置き換えると元のショートカットは失われます）";
inline constexpr char kAddedShortcutNotWritten[] = "ショートカットを作成できませんでした。";

// Writes a shortcut to `target` (or the shell item `item`) into `folder`, named `name` or
// after the target; `picked` is the path the user gave, which the messages name. A shortcut of that name already there may hold arguments or an icon of
// its own, so it is replaced only when the user says so (No is the default). A shortcut
// that cannot be written is told. True when one was written.
bool AddShortcut(TShellLink& links, Prompt& prompt, const std::string& target, LPCITEMIDLIST item,
                 const std::string& folder, const std::string& name, const std::string& picked);

}  // namespace orvela
