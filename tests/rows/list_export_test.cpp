#include <doctest.h>

#include "rows/list_export.h"
#include "regfile/regfile_test_support.h"
#include "platform/file_io.h"
#include "platform/scripted_prompt.h"

using namespace orvela;
using orvela::testing::TempFolder;

namespace {

// A reader as RFC 4180 describes the format, to read back what was written.
std::vector<CsvRow> ReadCsv(std::string_view text) {
  std::vector<CsvRow> rows;
  CsvRow row;
  std::string field;
  bool quoted = false, in_quotes = false;
  for (size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (in_quotes) {
      if (c == '"' && i + 1 < text.size() && text[i + 1] == '"') {
        field += '"';
        ++i;
      } else if (c == '"') {
        in_quotes = false;
      } else {
        field += c;
      }
    } else if (c == '"' && field.empty() && !quoted) {
      in_quotes = quoted = true;
    } else if (c == ',') {
      row.push_back(field);
      field.clear();
      quoted = false;
    } else if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
      row.push_back(field);
      rows.push_back(row);
      row.clear();
      field.clear();
      quoted = false;
      ++i;
    } else {
      REQUIRE_MESSAGE((c != '"' && c != '\r' && c != '\n'), "a bare quote or break in a field");
      field += c;
    }
  }
  REQUIRE_FALSE(in_quotes);
  REQUIRE(field.empty());
  return rows;
}

}  // namespace

TEST_CASE("A saved list reads back with every field intact") {
  TempFolder folder;
  const std::string path = folder.File("一覧 表.csv");
  const CsvRow header{"名前", "コマンド", "状態"};
  const std::vector<CsvRow> rows{
      {"Tool, the \"best\"", "\"C:\\Program Files\\表\\tool.exe\" /q", "有効 復活"},
      {"two\r\nlines", "lone\nbreak and lone\rreturn", ""},
      {"", "😀 emoji", "\"\""},
  };
  ScriptedPrompt prompt;
  prompt.AnswerPath(path);
  REQUIRE(SaveListAsCsv(prompt, "スタートアップ", header, rows));
  const std::optional<std::string> bytes = ReadWholeFile(path);
  REQUIRE(bytes);
  REQUIRE(bytes->substr(0, 3) == "\xEF\xBB\xBF");
  std::vector<CsvRow> expected{header};
  expected.insert(expected.end(), rows.begin(), rows.end());
  CHECK(ReadCsv(std::string_view(*bytes).substr(3)) == expected);
  // Plain fields stay unquoted, as spreadsheets write them.
  const std::string first_line = "名前,コマンド,状態\r\n";
  CHECK(bytes->substr(3, first_line.size()) == first_line);

  SUBCASE("cancelled: nothing written; a file that cannot be written: told") {
    prompt.AnswerPath(std::nullopt);
    CHECK_FALSE(SaveListAsCsv(prompt, "x", header, rows));
    const std::string unwritable = folder.File("no such folder") + "/x.csv";
    prompt.AnswerPath(unwritable);
    prompt.clear();
    CHECK_FALSE(SaveListAsCsv(prompt, "x", header, rows));
    CHECK(prompt.messages() ==
          std::vector<std::string>{std::string(kSaveListFailed) + "\n" + unwritable});
  }
}
