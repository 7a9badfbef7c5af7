#pragma once

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/types.h>

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "temp_dir.h"

namespace veskora::faults {

// The mover without the window (move_driver.cpp) as this build made it.
std::string MoveDriverPath();

// The value of LD_PRELOAD that puts the fault shim into a program of this
// build: after the sanitizer runtime when that is a shared library, which
// must come first.
std::string FaultPreload();

// A program run as a child process, with extra environment entries
// ("NAME=value"), which the test can wait for, continue and signal.
class Child {
 public:
  Child(const std::vector<std::string>& argv, const std::vector<std::string>& env);
  ~Child();
  Child(const Child&) = delete;
  Child& operator=(const Child&) = delete;

  // Waits until the child stops itself (true) or ends (false).
  bool WaitForStop();
  void Continue();
  void Signal(int number);
  void Terminate() { Signal(SIGTERM); }  // as at logout
  // Waits for the end; the wait status.
  int Wait();

 private:
  pid_t pid_ = -1;
  int status_ = 0;
};

// "exit N" or "signal N".
std::string DescribeStatus(int status);

// A checksum for the accounts of files (FNV-1a, 64 bits).
std::uint64_t Checksum(const std::string& bytes);

// Bytes that are the same for the same size and seed.
std::string RandomBytes(std::size_t size, unsigned seed);

// A desktop folder, a destination folder on the same or another file system,
// and a program folder holding the rule file (one rule that moves every file
// to the destination) and the move log. Runs the mover as a separate process
// under the fault shim and checks what it left behind.
class Scene {
 public:
  enum class Where { kSameFileSystem, kOtherFileSystem };
  explicit Scene(Where where);

  // False (with the reason) when the other file system is not another one here.
  bool Usable(std::string* why) const;

  // Puts a file on the desktop and expects it, whole, from now on.
  void Put(const std::string& name, const std::string& bytes);
  // The file's content changed on purpose (by the test): expect this instead.
  void Expect(const std::string& name, const std::string& bytes) { files_[name] = bytes; }

  // The fault rules with {desktop} and {dest} standing for the folders.
  std::string Expand(std::string rule) const;

  // Runs one mover process (CYCLES cycles) with the fault rules and extra
  // environment; the wait status.
  int Run(const std::string& fault = "", const std::vector<std::string>& env = {}, long cycles = 1);
  std::vector<std::string> MoverCommand(long cycles) const;
  std::vector<std::string> MoverEnvironment(const std::string& fault, const std::vector<std::string>& env) const;

  // The faults the shim acted on since the last call, one "CALL ACTION" each.
  std::vector<std::string> TakeFired();

  // What a killed run may leave: a file twice with identical bytes (the copy
  // published, the source not yet removed), a move without its log line, and
  // our hidden temporary files.
  enum Allowance : unsigned { kNothing = 0, kTwice = 1, kStrayTemporaries = 2 };

  // Every expected file is whole on the desktop or at the destination, once;
  // nothing else lies in either folder (no temporary file, hidden or not); the
  // log names each file at most once and only files that left the desktop,
  // and has exactly one line per moved file; except for what `allowed`.
  ::testing::AssertionResult Intact(unsigned allowed = kNothing) const;
  // Our temporary files (".veskora-" and six letters) in the destination.
  int StrayTemporaries() const;

  int OnDesktop() const;
  int AtDestination() const;
  std::vector<std::string> LoggedNames() const;

  const std::string& Desktop() const { return desktop_; }
  const std::string& Destination() const { return destination_; }
  std::string LogPath() const { return program_ + "/veskora.log"; }
  std::string RulePath() const { return program_ + "/ZUL.dat"; }

 private:
  testing::TempDir here_;
  testing::TempDir there_;
  std::string desktop_;
  std::string destination_;
  std::string program_;
  std::string report_;
  std::map<std::string, std::string> files_;
};

void PrintTo(Scene::Where where, std::ostream* out);

// Names in a folder, hidden ones included, sorted.
std::vector<std::string> Names(const std::string& folder);

// A tmpfs mounted on a fresh folder for as long as the object lives (root
// only; Mounted() tells).
class TmpfsMount {
 public:
  TmpfsMount(const std::string& folder, const std::string& options, unsigned long flags = 0);
  ~TmpfsMount();
  TmpfsMount(const TmpfsMount&) = delete;
  TmpfsMount& operator=(const TmpfsMount&) = delete;

  bool Mounted() const { return mounted_; }
  const std::string& Error() const { return error_; }
  const std::string& Path() const { return path_; }
  // Mounts it again with other options or flags (MS_RDONLY, a new size).
  bool Remount(const std::string& options, unsigned long flags = 0) const;

 private:
  std::string path_;
  bool mounted_ = false;
  std::string error_;
};

}  // namespace veskora::faults
