// The SendTo page's rows and changes: a user's SendTo items, the lines of the SendTo
// Disabled Box ("data\sendto.txt") as rows, and disable, enable and delete over the shell
// port. The window's handlers read the selection, call one of these and rebuild the view.
//
// Nothing is lost on the way: a disable keeps the item's own bytes beside its line and
// writes the line before the item goes; an enable puts the kept bytes back and falls back
// to making the item again from the line; a line leaves the box only once its item is in
// place; a different item of the same name is replaced only when the user says so.
#pragma once
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "disabled_box/disabled_box_store.h"
#include "disabled_box/entry.h"
#include "system/locations.h"
#include "rows/row_colours.h"
#include "system/shell_port.h"
#include "platform/prompt.h"

namespace orvela {

// The SendTo folder of a user: profiles root + user + the SendTo sub-path; "" when the
// user or the root is unknown.
std::string SendToFolderOf(const ProfileLocations& locations, std::string_view user);

// One row per file name of the folder, in the order given: Name is the file name without
// its last extension, Command the full path.
std::vector<EntryRecord> SendToItemRecords(const std::string& folder, const std::vector<std::string>& file_names);

// The row of one Disabled Box line: Name the whole key part (user + "@#@" + name),
// ShortcutForm and ItemIdForm from the value's marks, Command the target path, the hex or
// the item's own path, Location the path (in item-id form the user's SendTo folder). A line
// of no SendTo form is Unrecognised, with Name its key part and Command the whole line.
EntryRecord SendToBoxRecord(std::string_view line, const ProfileLocations& locations);
std::vector<EntryRecord> SendToBoxRecords(const std::vector<std::string>& lines,
                                          const ProfileLocations& locations);

// "[" + name + "] ", or for a Disabled Box row "[" + item + " （" + user + "）] ".
std::string SendToCaption(std::string_view name);
// "[" + shown name + "]\n", "無効ボックスから、" in the Disabled Box view, then the question.
std::string SendToDeleteQuestion(std::string_view name, bool in_disabled_box_view);

// The row colours of the SendTo list.
inline constexpr Colour kSendToItemIdColour = Rgb(232, 223, 255);
inline constexpr Colour kSendToShortcutColour = Rgb(233, 255, 172);
inline constexpr Colour kSendToListColour = Rgb(247, 255, 225);
inline constexpr int kSendToFrameDarker = 26;
Colour SendToRowColour(const EntryRecord& record);

struct SendToContext {
  Prompt& prompt;
  ShellPort& shell;
  DisabledBoxStore& box;  // the SendTo Disabled Box
  const ProfileLocations& locations;
};

// N7Click: the live item of `user` becomes the last line of the box; its bytes are kept
// first and the file goes last. True when the view is to be rebuilt.
bool DisableSendToItem(SendToContext& context, std::string_view user, const EntryRecord& item);
// N8Click: line `row` gives its item back (the kept bytes, else made again from the line)
// and then leaves the box.
bool EnableSendToLine(SendToContext& context, size_t row);
// DeleteSendToEntry in the live view: the file goes (after the question when `ask`).
bool DeleteSendToItem(SendToContext& context, const EntryRecord& item, bool ask);
// DeleteSendToEntry in the Disabled Box view: line `row` and its kept original go.
bool DeleteSendToLine(SendToContext& context, size_t row, bool ask);

inline constexpr std::string_view kSendToDeleteQuestion = "この送るメニューを削除してよろしいですか？";

// Texts told to the user, each after "[" + name + "]\n", in a box titled "Orvela".
namespace sendto_messages {
inline constexpr std::string_view kNameNotStorable =
    "名前に「=」「@#@」「@@@」または制御文字が含まれているため、無効ボックスに元どおりに保存できません。\n"
    "無効にしませんでした。";
inline constexpr std::string_view kUserNotStorable =
    "ユーザー名が無効ボックスの行の区切り（「=」「@#@」など）と紛れるか、制御文字を含むため、"
    "無効ボックスに保存できません。\n無効にしませんでした。";
inline constexpr std::string_view kTargetNotStorable =
    "リンク先に改行などの制御文字が含まれているため、無効ボックスに保存できません。\n"
    "無効にしませんでした。";
inline constexpr std::string_view kFileNotFound =
    "ファイルが見つかりません。一覧を最新の情報に更新しました。";
inline constexpr std::string_view kFileNotRead =
    "ファイルを読み込めなかったため（他のプログラムが使用中か、権限がありません）、無効にしませんでした。";
inline constexpr std::string_view kOriginalNotKept =
    "元の内容を無効ボックスの保存先に書き込めなかったため、無効にしませんでした。";
inline constexpr std::string_view kBoxNotWritten =
    "無効ボックスのファイルに書き込めませんでした。\n変更しませんでした。";
inline constexpr std::string_view kNotDisabledFile =
    "ファイルを削除できなかったため、無効にしませんでした。";
inline constexpr std::string_view kUnrecognisedLine =
    "この行は読み取れないため、有効にできません。削除することはできます。";
inline constexpr std::string_view kControlCharacterLine =
    "この行には制御文字（NUL など）が含まれているため、元どおりに戻せません。有効にしませんでした。\n"
    "削除することはできます。";
inline constexpr std::string_view kNoFolder =
    "このユーザーのプロファイルが見つからないため、送るフォルダに戻せません。\n無効ボックスに残しました。";
inline constexpr std::string_view kReplaceQuestion =
    "同じ名前のファイルが既にあり、内容が異なります。\n置き換えてよろしいですか？";
inline constexpr std::string_view kNotRestored =
    "ファイルを書き込めませんでした。\n無効ボックスに残しました。";
inline constexpr std::string_view kShortcutFailedKept =
    "ショートカットを作成できませんでした。リンク先が見つからないか、作成先に書き込めません。\n"
    "無効ボックスに残しました。";
inline constexpr std::string_view kItemIdUnreadable =
    "リンク先の情報を読み取れません。\n無効ボックスに残しました。";
inline constexpr std::string_view kEnabledBoxNotWritten =
    "有効にしましたが、無効ボックスのファイルに書き込めなかったため、行は無効ボックスに残っています。";
inline constexpr std::string_view kFileNotDeleted = "ファイルを削除できませんでした。";
}  // namespace sendto_messages

}  // namespace orvela
