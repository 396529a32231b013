// The Disabled Box: disabled startup entries kept as lines of "data\startup.txt", and
// disabled SendTo entries as lines of "data\sendto.txt". Each line is a key part, "=", and a
// value part (the first "=" separates them):
//
//   User@Tool=C:\Tools\tool.exe /q               the user's Run key
//   Machine@Agent="C:\Agent\agent.exe" -s         the machine's Run key
//   MachineOnce@Setup=C:\Setup\setup.exe          the machine's RunOnce key
//   Machine32@Helper=C:\Helper\helper.exe         the machine's Run key of 32-bit programs
//   MachineOnce32@Fix=C:\Fix\fix.exe               and its RunOnce key
//   UserOnce@Once=C:\Once\once.exe               the user's RunOnce key
//   UserPolicy@Tray=C:\Tray\tray.exe             the user's policy Run key
//   MachinePolicy@Scan=C:\Scan\scan.exe          the machine's policy Run key
//   Task@\Vendor\Agent=C:\Agent\agent.exe /tray   a scheduled task: path = first action
//   taro=Mail#$#C:\Mail\mail.exe                  taro's Startup folder, shortcut to a path
//   All Users=Scanner@@@14001F50E04FD020EA3A...   shortcut to a shell item (item id list hex)
//
//   taro@#@Notes=lnkC:\Notes\notes.exe            a SendTo shortcut to a path
//   taro@#@Box=lnk@@@14001F50...                  a SendTo shortcut to a shell item
//   taro@#@Copy=C:\Users\taro\...\SendTo\Copy.js  a SendTo item that was no shortcut
//
// A line that fits none of the forms is never dropped: it is kept and shown as it is.
// A line is written only when reading it back gives the same entry: a name that runs into
// a marker ("Tool#$" + "#$#" reads back as "Tool") is refused, not stored.
#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "system/locations.h"
#include "disabled_box/entry.h"

namespace orvela {

inline constexpr std::string_view kUserLinePrefix = "User@";
inline constexpr std::string_view kMachineLinePrefix = "Machine@";
inline constexpr std::string_view kMachineOnceLinePrefix = "MachineOnce@";
inline constexpr std::string_view kMachine32LinePrefix = "Machine32@";
inline constexpr std::string_view kMachineOnce32LinePrefix = "MachineOnce32@";
inline constexpr std::string_view kUserOnceLinePrefix = "UserOnce@";
inline constexpr std::string_view kUserPolicyLinePrefix = "UserPolicy@";
inline constexpr std::string_view kMachinePolicyLinePrefix = "MachinePolicy@";
inline constexpr std::string_view kTaskLinePrefix = "Task@";
inline constexpr std::string_view kTargetMarker = "#$#";
inline constexpr std::string_view kItemIdMarker = "@@@";
inline constexpr std::string_view kSendToMarker = "@#@";
inline constexpr std::string_view kSendToShortcutMark = "lnk";

// A zero byte or another control character (line breaks included). Such a line is shown
// but never enabled: the value or name it would give back is not the one disabled.
bool HasControlCharacter(std::string_view text);
// A text that a line can carry and give back unchanged: no control character.
bool TextFitsLine(std::string_view text);
// An entry name with no separator or marker in it ("=", "#$#", "@@@") and no control
// character. Necessary, not sufficient: the line writers below check the whole line.
bool NameFitsLine(std::string_view name);
// A SendTo item name a line can carry: no "=", "@#@", "@@@" and no control character.
bool SendToNameFitsLine(std::string_view name);
// A profile name that can stand as a key part: no "=" and no control character.
bool ProfileFitsLine(std::string_view profile);

// The line of a disabled registry entry (its prefix by the record's Key and Kind, the forms
// above). nullopt for another record or when the line would not read back as this entry.
std::optional<std::string> RegistryEntryLine(const EntryRecord& record,
                                             const ProfileLocations& locations);

// A task row's path ("\Vendor\Agent") from its record (Kind its folder, Name its name), and
// the record's Key, Kind and Name from a path.
std::string TaskPathOf(const EntryRecord& record);
void SetTaskPath(EntryRecord& record, std::string_view path);
// "\Sub\Name" -> "\Sub" and "Name"; "\Name" -> "\" and "Name".
std::pair<std::string, std::string> TaskFolderAndName(std::string_view path);

// The line of a disabled scheduled task: "Task@" + its path + "=" + its command line.
// nullopt when the line would not read back as this entry.
std::optional<std::string> TaskEntryLine(const EntryRecord& record, const ProfileLocations& locations);

// The line of a disabled shortcut of profile `profile` (its index): target path
// (item_id_form false) or the hex of its target item id list. nullopt when the line would
// not read back as this entry.
std::optional<std::string> FolderEntryLine(const ProfileLocations& locations, int profile,
                                           std::string_view name, std::string_view target,
                                           bool item_id_form);

// The record of one Disabled Box line as the view shows it: registry lines with Key/Kind,
// Name and Command; folder lines with the profile index, Location = that profile's Startup
// folder and ItemIdForm for the "@@@" form. A line of no form gives Unrecognised with Key 0,
// Name = its key part (the whole line when it has no "=") and Command = the whole line.
EntryRecord DisabledBoxRecord(std::string_view line, const ProfileLocations& locations);

// One record per line, in line order (row i is line i).
std::vector<EntryRecord> DisabledBoxRecords(const std::vector<std::string>& lines,
                                            const ProfileLocations& locations);

// A line of the SendTo Disabled Box.
struct SendToLine {
  std::string profile;  // the profile shown in the SendTo page's user selector
  std::string name;
  bool shortcut = false;      // the item was a shortcut (".lnk")
  bool item_id_form = false;  // target is the hex of the shortcut's target item id list
  std::string target;         // the shortcut's target path, the hex, or the item's own path
};

// nullopt when a part does not fit a line (profile with "@#@" or "=", a name that
// SendToNameFitsLine refuses, breaks) or the line would not read back the same.
std::optional<std::string> FormatSendToLine(const SendToLine& line);
// nullopt when the line has no key part with "@#@".
std::optional<SendToLine> ParseSendToLine(std::string_view line);

}  // namespace orvela
