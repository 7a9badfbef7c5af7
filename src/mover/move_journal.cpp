#include "mover/move_journal.h"

#include <cerrno>
#include <charconv>
#include <ctime>
#include <map>
#include <tuple>
#include <unordered_map>
#include <utility>

#include "mover/decimal_digits.h"
#include "mover/local_time.h"

namespace veskora {

namespace {

constexpr std::string_view kMove = "move";
constexpr std::string_view kUndo = "undo";
constexpr std::size_t kFields = 12;       // before the checksum
constexpr std::size_t kPutBackFields = 5;  // what an undo adds
constexpr std::size_t kTimeLength = 19;   // "YYYY-MM-DD hh:mm:ss"
constexpr char kHex[] = "0123456789abcdef";

std::uint32_t Checksum(std::string_view text) {
  std::uint32_t hash = 2166136261u;
  for (const char c : text) hash = (hash ^ static_cast<unsigned char>(c)) * 16777619u;
  return hash;
}

void AppendText(std::string& out, std::string_view text) {
  out.push_back(',');
  // Runs that need nothing are copied whole.
  std::size_t run = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const auto byte = static_cast<unsigned char>(text[i]);
    if (byte >= 0x20 && byte != 0x7F && byte != ',' && byte != '%') continue;
    const char escaped[] = {'%', kHex[byte >> 4], kHex[byte & 15]};
    out.append(text.substr(run, i - run)).append(escaped, 3);
    run = i + 1;
  }
  out.append(text.substr(run));
}

template <typename Number>
void AppendNumber(std::string& out, Number number) {
  char digits[24];
  const auto result = std::to_chars(digits, digits + sizeof digits, number);
  out.push_back(',');
  out.append(digits, result.ptr);
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

std::optional<std::string> Decoded(std::string_view field) {
  std::string text;
  for (std::size_t i = 0; i < field.size(); ++i) {
    if (field[i] != '%') {
      text.push_back(field[i]);
      continue;
    }
    const int high = i + 2 < field.size() ? HexDigit(field[i + 1]) : -1;
    const int low = high >= 0 ? HexDigit(field[i + 2]) : -1;
    if (low < 0) return std::nullopt;
    text.push_back(static_cast<char>(high * 16 + low));
    i += 2;
  }
  return text;
}

template <typename Number>
bool ParseNumber(const std::string& text, Number& out) {
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), out);
  return error == std::errc() && end == text.data() + text.size() && !text.empty();
}

// One line as a record; std::nullopt when it is no whole record.
std::optional<JournalRecord> ParseLine(std::string_view line) {
  const std::size_t last = line.rfind(',');
  if (last == std::string_view::npos || line.size() - last != 9) return std::nullopt;
  const std::uint32_t sum = Checksum(line.substr(0, last));
  for (int i = 0; i < 8; ++i) {
    if (line[last + 1 + static_cast<std::size_t>(i)] != kHex[(sum >> (28 - 4 * i)) & 15]) return std::nullopt;
  }
  std::vector<std::string> fields;
  for (std::size_t start = 0; start <= last;) {
    const std::size_t end = line.find(',', start);
    auto field = Decoded(line.substr(start, end - start));
    if (!field) return std::nullopt;
    fields.push_back(*std::move(field));
    start = end + 1;
  }
  JournalRecord record;
  record.undo = fields[0] == kUndo;
  const bool putBack = record.undo && fields.size() == kFields + kPutBackFields;
  if ((fields.size() != kFields && !putBack) || (fields[0] != kMove && !record.undo)) return std::nullopt;
  FileIdentity& p = record.putBack;
  if (putBack && !(ParseNumber(fields[12], p.device) && ParseNumber(fields[13], p.inode) &&
                   ParseNumber(fields[14], p.size) && ParseNumber(fields[15], p.mtime) &&
                   ParseNumber(fields[16], p.ctime))) {
    return std::nullopt;
  }
  record.time = std::move(fields[1]);
  record.cycle = std::move(fields[2]);
  record.desktop = std::move(fields[3]);
  record.name = std::move(fields[4]);
  record.destination = std::move(fields[5]);
  record.rule = std::move(fields[11]);
  if (record.time.size() != kTimeLength || record.cycle.size() != kTimeLength ||
      !ParseNumber(fields[6], record.arrived.size) || !ParseNumber(fields[7], record.arrived.mtime) ||
      !ParseNumber(fields[8], record.arrived.device) || !ParseNumber(fields[9], record.arrived.inode) ||
      !ParseNumber(fields[10], record.row)) {
    return std::nullopt;
  }
  return record;
}

