#pragma once

#include <QString>
#include <string_view>

namespace veskora {

// The core keeps its texts as UTF-8.
inline QString ToQString(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace veskora
