// Whole scan cycles over a real desktop folder: what is listed, which rule
// takes a file, and what the log says.
#include "mover/scan_cycle.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <iterator>
#include <tuple>

#include "fake_clock.h"
#include "mover/conditions.h"
#include "mover/move_journal.h"
#include "mover/move_log.h"
#include "mover/outcome_words.h"
#include "mover/put_back_watch.h"
#include "mover/undo_moves.h"
#include "other_file_system.h"
#include "adapters/posix/folder_listing.h"
#include "adapters/posix/posix_data_files.h"
#include "adapters/posix/posix_file_system.h"
#include "rules/move_rule.h"
#include "rules/rule_list_ops.h"
#include "temp_dir.h"
#include "test_processes.h"

namespace veskora {
namespace {

using testing::Exists;
using testing::ListNames;
using testing::ReadFile;
using testing::SetMtime;
using testing::WriteFile;

int OpenDescriptors() {
  std::error_code error;
  const auto open = std::filesystem::directory_iterator("/proc/self/fd", error);
  return static_cast<int>(std::distance(open, std::filesystem::directory_iterator()));
}

class ScanCycle : public ::testing::Test {
 protected:
  void File(const std::string& name, std::size_t size = 1) { WriteFile(desktop + "/" + name, std::string(size, 'x')); }
  std::string Rule(int kind, const std::string& value, const std::string& destination) {
    AddRuleItem(rules, true, kind, value, destination);
    return destination;
  }
  CycleReport Cycle() { return RunScanCycle(rules, RuleMatcher(rules), env); }
  std::string LogText() { return Exists(dir / "veskora.log") ? ReadFile(dir / "veskora.log") : ""; }

