#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "ports/file_system.h"
#include "ports/clock.h"

namespace veskora {

// One completed move as the move journal keeps it, or the undoing of one. The
// move log says what happened for people; the journal says it exactly enough
// to put the file back, and to know that it is still the file that was moved.
struct JournalRecord {
  bool undo = false;        // undoes the earlier move record with the same fields
  std::string time;         // local time of the move, "YYYY-MM-DD hh:mm:ss"
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

// One line: "move" or "undo", then time, desktop, name, destination, size,
// modification time (seconds since the epoch), device, inode, row and rule,
// comma-separated; an undo adds device, inode, size, mtime and ctime of the
// file as it was put back. LF-terminated. A field holding a comma or a line break, or
// beginning with a double quote, is written in double quotes with inner
// quotes doubled (as in the rule file), so every name and path survives.
std::string FormatJournalRecord(const JournalRecord& record);

struct JournalContents {
  std::vector<JournalRecord> records;  // in the order they were written
  int error = 0;                       // errno when the journal exists but cannot be read
  bool damaged = false;                // some text could not be read as records; it was left out
};

// The whole journal; none at all reads as empty.
JournalContents ParseJournal(std::string_view text);
JournalContents ReadJournal(const std::string& path);

// For each record, whether it is a move that a later record undoes.
std::vector<bool> UndoneMoves(const std::vector<JournalRecord>& records);

// The moves that no later record undoes, newest first.
std::vector<JournalRecord> MovesNotUndone(const std::vector<JournalRecord>& records);

// The files that undos put back, as they were then: the cycle leaves each
// alone while it is Untouched.
std::vector<FileIdentity> PutBackIdentities(const std::vector<JournalRecord>& records);

// "move-journal.csv" in the state folder, where both programs keep it.
std::string DefaultJournalPath();

// The journal file of one program. Records are collected and appended
// together by Flush, so that a cycle of many moves opens the file once. The
// journal is bounded: when it has grown large, or its oldest record is older
// than kKeepDays, it is rewritten with only the newest records (a move and
// its undoing carry the same time and go together).
class MoveJournal {
 public:
  static constexpr int kKeepDays = 90;
  static constexpr std::size_t kKeepRecords = 50000;

  MoveJournal(std::string path, const Clock& clock) : path_(std::move(path)), clock_(clock) {}

  // A move completed now; `arrived` is the file as it lies in the destination.
  // Answers the time it was recorded with.
  std::string AddMove(const std::string& desktop, const std::string& name, const std::string& destination,
                      const FileIdentity& arrived, int row, const std::string& rule);
  void AddUndo(JournalRecord move, const FileIdentity& putBack);
  // Appends what was added since the last flush, in one write. A journal
  // that cannot be written is reported on standard error and its records
  // dropped: the moves stand and the log has them.
  bool Flush();

  const std::string& Path() const { return path_; }

 private:
  bool PruneDue() const;
  void Prune() const;
  std::string Cutoff() const;

  std::string path_;
  const Clock& clock_;
  // The last text given and its field form: desktop, destination and rule
  // repeat from one move of a cycle to the next.
  class FieldMemo {
   public:
    const std::string& Of(const std::string& text);

   private:
    std::string raw_;
    std::string field_;
  };

  std::string pending_;
  FieldMemo desktopField_, destinationField_, ruleField_;
  bool folderMade_ = false;
};

}  // namespace veskora
