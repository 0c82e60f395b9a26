// SPDX-FileCopyrightText: 2026 The Tempolario developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "screens/messages.h"

#include <QMessageBox>

namespace screens {

namespace {

void show(QWidget* parent, QMessageBox::Icon icon, const QString& text) {
    QMessageBox box(icon, kProgramTitle, text, QMessageBox::Ok, parent);
    box.setTextFormat(Qt::PlainText);
    box.exec();
}

}  // namespace

void showMessage(QWidget* parent, const QString& text) {
    show(parent, QMessageBox::Information, text);
}

void showFailure(QWidget* parent, const QString& text) {
    show(parent, QMessageBox::Critical, text);
}

}  // namespace screens
