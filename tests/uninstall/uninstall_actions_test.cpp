#include <doctest.h>

#include "platform/file_io.h"
#include "uninstall/uninstall_backup.h"
#include "uninstall/uninstall_test_support.h"

using namespace orvela;
using namespace orvela::testing;

TEST_CASE("removing uninstall information: asked, saved whole, then deleted") {
  UninstallFixture f;
  const UninstallKey key = f.Add(kMachine32, "App", "App 1.0");
  UninstallContext context = f.Context();
  const SortRow row{"App 1.0", "", key};

  SUBCASE("No keeps everything") {
    CHECK(RemoveNow(context, row, "App 1.0") == RemoveResult::kKept);
    CHECK(f.prompt.shown().at(0).text == "[ App 1.0 ]\n\nアンインストール情報を削除してよろしいですか？");
    CHECK(f.prompt.shown().at(0).caption == "削除確認");
    CHECK(f.Exists(key));
    CHECK(FileNamesIn(f.backups).empty());
  }
  SUBCASE("Yes saves the key to the title's file and deletes it") {
    f.prompt.AnswerYes();
    CHECK(RemoveNow(context, row, "App 1.0") == RemoveResult::kRemoved);
    CHECK_FALSE(f.Exists(key));
    CHECK(ProcessBackupRows({"App 1.0"}, {true}, f.backups, true, f.registry, f.prompt).restored);
    CHECK(ReadEntryValue(f.registry, key, "DisplayName") == "App 1.0");
  }
  SUBCASE("an entry without a title is saved as 0.reg") {
    f.prompt.AnswerYes();
    CHECK(RemoveNow(context, {"0", "", key}, "") == RemoveResult::kRemoved);
    CHECK(FileNamesIn(f.backups) == std::vector<std::string>{"0.reg"});
  }
  SUBCASE("a value the file cannot hold: the user is told which; the key stays and the file goes") {
    f.Set(key, "Say \"hi\"", Text("x"));
    f.prompt.AnswerYes();
    CHECK(RemoveNow(context, row, "App 1.0") == RemoveResult::kKept);
    CHECK(f.Exists(key));
    CHECK(FileNamesIn(f.backups).empty());
    REQUIRE(f.prompt.messages().size() == 1);
    CHECK(f.prompt.messages()[0].find("] Say \"hi\"") != std::string::npos);
  }
  SUBCASE("a key the user may only read: listed and shown whole, its removal refused before the question") {
    f.Set({key.root, key.key_path, key.subkey + "\\Sub"}, "Inner", Text("i"));
    f.registry.MakeReadOnly(key.root, key.BackendPath());
    f.registry.MakeReadOnly(key.root, key.BackendPath() + "\\Sub");
    CHECK(Captions(f.Rows()) == std::vector<std::string>{"App 1.0"});
    CHECK(EntryValueRows(f.registry, key, f.system).size() == 2);
    CHECK(SaveUninstallBackup(f.registry, f.prompt, f.backups, "App 1.0", key).result.complete());
    REQUIRE(DeleteFileAt(f.backups + "App 1.0.reg"));
    CHECK(RemoveNow(context, row, "App 1.0") == RemoveResult::kKept);
    CHECK(f.prompt.messages() == std::vector<std::string>{"[ App 1.0 ]\n\n" + std::string(kNotRemovable) + "\n" +
                                                          key.FullName() + "\n理由：" + SystemErrorText(kErrorAccessDenied)});
    CHECK(f.Exists(key));
    CHECK(FileNamesIn(f.backups).empty());
  }
  SUBCASE("a key that is gone already is only reported") {
    REQUIRE(f.registry.DeleteKeyTree(key.root, key.BackendPath()));
    f.prompt.AnswerYes();
    CHECK(RemoveNow(context, row, "App 1.0") == RemoveResult::kGone);
    CHECK(f.prompt.messages() == std::vector<std::string>{std::string(kEntryGone)});
  }
}

TEST_CASE("the uninstall watch looks at the first pending entry only, by its location") {
  UninstallFixture f;
  const UninstallKey first = f.Add(kMachine, "First", "First");
  const UninstallKey second = f.Add(kUser, "Second", "Second");
  UninstallWatch watch;
  watch.Add(first);
  watch.Add(second);
  REQUIRE(f.registry.DeleteKeyTree(second.root, second.BackendPath()));
  CHECK_FALSE(watch.Tick(f.registry).has_value());
  CHECK(watch.pending().size() == 2);
  f.Set(first, "UninstallString", Text(""));
  CHECK(watch.Tick(f.registry) == first);
  CHECK_FALSE(watch.waiting());
}
