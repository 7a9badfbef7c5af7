#pragma once

#include <string>
#include <string_view>

#include "adapters/posix/unique_fd.h"

namespace veskora {

// What this program puts in a user's folder for the moment of a move lies in
// a private folder of ours, hidden and named in one exact form:
//   .veskora-claim-PID-RANDOM/  mode 0700
//     .veskora-owner            who made it (see process_owner.h), written first
//     NAME                      a file taken out of everyone's way while it is copied
//     .veskora-tmp              a copy or link being made
// What a run that was killed left is recovered by a later one, but only from
// a folder of that form that holds this user's owner record of a process that
// has ended: a user's own entry named alike (a desktop restored from a
// backup, synced from another machine) is never touched.
inline constexpr const char* kPrivateTemp = ".veskora-tmp";

// A new private folder in `dirFd` with our owner record in it. When it goes
// the folder goes too, unless something is left inside: then it stays, with
// the record, for a later recovery to give that back.
class PrivateFolder {
 public:
  explicit PrivateFolder(int dirFd);
  ~PrivateFolder();
  PrivateFolder(const PrivateFolder&) = delete;
  PrivateFolder& operator=(const PrivateFolder&) = delete;

  // 0 when made, else an errno value.
  int Error() const { return error_; }
  int Fd() const { return fd_.Get(); }
  const std::string& Name() const { return name_; }

 private:
  int dirFd_;
  std::string name_;
  UniqueFd fd_;
  int error_ = 0;
};

// Whether a name is one a private folder may have.
bool IsPrivateFolderName(std::string_view name);

// A free visible name beside `name` for a file that cannot have its own back:
// "report (2).pdf", "report (3).pdf", ...; a stem too long for that is cut
// short. Empty when none is free.
std::string FreeNameBeside(int dirFd, const std::string& name);

// Gives the file `name` in the folder `fromFd` back to the folder `toFd`, under
// its name or, when a new file has taken that, a free name beside it (a mere
// second name of the file that has the name is dropped). 0 or an errno value.
int GiveBack(int fromFd, int toFd, const std::string& name);

// Recovers what killed runs left in the folder: in the private folder `name`
// only, or in all of them; or in the folder at `path`. A claimed file gets its
// name back, a temporary goes.
void RecoverLeftovers(int dirFd, std::string_view name);
void SweepLeftovers(int dirFd);
void SweepLeftovers(const std::string& path);

}  // namespace veskora
