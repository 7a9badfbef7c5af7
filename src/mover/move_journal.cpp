#include "mover/move_journal.h"

#include <cerrno>
#include <charconv>
#include <ctime>
#include <tuple>
#include <unordered_map>

#include "mover/decimal_digits.h"
#include "adapters/posix/data_folder.h"
#include "adapters/posix/diagnostics.h"
#include "adapters/posix/file_lock.h"
#include "mover/paths.h"
#include "adapters/posix/text_files.h"
#include "rules/field_codec.h"
#include "mover/local_time.h"

namespace veskora {

namespace {

constexpr std::string_view kMove = "move";
constexpr std::string_view kUndo = "undo";
constexpr std::size_t kFields = 11;
constexpr std::size_t kPutBackFields = 5;
constexpr std::size_t kTimeLength = 19;  // "YYYY-MM-DD hh:mm:ss"
// Pruning starts above the first size and keeps at most the second, so a
// journal is not rewritten at every cycle once it is big.
constexpr std::uint64_t kPruneAboveBytes = 16u << 20;
constexpr std::size_t kKeepBytes = 8u << 20;

template <typename Number>
bool ParseNumber(const std::string& text, Number& out) {
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), out);
  return error == std::errc() && end == text.data() + text.size() && !text.empty();
}

bool ParseRecord(std::vector<std::string>& fields, JournalRecord& record) {
  if (fields.empty()) return false;
  record.undo = fields[0] == kUndo;
  const bool putBack = record.undo && fields.size() == kFields + kPutBackFields;
  if ((fields.size() != kFields && !putBack) || (fields[0] != kMove && !record.undo)) return false;
  FileIdentity& p = record.putBack;
  if (putBack &&
      !(ParseNumber(fields[11], p.device) && ParseNumber(fields[12], p.inode) && ParseNumber(fields[13], p.size) &&
        ParseNumber(fields[14], p.mtime) && ParseNumber(fields[15], p.ctime))) {
    return false;
  }
  record.time = std::move(fields[1]);
  record.desktop = std::move(fields[2]);
  record.name = std::move(fields[3]);
  record.destination = std::move(fields[4]);
  record.rule = std::move(fields[10]);
  return record.time.size() == kTimeLength && ParseNumber(fields[5], record.arrived.size) &&
         ParseNumber(fields[6], record.arrived.mtime) && ParseNumber(fields[7], record.arrived.device) &&
         ParseNumber(fields[8], record.arrived.inode) && ParseNumber(fields[9], record.row);
}

void AppendText(std::string& out, std::string_view text) {
  out.push_back(',');
  AppendField(out, text);
}

template <typename Number>
void AppendNumber(std::string& out, Number number) {
  char digits[24];
  const auto result = std::to_chars(digits, digits + sizeof digits, number);
  out.push_back(',');
  out.append(digits, result.ptr);
}

// Written straight into the text collected for one flush: a cycle of many
// moves pays for no record objects. Desktop, destination and rule come as
// fields already (quoted where they need it): they repeat from move to move.
void AppendRecord(std::string& out, bool undo, std::string_view time, std::string_view desktopField,
                  std::string_view name, std::string_view destinationField, const FileIdentity& arrived, int row,
                  std::string_view ruleField) {
  out += undo ? kUndo : kMove;
  AppendText(out, time);
  out.append(",").append(desktopField);
  AppendText(out, name);
  out.append(",").append(destinationField);
  AppendNumber(out, arrived.size);
  AppendNumber(out, arrived.mtime);
  AppendNumber(out, arrived.device);
  AppendNumber(out, arrived.inode);
  AppendNumber(out, row);
  out.append(",").append(ruleField);
  out.push_back('\n');
}

std::string Field(std::string_view text) {
  std::string field;
  AppendField(field, text);
  return field;
}

// What identifies a move: every field but the kind and what an undo adds.
std::string MoveKey(JournalRecord record) {
  record.undo = false;
  record.putBack = {};
  return FormatJournalRecord(record);
}

}  // namespace

const std::string& MoveJournal::FieldMemo::Of(const std::string& text) {
  if (text != raw_ || field_.empty()) {
    raw_ = text;
    field_ = Field(text);
  }
  return field_;
}

std::string FormatJournalTime(const LocalTime& t) {
  std::string text = "0000-00-00 00:00:00";
  for (const auto& [at, value, width] : {std::tuple{0, t.year, 4},
                                         {5, t.month, 2},
                                         {8, t.day, 2},
                                         {11, t.hour, 2},
                                         {14, t.minute, 2},
                                         {17, t.second, 2}}) {
    PutDigits(&text[static_cast<std::size_t>(at)], value < 0 ? 0 : value, width);
  }
  return text;
}

std::string FormatJournalRecord(const JournalRecord& r) {
  std::string line;
  AppendRecord(line, r.undo, r.time, Field(r.desktop), r.name, Field(r.destination), r.arrived, r.row, Field(r.rule));
  if (!r.undo) return line;
  line.pop_back();
  for (const auto number : {r.putBack.device, r.putBack.inode, r.putBack.size}) AppendNumber(line, number);
  AppendNumber(line, r.putBack.mtime);
  AppendNumber(line, r.putBack.ctime);
  line.push_back('\n');
  return line;
}

