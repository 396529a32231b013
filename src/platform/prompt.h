// Every message box, question, input box and file or folder chooser goes through this
// port, so tests answer the questions and read the exact texts shown.
#pragma once
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace orvela {

enum class PromptIcon { kNone, kInformation, kWarning, kError, kQuestion };

struct FileFilter {
  std::string description;  // "実行ファイル (*.exe)"
  std::string patterns;     // "*.exe;*.lnk"
  bool start_on_all_files = false;  // the chooser opens on the "全てのファイル(*.*)" filter
};

class Prompt {
 public:
  virtual ~Prompt() = default;
  virtual void ShowMessage(std::string_view text, std::string_view caption, PromptIcon icon) = 0;
  // True for "Yes".
  virtual bool AskYesNo(std::string_view text, std::string_view caption, PromptIcon icon) = 0;
  // The same with "No" as the default button: for questions whose "Yes" loses something.
  virtual bool AskYesNoDefaultNo(std::string_view text, std::string_view caption, PromptIcon icon) {
    return AskYesNo(text, caption, icon);
  }
  // nullopt when cancelled.
  virtual std::optional<std::string> AskText(std::string_view caption, std::string_view label,
                                             std::string_view initial) = 0;
  virtual std::optional<std::string> ChooseFileToOpen(std::string_view title,
                                                      const FileFilter& filter,
                                                      std::string_view initial_folder) = 0;
  // The file to write a list to; the chooser asks before a file is written over. nullopt
  // when cancelled.
  virtual std::optional<std::string> ChooseFileToSave(std::string_view title,
                                                      const FileFilter& filter,
                                                      std::string_view initial_name) = 0;
  virtual std::optional<std::string> ChooseFolder(std::string_view title,
                                                  std::string_view initial_folder) = 0;
  // A file or a folder of the file system (the browser shows both); nullopt when cancelled.
  virtual std::optional<std::string> ChooseItem(std::string_view title, std::string_view initial_folder) = 0;
  // The window that owns the boxes from now on (an HWND on Windows; null: none). The main
  // window sets itself once it exists and clears itself when it goes.
  virtual void SetOwnerWindow(void* /*window*/) {}
};

// A prompt no person sees: every question is answered No and every chooser is cancelled;
// what is done with the messages is up to the class deriving from it (keep them for later,
// count them).
class DecliningPrompt : public Prompt {
 public:
  bool AskYesNo(std::string_view, std::string_view, PromptIcon) override { return false; }
  std::optional<std::string> AskText(std::string_view, std::string_view, std::string_view) override {
    return std::nullopt;
  }
  std::optional<std::string> ChooseFileToOpen(std::string_view, const FileFilter&, std::string_view) override {
    return std::nullopt;
  }
  std::optional<std::string> ChooseFileToSave(std::string_view, const FileFilter&, std::string_view) override {
    return std::nullopt;
  }
  std::optional<std::string> ChooseFolder(std::string_view, std::string_view) override { return std::nullopt; }
  std::optional<std::string> ChooseItem(std::string_view, std::string_view) override { return std::nullopt; }
};

// What work that may run where no box can be shown has to tell (a key it cannot open), kept
// until it is done and then shown to the real prompt. It asks nothing.
class HeldMessages final : public DecliningPrompt {
 public:
  void ShowMessage(std::string_view text, std::string_view caption, PromptIcon icon) override {
    messages_.push_back({std::string(text), std::string(caption), icon});
  }
  void ShowTo(Prompt& prompt) const {
    for (const Message& m : messages_) prompt.ShowMessage(m.text, m.caption, m.icon);
  }

 private:
  struct Message {
    std::string text, caption;
    PromptIcon icon;
  };
  std::vector<Message> messages_;
};

}  // namespace orvela
