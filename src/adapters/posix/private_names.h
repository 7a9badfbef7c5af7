#pragma once

#include <sys/types.h>

#include <optional>
#include <string>
#include <string_view>

namespace veskora {

// The entries this program makes in a user's folder for the moment of a move
// are hidden and named in one exact form, with the process id and a random
// part, so they are never taken for a user's file (nor a user's file for one)
// and those left by a run that was killed can be told and cleaned up:
//   .veskora-tmp-PID-RANDOM    a copy being written
//   .veskora-claim-PID-RANDOM  a folder holding a file, under its own name,
//                              taken out of the way while it is copied
struct PrivateName {
  bool claim = false;
  pid_t pid = 0;
};

std::string TempName();
std::string ClaimFolderName();
std::optional<PrivateName> ParsePrivateName(std::string_view name);

// Whether the process that made a private name has ended, or is this one: a
// move leaves nothing private behind when it returns, so whatever is found
// between moves is left over.
bool LeftOver(const PrivateName& name);

// A free visible name beside `name` for a file that cannot have its own back:
// "report (2).pdf", "report (3).pdf", ...; empty when none is free.
std::string FreeNameBeside(int dirFd, const std::string& name);

// Gives the file `name` in the folder `fromFd` back to the folder `toFd`, under
// its name or, when a new file has taken that, a free name beside it (a mere
// second name of the file that has the name is dropped). 0 or an errno value.
int GiveBack(int fromFd, int toFd, const std::string& name);

// Cleans up what a killed run left in the folder under the private name
// `name`: a temporary goes, a claimed file gets its name back. Only this
// user's entries are touched.
void RecoverLeftovers(int dirFd, std::string_view name);

}  // namespace veskora
