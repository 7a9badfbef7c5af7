#include "cli/arguments.h"

#include <cstring>

namespace veskora::cli {

namespace {

constexpr char16_t kEscapeBase = 0xDC00;

// The length of the well-formed UTF-8 sequence at `text`, or 0.
std::size_t SequenceLength(const unsigned char* text, std::size_t left) {
  const unsigned char lead = text[0];
  if (lead < 0x80) return 1;
  std::size_t length = 0;
  unsigned char low = 0x80;
  unsigned char high = 0xBF;
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    if (lead == 0xE0) low = 0xA0;   // no overlong forms
    if (lead == 0xED) high = 0x9F;  // no surrogates
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    if (lead == 0xF0) low = 0x90;
    if (lead == 0xF4) high = 0x8F;  // nothing past U+10FFFF
  } else {
    return 0;
  }
  if (left < length || text[1] < low || text[1] > high) return 0;
  for (std::size_t i = 2; i < length; ++i) {
    if (text[i] < 0x80 || text[i] > 0xBF) return 0;
  }
  return length;
}

}  // namespace

QStringList DecodeArguments(int argc, char** argv) {
  QStringList words;
  for (int i = 0; i < argc; ++i) {
    const auto* bytes = reinterpret_cast<const unsigned char*>(argv[i]);
    const std::size_t size = std::strlen(argv[i]);
    QString word;
    for (std::size_t at = 0; at < size;) {
      const std::size_t length = SequenceLength(bytes + at, size - at);
      if (length == 0) {
        word += QChar(static_cast<char16_t>(kEscapeBase + bytes[at]));
        ++at;
      } else {
        word += QString::fromUtf8(argv[i] + at, static_cast<qsizetype>(length));
        at += length;
      }
    }
    words << word;
  }
  return words;
}

std::string EncodeArgument(const QString& word) {
  std::string bytes;
  qsizetype from = 0;
  for (qsizetype i = 0; i < word.size(); ++i) {
    const char16_t unit = word[i].unicode();
    const bool escaped =
        unit >= kEscapeBase + 0x80 && unit <= kEscapeBase + 0xFF && (i == 0 || !word[i - 1].isHighSurrogate());
    if (!escaped) continue;
    bytes += word.mid(from, i - from).toStdString();
    bytes += static_cast<char>(unit - kEscapeBase);
    from = i + 1;
  }
  return bytes + word.mid(from).toStdString();
}

}  // namespace veskora::cli
