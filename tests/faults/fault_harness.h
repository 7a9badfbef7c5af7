#pragma once

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "other_file_system.h"
#include "temp_dir.h"
#include "test_processes.h"

namespace veskora::faults {

// The mover without the window (move_driver.cpp) as this build made it.
std::string MoveDriverPath();

// The value of LD_PRELOAD that puts the fault shim into a program of this
// build: after the sanitizer runtime when that is a shared library, which
// must come first.
std::string FaultPreload();

// A desktop folder, a destination folder on the same or another file system,
// and a program folder holding the rule file (one rule that moves every file
// to the destination) and the move log. Runs the mover as a separate process
// under the fault shim and checks what it left behind.
class Scene {
 public:
  enum class Where { kSame, kOther };
  explicit Scene(Where where);

  // False when the other file system is not another one here; Why() says so.
  bool Usable() const { return where_ == Where::kSame || there_.Usable(); }
  const std::string& Why() const { return there_.Why(); }

  // Puts a file on the desktop and expects it, whole, from now on.
  void Put(const std::string& name, const std::string& bytes);
  // The mover's command line and environment for CYCLES cycles (-1: until
  // SIGTERM) under the fault rules.
  std::vector<std::string> Command(long cycles, long pauseMs = 0) const;
  std::vector<std::string> Environment(const std::string& fault) const;
  // Runs one mover process to its end; the wait status, described.
  std::string Run(const std::string& fault = "", long cycles = 1);
  // The faults the shim acted on since the last call, one "CALL ACTION" each.
  std::vector<std::string> TakeFired();

  // Every expected file is whole, once, on the desktop or at the destination;
  // nothing else lies in either folder; the log names each moved file once
  // and nothing else. After a killed run a file may also lie twice with the
  // same bytes, wait claimed in our private folder on the desktop, or be moved
  // without its log line, and a temporary of ours may be left.
  ::testing::AssertionResult Intact(bool killed = false) const;

  int OnDesktop() const;
  int AtDestination() const;
  std::vector<std::string> LoggedNames() const;

  const std::string& Desktop() const { return desktop_; }
  const std::string& Destination() const { return destination_; }
  std::string LogPath() const { return program_ + "/veskora.log"; }
  std::string RulePath() const { return program_ + "/ZUL.dat"; }

 private:
  // The fault rules with {desktop} and {dest} standing for the folders.
  std::string Expand(std::string rule) const;

  Where where_;
  testing::TempDir here_;
  testing::OtherFileSystem there_;
  std::string desktop_;
  std::string destination_;
  std::string program_;
  std::string report_;
  std::map<std::string, std::string> files_;
};

// Names in a folder, hidden ones included, sorted.
std::vector<std::string> Names(const std::string& folder);

}  // namespace veskora::faults
