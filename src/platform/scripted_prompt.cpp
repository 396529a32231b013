#include "platform/scripted_prompt.h"

namespace orvela {
namespace {

template <typename Queue, typename T>
T TakeOr(Queue& queue, T fallback) {
  if (queue.empty()) return fallback;
  T value = queue.front();
  queue.pop_front();
  return value;
}

}  // namespace

std::vector<std::string> ScriptedPrompt::messages() const {
  std::vector<std::string> out;
  for (const auto& s : shown_)
    if (s.kind == Kind::kMessage) out.push_back(s.text);
  return out;
}

void ScriptedPrompt::ShowMessage(std::string_view text, std::string_view caption,
                                 PromptIcon icon) {
  shown_.push_back({Kind::kMessage, std::string(text), std::string(caption), icon});
}

bool ScriptedPrompt::AskYesNo(std::string_view text, std::string_view caption, PromptIcon icon) {
  shown_.push_back({Kind::kYesNo, std::string(text), std::string(caption), icon});
  return TakeOr(yes_no_, false);
}

bool ScriptedPrompt::AskYesNoDefaultNo(std::string_view text, std::string_view caption, PromptIcon icon) {
  shown_.push_back({Kind::kYesNo, std::string(text), std::string(caption), icon, true});
  return TakeOr(yes_no_, false);
}

std::optional<std::string> ScriptedPrompt::AskText(std::string_view caption,
                                                   std::string_view label, std::string_view) {
  shown_.push_back({Kind::kText, std::string(label), std::string(caption), PromptIcon::kNone});
  return TakeOr(texts_, std::optional<std::string>());
}

std::optional<std::string> ScriptedPrompt::ChooseFileToOpen(std::string_view title,
                                                            const FileFilter&, std::string_view) {
  shown_.push_back({Kind::kFile, std::string(title), {}, PromptIcon::kNone});
  return TakeOr(paths_, std::optional<std::string>());
}

std::optional<std::string> ScriptedPrompt::ChooseFileToSave(std::string_view title,
                                                            const FileFilter&, std::string_view) {
  shown_.push_back({Kind::kFile, std::string(title), {}, PromptIcon::kNone});
  return TakeOr(paths_, std::optional<std::string>());
}

std::optional<std::string> ScriptedPrompt::ChooseFolder(std::string_view title, std::string_view) {
  shown_.push_back({Kind::kFolder, std::string(title), {}, PromptIcon::kNone});
  return TakeOr(paths_, std::optional<std::string>());
}

std::optional<std::string> ScriptedPrompt::ChooseItem(std::string_view title, std::string_view initial_folder) {
  shown_.push_back({Kind::kItem, std::string(title), {}, PromptIcon::kNone});
  last_initial_folder_ = std::string(initial_folder);
  return TakeOr(paths_, std::optional<std::string>());
}

}  // namespace orvela
