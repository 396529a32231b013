#include <doctest.h>

#include "recent/link_targets.h"

using namespace orvela;

TEST_CASE("kept shortcut targets: known only while the shortcut is unchanged") {
  LinkTargets targets;
  targets.Keep("C:\\R\\a.lnk", 100, 512, "C:\\a.txt");
  CHECK(*targets.Find("C:\\R\\a.lnk", 100, 512) == "C:\\a.txt");
  CHECK(targets.Find("C:\\R\\a.lnk", 101, 512) == nullptr);  // written again
  CHECK(targets.Find("C:\\R\\a.lnk", 100, 600) == nullptr);  // copied over, keeping the time
  CHECK(targets.Find("C:\\R\\b.lnk", 100, 512) == nullptr);
  // A damaged shortcut's target that would break the kept text is not kept.
  targets.Keep("C:\\R\\c.lnk", 100, 512, "C:\\c\n100\t1\tC:\\R\\d.lnk\tC:\\x");
  targets.Keep("C:\\R\\e.lnk", 0, 512, "C:\\e.txt");  // no time to know it by
  CHECK(targets.size() == 1);
}

TEST_CASE("kept shortcut targets: the text keeps what was used since it was read, damage left out") {
  LinkTargets first;
  first.Keep("C:\\R\\文書.lnk", 133485408000000000, 4096, "%USERPROFILE%\\文書.txt");
  first.Keep("C:\\R\\gone.lnk", 7, 1, "D:\\gone.txt");
  CHECK(first.changed());
  LinkTargets read = LinkTargets::FromText(first.Text());
  CHECK_FALSE(read.changed());
  REQUIRE(read.size() == 2);
  CHECK(*read.Find("C:\\R\\文書.lnk", 133485408000000000, 4096) == "%USERPROFILE%\\文書.txt");
  // gone.lnk was not asked for in this run (deleted meanwhile): the next text leaves it out.
  CHECK(LinkTargets::FromText(read.Text()).size() == 1);

  const std::string damaged = first.Text() + "x\t1\tC:\\R\\bad.lnk\tC:\\bad\n" + "5\t1\tC:\\R\\short.lnk\n" +
                              "5\t1\tC:\\R\\tab.lnk\tC:\\t\tt\n" + "5\t1\tC:\\R\\cut.lnk\tC:\\cu";
  CHECK(LinkTargets::FromText(damaged).size() == 2);
  CHECK(LinkTargets::FromText("Orvela shortcut targets 2\n5\t1\tC:\\a.lnk\tC:\\a\n").size() == 0);
}
