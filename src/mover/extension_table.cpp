#include "mover/extension_table.h"

#include <bit>
#include <cstdint>

namespace veskora {

namespace {

constexpr std::uint64_t kOdd = 0x9E3779B97F4A7C15ULL;

// An extension as one number: up to seven bytes stand in it as they are,
// with their count in the top byte, so equal numbers are equal extensions;
// a longer one gives 0xFF there and a hash of its bytes below, which only
// tells where to look.
std::uint64_t Word(std::string_view text) {
  std::uint64_t word = 0;
  if (text.size() < 8) {
    for (std::size_t i = 0; i < text.size(); ++i) word |= std::uint64_t{static_cast<unsigned char>(text[i])} << (8 * i);
    return word | std::uint64_t{text.size()} << 56;
  }
  for (const char c : text) word = (word ^ static_cast<unsigned char>(c)) * kOdd;
  return word >> 8 | std::uint64_t{0xFF} << 56;
}

bool Short(std::uint64_t word) { return (word >> 56) != 0xFF; }

}  // namespace

ExtensionTable::ExtensionTable(std::vector<std::pair<std::string_view, int>> rows) : rows_(std::move(rows)) {
  if (rows_.empty()) return;
  // At most half full, so a probe for a missing extension ends soon.
  std::size_t size = 16;
  while (size < rows_.size() * 2) size *= 2;
  slots_.resize(size);
  shift_ = 64 - std::countr_zero(size);
  for (std::uint32_t row = 0; row < rows_.size(); ++row) {
    const std::string_view extension = rows_[row].first;
    const std::uint64_t word = Word(extension);
    for (std::size_t at = Start(word);; at = (at + 1) & (slots_.size() - 1)) {
      Slot& slot = slots_[at];
      if (slot.row == 0) {
        slot = {word, row + 1};
        break;
      }
      // An earlier row has it.
      if (slot.word == word && (Short(word) || rows_[slot.row - 1].first == extension)) break;
    }
  }
}

int ExtensionTable::Find(std::string_view extension) const {
  if (slots_.empty()) return kNoRow;
  const std::uint64_t word = Word(extension);
  for (std::size_t at = Start(word);; at = (at + 1) & (slots_.size() - 1)) {
    const Slot& slot = slots_[at];
    if (slot.row == 0) return kNoRow;
    if (slot.word == word && (Short(word) || rows_[slot.row - 1].first == extension)) {
      return rows_[slot.row - 1].second;
    }
  }
}

std::size_t ExtensionTable::Start(std::uint64_t word) const {
  return static_cast<std::size_t>((word * kOdd) >> shift_);
}

}  // namespace veskora
