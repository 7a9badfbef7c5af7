#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace veskora {

bool IsValidUtf8(std::string_view bytes);

// Shift-JIS (CP932) bytes as UTF-8; std::nullopt when they are not CP932.
std::optional<std::string> Cp932ToUtf8(std::string_view bytes);

}  // namespace veskora