// What identifies a move: every field but the kind, the cycle and what an
// undo adds.
std::string MoveKey(JournalRecord record) {
  record.undo = false;
  record.cycle.clear();
  record.putBack = {};
  return FormatJournalRecord(record);
}

}  // namespace

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

std::string FormatJournalRecord(const JournalRecord& record) {
  std::string line;
  AppendJournalRecord(line, record);
  return line;
}

void AppendJournalRecord(std::string& line, const JournalRecord& r) {
  const std::size_t start = line.size();
  line.append(r.undo ? kUndo : kMove);
  for (const std::string* text : {&r.time, &r.cycle, &r.desktop, &r.name, &r.destination}) AppendText(line, *text);
  AppendNumber(line, r.arrived.size);
  AppendNumber(line, r.arrived.mtime);
  AppendNumber(line, r.arrived.device);
  AppendNumber(line, r.arrived.inode);
  AppendNumber(line, r.row);
  AppendText(line, r.rule);
  if (r.undo) {
    for (const auto number : {r.putBack.device, r.putBack.inode, r.putBack.size}) AppendNumber(line, number);
    AppendNumber(line, r.putBack.mtime);
    AppendNumber(line, r.putBack.ctime);
  }
  const std::uint32_t sum = Checksum(std::string_view(line).substr(start));
  line.push_back(',');
  for (int shift = 28; shift >= 0; shift -= 4) line.push_back(kHex[(sum >> shift) & 15]);
  line.push_back('\n');
}

JournalContents ParseJournal(std::string_view text) {
  JournalContents contents;
  while (!text.empty()) {
    const std::size_t end = std::min(text.find('\n'), text.size());
    if (end > 0) {
      if (auto record = ParseLine(text.substr(0, end))) {
        contents.records.push_back(*std::move(record));
      } else {
        contents.damaged = true;
      }
    }
    text.remove_prefix(std::min(end + 1, text.size()));
  }
  return contents;
}

