#include "mover/rest_gate.h"

namespace veskora {

namespace {

// Long enough that a desktop at rest costs nothing worth measuring, short
// enough that a change no event reported waits no longer than a coffee.
constexpr std::int64_t kLongestRestSeconds = 300;

// Seconds counted from the local calendar; only differences are used, and a
// step back (summer time ending, the clock set) counts as time up.
std::int64_t CalendarSeconds(const LocalTime& t) {
  const std::int64_t y = t.year - (t.month <= 2 ? 1 : 0);
  const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
  const std::int64_t yearOfEra = y - era * 400;
  const std::int64_t dayOfYear = (153 * (t.month + (t.month > 2 ? -3 : 9)) + 2) / 5 + t.day - 1;
  const std::int64_t dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
  const std::int64_t days = era * 146097 + dayOfEra;
  return ((days * 24 + t.hour) * 60 + t.minute) * 60 + t.second;
}

// The file system as the cycle uses it, noting whether a move that a rule
// asked for did not happen for a reason that no event of the desktop shows.
class WaitingTally final : public FileSystem {
 public:
  explicit WaitingTally(FileSystem& files) : files_(files) {}
  std::optional<FolderListing> List(const std::string& folder) override { return files_.List(folder); }
  std::optional<FileFacts> Facts(const std::string& folder, const std::string& name) override {
    return files_.Facts(folder, name);
  }
  std::optional<FileIdentity> Identity(const std::string& folder, const std::string& name) override {
    return files_.Identity(folder, name);
  }
  MoveOutcome Check(const std::string& folder, const std::string& name, const std::string& destination) override {
    return files_.Check(folder, name, destination);
  }
  MoveOutcome Move(const std::string& folder, const std::string& name, const std::string& destination,
                   FileIdentity* arrived) override {
    const MoveOutcome outcome = files_.Move(folder, name, destination, arrived);
    // A file that went is an event of its own.
    waiting_ = waiting_ || (outcome != MoveOutcome::kMoved && outcome != MoveOutcome::kSourceMissing);
    return outcome;
  }
  bool Waiting() const { return waiting_; }

 private:
  FileSystem& files_;
  bool waiting_ = false;
};

}  // namespace

bool RestGate::Rearm(const std::string& desktop) {
  if (armedOn_ == desktop && reach_ != WatchReach::kNone) return false;
  reach_ = watch_->Arm(desktop);
  armedOn_ = desktop;
  return true;
}

bool RestGate::ShouldRun(const std::string& desktop) {
  if (!watch_) return true;
  const bool rearmed = Rearm(desktop);
  // Read even when the answer is known already, so that what happened
  // before this cycle's listing is not taken for news at the next tick.
  const WatchNews news = watch_->Poll();
  if (news == WatchNews::kFolderGone) armedOn_.reset();
  const std::int64_t now = CalendarSeconds(clock_.Now());
  const bool run = rearmed || news != WatchNews::kNothing || reach_ != WatchReach::kEverything || wake_ || waiting_ ||
                   now < lastRun_ || now - lastRun_ >= kLongestRestSeconds;
  if (run) {
    wake_ = false;
    lastRun_ = now;
  }
  return run;
}

void RunTick(RestGate& gate, const RuleList& rules, const ScanEnvironment& env) {
  const std::string desktop = env.desktopFolder ? env.desktopFolder() : std::string();
  if (!gate.ShouldRun(desktop) || !env.files) return;
  WaitingTally tally(*env.files);
  ScanEnvironment once = env;
  once.desktopFolder = [&desktop] { return desktop; };
  once.files = &tally;
  RunScanCycle(rules, once);
  gate.CycleLeft(tally.Waiting());
}

}  // namespace veskora
