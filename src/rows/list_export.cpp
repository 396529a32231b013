#include "rows/list_export.h"

#include "platform/app_title.h"
#include "platform/file_io.h"

namespace orvela {

std::string CsvField(std::string_view text) {
  if (text.find_first_of(",\"\r\n") == std::string_view::npos) return std::string(text);
  std::string field = "\"";
  for (const char c : text) {
    if (c == '"') field += '"';
    field += c;
  }
  return field + "\"";
}

std::string CsvText(const CsvRow& header, const std::vector<CsvRow>& rows) {
  std::string text = "\xEF\xBB\xBF";
  const auto add = [&text](const CsvRow& row) {
    for (size_t i = 0; i < row.size(); ++i) {
      if (i > 0) text += ',';
      text += CsvField(row[i]);
    }
    text += "\r\n";
  };
  add(header);
  for (const CsvRow& row : rows) add(row);
  return text;
}

bool SaveListAsCsv(Prompt& prompt, std::string_view default_name, const CsvRow& header,
                   const std::vector<CsvRow>& rows) {
  const std::optional<std::string> path = prompt.ChooseFileToSave(
      kSaveListCaption, {"CSV ファイル (*.csv)", "*.csv"}, std::string(default_name) + ".csv");
  if (!path) return false;
  if (WriteWholeFileReplacing(*path, CsvText(header, rows))) return true;
  prompt.ShowMessage(std::string(kSaveListFailed) + "\n" + *path, kAppTitle, PromptIcon::kError);
  return false;
}

}  // namespace orvela
