#pragma once

#include <string>
#include <vector>

#include "temp_dir.h"

namespace veskora::faults {

// The real program in a folder of its own, with its home, desktop, settings
// and runtime folders in the test's folder, shown offscreen: a copy of the
// binary beside its rule file, so the rules and the log live there.
class ProgramSandbox {
 public:
  ProgramSandbox();

  // The program with these extra environment entries.
  std::vector<std::string> Command() const { return {program_ + "/veskora"}; }
  std::vector<std::string> Environment(const std::vector<std::string>& extra = {}) const;

  const std::string& Root() const { return root_.Path(); }
  std::string MakeDir(const std::string& name) const { return root_.MakeDir(name); }
  const std::string& Desktop() const { return desktop_; }
  std::string RulePath() const { return program_ + "/ZUL.dat"; }
  std::string LogPath() const { return program_ + "/veskora.log"; }
  std::string SettingsPath() const { return home_ + "/.config/ZUL/ZUL.ini"; }

 private:
  testing::TempDir root_;
  std::string home_;
  std::string desktop_;
  std::string runtime_;
  std::string program_;
};

}  // namespace veskora::faults
