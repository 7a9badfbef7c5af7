// The churn soak: another process keeps creating, appending to, renaming and
// deleting files on the desktop while scan cycles move them to a folder on
// the same file system and to one on another. At the end every file the
// generator finished writing is accounted for by name and checksum, nothing
// else lies anywhere, and the log has exactly one line per completed move.
//
// Bounded in time: VESKORA_SOAK_SECONDS (default 20) of churn per run, then
// the last files settle.
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <map>
#include <random>
#include <set>
#include <sstream>

#include "fault_harness.h"
#include "program_sandbox.h"

#ifndef RENAME_NOREPLACE
#define RENAME_NOREPLACE (1 << 0)
#endif

namespace veskora::faults {
namespace {

using testing::Exists;
using testing::ReadFile;
using testing::WriteFile;

int SoakSeconds() {
  const char* text = std::getenv("VESKORA_SOAK_SECONDS");
  const int seconds = text ? std::atoi(text) : 0;
  return seconds > 0 ? seconds : 20;
}

struct Tally {
  int creates = 0, appends = 0, renames = 0, deletes = 0;
  int gone = 0;   // operations that found their file already moved away
  int raced = 0;  // appends that landed in a copied source just as it was removed
};

// What the generator did to the desktop, and the content of every file it
// finished writing and did not delete, by name.
class Generator {
 public:
  Generator(std::string desktop, unsigned seed) : desktop_(std::move(desktop)), random_(seed) {}

  void Run(int seconds) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
    for (int step = 0; step < 1000000 && std::chrono::steady_clock::now() < end; ++step) {
      const int dice = Between(0, 99);
      if (dice < 35 || on_desktop_.empty())
        Create(dice < 5);
      else if (dice < 65)
        Append();
      else if (dice < 85)
        Rename();
      else
        Delete();
      usleep(static_cast<useconds_t>(Between(1000, 8000)));
    }
  }

  void Save(const std::string& path) const {
    std::ofstream out(path);
    for (const auto& [name, bytes] : files_) out << name << '\t' << bytes.size() << '\t' << Checksum(bytes) << '\n';
    out << "# " << tally_.creates << ' ' << tally_.appends << ' ' << tally_.renames << ' ' << tally_.deletes << ' '
        << tally_.gone << ' ' << tally_.raced << '\n';
  }

 private:
  int Between(int low, int high) { return std::uniform_int_distribution<int>(low, high)(random_); }
  std::string Path(const std::string& name) const { return desktop_ + "/" + name; }

  std::string Bytes(std::size_t size) {
    std::string bytes(size, '\0');
    for (char& byte : bytes) byte = static_cast<char>(random_());
    return bytes;
  }

  std::string NewName() {
    static const char* const kKinds[] = {"near", "near", "far", "far", "keep"};
    return "f" + std::to_string(++counter_) + "." + kKinds[Between(0, 4)];
  }

  std::string PickOnDesktop() {
    auto it = on_desktop_.begin();
    std::advance(it, Between(0, static_cast<int>(on_desktop_.size()) - 1));
    return *it;
  }

