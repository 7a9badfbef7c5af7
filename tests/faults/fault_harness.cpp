#include "fault_harness.h"

#include <algorithm>
#include <filesystem>
#include <set>
#include <sstream>

namespace veskora::faults {

namespace fs = std::filesystem;
using testing::Exists;
using testing::ReadFile;
using testing::WriteFile;

std::string MoveDriverPath() { return VESKORA_MOVE_DRIVER; }

std::string FaultPreload() {
  const std::string runtime = VESKORA_PRELOAD_RUNTIME;
  return runtime.empty() ? std::string(VESKORA_FAULT_SHIM) : runtime + ":" + VESKORA_FAULT_SHIM;
}

std::vector<std::string> Names(const std::string& folder) {
  std::vector<std::string> names;
  std::error_code ec;
  for (const auto& entry : fs::directory_iterator(folder, ec)) names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

Scene::Scene(Where where)
    : where_(where),
      desktop_(here_.MakeDir("Desktop")),
      destination_(where == Where::kOther ? there_.Path() : here_.MakeDir("Target")),
      program_(here_.MakeDir("program")),
      report_(here_ / "faults-acted-on") {
  WriteFile(RulePath(), "-1,1,," + destination_ + "\r\n");
}

void Scene::Put(const std::string& name, const std::string& bytes) {
  WriteFile(desktop_ + "/" + name, bytes);
  files_[name] = bytes;
}

std::vector<std::string> Scene::Command(long cycles, long pauseMs) const {
  return {MoveDriverPath(),       RulePath(), desktop_, LogPath(), "--cycles", std::to_string(cycles), "--pause-ms",
          std::to_string(pauseMs)};
}

std::vector<std::string> Scene::Environment(const std::string& fault) const {
  return {"LD_PRELOAD=" + FaultPreload(), "VESKORA_FAULT=" + Expand(fault), "VESKORA_FAULT_REPORT=" + report_};
}

std::string Scene::Expand(std::string rule) const {
  for (const auto& [mark, path] : {std::pair<std::string, std::string>{"{desktop}", desktop_},
                                   std::pair<std::string, std::string>{"{dest}", destination_}}) {
    for (std::size_t at; (at = rule.find(mark)) != std::string::npos;) rule.replace(at, mark.size(), path);
  }
  return rule;
}

std::string Scene::Run(const std::string& fault, long cycles) {
  testing::Child mover(Command(cycles), Environment(fault));
  return testing::DescribeStatus(mover.Wait());
}

std::vector<std::string> Scene::TakeFired() {
  std::vector<std::string> lines;
  if (!Exists(report_)) return lines;
  std::istringstream in(ReadFile(report_));
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  fs::remove(report_);
  return lines;
}

std::vector<std::string> Scene::LoggedNames() const {
  std::vector<std::string> names;
  if (!Exists(LogPath())) return names;
  std::istringstream in(ReadFile(LogPath()));
  for (std::string line; std::getline(in, line);) {
    const std::size_t start = line.find("] ");
    const std::size_t end = line.find(" を ");
    if (start != std::string::npos && end != std::string::npos)
      names.push_back(line.substr(start + 2, end - start - 2));
  }
  return names;
}

int Scene::OnDesktop() const {
  return static_cast<int>(std::count_if(files_.begin(), files_.end(),
                                        [this](const auto& file) { return Exists(desktop_ + "/" + file.first); }));
}

int Scene::AtDestination() const {
  return static_cast<int>(std::count_if(files_.begin(), files_.end(),
                                        [this](const auto& file) { return Exists(destination_ + "/" + file.first); }));
}

::testing::AssertionResult Scene::Intact(bool killed) const {
  // Every place a file may be, with what is found there.
  std::vector<std::string> folders = {desktop_, destination_};
  for (const std::string& name : Names(desktop_)) {
    if (name.rfind(".veskora-claim-", 0) == 0) {
      if (!killed) return ::testing::AssertionFailure() << "a claim is left: " << name;
      folders.push_back(desktop_ + "/" + name);
    }
  }
  std::set<std::string> expected;
  for (const auto& file : files_) expected.insert(file.first);
  for (const std::string& folder : folders) {
    for (const std::string& name : Names(folder)) {
      const bool ours = name.rfind(".veskora-claim-", 0) == 0 || (killed && name.rfind(".veskora-tmp-", 0) == 0);
      if (ours && (folder == desktop_ || folder == destination_)) continue;
      if (!expected.count(name)) return ::testing::AssertionFailure() << "unexpected " << folder << "/" << name;
    }
  }
  for (const auto& [name, bytes] : files_) {
    int copies = 0;
    for (const std::string& folder : folders) {
      const std::string path = folder + "/" + name;
      if (!Exists(path)) continue;
      ++copies;
      if (ReadFile(path) != bytes) return ::testing::AssertionFailure() << path << " is not whole";
    }
    if (copies == 0) return ::testing::AssertionFailure() << name << " is lost";
    if (copies > (killed ? 2 : 1)) return ::testing::AssertionFailure() << name << " lies " << copies << " times";
  }
  std::set<std::string> logged;
  for (const std::string& name : LoggedNames()) {
    if (!logged.insert(name).second) return ::testing::AssertionFailure() << name << " is logged twice";
    if (!Exists(destination_ + "/" + name)) return ::testing::AssertionFailure() << name << " logged, not moved";
  }
  if (!killed && static_cast<int>(logged.size()) != AtDestination()) {
    return ::testing::AssertionFailure() << AtDestination() << " moved but " << logged.size() << " logged";
  }
  return ::testing::AssertionSuccess();
}

}  // namespace veskora::faults
