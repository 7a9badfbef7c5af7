#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace veskora {

// The length of the valid UTF-8 sequence starting at text[i] (1 to 4) and
// its code point; 0 when no valid sequence starts there.
std::size_t Utf8SequenceAt(std::string_view text, std::size_t i, unsigned int& codePoint);

bool IsValidUtf8(std::string_view bytes);

// Shift-JIS (CP932) bytes as UTF-8; std::nullopt when they are not CP932.
std::optional<std::string> Cp932ToUtf8(std::string_view bytes);

}  // namespace veskora
