// Ticks at rest skip their cycle; every change a cycle acts on still reaches
// the next tick.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <functional>
#include <tuple>

#include "adapters/posix/inotify_watch.h"
#include "adapters/posix/posix_data_files.h"
#include "adapters/posix/posix_file_system.h"
#include "fake_clock.h"
#include "fake_desktop_watch.h"
#include "mover/rest_gate.h"
#include "rules/rule_list_ops.h"
#include "temp_dir.h"
#include "test_processes.h"

namespace veskora {
namespace {

using testing::WriteFile;

// The real file system, counting its listings (a skipped cycle lists nothing)
// and the moves it was asked for.
class CountingFileSystem final : public FileSystem {
 public:
  using S = const std::string&;
  void BeginCycle(S folder) override { real.BeginCycle(folder); }
  std::optional<FolderListing> List(S folder) override { return ++listings, real.List(folder); }
  std::optional<FileFacts> Facts(S f, S n) override { return real.Facts(f, n); }
  std::optional<FileIdentity> Identity(S f, S n) override { return real.Identity(f, n); }
  MoveOutcome Move(S f, S n, S d, FileIdentity* a) override { return ++moves, real.Move(f, n, d, a); }
  MoveOutcome Check(S f, S n, S d) override { return real.Check(f, n, d); }
  PosixFileSystem real;
  int listings = 0;
  int moves = 0;
};

TEST(Rest, ATickRunsItsCycleExactlyWhenTheCycleCanChangeSomething) {
  const testing::TempDir dir("/dev/shm");
  const std::string desktop = dir / "Desktop", outside = dir.MakeDir("outside"), target = dir.MakeDir("Target");
  mkdir(desktop.c_str(), 0755);
  const testing::TempDir fuse;
  const bool fuseMounted =
      access("/usr/bin/bindfs", X_OK) == 0 && testing::Child({"/usr/bin/bindfs", dir.Path(), fuse.Path()}).Wait() == 0;
  RuleList rules;
  AddRuleItem(rules, true, 2, "pdf", target);
  AddRuleItem(rules, true, 2, "txt", dir / "missing");  // its files wait for a folder no event announces
  AddRuleItem(rules, true, 2, "doc", "relative");       // names no folder: only an edit of the rules helps
  const RuleMatcher matcher(rules);
  testing::FakeClock clock{{2026, 2, 28, 23, 57, 0}};
  PosixDataFiles dataFiles;
  MoveLog log{dataFiles, dir / "veskora.log", clock, [](const std::string&) {}};
  CountingFileSystem files;
  InotifyWatch inotify;
  testing::FakeDesktopWatch watch(&inotify);
  RestGate gate(&watch, clock);
  std::string folder = desktop;
  const ScanEnvironment env{[&folder] { return folder; }, &files, &log};
  // The start rests across midnight and a month's end.
  const auto at = [&clock](int minute, int second) {
    return [&clock, minute, second] { clock.Set({2026, 3, 1, 0, minute, second}); };
  };
  const auto touch = [&](const std::string& name, int flags) {
    close(open((desktop + "/" + name).c_str(), O_WRONLY | O_CREAT | O_CLOEXEC | flags, 0644));
  };
  // Of the ticks that follow each act: 0 for each that skipped its cycle, 1 for
  // each that ran it, 2 for each that also tried to move a file.
  const std::tuple<const char*, std::function<void()>, const char*> rows[] = {
      {"the first tick", [] {}, "10"},
      {"created", [&] { WriteFile(desktop + "/a.pdf", "a"); }, "210"},  // our own move is one more event
      {"renamed in",
       [&] {
         WriteFile(outside + "/b.pdf", "b");
         std::rename((outside + "/b.pdf").c_str(), (desktop + "/b.pdf").c_str());
       },
       "210"},
      {"created, no rule", [&] { touch("n.doc", 0); }, "10"},
      {"written and closed", [&] { WriteFile(desktop + "/n.doc", "more"); }, "10"},
      {"opened and closed", [&] { touch("n.doc", O_APPEND); }, "10"},
      {"touched", [&] { utimensat(AT_FDCWD, (desktop + "/n.doc").c_str(), nullptr, 0); }, "10"},
      {"deleted", [&] { unlink((desktop + "/n.doc").c_str()); }, "10"},
      {"the rules changed", [&] { gate.Wake(); }, "10"},
      {"4:59 later", at(1, 59), "0"},
      {"5:00 later", at(2, 0), "10"},
      {"the clock went back", at(1, 59), "10"},
      {"events lost", [&] { watch.news = WatchNews::kOverflowed; }, "10"},
      // Waiting for what no event shows: tried again after 2, 4, 8 … ticks.
      {"a file waits", [&] { touch("w.txt", 0); }, "202000200000002"},
      {"another file comes and goes", [&] { touch("n.doc", 0), unlink((desktop + "/n.doc").c_str()); }, "10"},
      {"the waiting one is written", [&] { WriteFile(desktop + "/w.txt", "w"); }, "202"},
      {"the rules changed meanwhile", [&] { gate.Wake(); }, "202"},
      {"renamed", [&] { std::rename((desktop + "/w.txt").c_str(), (desktop + "/v.txt").c_str()); }, "202"},
      {"and leaves", [&] { unlink((desktop + "/v.txt").c_str()); }, "10"},
      {"its name taken", [&] { WriteFile(target + "/t.pdf", "t"), touch("t.pdf", 0); }, "202"},
      {"and free again: at its retry", [&] { unlink((target + "/t.pdf").c_str()); }, "000210"},
      {"a download arriving", [&] { touch("e.pdf", 0), touch("e.pdf.part", 0); }, "111"},
      {"and done", [&] { unlink((desktop + "/e.pdf.part").c_str()); }, "210"},
      {"the folder re-created",
       [&] {
         EXPECT_EQ(rmdir(desktop.c_str()), 0);
         mkdir(desktop.c_str(), 0755);
         touch("c.pdf", 0);
       },
       "210"},
      {"a file in it", [&] { touch("d.pdf", 0); }, "210"},
      {"no folder to watch", [&] { folder = dir / "none"; }, "111"},
      {"another folder", [&] { folder = outside; }, "10"},
      {"through FUSE", [&] { folder = fuseMounted ? fuse / "Desktop" : desktop; }, fuseMounted ? "111" : "10"},
  };
  for (const auto& [what, act, ticks] : rows) {
    act();
    std::string seen;
    for (std::size_t i = 0; ticks[i]; ++i) {
      const int listed = files.listings, tried = files.moves;
      RunTick(gate, rules, matcher, env);
      seen += files.listings == listed ? '0' : files.moves == tried ? '1' : '2';
    }
    EXPECT_EQ(seen, ticks) << what;
  }
  EXPECT_EQ(testing::ListNames(target), "a.pdf b.pdf c.pdf d.pdf e.pdf t.pdf");
  if (fuseMounted) testing::Child({"/bin/umount", "-l", fuse.Path()}).Wait();
}

}  // namespace
}  // namespace veskora
