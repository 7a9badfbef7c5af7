#include "adapters/posix/move_memory.h"

#include <algorithm>

#include "adapters/posix/writer_probe.h"

namespace veskora {

namespace {

constexpr std::uint64_t kLongestRest = 128;

}  // namespace

MoveMemory::Look MoveMemory::LookOf(const struct stat& st) {
  return {st.st_size, st.st_mtim.tv_sec, st.st_mtim.tv_nsec, st.st_ctim.tv_sec, st.st_ctim.tv_nsec};
}

void MoveMemory::NextCycle() {
  ++cycle_;
  previous_ = std::move(current_);
  current_.clear();
  // Device numbers of unmounted file systems are given out again.
  leasesSeeAll_.clear();
  // A failure long past its retry is forgotten: the file has gone or moved.
  std::erase_if(failures_, [this](const auto& entry) { return entry.second.retryAt + kLongestRest < cycle_; });
}

std::uint64_t MoveMemory::Rested(const struct stat& st) {
  const Look look = LookOf(st);
  const auto seen = previous_.find(KeyOf(st));
  const std::uint64_t since = seen != previous_.end() && seen->second.look == look ? seen->second.since : cycle_;
  current_[KeyOf(st)] = {look, since};
  return cycle_ - since;
}

bool MoveMemory::Resting(const struct stat& st, const std::string& destination) {
  const auto failed = failures_.find(KeyOf(st));
  if (failed == failures_.end()) return false;
  const Failure& f = failed->second;
  if (f.content != ContentOf(st) || f.destination != destination) {
    failures_.erase(failed);
    return false;
  }
  return cycle_ < f.retryAt;
}

void MoveMemory::CopyFailed(const struct stat& st, const std::string& destination) {
  auto [entry, fresh] = failures_.try_emplace(KeyOf(st), Failure{ContentOf(st), destination, 0, 2});
  Failure& f = entry->second;
  if (!fresh) f.wait = std::min(f.wait * 2, kLongestRest);
  f.content = ContentOf(st);
  f.destination = destination;
  f.retryAt = cycle_ + f.wait;
}

bool MoveMemory::LeasesSeeEveryOpener(int fd, dev_t device) {
  const auto known = leasesSeeAll_.find(device);
  if (known != leasesSeeAll_.end()) return known->second;
  return leasesSeeAll_[device] = veskora::LeasesSeeEveryOpener(fd);
}

}  // namespace veskora
