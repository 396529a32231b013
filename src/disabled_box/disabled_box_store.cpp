#include "disabled_box/disabled_box_store.h"

#include <algorithm>

#include "disabled_box/line_list_file.h"
#include "platform/app_title.h"
#include "platform/prompt.h"

namespace orvela {
namespace {

// One kept item for every line of the text `line`, in line order: `original` for line `row`,
// "none" for the others (lines from before kept originals). All are written, or none.
bool WriteItemsForLines(KeptOriginals& kept, const std::vector<std::string>& lines, const std::string& line,
                        size_t row, const KeptOriginal* original) {
  std::vector<std::string> written;
  for (size_t i = 0; i < lines.size(); ++i) {
    if (lines[i] != line) continue;
    const auto id = kept.Write(i == row && original ? *original : KeptNothing(line), KeptState::kKept);
    if (!id) {
      for (const std::string& done : written) kept.Drop(done);
      return false;
    }
    written.push_back(*id);
  }
  return true;
}

constexpr std::string_view kLeftAsItWas =
    "内容を失わないよう、このファイルは今回は上書きせず、無効ボックスの変更もできません。";

}  // namespace

void DisabledBoxStore::Load(Prompt& prompt) {
  LineListLoad load = LoadLineList(path);
  lines = std::move(load.lines);
  switch (load.status) {
    case LineListLoad::Status::kRead:
    case LineListLoad::Status::kMissing:
      state = State::kLoaded;
      kept().Heal(lines);
      return;
    case LineListLoad::Status::kUnreadable:
      state = State::kUnreadable;
      prompt.ShowMessage(path +
                             "\n\nこのファイルを読み込めませんでした。"
                             "他のプログラムが使用中か、読み取りの権限がありません。\n" +
                             std::string(kLeftAsItWas),
                         kAppTitle, PromptIcon::kWarning);
      return;
    case LineListLoad::Status::kDamaged: {
      state = State::kUnreadable;
      std::string text = path + "\n\nこのファイルには読み取れない文字があります。読み取れた行だけを表示します。\n";
      if (load.damaged_copy) text += "元のファイルの写しを\n" + *load.damaged_copy + "\nに保存しました。\n";
      prompt.ShowMessage(text + std::string(kLeftAsItWas), kAppTitle, PromptIcon::kWarning);
      return;
    }
  }
}

bool DisabledBoxStore::Commit(std::vector<std::string> new_lines) {
  if (!writable() || !SaveLineList(path, new_lines)) return false;
  lines = std::move(new_lines);
  return true;
}

DisabledBoxStore::AddResult DisabledBoxStore::Add(const std::string& line,
                                                  const std::optional<KeptOriginal>& original) {
  if (!writable()) return AddResult::kNotWritten;
  KeptOriginals kept = this->kept();
  std::vector<std::string> items = kept.ItemsOf(line);
  // Items no line owns (an earlier version's, left by a kill) are set aside, never used.
  if (std::find(lines.begin(), lines.end(), line) == lines.end()) {
    for (const std::string& id : items) kept.Move(id, KeptState::kUnsure);
    items.clear();
  }
  // Lines of this text from before kept originals get their places, so this one owns its own.
  if (original && items.empty() && !WriteItemsForLines(kept, lines, line, lines.size(), nullptr))
    return AddResult::kNotKept;
  std::optional<std::string> pending;
  if (original || !items.empty()) {
    pending = kept.Write(original ? *original : KeptNothing(line), KeptState::kPending);
    if (!pending) return AddResult::kNotKept;
  }
  const std::vector<std::string> before = lines;
  std::vector<std::string> after = before;
  after.push_back(line);
  if (!Commit(std::move(after))) {
    if (pending) kept.Drop(*pending);
    return AddResult::kNotWritten;
  }
  if (pending && !kept.Move(*pending, KeptState::kKept)) {
    if (Commit(before)) kept.Drop(*pending);
    return AddResult::kNotKept;
  }
  return AddResult::kAdded;
}

bool DisabledBoxStore::Remove(size_t row) {
  if (!writable() || row >= lines.size()) return false;
  KeptOriginals kept = this->kept();
  const KeptPairing pairing = kept.PairingOf(lines, row);
  std::vector<std::string> remaining = lines;
  remaining.erase(remaining.begin() + static_cast<std::ptrdiff_t>(row));
  // Which item is whose cannot be told: they are set aside for good.
  if (pairing.status == KeptPairing::Status::kUnsure)
    for (const std::string& id : kept.ItemsOf(lines[row])) kept.Move(id, KeptState::kUnsure);
  if (pairing.status != KeptPairing::Status::kOwned) return Commit(std::move(remaining));
  const std::optional<std::string> leaving = kept.Move(pairing.id, KeptState::kLeaving);
  if (!leaving) return false;
  if (!Commit(std::move(remaining))) {
    kept.Move(*leaving, KeptState::kKept);
    return false;
  }
  kept.Drop(*leaving);
  return true;
}

DisabledBoxStore::KeptLookup DisabledBoxStore::KeptOf(size_t row) const {
  const KeptOriginals kept = this->kept();
  const KeptPairing pairing = kept.PairingOf(lines, row);
  if (pairing.status == KeptPairing::Status::kNone) return {};
  std::optional<KeptOriginal> item;
  if (pairing.status == KeptPairing::Status::kOwned) item = kept.Read(pairing.id);
  if (!item || item->line != lines[row]) return {KeptLookup::Status::kUnusable, {}};
  if (item->kind == KeptKind::kNothing) return {};
  return {KeptLookup::Status::kFound, std::move(*item)};
}

bool DisabledBoxStore::KeepFor(size_t row, const KeptOriginal& original) {
  if (row >= lines.size()) return false;
  KeptOriginals kept = this->kept();
  const KeptPairing pairing = kept.PairingOf(lines, row);
  if (pairing.status == KeptPairing::Status::kUnsure) return false;
  if (pairing.status == KeptPairing::Status::kOwned) {
    const std::optional<KeptOriginal> item = kept.Read(pairing.id);
    if (!item) return false;
    return item->kind != KeptKind::kNothing || kept.Fill(pairing.id, original);
  }
  return WriteItemsForLines(kept, lines, lines[row], row, &original);
}

void DisabledBoxStore::SaveAtClose(Prompt& prompt) const {
  if (writable() && !SaveLineList(path, lines))
    prompt.ShowMessage(path + "\n\nファイルに保存できませんでした。", kAppTitle, PromptIcon::kError);
}

}  // namespace orvela
