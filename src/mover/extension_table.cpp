#include "mover/extension_table.h"

#include <cstdint>
#include <cstring>

namespace veskora {

namespace {

// Extensions are short: most take one eight-byte step.
std::size_t Hash(std::string_view text) {
  constexpr std::uint64_t kOdd = 0x9E3779B97F4A7C15ULL;
  std::uint64_t hash = text.size() * kOdd;
  std::size_t at = 0;
  for (; at + 8 <= text.size(); at += 8) {
    std::uint64_t word = 0;
    std::memcpy(&word, text.data() + at, 8);
    hash = (hash ^ word) * kOdd;
  }
  if (at < text.size()) {
    std::uint64_t word = 0;
    for (std::size_t i = at; i < text.size(); ++i) word = word << 8 | static_cast<unsigned char>(text[i]);
    hash = (hash ^ word) * kOdd;
  }
  return static_cast<std::size_t>(hash ^ (hash >> 29));
}

}  // namespace

ExtensionTable::ExtensionTable(std::vector<std::pair<std::string_view, int>> rows) : rows_(std::move(rows)) {
  if (rows_.empty()) return;
  // At most half full, so a probe for a missing extension ends soon.
  std::size_t size = 16;
  while (size < rows_.size() * 2) size *= 2;
  slots_.resize(size);
  mask_ = size - 1;
  for (std::uint32_t row = 0; row < rows_.size(); ++row) {
    const std::string_view extension = rows_[row].first;
    for (std::size_t at = Hash(extension) & mask_;; at = (at + 1) & mask_) {
      if (slots_[at] == 0) {
        slots_[at] = row + 1;
        break;
      }
      if (rows_[slots_[at] - 1].first == extension) break;  // an earlier row has it
    }
  }
}

int ExtensionTable::Find(std::string_view extension) const {
  if (slots_.empty()) return kNoRow;
  for (std::size_t at = Hash(extension) & mask_;; at = (at + 1) & mask_) {
    if (slots_[at] == 0) return kNoRow;
    const auto& [text, position] = rows_[slots_[at] - 1];
    if (text == extension) return position;
  }
}

}  // namespace veskora
