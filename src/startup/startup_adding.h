// Adding startup entries: the choices of the add dialog and the Run value written for an
// added program. The window part (the dialog, the drop, the file chooser) is in
// add_dialog_win.h and startup_page_win.cpp.
#pragma once
#include <string>
#include <string_view>
#include <vector>

#include "startup/startup_actions.h"

namespace orvela {

// The kinds of the add dialog, by item index: a shortcut in a Startup folder, a Run value.
inline constexpr std::string_view kAddKinds[] = {"スタートアップフォルダ", "レジストリー"};

// The location items of a kind: the profiles (kind 0) or the offered Run locations (kind 1).
std::vector<std::string> AddLocationItems(int kind, const std::vector<std::string>& profiles,
                                          const std::vector<int>& run_locations);
// The item whose whole text is `preferred` (case aside), else 0: the dialog opens on the
// current user's profile, and on the user's Run key for a Run value.
int PreferredItem(const std::vector<std::string>& items, std::string_view preferred);

// The folder part of a path, as the file chooser remembers it: up to its last "\" or ":",
// the "\" kept only for a root ("C:\Tools\a.exe" -> "C:\Tools", "C:\a.exe" -> "C:\").
std::string FolderPartOf(std::string_view path);

// Adds the program `path` as a value of Run location `location` named after its file
// ("C:\Tools\MyApp.exe" -> MyApp). The command is the path, quoted when it holds a blank:
// unquoted, Windows would first try "C:\Program.exe" for "C:\Program Files\...". It is a
// plain string, never an expandable one, whatever "%" the path holds. A path that names no
// file (a drive root) is refused with a message. A value of that name holding another command
// is replaced only when the user says so (No is the default); one holding this very command
// is left as it is. `changed`: a value was written.
ActionResult AddRunValue(StartupContext& context, std::string_view path, int location);

namespace add_messages {
inline constexpr std::string_view kReplaceQuestion =
    "同じ名前の値が既に登録されていて、内容が異なります。\n"
    "置き換えてよろしいですか？（置き換えると元の内容は失われます）";
inline constexpr std::string_view kNoValueName =
    "ファイル名がないため、レジストリの値の名前を決められません。\n"
    "追加しませんでした。";
inline constexpr std::string_view kWriteFailed =
    "レジストリに書き込めませんでした。\n"
    "追加しませんでした。";
}  // namespace add_messages

}  // namespace orvela
