#include <doctest.h>

#include <vector>

#include "settings/tuning_rules.h"

using namespace orvela;

TEST_CASE("number fields take digits within their range, nothing else") {
  const NumberField field{"メニューが開くまでの時間", 0, 1000};
  CHECK(FieldNumber(field, " 1000 ") == 1000u);
  CHECK(FieldNumber(field, "0") == 0u);
  for (const char* text : {"1001", "-1", "", "1e3", "10.5", "１００", "99999999999999999999999"})
    CHECK_MESSAGE(!FieldNumber(field, text), text);
  CHECK(FieldNumberMessage(field, "abc") == "「メニューが開くまでの時間」には 0～1000 の整数を入れて下さい（今は「abc」）。");
}

TEST_CASE("size text: two decimals of the largest unit reached, halves up, no overflow") {
  CHECK(FormatByteSize(0) == "0.00KB");
  CHECK(FormatByteSize(262144) == "256.00KB");
  CHECK(FormatByteSize(1048575) == "1024.00KB");  // still below 1 MB, rounded up
  CHECK(FormatByteSize(1572864) == "1.50MB");
  CHECK(FormatByteSize(1073741823) == "1024.00MB");
  CHECK(FormatByteSize(1073741824) == "1.00GB");
  CHECK(FormatByteSize(UINT64_MAX) == "17179869184.00GB");
}

TEST_CASE("the Windows value changes in SharedSection's first three parts and nowhere else") {
  SUBCASE("blanks, case and later parts stay as they were") {
    const SubsystemValue value("a.exe  sharedSECTION=1024,3072,512,8 Windows=On ");
    REQUIRE(value.SharedSection());
    CHECK(*value.SharedSection() == std::array<std::string, 3>{"1024", "3072", "512"});
    CHECK(value.WithSharedSection({"1024", "4096", "512"}) == "a.exe  sharedSECTION=1024,4096,512,8 Windows=On ");
  }
  SUBCASE("only a token named SharedSection counts") {
    CHECK_FALSE(SubsystemValue("Windows=SharedSection=1,2,3 SharedSectionX=1,2,3").SharedSection());
    CHECK_FALSE(SubsystemValue("").SharedSection());
  }
}

TEST_CASE("RWIN: single-precision inputs, extended sum, shortest form, whole count written") {
  CHECK(FormatGeneral(ComputeRwin(100, 1448, 20)) == "362000");
  // The inputs are held as 32-bit numbers, so 0.1 carries its single-precision error.
  CHECK(FormatGeneral(ComputeRwin(*ParseDecimal("0.1"), 1448, 20)) == "362.00000539422");
  CHECK(FormatGeneral(1e20L) == "1e+20");
  CHECK(RwinToWrite("1234.5") == 1234u);
  CHECK(RwinToWrite("4294967295.9") == 4294967295u);
  for (const char* text : {"4294967296", "-1", "abc", "", "1,5", "inf"}) CHECK_MESSAGE(!RwinToWrite(text), text);
  CHECK_FALSE(ParseDecimal("12ms"));
}

TEST_CASE("ping host: a www first label and one trailing slash go; the shell gets nothing to act on") {
  auto ping = [](const char* typed) {
    const PingHost target = PingHostFrom(typed);
    return target.kind == PingHost::Kind::kPing ? target.host : std::string("-");
  };
  CHECK(ping("http://www.example.co.jp/") == "example.co.jp");
  CHECK(ping("WWW.Example.jp") == "Example.jp");
  // "www" inside the first label is part of the name, not a web-server prefix.
  CHECK(ping("wwwmaker.jp") == "wwwmaker.jp");
  CHECK(ping("fe80::1") == "fe80::1");
  CHECK(ping("例え.テスト") == "例え.テスト");
  CHECK(PingHostFrom("localwww").kind == PingHost::Kind::kNothing);
  CHECK(PingHostFrom("  ").kind == PingHost::Kind::kNothing);
  for (const char* typed : {"example.jp & del x", "-t", "a|b.jp", "%PATH%.jp", "a\"b.jp", "x.jp//"})
    CHECK_MESSAGE(PingHostFrom(typed).kind == PingHost::Kind::kRefused, typed);
  CHECK(PingParameters("1460", "example.jp") == "/k ping -f -l 1460 example.jp");
}

TEST_CASE("the speed-test page opens only web addresses, in IEXPLORE.EXE or else the default browser") {
  CHECK(IsWebAddress("http://www.speedtest.net/"));
  CHECK(IsWebAddress("HTTPS://example.jp/a?b=1"));
  for (const char* address : {"file:///C:/windows/system32/calc.exe", "C:\\x.exe", "http://", "http://a b",
                              "http://a\"b", "www.example.jp"})
    CHECK_MESSAGE(!IsWebAddress(address), address);

  std::vector<std::string> started;
  bool has_iexplore = false;
  auto shell = [&](std::string_view file, std::string_view parameters) {
    started.push_back(std::string(file) + "|" + std::string(parameters));
    return has_iexplore || file != "IEXPLORE.EXE";
  };
  CHECK(OpenWebPageWith("http://a.jp/", shell));
  CHECK(started == std::vector<std::string>{"IEXPLORE.EXE|\"http://a.jp/\"", "http://a.jp/|"});
  started.clear();
  has_iexplore = true;
  CHECK(OpenWebPageWith("http://a.jp/", shell));
  CHECK(started.size() == 1);
}
