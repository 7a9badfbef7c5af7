#pragma once

#include <compare>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "mover/conditions.h"
#include "mover/rule_matcher.h"
#include "ports/file_system.h"
#include "rules/rule_list.h"

namespace veskora {

// What happens to a file that a row decides.
enum class Outcome {
  kMoves,          // into the row's destination
  kProtected,      // the row protects it
  kNoFolder,       // the row names no folder ("(未定義)", empty, or no full path)
  kInUse,          // still arriving, or another program writes it
  kNameTaken,      // the destination already has an entry of that name
  kNoDestination,  // the destination is missing or not a folder
  kGone,           // the file went away since it was listed
  kPutBack,        // the user put it back and it has not changed since
  kMoveFailed,     // the cycle's move failed though the destination is a folder; tried again later
};

// A file that the user put back, as it was then: while a desktop file is
// still exactly so, the rules leave it alone.
struct PutBackFile {
  std::uint64_t device = 0;
  std::uint64_t inode = 0;
  std::uint64_t size = 0;
  std::int64_t mtime = 0;
  std::int64_t ctime = 0;

  friend auto operator<=>(const PutBackFile&, const PutBackFile&) = default;
};
using PutBackFiles = std::set<PutBackFile>;
PutBackFile PutBackOf(const FileFacts& facts);

struct DesktopListing {
  std::string folder;
  FolderListing entries;  // sorted by bytes, as FileSystem::List gives it
};

// What the judge reads: the rows, their matcher (built from those very rows),
// the file system, the files put back, and whether the platform is asked if
// each move would succeed (plan and why ask; a cycle lets the move answer).
struct JudgeInput {
  const RuleList& rules;
  const RuleMatcher& matcher;
  FileSystem& files;
  const PutBackFiles* putBack = nullptr;
  bool askPlatform = true;
};

struct JudgedFile {
  std::size_t index = 0;  // in the listing
  int row = 0;            // the deciding row, from 1
  Outcome outcome = Outcome::kMoves;
};

// Every file of the listing that some enabled row decides, in listing order,
// with what would happen to it now. Nothing is changed.
std::vector<JudgedFile> JudgeListing(const DesktopListing& listing, const JudgeInput& input);

// The platform's answer to a move, in the judge's words.
Outcome FromMove(MoveOutcome outcome);

// Files that a row wants and that stay for a reason that may pass by itself.
bool Waits(Outcome outcome);

// Whether the cycle looks at a name on the desktop at all.
enum class Sight {
  kLookedAt,  // a file (or a link to one): the rows judge it
  kHidden,    // its name begins with "."
  kNotAFile,  // a folder, a device, a pipe, a socket, or a link to one
  kMissing,   // no such name on the desktop
};

// One row against the file.
struct RowVerdict {
  int row = 0;  // from 1
  bool enabled = false;
  bool matches = false;  // only an enabled row matches
  // What the condition compared of the file: its name, its extension, its
  // size in bytes or its time as 14 digits; empty for a size or time that
  // cannot be read, and for a kind that never matches.
  std::string fileValue;
};

struct FileExplanation {
  Sight sight = Sight::kMissing;
  std::optional<FileFacts> facts;
  std::vector<RowVerdict> rows;        // every row, in order
  std::optional<JudgedFile> decision;  // the judge's answer for the file
};

// Why the file `name` of the listed desktop moves or stays: the judge's
// answer, and every row's verdict with the values it compared.
FileExplanation ExplainFile(const DesktopListing& listing, const std::string& name, const JudgeInput& input);

}  // namespace veskora