  // Written in pieces; a slow one stays open for writing for a while, as a
  // download does.
  void Create(bool slow) {
    const std::string name = NewName();
    const std::size_t size =
        static_cast<std::size_t>(Between(0, 9) == 0 ? Between(1 << 20, 3 << 20) : Between(0, 65536));
    const std::string bytes = Bytes(size);
    const int fd = open(Path(name).c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    if (fd < 0) return;
    const std::size_t pieces = slow ? 8 : 2;
    for (std::size_t i = 0; i < pieces; ++i) {
      const std::size_t from = size * i / pieces;
      const std::size_t to = size * (i + 1) / pieces;
      if (write(fd, bytes.data() + from, to - from) != static_cast<ssize_t>(to - from)) std::abort();
      if (slow) usleep(20000);
    }
    close(fd);
    files_[name] = bytes;
    on_desktop_.insert(name);
    ++tally_.creates;
  }

  void Append() {
    const std::string name = PickOnDesktop();
    const int fd = open(Path(name).c_str(), O_WRONLY | O_APPEND | O_CLOEXEC);
    if (fd < 0) {
      Gone(name);
      return;
    }
    const std::string bytes = Bytes(static_cast<std::size_t>(Between(1, 4096)));
    if (write(fd, bytes.data(), bytes.size()) != static_cast<ssize_t>(bytes.size())) std::abort();
    struct stat st {};
    fstat(fd, &st);
    close(fd);
    ++tally_.appends;
    // Opened in the instant between the mover's last look at the copied
    // source and its removal: the copy has the file as it was before.
    if (st.st_nlink == 0) {
      ++tally_.raced;
      on_desktop_.erase(name);
      return;
    }
    files_[name] += bytes;
  }

  void Rename() {
    const std::string from = PickOnDesktop();
    const std::string to = NewName();
    if (renameat2(AT_FDCWD, Path(from).c_str(), AT_FDCWD, Path(to).c_str(), RENAME_NOREPLACE) != 0) {
      Gone(from);
      return;
    }
    files_[to] = std::move(files_[from]);
    files_.erase(from);
    on_desktop_.erase(from);
    on_desktop_.insert(to);
    ++tally_.renames;
  }

  void Delete() {
    const std::string name = PickOnDesktop();
    if (unlink(Path(name).c_str()) != 0) {
      Gone(name);
      return;
    }
    files_.erase(name);
    on_desktop_.erase(name);
    ++tally_.deletes;
  }

  void Gone(const std::string& name) {
    on_desktop_.erase(name);
    ++tally_.gone;
  }

  std::string desktop_;
  std::mt19937 random_;
  int counter_ = 0;
  std::map<std::string, std::string> files_;
  std::set<std::string> on_desktop_;
  Tally tally_;
};

struct Account {
  std::map<std::string, std::pair<std::size_t, std::uint64_t>> files;
  Tally tally;
};

Account LoadAccount(const std::string& path) {
  Account account;
  std::istringstream in(ReadFile(path));
  for (std::string line; std::getline(in, line);) {
    std::istringstream fields(line);
    if (line.rfind("# ", 0) == 0) {
      std::string mark;
      Tally& t = account.tally;
      fields >> mark >> t.creates >> t.appends >> t.renames >> t.deletes >> t.gone >> t.raced;
      continue;
    }
    std::string name;
    std::size_t size = 0;
    std::uint64_t sum = 0;
    std::getline(fields, name, '\t');
    fields >> size >> sum;
    account.files[name] = {size, sum};
  }
  return account;
}

// Where a file of this name belongs at the end: the protected ones stay.
std::string Kind(const std::string& name) { return name.substr(name.rfind('.') + 1); }

// A desktop, a folder for ".near" files beside it, one for ".far" files on
// /dev/shm, and a program folder with the rules and the log: the real
// program's, which the mover alone uses as well.
class ChurnSoak : public ::testing::Test {
 protected:
  void SetUp() override {
    struct stat a {};
    struct stat b {};
    ASSERT_EQ(stat(sandbox_.Root().c_str(), &a), 0);
    ASSERT_EQ(stat(far_root_.Path().c_str(), &b), 0);
    if (a.st_dev == b.st_dev) GTEST_SKIP() << sandbox_.Root() << " and /dev/shm are on the same file system";
    WriteFile(sandbox_.RulePath(), Rules());
  }

  std::string Rules() const {
    return "-1,2,keep,(移動を禁止する)\r\n-1,2,near," + near_ + "\r\n-1,2,far," + far_ + "\r\n";
  }

  // Churns the desktop while the mover runs, then lets the last files settle.
  Account Churn() {
    const std::string account_path = sandbox_.Root() + "/account";
    const pid_t generator = fork();
    if (generator == 0) {
      Generator churn(desktop_, 20261026u);
      churn.Run(SoakSeconds());
      churn.Save(account_path);
      _exit(0);
    }
    int status = 0;
    EXPECT_EQ(waitpid(generator, &status, 0), generator);
    EXPECT_EQ(DescribeStatus(status), "exit 0");
    // Every file is closed now: the mover takes all but the protected ones.
    for (int wait = 0; wait < 600 && !OnlyKeptFilesLeft(); ++wait) usleep(100000);
    return LoadAccount(account_path);
  }

