#include "archive/formnome.h"

#include <limits>

#include <QCloseEvent>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QScreen>

#include "screens/accessibility.h"
#include "screens/designs.h"
#include "screens/messages.h"

namespace archive {

const QString FormNome::kPrompt = QStringLiteral(
    "Scrivi qui sotto PRIMA il cognome, POI il nome.\n\r"
    "Prima di premere OK, controlla che non ci siano errori.\n\r"
    "Se non vuoi registrare il risultato, clicca su 'Annulla'");

FormNome::FormNome(Modtempar& shared, QWidget* parent)
    : QWidget(parent), m_shared(shared), m_choice(shared) {
    m_controls = screens::build(this, screens::nameDesign());
    setWindowIcon(QIcon(QStringLiteral(":/tempolario.ico")));
    setFixedSize(size());

    auto* list = m_controls.as<QListView>(QStringLiteral("List1"));
    list->setModel(&m_names);
    // A pick is a change of the selected entry; focus alone makes an entry current without
    // selecting it, and picks nothing.
    connect(list->selectionModel(), &QItemSelectionModel::selectionChanged, this, [this, list] {
        const QModelIndexList selected = list->selectionModel()->selectedRows();
        if (!selected.isEmpty()) {
            picked(selected.first().row());
        }
    });
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
    screens::setSpoken(m_controls.get(QStringLiteral("cmdNOME")), QString(),
                       QStringLiteral("Chiede di scrivere cognome e nome"));
    screens::setSpoken(m_controls.get(QStringLiteral("cmdesci")), QString(),
                       QStringLiteral("Esce dal programma"));
}

bool FormNome::start() {
    if (const QScreen* screen = this->screen()) {
        move(screen->availableGeometry().topLeft());
    }
    m_controls.get(QStringLiteral("CmdOK"))->hide();
    return check(m_choice.start(&m_names));
}

void FormNome::closeEvent(QCloseEvent* event) {
    // Leaving by "Esco" or by the frame: nothing is stored.
    event->accept();
    if (onExit) {
        onExit();
    }
}

void FormNome::picked(int row) {
    if (row < 0) {
        return;
    }
    m_choice.pick(m_names.name(row));
    auto* name = m_controls.as<QLabel>(QStringLiteral("LabNOME"));
    name->setText(m_shared.currentName);
    name->show();
    m_controls.get(QStringLiteral("CmdOK"))->show();
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
    if (check(m_choice.enterTyped(askName()))) {
        settle();
    }
}

void FormNome::settle() {
    if (onNameSettled) {
        onNameSettled();
    }
    hide();
}

bool FormNome::check(const Status& status) const {
    if (!status && onFailure) {
        onFailure(status);
    }
    return status.ok();
}

QString FormNome::askName() {
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
    return dialog.exec() == QDialog::Accepted ? dialog.textValue() : QString();
}

}  // namespace archive
