#include "common/disabled_box_store.h"

#include "common/line_list_file.h"
#include "common/pages.h"
#include "platform/prompt.h"

namespace orvela {

void DisabledBoxStore::Load(Prompt& prompt) {
  LineListLoad load = LoadLineList(path);
  lines = std::move(load.lines);
  if (!load.damaged) return;
  if (load.kept_copy) {
    prompt.ShowMessage(path + "\n\nこのファイルには読み取れない行があります。元のファイルは\n" + *load.kept_copy +
                           "\nとして保存しました。",
                       kAppTitle, PromptIcon::kWarning);
  } else {
    writable = false;
    prompt.ShowMessage(path + "\n\nこのファイルには読み取れない行があります。"
                              "内容を失わないよう、このファイルは上書きしません。",
                       kAppTitle, PromptIcon::kWarning);
  }
}

void DisabledBoxStore::SaveAtClose(Prompt& prompt) const {
  if (writable && !SaveLineList(path, lines))
    prompt.ShowMessage(path + "\n\nファイルに保存できませんでした。", kAppTitle, PromptIcon::kError);
}

}  // namespace orvela
