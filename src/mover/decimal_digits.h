#pragma once

namespace veskora {

// Writes the lowest `width` decimal digits of a value that is not negative,
// leading zeros included, and returns the end. Times are written so for every
// move and every file a time rule looks at, where a formatter costs more than
// the rest of the text.
inline char* PutDigits(char* out, int value, int width) {
  for (int i = width - 1; i >= 0; --i, value /= 10) out[i] = static_cast<char>('0' + value % 10);
  return out + width;
}

}  // namespace veskora
