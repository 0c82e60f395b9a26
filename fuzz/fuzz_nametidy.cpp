// SPDX-FileCopyrightText: 2026 The Tempolario developers
// SPDX-License-Identifier: GPL-3.0-or-later
// Properties of the typed-name tidy and of the lookup key over arbitrary UTF-8 text.

#include <QString>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "archive/namekey.h"
#include "session/namechoice.h"

namespace {

[[noreturn]] void fail(const char* what, const QString& input, const QString& got) {
    std::fprintf(stderr, "nametidy: %s\n  input: %s\n  got:   %s\n", what,
                 input.toUtf8().toHex(' ').constData(), got.toUtf8().toHex(' ').constData());
    std::abort();
}

void check(bool holds, const char* what, const QString& input, const QString& got) {
    if (!holds) {
        fail(what, input, got);
    }
}

QString withoutSpaces(const QString& text) {
    QString kept;
    for (const QChar c : text) {
        if (!c.isSpace()) {
            kept.append(c);
        }
    }
    return kept;
}

void checkTidy(const QString& answer) {
    const QString name = session::tidyName(answer);
    check(!name.isEmpty(), "tidy gave an empty name", answer, name);
    check(!name.front().isSpace() && !name.back().isSpace(), "blank at an end", answer, name);
    for (qsizetype i = 0; i < name.size(); ++i) {
        if (name.at(i).isSpace()) {
            check(name.at(i) == QLatin1Char(' '), "a blank other than U+0020", answer, name);
            check(!name.at(i + 1).isSpace(), "two blanks in a row", answer, name);
        }
    }
    check(session::tidyName(name) == name, "tidy is not idempotent", answer, name);

    // Only blanks and invisible format characters go: every other character stays, in
    // order and case as typed.
    const QString typed = withoutSpaces(archive::withoutFormatCharacters(answer));
    if (typed.isEmpty()) {
        check(name == session::kAnonymousName, "blank answer not Anonimo", answer, name);
    } else {
        check(withoutSpaces(name) == typed, "characters other than blanks changed", answer, name);
        check(archive::withoutFormatCharacters(name) == name, "format character kept", answer,
              name);
    }
}

void checkKey(const QString& name) {
    const QString key = archive::nameKey(name);
    check(archive::nameKey(key) == key, "key is not idempotent", name, key);
    check(key.normalized(QString::NormalizationForm_C) == key, "key is not NFC", name, key);
    // The same name typed with combining accents, or in another case, finds the same row.
    // The case is changed on the composed form: in text whose accents are out of their
    // canonical order, the upper case of the iota subscript (U+0345) is a letter that keeps
    // the accents after it from moving before it, so even Unicode's caseless matching
    // tells the two apart.
    const QString composed = name.normalized(QString::NormalizationForm_C);
    check(archive::nameKey(name.normalized(QString::NormalizationForm_D)) == key,
          "decomposed form gives another key", name, key);
    check(archive::nameKey(composed.toUpper()) == key, "upper case gives another key", name, key);
    check(archive::nameKey(composed.toLower()) == key, "lower case gives another key", name, key);
    check(archive::nameKey(composed.toCaseFolded()) == key, "case folded gives another key", name,
          key);
    // The tidy never changes what the key compares, beyond blanks.
    const QString tidy = session::tidyName(name);
    if (tidy != session::kAnonymousName) {
        check(session::tidyName(key) == archive::nameKey(tidy), "tidy and key do not commute", name,
              key);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString text =
        QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    checkTidy(text);
    checkKey(text);
    return 0;
}
