// A prompt for tests: records every call with its texts and answers from a script.
#pragma once
#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "platform/prompt.h"

namespace orvela {

class ScriptedPrompt : public Prompt {
 public:
  enum class Kind { kMessage, kYesNo, kText, kFile, kFolder, kItem };
  struct Shown {
    Kind kind;
    std::string text;     // message text, input label or chooser title
    std::string caption;  // caption of a message or an input box
    PromptIcon icon = PromptIcon::kNone;
    bool default_no = false;  // a question whose default button is "No"
  };

  // Answers are taken in order; a question without a scripted answer gets "No" or
  // "cancelled", so an unexpected question never says yes to anything.
  void AnswerYes() { yes_no_.push_back(true); }
  void AnswerNo() { yes_no_.push_back(false); }
  void AnswerText(std::optional<std::string> text) { texts_.push_back(std::move(text)); }
  void AnswerPath(std::optional<std::string> path) { paths_.push_back(std::move(path)); }

  const std::vector<Shown>& shown() const { return shown_; }
  // Only the message boxes (not the questions), by text.
  std::vector<std::string> messages() const;
  void clear() { shown_.clear(); }

  void ShowMessage(std::string_view text, std::string_view caption, PromptIcon icon) override;
  bool AskYesNo(std::string_view text, std::string_view caption, PromptIcon icon) override;
  bool AskYesNoDefaultNo(std::string_view text, std::string_view caption, PromptIcon icon) override;
  std::optional<std::string> AskText(std::string_view caption, std::string_view label,
                                     std::string_view initial) override;
  std::optional<std::string> ChooseFileToOpen(std::string_view title, const FileFilter& filter,
                                              std::string_view initial_folder) override;
  std::optional<std::string> ChooseFileToSave(std::string_view title, const FileFilter& filter,
                                              std::string_view initial_name) override;
  std::optional<std::string> ChooseFolder(std::string_view title,
                                          std::string_view initial_folder) override;
  // Answered from the same paths as the choosers above; the initial folder is kept.
  std::optional<std::string> ChooseItem(std::string_view title, std::string_view initial_folder) override;
  const std::string& last_initial_folder() const { return last_initial_folder_; }

 private:
  std::vector<Shown> shown_;
  std::deque<bool> yes_no_;
  std::deque<std::optional<std::string>> texts_;
  std::deque<std::optional<std::string>> paths_;
  std::string last_initial_folder_;
};

}  // namespace orvela
