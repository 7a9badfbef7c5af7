#pragma once

#include <QString>
#include <QStringList>

namespace veskora {

// The fixed entries of the editor's selection-only lists. Every list but the
// kind selector starts with the empty entry, which means "nothing chosen".
QStringList KindEntries();
QStringList SizeEntries();
// "", then the numbers first..last as two digits ("01", "02", ...).
QStringList TwoDigitEntries(int first, int last);

}  // namespace veskora
