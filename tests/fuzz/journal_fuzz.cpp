// Any bytes as a move journal: reading never crashes, and every record read
// writes and reads back as itself, so an undo finds what the move recorded.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "mover/move_journal.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const veskora::JournalContents first =
      veskora::ParseJournal(std::string_view(reinterpret_cast<const char*>(data), size));
  std::string written;
  for (const veskora::JournalRecord& record : first.records) written += veskora::FormatJournalRecord(record);
  const veskora::JournalContents second = veskora::ParseJournal(written);
  if (second.damaged || second.records != first.records) std::abort();
  veskora::MovesNotUndone(second.records);
  return 0;
}
