// Keeps the keyboard on a control. Across a modal run (a message box, a chooser, a dialog)
// the window that owned the run takes the focus itself when it is activated again; a
// control disabled or hidden while it has the focus (an apply button once applied) keeps
// it, dead to every key. Either left keyboard users on no control at all, Tab after Tab
// away from their list.
#pragma once
#include <windows.h>

namespace orvela {

class KeptFocus {
 public:
  KeptFocus() : had_(GetFocus()) {}
  ~KeptFocus() {
    // A control hidden or disabled meanwhile (the run changed the page) is left to its window.
    if (had_ && IsWindow(had_) && IsWindowVisible(had_) && IsWindowEnabled(had_)) SetFocus(had_);
  }
  KeptFocus(const KeptFocus&) = delete;
  KeptFocus& operator=(const KeptFocus&) = delete;

 private:
  HWND had_;
};

// The focus, when it is on `control` or inside it, moves to the control before it in the tab
// order (the field just edited, for an apply button); call before disabling or hiding it.
inline void GiveUpFocus(HWND control) {
  const HWND focus = GetFocus();
  if (!focus || (focus != control && !IsChild(control, focus))) return;
  const HWND before = GetNextDlgTabItem(GetAncestor(control, GA_ROOT), control, TRUE);
  if (before && before != control) SetFocus(before);
}

inline void EnableKeepingFocus(HWND control, bool enabled) {
  if (!enabled) GiveUpFocus(control);
  EnableWindow(control, enabled);
}

}  // namespace orvela
