#include "common/disabled_box_store.h"

#include "common/line_list_file.h"
#include "common/pages.h"
#include "platform/prompt.h"

namespace orvela {
namespace {

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

void DisabledBoxStore::SaveAtClose(Prompt& prompt) const {
  if (writable() && !SaveLineList(path, lines))
    prompt.ShowMessage(path + "\n\nファイルに保存できませんでした。", kAppTitle, PromptIcon::kError);
}

}  // namespace orvela
