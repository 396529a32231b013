// "一覧を保存": the rows of the list shown, written to a file the user chooses as CSV in
// UTF-8 with a byte-order mark (spreadsheets then read the Japanese as it is), fields
// quoted as RFC 4180 asks (a comma, quote or line break puts the field in quotes, a quote
// doubles) and every record ending in CR LF.
#pragma once
#include <string>
#include <string_view>
#include <vector>

#include "platform/prompt.h"

namespace orvela {

using CsvRow = std::vector<std::string>;

inline constexpr std::string_view kSaveListCaption = "一覧を保存";
inline constexpr std::string_view kSaveListFailed = "一覧をファイルに書き込めませんでした。";

// One field as it stands in a record.
std::string CsvField(std::string_view text);
// The whole file: the byte-order mark, the header, then the rows.
std::string CsvText(const CsvRow& header, const std::vector<CsvRow>& rows);

// Asks for the file ("<default_name>.csv" offered) and writes it whole; a failure is told.
// False when cancelled or not written.
bool SaveListAsCsv(Prompt& prompt, std::string_view default_name, const CsvRow& header,
                   const std::vector<CsvRow>& rows);

}  // namespace orvela
