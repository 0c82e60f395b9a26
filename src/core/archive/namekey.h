// SPDX-FileCopyrightText: 2026 The Tempolario developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

namespace archive {

// The lookup key of a pupil name, stored in the key column beside `nome` and compared
// exactly: the name without invisible format characters, in Unicode composed form (NFC),
// with every letter case-folded, accented ones included, so "NICCOLÒ FORLÌ",
// "niccolò forlì" and the same typed with combining accents all give one key, and "STRASSE"
// matches "Straße".
//
// Nothing else is folded: blanks count as typed, so "ROSSI " (a surname and a blank) is not
// the key of "Rossi", nor of "Rossi Mario".
QString nameKey(const QString& name);

// The text without the invisible format characters (Unicode category Cf: zero-width space
// and joiners, soft hyphen, byte-order mark, the bidirectional marks, embeddings, overrides
// and isolates, tag characters). They change nothing a reader sees, so a name that holds
// them would look exactly like a classmate's name and still be a different pupil.
QString withoutFormatCharacters(const QString& text);

}  // namespace archive