  testing::TempDir dir;
  std::string desktop = dir.MakeDir("Desktop");
  std::string target = dir.MakeDir("Target");
  testing::FakeClock clock{{2026, 10, 26, 14, 5, 9}};
  std::vector<std::string> status;
  PosixDataFiles dataFiles;
  MoveJournal journal{dataFiles, dir / "state/journal.csv", clock};
  std::vector<std::size_t> journaled;  // records in the journal at each log line
  std::vector<bool> lockHeld;           // and whether its lock was held then
  bool JournalLocked() { return PosixDataFiles().Lock(journal.Path() + ".lock", {}).error == EWOULDBLOCK; }
  const StatusSink sink = [this](const std::string& line) {
    status.push_back(line);
    journaled.push_back(ReadJournal(dataFiles, journal.Path()).records.size());
    lockHeld.push_back(JournalLocked());
  };
  MoveLog log{dataFiles, dir / "veskora.log", clock, sink};
  PosixFileSystem files;
  ScanEnvironment env{[this] { return desktop; }, &files, &log, nullptr, &journal};
  RuleList rules;
};

TEST_F(ScanCycle, OnlyRegularFilesAndLinksToThemAreListedSortedByBytes) {
  testing::TempDir elsewhere;
  WriteFile(elsewhere / "outside.txt", "x");
  const std::string longest(255, 'n');
  std::string longestUtf8;
  for (int i = 0; i < 85; ++i) longestUtf8 += "あ";  // 255 bytes
  for (const std::string name : {"b", "B", "Z.txt", "été", "デスク", "line\nbreak", " space", "10", "9", ".hidden"}) {
    File(name);
  }
  File(longest, 2000);
  File(longestUtf8, 5);
  dir.MakeDir("Desktop/folder");
  ASSERT_EQ(mkfifo((desktop + "/fifo").c_str(), 0600), 0);
  ASSERT_EQ(symlink((elsewhere / "outside.txt").c_str(), (desktop + "/link-to-file").c_str()), 0);
  ASSERT_EQ(symlink("b", (desktop + "/relative-link").c_str()), 0);
  ASSERT_EQ(symlink("folder", (desktop + "/link-to-folder").c_str()), 0);
  ASSERT_EQ(symlink("nowhere", (desktop + "/broken-link").c_str()), 0);

  const auto listing = ScanDesktop(env);
  ASSERT_TRUE(listing);
  std::string listed;
  for (const FolderEntry& entry : listing->entries) listed += (entry.file ? "" : "!") + entry.name + "/";
  EXPECT_EQ(listed, " space/10/9/B/Z.txt/b/!broken-link/!fifo/!folder/line\nbreak/link-to-file/!link-to-folder/" +
                        longest + "/relative-link/été/" + longestUtf8 + "/デスク/");

  // Size and time through the listed folder agree with the full path, links
  // followed; long names included.
  SetMtime(desktop + "/b", {2008, 10, 26, 11, 59, 59});
  for (const std::string& name :
       std::vector<std::string>{"b", "link-to-file", "relative-link", longest, longestUtf8, "gone"}) {
    EXPECT_EQ(files.Facts(desktop, name), FactsAt(AT_FDCWD, desktop + "/" + name)) << name;
    EXPECT_EQ(PosixFileSystem().Facts(desktop, name), FactsAt(AT_FDCWD, desktop + "/" + name)) << name;
  }
  const std::string b = "b";
  EXPECT_EQ(*Candidate(desktop, b, files).TimeText(), "20081026115959");
  EXPECT_EQ(files.Facts(desktop, longest)->size, 2000u);

  // Nothing is moved that is not a file.
  Rule(1, "", target);
  Cycle();
  EXPECT_EQ(ListNames(desktop), ".hidden broken-link fifo folder link-to-folder");
  EXPECT_FALSE(ScanDesktop({[this] { return dir / "missing"; }, &files, &log}));
  ASSERT_EQ(symlink(desktop.c_str(), (dir / "Linked").c_str()), 0);  // a desktop that is a link is followed
  EXPECT_EQ(ScanDesktop({[this] { return dir / "Linked"; }, &files, &log})->entries.size(), 4u);
  EXPECT_FALSE(ScanDesktop({[] { return std::string(); }, &files, &log}));
}

// One row per outcome: the judge's answer as plan asks it (the platform
// checks each move), then the cycle acting on it and reporting what stayed.
TEST_F(ScanCycle, TheJudgeGivesEveryFileItsRowAndOutcomeAndTheCycleActsOnIt) {
  const std::string second = dir.MakeDir("second");
  WriteFile(dir / "afile", "");
  WriteFile(target + "/taken.txt", "there first");
  // kind, value, destination, ticked
  const std::tuple<int, const char*, std::string, bool> rows[] = {
      {1, "keep", std::string(kProtectMarker), true},    // 1
      {1, "undef", std::string(kUndefinedMarker), true}, // 2
      {2, "txt", second, false},                         // 3: skipped
      {1, "taken", target, true},                        // 4
      {1, "nowhere", dir / "missing", true},             // 5
      {1, "notdir", dir / "afile", true},                // 6
      {1, "back", target, true},                         // 7
      {2, "txt", target, true},                          // 8
      {3, "2", second, true},                            // 9
      {6, "20990101000000", second, true},               // 10
  };
  for (const auto& [kind, value, destination, ticked] : rows) AddRuleItem(rules, ticked, kind, value, destination);
  for (const char* name : {"back.dat", "future.dat", "keep.txt", "none.dat", "notdir.dat", "nowhere.dat", "plain.txt",
                           "taken.txt", "undef.txt", "x.iso", "x.iso.aria2"}) {
    File(name, 5);
  }
  File("one.bin");
  for (const char* name : {"/future.dat", "/x.iso", "/x.iso.aria2"}) SetMtime(desktop + name, {2100, 1, 1, 0, 0, 0});
  const RuleMatcher matcher(rules);
  const auto listing = ScanDesktop(env);
  ASSERT_TRUE(listing);
  // Put back by an undo, as the journal keeps it (an old file's times differ),
  // and read back while the desktop's listing is open.
  SetMtime(desktop + "/back.dat", {2001, 1, 1, 0, 0, 0});
  journal.AddUndo(journal.AddMove(desktop, "back.dat", target, {}, 7, "back"), *files.Identity(desktop, "back.dat"));
  PutBackWatch watch(dataFiles, journal.Path());
  const PutBackFiles putBack = watch.Files(files);
  bool askedLocked = false;  // the put-back files are asked under the journal's lock
  env.putBack = [&] { return askedLocked = JournalLocked(), &putBack; };
  const auto judged = JudgeListing(*listing, {rules, matcher, files, &putBack});
  std::string verdicts;  // none.dat: no row decides it
  for (const JudgedFile& j : judged) {
    const std::string code(OutcomeCode(j.outcome));
    verdicts += listing->entries[j.index].name + " " + std::to_string(j.row) + " " + code + "\n";
  }
  EXPECT_EQ(verdicts,
            "back.dat 7 put-back\nfuture.dat 10 moves\nkeep.txt 1 protected\nnotdir.dat 6 no-destination\n"
            "nowhere.dat 5 no-destination\none.bin 9 moves\nplain.txt 8 moves\ntaken.txt 4 name-taken\n"
            "undef.txt 2 no-folder\nx.iso 10 in-use\nx.iso.aria2 10 in-use\n");

  const CycleReport report = Cycle();
  std::string moved, waiting;
  for (const MovedFile& m : report.moved) moved += m.name + " " + std::to_string(m.row) + "\n";
  for (const WaitingFile& w : report.waiting) waiting += w.name + " " + std::string(OutcomeCode(w.outcome)) + "\n";
  EXPECT_EQ(moved, "future.dat 10\none.bin 9\nplain.txt 8\n");
  EXPECT_EQ(waiting,
            "notdir.dat no-destination\nnowhere.dat no-destination\ntaken.txt name-taken\nundef.txt no-folder\n"
            "x.iso in-use\nx.iso.aria2 in-use\n");
  EXPECT_TRUE(ListNames(second) == "future.dat one.bin" && askedLocked);
  // What was put back moves once it changed; a file that went away since
  // the listing is gone.
  File("back.dat", 6);
  EXPECT_EQ(JudgeListing(*listing, {rules, matcher, files, &putBack})[0].outcome, Outcome::kMoves);
  EXPECT_EQ(ExplainFile(*listing, "plain.txt", {rules, matcher, files}).decision->outcome, Outcome::kGone);
}

// Against real files: names, extensions and sizes at their edges (the
// matcher's own test covers every kind against generated files).
TEST_F(ScanCycle, NamesExtensionsAndSizesCompareExactly) {
  Rule(1, "PHOTO", target);
  Rule(1, "mp3", target);
  Rule(2, "gz", target);
  Rule(2, ".txt", target);
  const std::string small = Rule(3, "1K", dir.MakeDir("small"));
  const std::string large = Rule(4, "1K", dir.MakeDir("large"));
  Rule(2, "", dir.MakeDir("bare"));  // a name without a dot has an empty extension
  for (const char* name : {"MYPHOTO.JPG", "photo01.jpg", "ＰＨＯＴＯ.jpg", "song.mp3", "backup.tar.gz", "a.MP3x",
                           "notes.txt", "gz", "x.gz.bak", "k1024"}) {
    File(name, 1024);
  }
  File("a1023", 1023);
  File("c1025", 1025);
  File("huge.iso");
  ASSERT_EQ(truncate((desktop + "/huge.iso").c_str(), 5LL << 30), 0);  // sparse: no disk used
  Cycle();
  EXPECT_EQ(ListNames(target), "MYPHOTO.JPG backup.tar.gz song.mp3");
  EXPECT_EQ(ListNames(small), "a1023");
  EXPECT_EQ(ListNames(large), "c1025 huge.iso");
  EXPECT_EQ(ListNames(dir / "bare"), "gz k1024");
  EXPECT_EQ(ListNames(desktop), "a.MP3x notes.txt photo01.jpg x.gz.bak ＰＨＯＴＯ.jpg");
}

TEST_F(ScanCycle, EachMoveWritesOneExactLineAndAFailedOneNothing) {
  Rule(2, "txt", target);
  const std::string gone = Rule(1, "missing", dir / "gone");
  Rule(1, "marker", dir.MakeDir("未定義のフォルダ"));
  Rule(1, "relative", "Target");
  WriteFile(dir / "plain-file", "not a folder");
  Rule(1, "plain", dir / "plain-file");
  Rule(1, "itself", desktop);
  File("clash.txt", 3);
  WriteFile(target + "/clash.txt", "old");
  for (const char* name :
       {"report.txt", "a.txt", "missing.bin", "marker.bin", "relative.bin", "plain.bin", "itself.bin"}) {
    File(name);
  }
  Cycle();
  Cycle();
  const std::string first = "[10/26 14:05:09] a.txt を " + target + " へ移動しました";
  const std::string second = "[10/26 14:05:09] report.txt を " + target + " へ移動しました";
  EXPECT_EQ(LogText(), first + "\r\n" + second + "\r\n");
  EXPECT_EQ(status, (std::vector<std::string>{first, second}));
  // Each move is journaled before the next begins: a crash loses none. The
  // lock is held from the listing on, and let go when the cycle ends.
  EXPECT_EQ(journaled, (std::vector<std::size_t>{0, 1}));
  EXPECT_EQ(lockHeld, (std::vector<bool>{true, true}));
  EXPECT_FALSE(JournalLocked());
  EXPECT_EQ(ListNames(desktop), "clash.txt itself.bin marker.bin missing.bin plain.bin relative.bin");
  EXPECT_EQ(ReadFile(target + "/clash.txt"), "old");
  EXPECT_EQ(ReadFile(dir / "plain-file"), "not a folder");

  // Once the folder exists the next cycle completes the move. A name cannot
  // forge or split a line.
  mkdir(gone.c_str(), 0755);
  clock.Set({2027, 1, 2, 3, 4, 5});
  File("evil\n[01-01 00:00:00] x.txt");
  const std::string bad = "bad\xff\x01\x10\xc2\x85\xed\xa0\x80.txt";  // the last three: a surrogate
  File(bad);
  const int descriptors = OpenDescriptors();
  Cycle();
  EXPECT_EQ(OpenDescriptors(), descriptors);
  EXPECT_EQ(ListNames(gone), "missing.bin");
  ASSERT_EQ(status.size(), 5u);
  EXPECT_EQ(status[2], "[01/02 03:04:05] bad\\xFF\\x01\\x10\\u0085\\xED\\xA0\\x80.txt を " + target + " へ移動しました");
  EXPECT_EQ(status[3], "[01/02 03:04:05] evil\\n[01-01 00:00:00] x.txt を " + target + " へ移動しました");
  const std::string text = LogText();
  EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 5);
  const auto records = ReadJournal(dataFiles, journal.Path()).records;  // the journal takes such names back whole
  EXPECT_TRUE(std::any_of(records.begin(), records.end(), [&](const JournalRecord& r) { return r.name == bad; }));

