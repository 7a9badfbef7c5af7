#pragma once

#include <chrono>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "ports/clock.h"
#include "ports/data_files.h"
#include "ports/file_system.h"

namespace veskora {

// One completed move as the move journal keeps it, or the undoing of one. The
// move log says what happened for people; the journal says it exactly enough
// to put the file back, and to know that it is still the file that was moved.
struct JournalRecord {
  bool undo = false;        // undoes the earlier move record with the same fields
  std::string time;         // local time of the move, "YYYY-MM-DD hh:mm:ss"
  std::string cycle;        // when the cycle (or undo run) that wrote the record began, in the same form
  std::string desktop;      // the folder the file was taken from
  std::string name;         // its name, there and in the destination
  std::string destination;  // the folder it went into, as the row names it
  FileIdentity arrived;     // the file as it lay in the destination right after the move
  int row = 0;              // the rule row that moved it, from 1
  std::string rule;         // that row's key
  FileIdentity putBack;     // of an undo: the file as it was put back (ctime too); none in old journals

  friend bool operator==(const JournalRecord&, const JournalRecord&) = default;
};

// "YYYY-MM-DD hh:mm:ss": sorts as the times do.
std::string FormatJournalTime(const LocalTime& time);

// One line: "move" or "undo", then time, cycle, desktop, name, destination,
// size, modification time (seconds since the epoch), device, inode, row and
// rule, comma-separated; an undo adds device, inode, size, modification and
// status-change time of the file as it was put back (journals written before
// have undos without them). Last comes a checksum of all before it (FNV-1a,
// 32 bits, in hex). Commas, "%" and control bytes inside a field are written as
// %XX, so a record is exactly one line and a line cut short, or run into by
// the next, is told by its checksum.
std::string FormatJournalRecord(const JournalRecord& record);
void AppendJournalRecord(std::string& line, const JournalRecord& record);

struct JournalContents {
  std::vector<JournalRecord> records;  // in the order they were written
  int error = 0;                       // errno when the journal exists but cannot be read
  bool damaged = false;                // some lines could not be read as records; they were left out
  bool ownedAlone = false;             // the file is this user's and nobody else may write it
};

// The whole journal; none at all reads as empty. A damaged line is passed
// over: the records after it are read as ever.
JournalContents ParseJournal(std::string_view text);
JournalContents ReadJournal(DataFiles& files, const std::string& path);

// For each record, whether it is a move that a later record undoes.
std::vector<bool> UndoneMoves(const std::vector<JournalRecord>& records);

// The moves that no later record undoes, newest first.
std::vector<JournalRecord> MovesNotUndone(const std::vector<JournalRecord>& records);

// The files that undos put back, as they were then: the cycle leaves each
// alone while it is Untouched.
std::vector<FileIdentity> PutBackIdentities(const std::vector<JournalRecord>& records);

// The journal file of one program. Each record is appended as it is added,
// under the journal's lock, so a crash loses no completed move. When another
// process keeps the lock longer than a moment, the records wait in memory
// and go with the next append (meanwhile nothing waits for the lock again).
// A run (Hold) takes the lock at once and keeps it from one record to the
// next, so that a record costs one write: it is let go at the run's end,
// before a move that may take long (LetGo), and after kHoldFor, when it is
// taken and let go record by record for kGiveWay, so that whoever waits gets
// a turn.
// The journal keeps the records of the last kKeepDays days, at most
// `keepRecords` of them: older cycles go first, and a cycle goes whole.
class MoveJournal {
 public:
  static constexpr int kKeepDays = 90;
  static constexpr std::size_t kKeepRecords = 200000;
  static constexpr std::chrono::milliseconds kLockWait{1000};
  static constexpr std::chrono::milliseconds kHoldFor{100};
  static constexpr std::chrono::milliseconds kGiveWay{10};

  MoveJournal(DataFiles& files, std::string path, const Clock& clock, std::size_t keepRecords = kKeepRecords)
      : files_(files), path_(std::move(path)), clock_(clock), keepRecords_(keepRecords) {}

  // The records added from now on belong to a new cycle. Appends what waits,
  // without waiting for the lock.
  void BeginCycle();
  // A move completed now; `arrived` is the file as it lies in the destination.
  // Answers the record as the journal keeps it.
  JournalRecord AddMove(const std::string& desktop, const std::string& name, const std::string& destination,
                        const FileIdentity& arrived, int row, const std::string& rule);
  // `putBack` is the file as it lies on the desktop again.
  void AddUndo(JournalRecord move, const FileIdentity& putBack);
  // Appends what waits, waiting for the lock at most `wait`; true when
  // nothing waits any more. Records that cannot be written (the disk is
  // full) are dropped: the moves stand and the log has them.
  bool Flush(std::chrono::milliseconds wait);
  // A run begins (true: the lock is taken now, waiting for it as an append
  // would) or ends (false).
  void Hold(bool run);
  void LetGo();

  const std::string& Path() const { return path_; }

 private:
  struct Tally {
    std::size_t records = 0;
    std::string oldestCycle;
  };

  JournalRecord Add(JournalRecord record);
  void KeepBounded(std::size_t appended);
  void Prune();
  const std::string& Cutoff();

  DataFiles& files_;
  std::string path_;
  const Clock& clock_;
  std::size_t keepRecords_;
  std::string cycle_;
  std::string waiting_;
  std::size_t waitingRecords_ = 0;
  bool behind_ = false;  // the last append found the lock held
  // What the journal holds, read at the first append and counted on since:
  // enough to know when it outgrows its bounds without reading it each time.
  std::optional<Tally> tally_;
  std::pair<std::string, std::string> cutoff_;  // the cycle it was worked out for, and the cutoff then
  bool run_ = false;
  std::unique_ptr<HeldLock> held_;  // kept within a run
  bool checked_ = false;            // an append under held_ looked the path up
  std::chrono::steady_clock::time_point heldSince_, gaveWayAt_;
};

}  // namespace veskora
