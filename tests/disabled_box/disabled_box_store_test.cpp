// The Disabled Box files at start and at close: only a missing file starts an empty box;
// a file that is there but cannot be read whole is left exactly as it was.
#include <doctest.h>

#include <filesystem>

#include "disabled_box/disabled_box_store.h"
#include "disabled_box/line_list_file.h"
#include "fixture_files.h"
#include "platform/file_io.h"
#include "platform/scripted_prompt.h"
#include "regfile/regfile_test_support.h"

using namespace orvela;
using namespace orvela::testing;
using State = DisabledBoxStore::State;

namespace {

struct Box {
  TempFolder folder;
  ScriptedPrompt prompt;
  DisabledBoxStore store;
  Box() { store.path = folder.File("startup.txt"); }

  void Put(const std::string& bytes) { REQUIRE(WriteWholeFileReplacing(store.path, bytes)); }
  std::optional<std::string> OnDisk() const { return ReadWholeFile(store.path); }
};

}  // namespace

TEST_CASE("the box is written only after it was loaded, and only a missing file starts empty") {
  Box box;
  SUBCASE("a close before the first display writes nothing") {
    box.store.SaveAtClose(box.prompt);
    CHECK_FALSE(box.OnDisk());
    box.Put("User@Tool=C:\\tool.exe\r\n");
    CHECK_FALSE(box.store.Commit({}));
    box.store.SaveAtClose(box.prompt);
    CHECK(box.OnDisk() == "User@Tool=C:\\tool.exe\r\n");
  }
  SUBCASE("no file: an empty box that is written") {
    box.store.Load(box.prompt);
    CHECK(box.store.state == State::kLoaded);
    CHECK(box.store.lines.empty());
    CHECK(box.prompt.shown().empty());
    REQUIRE(box.store.Commit({"User@Tool=C:\\tool.exe"}));
    CHECK(box.OnDisk() == "User@Tool=C:\\tool.exe\r\n");
  }
  SUBCASE("a folder in the file's place is there but unreadable: never written") {
    std::filesystem::create_directory(std::filesystem::u8path(box.store.path));
    box.store.Load(box.prompt);
    CHECK(box.store.state == State::kUnreadable);
    REQUIRE(box.prompt.messages().size() == 1);
    CHECK(box.prompt.messages()[0].find("読み込めませんでした") != std::string::npos);
    box.store.lines = {"User@Tool=C:\\tool.exe"};
    CHECK_FALSE(box.store.Commit({"x"}));
    box.store.SaveAtClose(box.prompt);
    CHECK(std::filesystem::is_directory(std::filesystem::u8path(box.store.path)));
  }
}

TEST_CASE("damaged and cut files are shown as far as they read and never written over") {
  struct Case {
    const char* fixture;
    std::vector<std::string> readable;
  };
  const Case cases[] = {
      // A UTF-8 file with one damaged byte is read as UTF-8, never as code page 932.
      {"fixtures/boxes/damaged-utf8-bom.txt",
       {"User@ツール=C:\\ツール\\tool.exe", "taro=메일#$#C:\\Mail\\mail.exe",
        "Machine@Agent=C:\\Agent\\agent.exe"}},
      {"fixtures/boxes/damaged-cp932.txt", {"User@表=C:\\表\\a.exe", "taro=メール#$#C:\\Mail\\mail.exe"}},
      {"fixtures/boxes/cut-cp932.txt", {"User@表=C:\\表\\a.exe"}},
      {"fixtures/boxes/cut-utf8-bom.txt", {"User@한국=C:\\k.exe"}},
  };
  for (const Case& c : cases) {
    CAPTURE(c.fixture);
    Box box;
    const std::string bytes = FixtureBytes(c.fixture);
    REQUIRE(!bytes.empty());
    box.Put(bytes);
    box.store.Load(box.prompt);
    CHECK(box.store.state == State::kUnreadable);
    CHECK(box.store.lines == c.readable);
    REQUIRE(box.prompt.messages().size() == 1);
    CHECK(box.prompt.messages()[0].find(box.store.path + ".unreadable\n") != std::string::npos);
    CHECK(ReadWholeFile(box.store.path + ".unreadable") == bytes);

    CHECK_FALSE(box.store.Commit({"User@New=C:\\new.exe"}));
    box.store.SaveAtClose(box.prompt);
    CHECK(box.OnDisk() == bytes);
  }
}

TEST_CASE("the copy of a damaged file is never written over") {
  Box box;
  const std::string first = FixtureBytes("fixtures/boxes/damaged-cp932.txt");
  const std::string second = FixtureBytes("fixtures/boxes/cut-cp932.txt");
  box.Put(first);
  box.store.Load(box.prompt);
  // The same damaged file at the next start: its copy is there already.
  box.store.Load(box.prompt);
  box.Put(second);
  box.store.Load(box.prompt);
  CHECK(ReadWholeFile(box.store.path + ".unreadable") == first);
  CHECK(ReadWholeFile(box.store.path + ".unreadable2") == second);
  CHECK_FALSE(ReadWholeFile(box.store.path + ".unreadable3"));
  CHECK(box.prompt.messages().back().find(box.store.path + ".unreadable2\n") != std::string::npos);
}

TEST_CASE("a line and its kept original change together: a kill at any step uses no wrong copy") {
  Box box;
  box.store.Load(box.prompt);
  KeptOriginals kept = box.store.kept();
  const std::string line = "taro=Mail#$#C:\\Mail\\mail.exe";
  const auto shortcut = [&](const char* bytes) { return KeptFile(line, "Mail.lnk", bytes, std::nullopt); };
  const auto bytes_of = [&](size_t row) {
    const DisabledBoxStore::KeptLookup found = box.store.KeptOf(row);
    return found.status == DisabledBoxStore::KeptLookup::Status::kFound ? found.original.bytes : "(none)";
  };
  using Added = DisabledBoxStore::AddResult;

  SUBCASE("killed after the item, before its line: never used, and gone at the next start") {
    REQUIRE(kept.Write(shortcut("/old"), KeptState::kPending));
    REQUIRE(box.store.Add(line, shortcut("/new")) == Added::kAdded);
    CHECK(bytes_of(0) == "/new");
    box.store.Load(box.prompt);
    CHECK(FileNamesIn(kept.folder()).size() == 1);
  }
  SUBCASE("an enable killed before or after its line left") {
    REQUIRE(box.store.Add(line, shortcut("/a")) == Added::kAdded);
    REQUIRE(box.store.Add(line, shortcut("/b")) == Added::kAdded);
    REQUIRE(kept.Move(kept.PairingOf(box.store.lines, 0).id, KeptState::kLeaving));
    SUBCASE("before: the line keeps its own") {
      box.store.Load(box.prompt);
      CHECK(bytes_of(0) == "/a");
      CHECK(bytes_of(1) == "/b");
    }
    SUBCASE("after: the leaving item goes, the other line keeps its own") {
      REQUIRE(box.store.Commit({line}));
      box.store.Load(box.prompt);
      CHECK(bytes_of(0) == "/b");
      CHECK(FileNamesIn(kept.folder()).size() == 1);
    }
  }
  SUBCASE("a line from before kept originals keeps no one else's") {
    REQUIRE(box.store.Commit({line}));
    REQUIRE(box.store.Add(line, shortcut("/new")) == Added::kAdded);
    CHECK(bytes_of(0) == "(none)");
    CHECK(bytes_of(1) == "/new");
    REQUIRE(box.store.Remove(1));
    CHECK(bytes_of(0) == "(none)");
  }
}