  bool OnlyKeptFilesLeft() const {
    for (const std::string& name : Names(desktop_)) {
      if (Kind(name) != "keep") return false;
    }
    return true;
  }

  // Every accounted file once, whole, where its rule puts it; nothing else
  // anywhere; one log line per file that was moved.
  ::testing::AssertionResult Accounted(const Account& account) const {
    std::ostringstream problems;
    std::map<std::string, int> found;
    int moved = 0;
    for (const auto& [folder, kinds] :
         {std::pair<std::string, std::string>{desktop_, "keep"}, std::pair<std::string, std::string>{near_, "near"},
          std::pair<std::string, std::string>{far_, "far"}}) {
      for (const std::string& name : Names(folder)) {
        const auto entry = account.files.find(name);
        if (entry == account.files.end()) {
          problems << "unexpected " << folder << "/" << name << "; ";
          continue;
        }
        const std::string bytes = ReadFile(folder + "/" + name);
        if (bytes.size() != entry->second.first || Checksum(bytes) != entry->second.second) {
          problems << folder << "/" << name << " has " << bytes.size() << " bytes instead of " << entry->second.first
                   << " or another checksum; ";
        }
        if (Kind(name) != kinds) problems << name << " lies in " << folder << "; ";
        if (++found[name] > 1) problems << name << " exists twice; ";
        if (folder != desktop_) ++moved;
      }
    }
    for (const auto& [name, file] : account.files) {
      if (found[name] == 0) problems << name << " is lost; ";
    }
    std::map<std::string, int> logged;
    int lines = 0;
    std::istringstream log(Exists(LogPath()) ? ReadFile(LogPath()) : "");
    for (std::string line; std::getline(log, line); ++lines) {
      const std::size_t start = line.find("] ");
      const std::size_t end = line.find(" を ");
      if (start == std::string::npos || end == std::string::npos) {
        problems << "odd log line " << line << "; ";
        continue;
      }
      const std::string name = line.substr(start + 2, end - start - 2);
      if (++logged[name] > 1) problems << "the log names " << name << " twice; ";
      if (found[name] == 0 || Kind(name) == "keep") problems << "the log names " << name << ", not moved; ";
    }
    if (lines != moved) problems << lines << " log lines for " << moved << " moved files; ";
    std::printf(
        "churn: %d created, %d appends, %d renames, %d deletes, %d found moved away; %d files moved, "
        "%zu accounted; %d appends raced a removal\n",
        account.tally.creates, account.tally.appends, account.tally.renames, account.tally.deletes, account.tally.gone,
        moved, account.files.size(), account.tally.raced);
    if (problems.str().empty()) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << problems.str();
  }

  std::string LogPath() const { return sandbox_.LogPath(); }

  ProgramSandbox sandbox_;
  testing::TempDir far_root_{"/dev/shm"};
  std::string desktop_ = sandbox_.Desktop();
  std::string near_ = sandbox_.MakeDir("near");
  std::string far_ = far_root_.MakeDir("far");
};

TEST_F(ChurnSoak, TheMoverLosesNothingUnderChurn) {
  const std::string stop = sandbox_.Root() + "/stop";
  Child mover({MoveDriverPath(), sandbox_.RulePath(), desktop_, LogPath(), "--cycles", "100000000", "--pause-ms", "50",
               "--stop-file", stop},
              {});
  const Account account = Churn();
  WriteFile(stop, "");
  EXPECT_EQ(DescribeStatus(mover.Wait()), "exit 0");

  EXPECT_TRUE(Accounted(account));
  EXPECT_GT(account.tally.creates, 0);
}

// The real program, ticking every two seconds, ended as a logout ends it.
TEST_F(ChurnSoak, TheProgramLosesNothingUnderChurn) {
  Child veskora(sandbox_.Command(), sandbox_.Environment());
  const Account account = Churn();
  veskora.Terminate();
  const std::string ended = DescribeStatus(veskora.Wait());
  EXPECT_TRUE(ended == "exit 0" || ended == "signal 15") << ended;

  EXPECT_TRUE(Accounted(account));
  EXPECT_GT(account.tally.creates, 0);
  EXPECT_EQ(ReadFile(sandbox_.RulePath()), Rules());
}

}  // namespace
}  // namespace veskora::faults
