#include <doctest.h>

#include <windows.h>

#include <vector>

#include "platform/wide_win.h"
#include "startup/version_info_win.h"
#include "test_files_win.h"

using namespace orvela;
using namespace orvela::testing;

namespace {

}  // namespace

TEST_CASE("version texts come from the first translation") {
  SUBCASE("one Japanese translation") {
    EntryRecord record;
    REQUIRE(ReadVersionInfo(FixturePath("sample-mailer.exe"), record));
    CHECK(record.Product == "さくらメーラー");
    CHECK(record.Company == "さくら通信株式会社");
    CHECK(record.LegalNotice == "Copyright (C) 2024 さくら通信");
    CHECK(record.Description == "メール着信通知");
  }
  SUBCASE("two translations: the first listed one, not the first table in the file") {
    EntryRecord record;
    REQUIRE(ReadVersionInfo(FixturePath("sample-updater.exe"), record));
    CHECK(record.Product == "星アップデーター");
    CHECK(record.Company == "星ソフトウェア");
    CHECK(record.LegalNotice == "Copyright (C) 2025 星ソフトウェア");
    CHECK(record.Description == "更新の確認");
  }
  SUBCASE("the second translation and absent values through QueryVersionString") {
    const std::wstring path = Wide(FixturePath("sample-updater.exe"));
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeW(path.c_str(), &ignored);
    REQUIRE(size > 0);
    std::vector<unsigned char> block(size);
    REQUIRE(GetFileVersionInfoW(path.c_str(), 0, size, block.data()));
    const uint32_t english = 0x0409 | (1200u << 16);
    CHECK(QueryVersionString(block.data(), english, "ProductName") == "Hoshi Updater");
    CHECK(QueryVersionString(block.data(), english, "Comments").empty());
    CHECK(QueryVersionString(block.data(), 0x0407 | (1200u << 16), "ProductName").empty());
  }
  SUBCASE("no version information leaves the fields as they were") {
    EntryRecord record;
    record.Product = "kept";
    CHECK_FALSE(ReadVersionInfo("C:\\orvela-no-such\\program.exe", record));
    CHECK_FALSE(ReadVersionInfo("", record));
    CHECK(record.Product == "kept");
    CHECK(record.Company.empty());
  }
}
