// A page's fill answers messages while it runs, and one of them may ask for another fill. That
// fill does not run inside the first, over rows being replaced: it runs once more after it.
#pragma once

namespace orvela {

class RepeatedFill {
 public:
  // Runs fill(); asked again while it runs, runs again() once it is done, and again() after
  // that while the last run was asked again.
  template <typename Fill, typename Again>
  void Run(Fill fill, Again again) {
    if (running_) {
      asked_again_ = true;
      return;
    }
    running_ = true;
    struct Done {
      bool& running;
      ~Done() { running = false; }
    } done{running_};
    asked_again_ = false;
    fill();
    while (asked_again_) {
      asked_again_ = false;
      again();
    }
  }
  template <typename Fill>
  void Run(Fill fill) {
    Run(fill, fill);
  }
  bool running() const { return running_; }

 private:
  bool running_ = false;
  bool asked_again_ = false;
};

}  // namespace orvela