JournalContents ReadJournal(DataFiles& files, const std::string& path) {
  const ReadResult read = files.Read(path);
  if (read.error == ENOENT) return JournalContents{{}, 0, false, true};
  if (read.error != 0) return JournalContents{{}, read.error};
  JournalContents contents = ParseJournal(read.bytes);
  contents.ownedAlone = read.ownedAlone;
  return contents;
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

void MoveJournal::BeginCycle() {
  cycle_ = FormatJournalTime(clock_.Now());
  Flush(std::chrono::milliseconds(0));
}

JournalRecord MoveJournal::AddMove(const std::string& desktop, const std::string& name, const std::string& destination,
                                   const FileIdentity& arrived, int row, const std::string& rule) {
  return Add(
      JournalRecord{false, FormatJournalTime(clock_.Now()), {}, desktop, name, destination, arrived, row, rule, {}});
}

void MoveJournal::AddUndo(JournalRecord move, const FileIdentity& putBack) {
  move.undo = true;
  move.putBack = putBack;
  Add(std::move(move));
}

JournalRecord MoveJournal::Add(JournalRecord record) {
  if (cycle_.empty()) cycle_ = FormatJournalTime(clock_.Now());
  record.cycle = cycle_;
  AppendJournalRecord(waiting_, record);
  ++waitingRecords_;
  Flush(behind_ ? std::chrono::milliseconds(0) : kLockWait);
  return record;
}

void MoveJournal::Hold(bool run) {
  run_ = run;
  LetGo();
  if (!run) return;
  LockAttempt lock = files_.Lock(path_ + ".lock", behind_ ? std::chrono::milliseconds(0) : kLockWait);
  behind_ = lock.error == EWOULDBLOCK;
  held_ = std::move(lock.held);
  heldSince_ = std::chrono::steady_clock::now();
}

void MoveJournal::LetGo() {
  held_.reset();
  checked_ = false;
}

bool MoveJournal::Flush(std::chrono::milliseconds wait) {
  if (waiting_.empty()) return true;
  const auto now = std::chrono::steady_clock::now();
  if (held_ && now - heldSince_ >= kHoldFor) {
    LetGo();
    gaveWayAt_ = now;
  }
  LockAttempt lock;
  if (!held_) {
    lock = files_.Lock(path_ + ".lock", wait);
    behind_ = lock.error == EWOULDBLOCK;
    if (behind_) return false;
  }
  // Without a lock at all (a file system without locks) the append goes on;
  // only a prune, which rewrites the file, needs it. Under a lock kept since
  // an append that looked the path up, nobody else has written or replaced
  // the file.
  const bool locked = held_ || lock.held;
  const std::size_t appended = std::exchange(waitingRecords_, 0);
  const int error = held_ && checked_ ? files_.AppendAgain(path_, waiting_) : files_.Append(path_, waiting_);
  waiting_.clear();  // its room is kept for the next record
  if (error == 0 && locked) KeepBounded(appended);
  if (run_ && lock.held && now - gaveWayAt_ >= kGiveWay) {
    held_ = std::move(lock.held);
    heldSince_ = now;
  }
  checked_ = held_ && error == 0;
  return true;
}

void MoveJournal::KeepBounded(std::size_t appended) {
  if (!tally_) {
    const JournalContents contents = ReadJournal(files_, path_);
    tally_ = Tally{contents.records.size(), {}};
    for (const JournalRecord& record : contents.records) {
      if (tally_->oldestCycle.empty() || record.cycle < tally_->oldestCycle) tally_->oldestCycle = record.cycle;
    }
  } else {
    tally_->records += appended;
    if (tally_->oldestCycle.empty()) tally_->oldestCycle = cycle_;
  }
  // Some room above the bound, so that a full journal is not rewritten at
  // every move.
  if (tally_->records > keepRecords_ + keepRecords_ / 8 ||
      (!tally_->oldestCycle.empty() && tally_->oldestCycle < Cutoff())) {
    Prune();
  }
}

const std::string& MoveJournal::Cutoff() {
  // Worked out once a cycle: mktime looks at the time zone's file each time.
  if (cycle_ == cutoff_.first) return cutoff_.second;
  cutoff_.first = cycle_;
  const LocalTime now = clock_.Now();
  std::tm tm{};
  tm.tm_year = now.year - 1900;
  tm.tm_mon = now.month - 1;
  tm.tm_mday = now.day - kKeepDays;  // mktime carries it into earlier months
  tm.tm_hour = now.hour;
  tm.tm_min = now.minute;
  tm.tm_sec = now.second;
  tm.tm_isdst = -1;
  cutoff_.second = FormatJournalTime(ToLocalTime(static_cast<std::int64_t>(std::mktime(&tm))));
  return cutoff_.second;
}

void MoveJournal::Prune() {
  const JournalContents contents = ReadJournal(files_, path_);
  if (contents.error != 0) return;
  // Whole cycles, by when they began: those before the cutoff go, then the
  // oldest while more records than the bound remain. The newest stays.
  const std::string cutoff = Cutoff();
  std::map<std::string, std::size_t> cycles;
  std::size_t kept = 0;
  for (const JournalRecord& record : contents.records) {
    if (record.cycle >= cutoff) ++cycles[record.cycle], ++kept;
  }
  auto first = cycles.begin();
  while (kept > keepRecords_ && std::next(first) != cycles.end()) kept -= (first++)->second;
  const std::string from = first == cycles.end() ? cutoff : first->first;
  std::string text;
  for (const JournalRecord& record : contents.records) {
    if (record.cycle >= from) AppendJournalRecord(text, record);
  }
  if (files_.WriteAtomically(path_, text) == 0) tally_ = Tally{kept, kept > 0 ? from : std::string()};
}

}  // namespace veskora
