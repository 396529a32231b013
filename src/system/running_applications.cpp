#include "system/running_applications.h"

#include "components/link_naming.h"

namespace orvela {

bool CollectVisibleWindow(std::vector<std::uintptr_t>& windows, std::uintptr_t window, bool visible) {
  if (windows.size() >= kMaxCollectedWindows) return false;
  if (visible) windows.push_back(window);
  return true;
}

const WindowFacts* MainWindowOf(const std::vector<WindowFacts>& windows, std::uint32_t process) {
  for (const WindowFacts& window : windows)
    if (window.process == process && !window.owned && !window.title.empty() && window.class_name != "Progman")
      return &window;
  return nullptr;
}

std::string NormaliseModulePath(std::string_view path, std::string_view system_folder) {
  if (path.find("SystemRoot") != std::string_view::npos)
    return std::string(system_folder) + "\\" + FileNamePart(path);
  if (path.find("\\??\\") != std::string_view::npos) return std::string(path.size() > 4 ? path.substr(4) : "");
  return std::string(path);
}

std::string ProductNameOr(std::string_view product, std::string_view path) {
  if (!product.empty()) return std::string(product);
  const std::string file = FileNamePart(path);
  std::string name = RemoveExtension(file);
  return name.empty() ? file : name;
}

}  // namespace orvela
