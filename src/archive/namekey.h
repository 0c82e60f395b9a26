#pragma once

#include <QString>

namespace archive {

// The lookup key of a pupil name, stored in the key column beside `nome` and compared
// exactly: the name in Unicode composed form (NFC) with every letter case-folded, accented
// ones included, so "NICCOLÒ FORLÌ", "niccolò forlì" and the same typed with combining
// accents all give one key, and "STRASSE" matches "Straße".
//
// Nothing else is folded: blanks count as typed, so "ROSSI " (a surname and a blank) is not
// the key of "Rossi", nor of "Rossi Mario".
QString nameKey(const QString& name);

}  // namespace archive