  // A log that cannot be written stops no move; the status line still shows
  // it, and the line lost is told on standard error. Opening the log creates
  // it without truncating.
  MoveLog unwritable(dataFiles, dir / "plain-file/veskora.log", clock, sink);
  env.log = &unwritable;
  File("last.txt");
  ::testing::internal::CaptureStderr();
  Cycle();
  const std::string told = ::testing::internal::GetCapturedStderr();
  EXPECT_EQ(told.rfind("veskora: cannot ", 0), 0u) << told;
  EXPECT_NE(told.find("plain-file/veskora.log"), std::string::npos) << told;
  EXPECT_NE(told.find("last.txt を"), std::string::npos) << told;
  EXPECT_EQ(ListNames(target),
            "a.txt " + bad + " clash.txt evil\n[01-01 00:00:00] x.txt last.txt report.txt");
  EXPECT_EQ(status.size(), 6u);
  EXPECT_TRUE(log.Touch());
  EXPECT_EQ(LogText(), text);

  // An undo puts a file back and journals it under the same lock.
  const JournalRecord last = MovesNotUndone(ReadJournal(dataFiles, journal.Path()).records).front();
  EXPECT_EQ(UndoMoves({last}, UndoContext{desktop, false, files, &log, &journal})[0].outcome, UndoOutcome::kPutBack);
  EXPECT_TRUE(last.name == "last.txt" && Exists(desktop + "/last.txt") && lockHeld.back());
  EXPECT_FALSE(JournalLocked());
}

TEST_F(ScanCycle, ReadOnlyFileSystemsTakeNothingUntilTheyCan) {
  const testing::TmpfsMount locked(dir / "locked", "size=1m", MS_RDONLY);
  const testing::TmpfsMount desk(dir / "desk", "size=1m");
  if (!locked.Mounted() || !desk.Mounted()) GTEST_SKIP() << "cannot mount a tmpfs: " << locked.Error();
  Rule(2, "txt", locked.Path());
  File("c.txt");
  Cycle();
  std::string waiting;  // the destination is a folder: the move itself failed
  for (const WaitingFile& w : Cycle().waiting) waiting += w.name + " " + std::string(OutcomeCode(w.outcome)) + " ";
  EXPECT_EQ(waiting, "c.txt move-failed ");
  EXPECT_EQ(ListNames(desktop), "c.txt");
  ASSERT_TRUE(locked.Remount("size=1m"));
  Cycle();
  // A read-only desktop: nothing can be claimed, so nothing is copied.
  desktop = desk.Path();
  File("d.txt");
  ASSERT_TRUE(desk.Remount("size=1m", MS_RDONLY));
  Cycle();
  EXPECT_EQ(ListNames(desktop), "d.txt");
  ASSERT_TRUE(desk.Remount("size=1m"));
  // A rename first (the lock held since the listing), then copies (one back
  // to the first desktop's file system): nobody waits for the journal
  // during a copy.
  Rule(2, "bin", desk.Path() + "/inner");
  Rule(2, "dat", target);
  mkdir((desk.Path() + "/inner").c_str(), 0755);
  File("a.bin");
  File("e.dat");
  Cycle();
  EXPECT_EQ(ListNames(locked.Path()) + "|" + ListNames(target), "c.txt d.txt|e.dat");
  EXPECT_EQ(lockHeld, (std::vector<bool>{false, true, false, false}));
}

// The journal keeps 90 days of moves, at most so many records (four here):
// whole cycles go, oldest first, never the newest. A damaged record (a torn
// append, a changed byte) hides nothing after it, and a prune drops it.
// Records that met a lock another process held wait, in order, for the next.
TEST(MoveJournal, KeepsWholeRecentCyclesUpToItsBoundPastDamageAndLocks) {
  testing::TempDir dir;
  testing::FakeClock clock({2026, 1, 1, 12, 0, 0});
  PosixDataFiles files;
  MoveJournal journal(files, dir / "state/veskora/move-journal.csv", clock, 4);
  std::unique_ptr<testing::Child> holder;
  // clang-format off
  const struct { LocalTime at; bool newCycle; const char* name; char before; const char* kept; } moves[] = {
      {{2026, 1, 1, 12, 0, 0}, true, "a1", ' ', "a1"},
      {{2026, 3, 1, 12, 0, 0}, true, "b1", ' ', "a1 b1"},
      {{2026, 3, 1, 12, 0, 1}, false, "b2", 'd', "a1 b1 b2 damaged"},
      {{2026, 4, 1, 12, 0, 0}, true, "c1", ' ', "a1 b1 b2 c1 damaged"},  // 90 days after the first: still kept
      {{2026, 4, 1, 12, 0, 1}, false, "c2", ' ', "b1 b2 c1 c2"},
      {{2026, 4, 2, 12, 0, 0}, true, "d1", ' ', "c1 c2 d1"},  // b2 alone would do: its cycle goes whole
      {{2026, 4, 2, 12, 0, 0}, false, "d2", ' ', "c1 c2 d1 d2"},
      {{2026, 4, 2, 12, 0, 0}, false, "d3", ' ', "d1 d2 d3"},
      {{2026, 4, 2, 12, 0, 0}, false, "d4", ' ', "d1 d2 d3 d4"},
      {{2026, 4, 2, 12, 0, 0}, false, "d5", ' ', "d1 d2 d3 d4 d5"},
      {{2026, 4, 2, 12, 0, 1}, true, "e1", 'l', "d1 d2 d3 d4 d5"},
      {{2026, 4, 2, 12, 0, 1}, false, "e2", ' ', "d1 d2 d3 d4 d5"},
      {{2026, 4, 2, 12, 0, 1}, false, "e3", 'u', "e1 e2 e3"},
      {{2026, 4, 3, 12, 0, 0}, true, "f1", ' ', "e1 e2 e3 f1"},
      {{2026, 7, 2, 12, 0, 0}, true, "g1", ' ', "f1 g1"},  // f began 90 days before: kept
  };
  // clang-format on
  for (const auto& m : moves) {
    clock.Set(m.at);
    if (m.newCycle) journal.BeginCycle();
    if (m.before == 'd') {
      // A record with one byte changed, one with a byte more, and one cut short by a full disk.
      std::string whole = FormatJournalRecord(
          {false, "2026-03-01 12:00:00", "2026-03-01 12:00:00", "/desk", "x1", "/dest", {}, 1, "2,txt,/dest", {}});
      std::string longer = whole;
      longer.insert(longer.size() - 1, "0");  // a character past its checksum
      whole[whole.find("x1")] = 'y';
      ASSERT_EQ(files.Append(journal.Path(), whole + longer + whole.substr(0, 40)), 0);
    } else if (m.before == 'l') {
      const std::string lock = journal.Path() + ".lock";
      holder.reset(new testing::Child({"/bin/sh", "-c", "exec 9>>\"$0\" && flock 9 && exec sleep 60", lock}));
      for (int i = 0; i < 500 && files.Lock(lock, {}).held; ++i) usleep(10000);
    }
    if (m.before == 'u') holder.reset();
    journal.AddMove("/desk", m.name, "/dest", FileIdentity{1, 2, 3, 4}, 1, "2,txt,/dest");
    const JournalContents contents = ReadJournal(files, journal.Path());
    std::string kept;
    for (const JournalRecord& record : contents.records) kept += (kept.empty() ? "" : " ") + record.name;
    EXPECT_EQ(kept + (contents.damaged ? " damaged" : ""), m.kept);
  }
  // An undo as journals kept it before undos told what they put back still reads.
  ASSERT_EQ(files.Append(journal.Path(), "undo,2026-07-02 12:00:01,2026-07-02 12:00:01,/desk,g1,/dest,3,4,1,2,1,old,6b12fbb2\n"), 0);
  const JournalContents read = ReadJournal(files, journal.Path());
  EXPECT_TRUE(!read.damaged && read.records.back().undo && read.records.back().rule == "old");
}

// The program keeps its log, journal and lock files open between uses; each
// use still reaches the file the path names now, as another process left it.
TEST(DataFiles, AppendsAndLocksReachTheFileThePathNamesNow) {
  testing::TempDir dir;
  // files looks the path up before every append; later: a process that starts when the lock file is new
  PosixDataFiles files(std::chrono::milliseconds(0)), other, later;
  const std::string path = dir / "log", lock = dir / "lock";
  const auto append = [&](const std::string& text) { EXPECT_EQ(files.Append(path, text), 0); };
  append("a\n");
  ASSERT_EQ(rename(path.c_str(), (dir / "old").c_str()), 0);  // moved away, as a prune's new file goes over it
  append("b\n");
  WriteFile(dir / "new", "c\n");
  ASSERT_EQ(rename((dir / "new").c_str(), path.c_str()), 0);
  append("d\n");
  EXPECT_EQ(ReadFile(dir / "old") + ReadFile(path), "a\nc\nd\n");
  ASSERT_EQ(unlink(path.c_str()), 0);
  append("e\n");
  ASSERT_EQ(other.Append(path, "cut"), 0);  // lines cut short, by another and by us
  append("f");
  append("g\n");
  EXPECT_EQ(ReadFile(path), "e\ncut\nf\ng\n");
  // Between looks, the kept file's own facts still show it deleted, replaced or grown.
  ASSERT_EQ(other.Append(path, "w\n"), 0);
  ASSERT_EQ(unlink(path.c_str()), 0);
  ASSERT_EQ(other.Append(path, "x\n"), 0);
  WriteFile(dir / "new", "y\n");
  ASSERT_EQ(rename((dir / "new").c_str(), path.c_str()), 0);
  ASSERT_EQ(other.Append(path, "z\n"), 0);
  ASSERT_EQ(files.Append(path, "cut"), 0);
  ASSERT_EQ(other.Append(path, "!\n"), 0);
  EXPECT_EQ(ReadFile(path), "y\nz\ncut\n!\n");
  // Appended again without a look, except after our own replacement.
  ASSERT_EQ(files.WriteAtomically(path, "h\n"), 0);
  EXPECT_EQ(files.AppendAgain(path, "i\n"), 0);
  EXPECT_EQ(ReadFile(path), "h\ni\n");
  auto held = files.Lock(lock, {}).held;
  ASSERT_TRUE(held);
  EXPECT_EQ(files.Lock(lock, {}).error, EWOULDBLOCK);
  EXPECT_EQ(other.Lock(lock, {}).error, EWOULDBLOCK);
  held.reset();
  EXPECT_TRUE(other.Lock(lock, {}).held);
  ASSERT_EQ(unlink(lock.c_str()), 0);  // a new lock file: the one kept open no longer counts
  held = later.Lock(lock, {}).held;
  EXPECT_EQ(files.Lock(lock, {}).error, EWOULDBLOCK);
  held.reset();
  ASSERT_EQ(rename(lock.c_str(), (dir / "aside").c_str()), 0);  // a link put in its place is never followed
  ASSERT_EQ(symlink("aside", lock.c_str()), 0);
  EXPECT_EQ(later.Lock(lock, {}).error, ELOOP);
}

}  // namespace
}  // namespace veskora
