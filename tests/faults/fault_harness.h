// A desktop, a destination on the same or another file system, and a program
// folder with the rule file (one rule moving every file there) and the move
// log; the mover (move_driver.cpp) run as its own process under the fault
// shim, and what it left behind.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "other_file_system.h"
#include "temp_dir.h"
#include "test_processes.h"

namespace veskora::faults {

using testing::Exists;
using testing::ReadFile;

// LD_PRELOAD for the fault shim: after the sanitizer runtime when that is a
// shared library, which must come first.
inline std::string FaultPreload() {
  const std::string runtime = VESKORA_PRELOAD_RUNTIME;
  return runtime.empty() ? std::string(VESKORA_FAULT_SHIM) : runtime + ":" + VESKORA_FAULT_SHIM;
}

// Names in a folder, hidden ones included, sorted; lines of a file.
inline std::vector<std::string> Names(const std::string& folder) {
  std::vector<std::string> names;
  std::error_code ec;
  for (const auto& entry : std::filesystem::directory_iterator(folder, ec)) names.push_back(entry.path().filename());
  std::sort(names.begin(), names.end());
  return names;
}
inline std::vector<std::string> Lines(const std::string& path) {
  std::vector<std::string> lines;
  std::istringstream in(Exists(path) ? ReadFile(path) : "");
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

class Scene {
 public:
  enum class Where { kSame, kOther };
  explicit Scene(Where where)
      : where_(where),
        desktop_(here_.MakeDir("Desktop")),
        destination_(where == Where::kOther ? there_.Path() : here_.MakeDir("Target")),
        program_(here_.MakeDir("program")),
        report_(here_ / "faults-acted-on") {
    testing::WriteFile(RulePath(), "-1,1,," + destination_ + "\r\n");
  }

  // False when the other file system is not another one here; Why() says so.
  bool Usable() const { return where_ == Where::kSame || there_.Usable(); }
  const std::string& Why() const { return there_.Why(); }
  const std::string& Desktop() const { return desktop_; }
  const std::string& Destination() const { return destination_; }
  std::string LogPath() const { return program_ + "/veskora.log"; }
  std::string RulePath() const { return program_ + "/ZUL.dat"; }

  // Puts a file on the desktop and expects it, whole, from now on.
  void Put(const std::string& name, const std::string& bytes) {
    testing::WriteFile(desktop_ + "/" + name, bytes);
    files_[name] = bytes;
  }
  // The mover for CYCLES cycles (-1: until SIGTERM) over the desktop or
  // another folder, and its environment under FAULT ({dest}: the destination).
  std::vector<std::string> Command(long cycles, long pauseMs = 0, const std::string& desktop = "") const {
    return {VESKORA_MOVE_DRIVER,    RulePath(), desktop.empty() ? desktop_ : desktop, LogPath(), std::to_string(cycles),
            std::to_string(pauseMs)};
  }
  std::vector<std::string> Environment(std::string fault) const {
    if (const std::size_t at = fault.find("{dest}"); at != std::string::npos) fault.replace(at, 6, destination_);
    return {"LD_PRELOAD=" + FaultPreload(), "VESKORA_FAULT=" + fault, "VESKORA_FAULT_REPORT=" + report_,
            "VESKORA_WAITING=" + program_ + "/waiting"};
  }
  // The files the last cycle left waiting, "NAME REASON" each, one a line.
  std::string Waiting() const { return Exists(program_ + "/waiting") ? ReadFile(program_ + "/waiting") : ""; }
  // Runs one mover process to its end; the wait status, described.
  std::string Run(const std::string& fault = "", long cycles = 1) const {
    return testing::DescribeStatus(testing::Child(Command(cycles), Environment(fault)).Wait());
  }
  // The faults the shim acted on since the last call, one "CALL ACTION" each.
  std::vector<std::string> TakeFired() const {
    std::vector<std::string> lines = Lines(report_);
    std::filesystem::remove(report_);
    return lines;
  }
  std::vector<std::string> LoggedNames() const {
    std::vector<std::string> names;
    for (const std::string& line : Lines(LogPath())) {
      const std::size_t start = line.find("] "), end = line.find(" を ");
      if (start != std::string::npos && end != std::string::npos)
        names.push_back(line.substr(start + 2, end - start - 2));
    }
    return names;
  }
  int AtDestination() const {
    return static_cast<int>(std::count_if(
        files_.begin(), files_.end(), [this](const auto& file) { return Exists(destination_ + "/" + file.first); }));
  }

  // Every expected file is whole, once, on the desktop or at the destination;
  // nothing else lies in either folder; the log names each moved file once
  // and nothing else. After a killed run a file may also lie twice with the
  // same bytes, wait claimed in our private folder on the desktop, or be moved
  // without its log line, and a private folder of ours may be left.
  ::testing::AssertionResult Intact(bool killed = false) const {
    const auto fail = [] { return ::testing::AssertionFailure(); };
    const auto ours = [](const std::string& name, const char* kind) { return name.rfind(kind, 0) == 0; };
    std::vector<std::string> folders = {desktop_, destination_};
    for (const std::string& name : Names(desktop_)) {
      if (ours(name, ".veskora-claim-")) folders.push_back(desktop_ + "/" + name);
    }
    for (std::size_t i = 0; i < folders.size(); ++i) {
      for (const std::string& name : Names(folders[i])) {
        if (name[0] == '.' && !ours(name, ".veskora-")) continue;  // a user's, never moved
        const bool leftover = killed && ours(name, i < 2 ? ".veskora-claim-" : ".veskora-");
        if (!files_.count(name) && !leftover) return fail() << "unexpected " << folders[i] << "/" << name;
      }
    }
    for (const auto& [name, bytes] : files_) {
      int copies = 0;
      for (const std::string& folder : folders) {
        if (!Exists(folder + "/" + name)) continue;
        if (ReadFile(folder + "/" + name) != bytes) return fail() << folder << "/" << name << " is not whole";
        ++copies;
      }
      if (copies == 0) return fail() << name << " is lost";
      if (copies > (killed ? 2 : 1)) return fail() << name << " lies " << copies << " times";
    }
    std::set<std::string> logged;
    for (const std::string& name : LoggedNames()) {
      if (!logged.insert(name).second) return fail() << name << " is logged twice";
      if (!Exists(destination_ + "/" + name)) return fail() << name << " logged, not moved";
    }
    if (!killed && static_cast<int>(logged.size()) != AtDestination()) {
      return fail() << AtDestination() << " moved but " << logged.size() << " logged";
    }
    return ::testing::AssertionSuccess();
  }

 private:
  Where where_;
  testing::TempDir here_;
  testing::OtherFileSystem there_;
  std::string desktop_, destination_, program_, report_;
  std::map<std::string, std::string> files_;
};

}  // namespace veskora::faults
