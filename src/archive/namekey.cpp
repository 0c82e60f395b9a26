#include "archive/namekey.h"

namespace archive {

QString nameKey(const QString& name) {
    // Qt's case folding maps one character to one; going through the upper case in
    // between adds the one-to-many mappings ("ß" to "SS", and capital sharp s by way of
    // its small form). The one letter that neither reaches is capital I with a dot, which
    // is its own upper case and folds to itself: it is folded here to its small form, i and
    // a combining dot, which is also what its lower case gives. Normalising again at the end
    // recomposes what the case mappings may have left decomposed.
    const QString composed = name.normalized(QString::NormalizationForm_C);
    QString folded = composed.toCaseFolded().toUpper().toCaseFolded();
    folded.replace(QChar(0x0130), QStringLiteral(u"i\u0307"));
    return folded.normalized(QString::NormalizationForm_C);
}

}  // namespace archive