JournalContents ParseJournal(std::string_view text) {
  JournalContents contents;
  RecordReader reader(text);
  while (auto fields = reader.Next()) {
    JournalRecord record;
    if (ParseRecord(*fields, record)) {
      contents.records.push_back(std::move(record));
    } else {
      contents.damaged = true;
    }
  }
  contents.damaged = contents.damaged || reader.Failed();
  return contents;
}

JournalContents ReadJournal(const std::string& path) {
  const ReadResult read = ReadWholeFile(path);
  if (read.error == ENOENT) return {};
  if (read.error != 0) return JournalContents{{}, read.error, false};
  return ParseJournal(read.bytes);
}

std::vector<bool> UndoneMoves(const std::vector<JournalRecord>& records) {
  std::vector<bool> undone(records.size(), false);
  // Moves not yet undone, by what identifies them; an undo takes the latest.
  std::unordered_map<std::string, std::vector<std::size_t>> open;
  for (std::size_t i = 0; i < records.size(); ++i) {
    auto& same = open[MoveKey(records[i])];
    if (!records[i].undo) {
      same.push_back(i);
    } else if (!same.empty()) {
      undone[same.back()] = true;
      same.pop_back();
    }
  }
  return undone;
}

std::vector<JournalRecord> MovesNotUndone(const std::vector<JournalRecord>& records) {
  const std::vector<bool> undone = UndoneMoves(records);
  std::vector<JournalRecord> moves;
  for (std::size_t i = records.size(); i-- > 0;) {
    if (!records[i].undo && !undone[i]) moves.push_back(records[i]);
  }
  return moves;
}

std::vector<FileIdentity> PutBackIdentities(const std::vector<JournalRecord>& records) {
  std::vector<FileIdentity> files;
  for (const JournalRecord& record : records) {
    if (record.undo && record.putBack.inode != 0) files.push_back(record.putBack);
  }
  return files;
}

std::string DefaultJournalPath() { return StateFolderPath() + "/move-journal.csv"; }

std::string MoveJournal::AddMove(const std::string& desktop, const std::string& name, const std::string& destination,
                                 const FileIdentity& arrived, int row, const std::string& rule) {
  if (pending_.capacity() == 0) pending_.reserve(std::size_t{1} << 16);
  std::string time = FormatJournalTime(clock_.Now());
  AppendRecord(pending_, false, time, desktopField_.Of(desktop), name, destinationField_.Of(destination), arrived, row,
               ruleField_.Of(rule));
  return time;
}

void MoveJournal::AddUndo(JournalRecord move, const FileIdentity& putBack) {
  move.undo = true;
  move.putBack = putBack;
  pending_ += FormatJournalRecord(move);
}

bool MoveJournal::Flush() {
  if (pending_.empty()) return true;
  const std::string bytes = std::move(pending_);
  pending_.clear();
  if (!folderMade_) {
    MakeFolders(std::string(ParentOf(path_)));
    folderMade_ = true;
  }
  // Appending needs no lock (one write to a file opened for appending); it
  // is taken so that no prune rewrites the file under the append.
  const FileLock lock(path_ + ".lock");
  if (!AppendToFile(path_, bytes)) {
    Diagnose("cannot write the move journal " + path_);
    return false;
  }
  if (lock.Held() && PruneDue()) Prune();
  return true;
}

std::string MoveJournal::Cutoff() const {
  const LocalTime now = clock_.Now();
  std::tm tm{};
  tm.tm_year = now.year - 1900;
  tm.tm_mon = now.month - 1;
  tm.tm_mday = now.day - kKeepDays;  // mktime carries it into earlier months
  tm.tm_hour = now.hour;
  tm.tm_min = now.minute;
  tm.tm_sec = now.second;
  tm.tm_isdst = -1;
  return FormatJournalTime(ToLocalTime(static_cast<std::int64_t>(std::mktime(&tm))));
}

// Due when the file is big, or its first record is older than the cutoff:
// both told by one stat and one short read, whatever the journal's length.
bool MoveJournal::PruneDue() const {
  const std::optional<FileHead> head = ReadFileHead(path_, kMove.size() + 1 + kTimeLength);
  if (!head) return false;
  if (head->size > kPruneAboveBytes) return true;
  if (head->bytes.size() < kMove.size() + 1 + kTimeLength) return false;
  return std::string_view(head->bytes).substr(kMove.size() + 1, kTimeLength) < Cutoff();
}

void MoveJournal::Prune() const {
  const JournalContents contents = ReadJournal(path_);
  if (contents.error != 0) return;
  const std::string cutoff = Cutoff();
  std::vector<std::string> lines;
  for (const JournalRecord& record : contents.records) {
    if (record.time >= cutoff) lines.push_back(FormatJournalRecord(record));
  }
  // The newest records that fit both bounds.
  std::size_t first = lines.size() > kKeepRecords ? lines.size() - kKeepRecords : 0;
  std::size_t bytes = 0;
  for (std::size_t i = lines.size(); i-- > first;) {
    if (bytes + lines[i].size() > kKeepBytes) {
      first = i + 1;
      break;
    }
    bytes += lines[i].size();
  }
  std::string text;
  text.reserve(bytes);
  for (std::size_t i = first; i < lines.size(); ++i) text += lines[i];
  WriteFileAtomically(path_, text);
}

}  // namespace veskora
