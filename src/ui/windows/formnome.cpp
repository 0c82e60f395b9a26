// SPDX-FileCopyrightText: 2026 The Tempolario developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "windows/formnome.h"

#include <limits>

#include <QCloseEvent>
#include <QInputDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QScreen>

#include "screens/accessibility.h"
#include "screens/designs.h"
#include "screens/focusmark.h"
#include "screens/messages.h"

namespace windows {

const QString FormNome::kPrompt = QStringLiteral(
    "Scrivi qui sotto PRIMA il cognome, POI il nome.\n\r"
    "Prima di premere OK, controlla che non ci siano errori.\n\r"
    "Se non vuoi registrare il risultato, clicca su 'Annulla'");

FormNome::FormNome(session::Modtempar& shared, QWidget* parent)
    : QWidget(parent), m_choice(shared) {
    m_controls = screens::build(this, screens::nameDesign());
    setWindowIcon(QIcon(QStringLiteral(":/tempolario.ico")));
    m_screenFit = new screens::ScreenFit(
        this, [this](const QRect& available, const QMargins& frame) { fitToScreen(available, frame); });

    auto* list = m_controls.as<QListView>(QStringLiteral("List1"));
    list->setModel(&m_names);
    // A page of names that cannot be read ends the program like any archive failure; the
    // read happens while the list paints, so the message waits for the paint to finish.
    connect(
        &m_names, &session::NameList::readFailed, this, [this] { check(m_names.failure()); },
        Qt::QueuedConnection);
    // A pick is a change of the selected entry; focus alone makes an entry current without
    // selecting it, and picks nothing.
    connect(list->selectionModel(), &QItemSelectionModel::selectionChanged, this, [this, list] {
        const QModelIndexList selected = list->selectionModel()->selectedRows();
        if (!selected.isEmpty()) {
            picked(selected.first().row());
        }
    });
    // Enter on the list confirms the selected name, as CmdOK does; on an entry that is only
    // current, it picks it first.
    list->installEventFilter(this);
    screens::speakCurrentOnFocus(list);
    new screens::FocusMark(this);
    connect(m_controls.as<QPushButton>(QStringLiteral("CmdOK")), &QPushButton::clicked, this,
            &FormNome::confirmPicked);
    connect(m_controls.as<QPushButton>(QStringLiteral("cmdNOME")), &QPushButton::clicked, this,
            &FormNome::typeName);
    connect(m_controls.as<QPushButton>(QStringLiteral("cmdesci")), &QPushButton::clicked, this,
            [this] { close(); });
    describe();
}

void FormNome::describe() {
    // The list's heading is a separate label over it; the list says it itself.
    screens::setSpoken(m_controls.get(QStringLiteral("List1")),
                       QStringLiteral("Elenco dei nomi presenti in archivio"));
    // As the eye reads the window; the list's heading and the empty panel under CmdOK say
    // nothing of their own.
    QList<QWidget*> order;
    for (const char* name :
         {"Label1", "List1", "Label8", "LabNOME", "CmdOK", "cmdNOME", "cmdesci"}) {
        order << m_controls.get(QString::fromLatin1(name));
    }
    screens::setReadingOrder(this, order);
    setAccessibleDescription(QStringLiteral(
        "Scegli il tuo nome nell'elenco con le frecce su e giù e confermalo con Invio. Se non "
        "c'è, premi Tab fino a INSERISCO IL MIO NOME e poi Spazio."));
    screens::setSpoken(m_controls.get(QStringLiteral("cmdNOME")), QString(),
                       QStringLiteral("Chiede di scrivere cognome e nome"));
    screens::setSpoken(m_controls.get(QStringLiteral("cmdesci")), QString(),
                       QStringLiteral("Esce dal programma"));
}

bool FormNome::start() {
    m_screenFit->fit();
    if (const QScreen* screen = this->screen()) {
        move(screen->availableGeometry().topLeft());
    }
    m_controls.get(QStringLiteral("CmdOK"))->hide();
    if (!check(m_choice.start(&m_names))) {
        return false;
    }
    // The first name is current, not picked: a screen reader reads it as the list gets the
    // focus, where it would read only the list's size.
    auto* list = m_controls.as<QListView>(QStringLiteral("List1"));
    if (m_names.rowCount() > 0) {
        list->selectionModel()->setCurrentIndex(m_names.index(0), QItemSelectionModel::NoUpdate);
    }
    return true;
}

void FormNome::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    // The first window's arrival: Orca 43 (Debian 12, with Qt 6.4) reads its description after
    // its name; Orca 48 (Debian 13, with Qt 6.8, where announcements are there) reads only
    // its name and the list, so what to do is announced once the window is active.
#if QT_VERSION >= QT_VERSION_CHECK(6, 8, 0)
    if (event->type() == QEvent::ActivationChange && isActiveWindow() && !m_instructed) {
        m_instructed = true;
        screens::announce(this, accessibleDescription());
    }
#endif
}

