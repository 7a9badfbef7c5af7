#include "mover/back_off.h"

#include <algorithm>

namespace veskora {

namespace {

constexpr std::uint64_t kFirstWait = 2;
constexpr std::uint64_t kLongestWait = 128;

}  // namespace

void BackOff::Reset() {
  last_.clear();
  next_.clear();
  earliest_ = std::numeric_limits<std::uint64_t>::max();
}

void BackOff::BeginCycle(const std::string& folder) {
  // Names of another folder are other files.
  if (folder != folder_) Reset();
  folder_ = folder;
  last_ = std::move(next_);
  next_.clear();
}

void BackOff::EndCycle() {
  last_.clear();
  earliest_ = std::numeric_limits<std::uint64_t>::max();
  for (const auto& [name, wait] : next_) earliest_ = std::min(earliest_, wait.retryAt);
}

std::optional<Outcome> BackOff::Resting(const std::string& name, const std::optional<FileFacts>& now) {
  const auto known = last_.find(name);
  if (known == last_.end() || !now || !Same(known->second.look, *now) || known->second.retryAt <= tick_) {
    return std::nullopt;
  }
  next_.insert(*known);
  return known->second.outcome;
}

void BackOff::Refused(const std::string& name, const FileFacts& now, Outcome outcome) {
  const auto known = last_.find(name);
  const bool again = known != last_.end() && Same(known->second.look, now);
  const std::uint64_t wait = again ? std::min(known->second.wait * 2, kLongestWait) : kFirstWait;
  next_[name] = {now, outcome, tick_ + wait, wait};
}

}  // namespace veskora
