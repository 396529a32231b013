#include "rows/row_text.h"

#include "disabled_box/disabled_box.h"
#include "rows/entry_marks.h"

namespace orvela {
namespace {

std::string Labelled(std::string_view label, const std::string& text) {
  return text.empty() ? std::string() : std::string(label) + text;
}

const std::string& ShownPath(const EntryRecord& record) {
  return record.Location.empty() ? record.Command : record.Location;
}

std::string MissingOrChecking(const EntryRecord& record, bool checking) {
  if (checking) return std::string(kCheckingMark);
  return record.Missing ? std::string(kMissingMark) : std::string();
}

}  // namespace

std::string JoinRowText(const std::vector<std::string>& parts) {
  std::string text;
  for (const std::string& part : parts) {
    if (part.empty()) continue;
    if (!text.empty()) text += "、";
    text += part;
  }
  return text;
}

std::string StartupSourceText(const EntryRecord& record, std::string_view profile) {
  if (record.Unrecognised) return "読めない行";
  if (IsTaskEntry(record)) return "タスク スケジューラ （" + record.Kind + "）";
  if (IsRegistryEntry(record)) {
    const std::string whose = record.Key == kUserRunKey ? "ユーザーの " : "全ユーザーの ";
    if (record.Kind == kWinlogonKind) return whose + "Winlogon";
    if (record.Kind.rfind("PolicyRun", 0) == 0) return whose + "ポリシー Run";
    return whose + (record.Kind.rfind("RunOnce", 0) == 0 ? "RunOnce" : "Run");
  }
  if (profile.empty()) return "スタートアップ フォルダ";
  return "スタートアップ フォルダ （" + std::string(profile) + "）";
}

std::string StartupRowText(const EntryRecord& record, std::string_view profile, bool checking) {
  return JoinRowText({record.Name, MissingOrChecking(record, checking),
                      StartupSourceText(record, profile), EntryMarksText(record), ShownPath(record),
                      Labelled("会社名：", record.Company), Labelled("説明：", record.Description)});
}

std::string SendToShownName(std::string_view name) {
  const size_t marker = name.find(kSendToMarker);
  if (marker == std::string_view::npos) return std::string(name);
  return std::string(name.substr(marker + kSendToMarker.size())) + " （" + std::string(name.substr(0, marker)) + "）";
}

std::string SendToRowText(const EntryRecord& record, bool checking) {
  std::string kind;
  if (record.ItemIdForm) kind = "ショートカット （シェル アイテム）";
  else if (record.ShortcutForm) kind = "ショートカット";
  return JoinRowText({SendToShownName(record.Name), MissingOrChecking(record, checking), kind,
                      ShownPath(record), Labelled("会社名：", record.Company),
                      Labelled("説明：", record.Description)});
}

std::string UninstallRowText(std::string_view title, std::string_view date, std::string_view command,
                             std::string_view publisher) {
  return JoinRowText({title.empty() ? std::string("不明") : std::string(title), std::string(date), std::string(command),
                      Labelled("発行元：", std::string(publisher))});
}

}  // namespace orvela