void FormNome::closeEvent(QCloseEvent* event) {
    // Leaving by "Esco" or by the frame: nothing is stored.
    event->accept();
    Q_EMIT exitRequested();
}

void FormNome::fitToScreen(const QRect& available, const QMargins& frame) {
    const double zoom = screens::windowZoom(screens::nameDesign(), available.size(), frame);
    if (zoom != m_controls.zoom()) {
        m_controls.setZoom(zoom);
    }
    setFixedSize(m_controls.clientSize());
}

bool FormNome::eventFilter(QObject* watched, QEvent* event) {
    auto* list = m_controls.as<QListView>(QStringLiteral("List1"));
    if (watched != list || event->type() != QEvent::KeyPress) {
        return QWidget::eventFilter(watched, event);
    }
    const auto* key = static_cast<QKeyEvent*>(event);
    if ((key->key() != Qt::Key_Return && key->key() != Qt::Key_Enter) || key->isAutoRepeat()) {
        return false;
    }
    if (!list->selectionModel()->selectedRows().isEmpty()) {
        confirmPicked();
    } else if (list->currentIndex().isValid()) {
        list->selectionModel()->select(list->currentIndex(), QItemSelectionModel::ClearAndSelect);
    }
    return true;
}

void FormNome::picked(int row) {
    if (row < 0) {
        return;
    }
    m_choice.pick(m_names.name(row), m_names.rowId(row));
    auto* name = m_controls.as<QLabel>(QStringLiteral("LabNOME"));
    name->setText(m_choice.pupil().name);
    name->show();
    QWidget* ok = m_controls.get(QStringLiteral("CmdOK"));
    if (!ok->isVisible()) {
        ok->show();
        screens::announce(this,
                          QStringLiteral("Nome selezionato: %1. %2")
                              .arg(m_choice.pupil().name, qobject_cast<QPushButton*>(ok)->text()));
    }
}

void FormNome::confirmPicked() {
    bool found = false;
    if (!check(m_choice.confirm(&found))) {
        return;
    }
    if (!found) {
        screens::showMessage(this, QStringLiteral("nome non trovato"));
        return;
    }
    auto* name = m_controls.as<QLabel>(QStringLiteral("LabNOME"));
    name->hide();
    name->clear();
    m_controls.get(QStringLiteral("CmdOK"))->hide();
    settle();
}

void FormNome::typeName() {
    const std::optional<QString> answer = askName();
    if (!answer) {
        // The prompt promises that "Annulla" records nothing; the drill still opens.
        m_choice.enterUnrecorded();
        settle();
        return;
    }
    const archive::Status status = m_choice.enterTyped(*answer);
    if (status.kind == archive::Status::kSameName) {
        // Not a failure of the archive: the pupil stays here and picks from the list.
        screens::showMessage(this, status.message());
    } else if (check(status)) {
        settle();
    }
}

void FormNome::settle() {
    Q_EMIT nameSettled(m_choice.pupil());
    hide();
}

bool FormNome::check(const archive::Status& status) {
    if (!status) {
        Q_EMIT failed(status);
    }
    return status.ok();
}

std::optional<QString> FormNome::askName() {
    QInputDialog dialog(this);
    dialog.setObjectName(QStringLiteral("nameInput"));
    dialog.setWindowTitle(screens::kProgramTitle);
    dialog.setLabelText(QString(kPrompt).remove(QLatin1Char('\r')));
    dialog.setInputMode(QInputDialog::TextInput);
    dialog.setTextValue(QString());
    dialog.setOkButtonText(QStringLiteral("OK"));
    dialog.setCancelButtonText(QStringLiteral("Annulla"));
    // A name may be of any length, a pasted text included.
    if (auto* field = dialog.findChild<QLineEdit*>()) {
        field->setMaxLength(std::numeric_limits<int>::max());
        screens::setSpoken(field, QStringLiteral("Cognome e nome"));
    }
    if (dialog.exec() != QDialog::Accepted) {
        return std::nullopt;
    }
    return dialog.textValue();
}

}  // namespace windows
