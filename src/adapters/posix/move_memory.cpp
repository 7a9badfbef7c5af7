#include "adapters/posix/move_memory.h"

#include <algorithm>

#include "adapters/posix/writer_probe.h"

namespace veskora {

namespace {

// Longer than the longest back-off of a refused move (128 ticks), in cycles,
// which are never more than ticks.
constexpr std::uint64_t kForgetAfter = 256;

}  // namespace

MoveMemory::Look MoveMemory::LookOf(const struct stat& st) {
  return {st.st_size, st.st_mtim.tv_sec, st.st_mtim.tv_nsec, st.st_ctim.tv_sec, st.st_ctim.tv_nsec};
}

void MoveMemory::NextCycle() {
  ++cycle_;
  // Device numbers of unmounted file systems are given out again.
  leasesSeeAll_.clear();
  // A file not looked at for longer than any wait has gone or moved.
  std::erase_if(seen_, [this](const auto& entry) { return entry.second.last + kForgetAfter < cycle_; });
}

std::uint64_t MoveMemory::Rested(const struct stat& st) {
  const Look look = LookOf(st);
  auto [entry, fresh] = seen_.try_emplace(KeyOf(st), Seen{look, cycle_, cycle_});
  Seen& seen = entry->second;
  if (!fresh && !(seen.look == look)) seen = {look, cycle_, cycle_};
  seen.last = cycle_;
  return cycle_ - seen.since;
}

bool MoveMemory::LeasesSeeEveryOpener(int fd, dev_t device) {
  const auto known = leasesSeeAll_.find(device);
  if (known != leasesSeeAll_.end()) return known->second;
  return leasesSeeAll_[device] = veskora::LeasesSeeEveryOpener(fd);
}

}  // namespace veskora
