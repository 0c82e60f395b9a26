// SPDX-FileCopyrightText: 2026 The Tempolario developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

class QWidget;

namespace screens {

// The program's title, on every message box and input box.
inline const QString kProgramTitle = QStringLiteral("Tempolario");

// A message box with the program's title and an OK button only.
void showMessage(QWidget* parent, const QString& text);
// The same for a failure that ends the program.
void showFailure(QWidget* parent, const QString& text);

}  // namespace screens
