#pragma once

#include <QStringList>
#include <string>

namespace veskora::cli {

// Command-line words as text, without losing a byte: a file name need not be
// UTF-8, and a name that cannot be given back exactly cannot be found. Bytes
// that are not UTF-8 stand in the text as lone low surrogates U+DC80..U+DCFF
// (which no UTF-8 text decodes to), and EncodeArgument turns them back.
QStringList DecodeArguments(int argc, char** argv);
std::string EncodeArgument(const QString& word);

}  // namespace veskora::cli
