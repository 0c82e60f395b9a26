// SPDX-FileCopyrightText: 2026 The Tempolario developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "archive/namekey.h"

#include <algorithm>

namespace archive {

QString withoutFormatCharacters(const QString& text) {
    QString kept;
    kept.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar unit = text.at(i);
        // Whole code points, so that the tag characters (beyond the 16-bit range) count; a
        // lone surrogate half is kept as it is.
        if (unit.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()) {
            const char32_t point = QChar::surrogateToUcs4(unit, text.at(i + 1));
            if (QChar::category(point) != QChar::Other_Format) {
                kept.append(unit);
                kept.append(text.at(i + 1));
            }
            ++i;
        } else if (unit.category() != QChar::Other_Format) {
            kept.append(unit);
        }
    }
    return kept;
}

namespace {

// Text of Latin-1 letters alone (most Italian names) needs neither normalisation nor the
// one-to-many case mappings: no two of its characters compose, and its case folding
// is one to one (the micro sign to Greek mu included). The exceptions are the soft hyphen
// (a format character) and sharp s (which folds to two letters).
constexpr char16_t kLastLatin1 = 0xff;
constexpr char16_t kSoftHyphen = 0xad;
constexpr char16_t kSharpS = 0xdf;
// Capital I with a dot above.
constexpr char16_t kCapitalDottedI = 0x0130;

bool plainLatin1(const QString& text) {
    return std::ranges::none_of(text, [](QChar c) {
        const char16_t unit = c.unicode();
        return unit > kLastLatin1 || unit == kSoftHyphen || unit == kSharpS;
    });
}

}  // namespace

QString nameKey(const QString& name) {
    if (plainLatin1(name)) {
        return name.toCaseFolded();  // the same key as below, at a fraction of the cost
    }
    // Qt's case folding maps one character to one; going through the upper case in
    // between adds the one-to-many mappings ("ß" to "SS", and capital sharp s by way of
    // its small form). The one letter that neither reaches is capital I with a dot, which
    // is its own upper case and folds to itself: it is folded here to its small form, i and
    // a combining dot, which is also what its lower case gives. Normalising again at the end
    // recomposes what the case mappings may have left decomposed.
    const QString composed =
        withoutFormatCharacters(name).normalized(QString::NormalizationForm_C);
    QString folded = composed.toCaseFolded().toUpper().toCaseFolded();
    folded.replace(QChar(kCapitalDottedI), QStringLiteral(u"i\u0307"));
    return folded.normalized(QString::NormalizationForm_C);
}

}  // namespace archive
