#include "archive/namekey.h"

namespace archive {

QString nameKey(const QString& name) {
    // Qt's case folding maps one character to one; going through the upper case in
    // between adds the one-to-many mappings ("ß" to "SS", and capital sharp s by way of
    // its small form). Normalising again at the end recomposes what the case mappings
    // may have left decomposed.
    const QString composed = name.normalized(QString::NormalizationForm_C);
    return composed.toCaseFolded().toUpper().toCaseFolded().normalized(
        QString::NormalizationForm_C);
}

}  // namespace archive
