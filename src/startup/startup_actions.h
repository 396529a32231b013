// The startup page's changes: disable into the Disabled Box, enable from it, delete, change
// an entry's kind (Startup folder <-> Run key) or its location. The window's handlers read
// the selection, call one of these, and rebuild the list they show.
//
// Nothing the user had is lost on the way: the new place is made before the old one is
// removed, the Disabled Box file is written at once after every change to it, a disabled
// entry's original is kept beside its line, and a step that fails leaves the entry where
// it was (or in both places) and says so.
#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "disabled_box/disabled_box_store.h"
#include "system/locations.h"
#include "system/shell_port.h"
#include "platform/prompt.h"
#include "platform/registry_backend.h"
#include "disabled_box/entry.h"
#include "startup/run_keys_backup.h"
#include "startup/scheduled_tasks.h"

namespace orvela {

// The changes reach the shell and the file system through the pages' shell port.
using StartupShell = ShellPort;

// Everything a change works on. The box is the startup Disabled Box held by the main
// window (data\startup.txt and its kept originals).
struct StartupContext {
  RegistryBackend& registry;
  Prompt& prompt;
  const ProfileLocations& locations;
  StartupShell& shell;
  DisabledBoxStore& box;
  RunKeysBackup& backup;
  // The shell's administrator test: a user who is none only reads the machine's Run keys.
  bool administrator = true;
  // The task scheduler, for the rows of scheduled tasks; none: they cannot be changed.
  TaskScheduler* tasks = nullptr;
};

struct ActionResult {
  bool changed = false;  // a live place or the Disabled Box changed: rebuild the list shown
  std::string message;   // what the user was told ("" when nothing)
};

// N1Click: the live entry leaves its place and becomes the last line of the Disabled Box;
// its original (the shortcut file's bytes, the value's type and bytes, a task's whole
// definition) is kept first. A scheduled task stays registered, switched off: its switch is
// read again afterwards, as a scheduler may accept the request and not make it. A Winlogon
// value is never disabled.
ActionResult DisableStartupEntry(StartupContext& context, const EntryRecord& record);
// N3Click: the entry of view row `row` (line `row`) goes back to its place: the line's own
// kept original when it gives back what the row shows, else (told when there was one)
// made again from the line. An entry already in place is not made twice; a different one
// of the same name is replaced only when the user says so. A task is switched on again, or,
// when it is gone, registered again from its kept definition (and taken back out when the
// scheduler keeps it without its log-on trigger or program). The line is removed only once
// the entry is in place.
ActionResult EnableStartupEntry(StartupContext& context, size_t row);
// Delete1Click and the Delete key in the live list: removes the value, the file or the task
// (a Winlogon value: never; the user is told).
ActionResult DeleteStartupEntry(StartupContext& context, const EntryRecord& record, bool ask);
// The same in the Disabled Box view: removes line `row` and its kept original only (a live
// value of the same name is not touched).
ActionResult DeleteDisabledBoxEntry(StartupContext& context, size_t row, bool ask);
// SpeedButton3Click: kind 0 (Startup folder) <-> kind 1 (Run key). A shortcut becomes the
// command "target" args (the target quoted when it holds a blank); a Run value is read
// afresh first and changes nothing when it is no longer what the row shows.
ActionResult ChangeKind(StartupContext& context, const EntryRecord& record, int chosen_kind);
// SpeedButton4Click: another Run key (kind 1) or another profile's Startup folder (kind 0),
// by the entry's own kind.
ActionResult ChangeLocation(StartupContext& context, const EntryRecord& record,
                            int chosen_location);

// "Windows の無効を解除": Windows' own switch of a live entry is turned on (02, the rest zero);
// nothing else changes. Nothing happens for an entry the switch does not have off. A task
// switched off outside the program is switched on through the scheduler.
ActionResult ClearWindowsDisabled(StartupContext& context, const EntryRecord& record);
// "もう一度無効にする": a live registry entry whose very line stands in the Disabled Box
// leaves its key; the box keeps that one line (no second one). A value that changed since
// the list was read is left alone and the list is shown afresh.
ActionResult DisableAgain(StartupContext& context, const EntryRecord& record);

// Why the user may not change the entries of Run location 0 to 4: the system's code when the
// key does not open for writing, or kErrorAccessDenied for the machine's keys when the user
// is no administrator. nullopt when they may (a key that is not there yet counts as one
// they may make).
std::optional<SystemError> RunLocationRefusal(RegistryBackend& registry, int location, bool administrator);
// Marks the rows (live entries or Disabled Box lines) of the Run locations the user may not
// change as ReadOnly; the others are unmarked.
void MarkReadOnlyEntries(std::vector<EntryRecord>& rows, RegistryBackend& registry, bool administrator);
// A change of a Run location the user may not change is refused before anything moves: the
// user is told "[" + name + "]", the key and why; the result says so. nullopt when the user
// may change it.
std::optional<ActionResult> RefuseRunLocation(StartupContext& context, std::string_view name, int location);
// What the user is told of a refused change of a key: the key, the reason in words and, when
// the user is no administrator, that one could change it.
std::string KeyRefusalText(std::string_view key_name, SystemError code, bool administrator);

// Writes `value` as `name` into the Run key of a location index (0 to 4; the key is made
// when missing), replacing a value of that name. False for another index or when the
// registry refused.
bool WriteRunValue(RegistryBackend& registry, std::string_view name, const RegistryValue& value,
                   int location);

// The Disabled Box gains `line` at its end, with `value` kept beside it as its exact
// original, in memory and in its file at once. False, and nothing changed, when the value
// cannot be kept or the file cannot be written.
bool AppendDisabledBoxLine(StartupContext& context, const std::string& line, const RegistryValue& value);
// Line `row` leaves the Disabled Box with its kept original because undo or reload put its
// entry back. False when the file could not follow; the line is gone from memory all the
// same, so the list does not show the entry twice, and its kept original goes with it.
bool RemoveDisabledBoxLine(StartupContext& context, size_t row);
// The Disabled Box line of a value of Run location 0 to 4, when enabling it would give
// the value back: nullopt for a value that is no string, or a name or text the line
// cannot carry.
std::optional<std::string> RunValueLine(int location, std::string_view name,
                                        const RegistryValue& value, const ProfileLocations& locations);

// The value a Run command is written as.
RegistryValue RunValueOf(std::string_view command);
// The Run command of a shortcut: its target, quoted when it holds a blank, then its
// arguments.
std::string RunCommandOf(std::string_view target, std::string_view arguments);
// "%SystemRoot%\x.exe": a %NAME% reference (a name without blanks).
bool HasEnvironmentReference(std::string_view text);

// The selectors of the page's panel: kind 0 folder, 1 registry; location the Run location
// index (registry) or the profile index (folder).
// Kind 2 is a scheduled task's; neither kind nor location of a task or a Winlogon value can
// be changed (its location is -1).
int EntryKind(const EntryRecord& record);
int EntryLocation(const EntryRecord& record);
// ComboBox1Change: SpeedButton3 is enabled for a chosen kind other than the entry's.
bool KindApplyEnabled(const EntryRecord& record, int chosen_kind);
// ComboBox2Change: SpeedButton4 is enabled for a chosen location other than the entry's
// (any other Run location, 0 to 4; folder of profile k: every profile but k). The page offers
// locations 3 and 4 only where their keys exist.
bool LocationApplyEnabled(const EntryRecord& record, int chosen_location, int profile_count);

// The delete question: "[" + name + "]\n", "無効ボックスから、" in the view, then the question.
std::string DeleteQuestion(std::string_view name, bool in_disabled_box_view);
inline constexpr std::string_view kDeleteCaption = "削除確認";
inline constexpr std::string_view kDeleteQuestionText =
    "このスタートアップを削除してよろしいですか？";
inline constexpr std::string_view kFromDisabledBox = "無効ボックスから、";

// Texts told to the user, each after "[" + Name + "]\n", in a box titled "Orvela".
namespace startup_messages {
inline constexpr std::string_view kNameNotStorable =
    "名前が無効ボックスの行の区切り（「=」「#$#」「@@@」など）と紛れるか、制御文字を含むため、"
    "無効ボックスに元どおりに保存できません。\n"
    "無効にしませんでした。";
inline constexpr std::string_view kProfileNotStorable =
    "ユーザー名に「=」または制御文字が含まれているため、無効ボックスに保存できません。\n"
    "無効にしませんでした。";
inline constexpr std::string_view kCommandNotStorable =
    "登録内容に改行などの制御文字が含まれているため、無効ボックスに保存できません。\n"
    "無効にしませんでした。";
inline constexpr std::string_view kOriginalNotKept =
    "元の内容を無効ボックスの保存先に書き込めなかったため、無効にしませんでした。";
inline constexpr std::string_view kControlCharacterLine =
    "この行には制御文字（NUL など）が含まれているため、元どおりに戻せません。有効にしませんでした。\n"
    "削除することはできます。";
inline constexpr std::string_view kShortcutReplaceQuestion =
    "同じ名前のショートカットが既にあり、内容が異なります。\n"
    "置き換えてよろしいですか？";
inline constexpr std::string_view kNotRestored =
    "ショートカットのファイルを書き込めませんでした。\n"
    "無効ボックスに残しました。";
inline constexpr std::string_view kEntryChangedMeanwhile =
    "この登録内容は一覧を表示した後に変更されています。一覧を最新の情報に更新しました。\n"
    "変更しませんでした。";
inline constexpr std::string_view kValueNotStorable =
    "この値は文字列ではないため、無効ボックスに元どおりに保存できません。\n"
    "無効にしませんでした。";
inline constexpr std::string_view kNotAShortcut =
    "このファイルはショートカットではないため、無効ボックスに保存できません。\n"
    "無効にしませんでした。";
inline constexpr std::string_view kFileNotFound =
    "ファイルが見つかりません。一覧を最新の情報に更新してください。";
inline constexpr std::string_view kKeyNotOpened =
    "レジストリのキーを開けませんでした。\n"
    "変更しませんでした。";
inline constexpr std::string_view kValueNotDeleted =
    "レジストリの値を削除できませんでした。";
inline constexpr std::string_view kFileNotDeleted = "ファイルを削除できませんでした。";
inline constexpr std::string_view kNotDisabledValue =
    "レジストリの値を削除できなかったため、無効にしませんでした。";
inline constexpr std::string_view kNotDisabledFile =
    "ファイルを削除できなかったため、無効にしませんでした。";
inline constexpr std::string_view kBoxNotWritten =
    "無効ボックスのファイルに書き込めませんでした。\n"
    "変更しませんでした。";
inline constexpr std::string_view kEnabledBoxNotWritten =
    "有効にしましたが、無効ボックスのファイルに書き込めなかったため、行は無効ボックスに残っています。";
inline constexpr std::string_view kWriteFailedKept =
    "レジストリに書き込めませんでした。\n"
    "無効ボックスに残しました。";
inline constexpr std::string_view kShortcutFailedKept =
    "ショートカットを作成できませんでした。リンク先が見つからないか、作成先に書き込めません。\n"
    "無効ボックスに残しました。";
inline constexpr std::string_view kItemIdUnreadable =
    "リンク先の情報を読み取れません。\n"
    "無効ボックスに残しました。";
inline constexpr std::string_view kUnrecognisedLine =
    "この行は読み取れないため、有効にできません。削除することはできます。";
inline constexpr std::string_view kReplaceQuestion =
    "同じ名前の値が既に登録されています。\n"
    "置き換えてよろしいですか？";
inline constexpr std::string_view kWriteFailed =
    "レジストリに書き込めませんでした。\n"
    "変更しませんでした。";
inline constexpr std::string_view kNoLinkTarget =
    "ショートカットのリンク先が見つからないため、レジストリに登録できません。\n"
    "変更しませんでした。";
inline constexpr std::string_view kNoShortcutForCommand =
    "このコマンドからはショートカットを作成できません（引数付きのコマンドか、見つからないファイルです）。\n"
    "変更しませんでした。";
inline constexpr std::string_view kOldPlaceKept =
    "新しい場所に登録しましたが、元の場所から削除できませんでした。\n"
    "両方に登録されています。";
inline constexpr std::string_view kDestinationTaken =
    "移動先に同じ名前のファイルが既にあります。\n"
    "変更しませんでした。";
inline constexpr std::string_view kSwitchNotWritten =
    "Windows の設定を書き込めませんでした。\n"
    "変更しませんでした。";
inline constexpr std::string_view kLineGone =
    "無効ボックスにこの行が見つかりません。一覧を最新の情報に更新しました。\n"
    "変更しませんでした。";
inline constexpr std::string_view kKeyReadOnly =
    "このレジストリ キーを変更する権限がないため、変更しませんでした。";
inline constexpr std::string_view kAdministratorNeeded = "管理者として実行すると変更できます。";
inline constexpr std::string_view kWinlogonUnchanged =
    "この値は Windows のログオンで使われるため、ここでは変更しません（誤った値では Windows に"
    "ログオンできなくなります）。";
inline constexpr std::string_view kSchedulerUnavailable =
    "タスク スケジューラに接続できませんでした。\n変更しませんでした。";
inline constexpr std::string_view kTaskGone =
    "タスクが見つかりません。一覧を最新の情報に更新してください。";
inline constexpr std::string_view kTaskNotRead = "タスクの定義を読み取れませんでした。\n変更しませんでした。";
inline constexpr std::string_view kTaskNotSwitchedOff =
    "タスク スケジューラがタスクを無効にしなかったため（要求を受け付けないか、受け付けても"
    "切り替えませんでした）、無効にしませんでした。";
inline constexpr std::string_view kTaskNotSwitchedOn =
    "タスク スケジューラがタスクを有効にしませんでした。\n無効ボックスに残しました。";
inline constexpr std::string_view kTaskNoDefinition =
    "タスクが削除されていて、元の定義も保存されていないため、戻せません。\n無効ボックスに残しました。";
inline constexpr std::string_view kTaskNotRegistered =
    "タスクを登録し直せませんでした。\n無効ボックスに残しました。";
inline constexpr std::string_view kTaskRegisteredOtherwise =
    "タスク スケジューラがタスクを元の定義どおりに登録しなかったため（ログオン時のトリガーか"
    "実行するプログラムが失われます）、登録を取り消しました。\n無効ボックスに残しました。";
inline constexpr std::string_view kTaskNotSwitchedOnHere =
    "タスク スケジューラがタスクを有効にしませんでした。\n変更しませんでした。";
inline constexpr std::string_view kTaskNotDeleted = "タスクを削除できませんでした。";
inline constexpr std::string_view kNotCopied =
    "移動先にファイルを作成できませんでした。\n"
    "変更しませんでした。";
}  // namespace startup_messages

}  // namespace orvela
