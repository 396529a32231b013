// The running applications offered when a startup entry is added: one row per process
// that has a main window, with the window's title, the product name and the program path.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace orvela {

// Only the first 1024 visible top-level windows are looked at.
inline constexpr std::size_t kMaxCollectedWindows = 1024;

// One step of the window enumeration: a visible window joins the list. False (stop the
// enumeration) for the window that comes when the list is full.
bool CollectVisibleWindow(std::vector<std::uintptr_t>& windows, std::uintptr_t window, bool visible);

// What the main-window choice needs to know of a collected window.
struct WindowFacts {
  std::uintptr_t handle = 0;
  std::uint32_t process = 0;
  bool owned = false;       // has an owner window (a tool window, a dialog)
  std::string title;        // at most 511 characters
  std::string class_name;   // at most 127 characters
};

// The process's main window: its first collected window without an owner, with a title,
// that is not the desktop's ("Progman"). nullptr when it has none.
const WindowFacts* MainWindowOf(const std::vector<WindowFacts>& windows, std::uint32_t process);

// A module path as the system may report it, made a usable path: one naming "SystemRoot"
// becomes the system folder + its file name, a "\??\" form loses its first four characters.
std::string NormaliseModulePath(std::string_view path, std::string_view system_folder);

// The product name shown for a program: its own, else its file name without extension,
// else its file name.
std::string ProductNameOr(std::string_view product, std::string_view path);

struct RunningApplication {
  std::string title, product, path;
};

}  // namespace orvela
