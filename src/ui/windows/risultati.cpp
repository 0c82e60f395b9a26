// SPDX-FileCopyrightText: 2026 The Tempolario developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "windows/risultati.h"

#include <iterator>

#include <QCloseEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>

#include "content/spoken.h"
#include "screens/accessibility.h"
#include "screens/designs.h"
#include "screens/focusmark.h"
#include "screens/grid.h"
#include "screens/labelbutton.h"
#include "screens/messages.h"
#include "screens/screenfit.h"
#include "session/outcometext.h"

namespace windows {

namespace {

const QColor kHoverRed(255, 0, 0);
const QColor kSearchRest(192, 192, 192);
const QColor kPinkRest(255, 192, 255);

constexpr int kColumnWidths[] = {2200, 800, 800, 2600};

}  // namespace

Risultati::Risultati(session::Modtempar& shared, QWidget* owner)
    : QWidget(owner, Qt::Window), m_view(shared) {
    m_controls = screens::build(this, screens::resultsDesign());
    new screens::ScreenFit(
        this, [this](const QRect& available, const QMargins& frame) { fitToScreen(available, frame); });
    setMouseTracking(true);
    connect(m_controls.as<QPushButton>(QStringLiteral("CMDAGGIORNA")), &QPushButton::clicked, this,
            [this] { start(); });
    auto* searchButton = m_controls.as<screens::LabelButton>(QStringLiteral("LabCERCA"));
    auto* backButton = m_controls.as<screens::LabelButton>(QStringLiteral("Labtorna"));
    auto* exitButton = m_controls.as<screens::LabelButton>(QStringLiteral("Labesci"));
    connect(searchButton, &screens::LabelButton::clicked, this, &Risultati::search);
    connect(backButton, &screens::LabelButton::clicked, this, &Risultati::back);
    connect(exitButton, &screens::LabelButton::clicked, this, &Risultati::exitRequested);
    setKeyboardRoad();
    // The name shown, its results, the search, then the way out. The prompts over the search
    // boxes are left out: each box says what to type.
    QList<QWidget*> order;
    for (const char* name :
         {"LabNOME", "Grid5", "Text2", "Text1", "LabCERCA", "Labtorna", "Labesci", "CMDAGGIORNA"}) {
        order << m_controls.get(QString::fromLatin1(name));
    }
    screens::setReadingOrder(this, order);
    screens::speakCurrentOnFocus(m_controls.as<screens::Grid>(QStringLiteral("Grid5")));
    connect(searchButton, &screens::LabelButton::hovered, this,
            [this] { setTextColour("LabCERCA", kHoverRed); });
    connect(backButton, &screens::LabelButton::hovered, this,
            [this] { setTextColour("Labtorna", kHoverRed); });
    connect(exitButton, &screens::LabelButton::hovered, this,
            [this] { setTextColour("Labesci", kHoverRed); });
    describe();
}

void Risultati::setKeyboardRoad() {
    // The label-buttons take their places in the Tab chain: the search after its two boxes,
    // then the grid, then TORNA and Esco. Tab leaves the grid instead of walking its cells.
    auto* grid = m_controls.as<screens::Grid>(QStringLiteral("Grid5"));
    grid->setTabKeyNavigation(false);
    QWidget* chain[] = {
        m_controls.get(QStringLiteral("Text2")),    m_controls.get(QStringLiteral("Text1")),
        m_controls.get(QStringLiteral("LabCERCA")), grid,
        m_controls.get(QStringLiteral("Labtorna")), m_controls.get(QStringLiteral("Labesci"))};
    for (std::size_t i = 1; i < std::size(chain); ++i) {
        QWidget::setTabOrder(chain[i - 1], chain[i]);
    }
    // Enter in either search box searches, as "OK, mostra i risultati" does.
    for (const char* box : {"Text1", "Text2"}) {
        connect(m_controls.as<QLineEdit>(QString::fromLatin1(box)), &QLineEdit::returnPressed, this,
                &Risultati::search);
    }
    new screens::FocusMark(this);
}

void Risultati::keyPressEvent(QKeyEvent* event) {
    // Esc goes back, as "TORNA" does.
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        event->accept();
        back();
        return;
    }
    QWidget::keyPressEvent(event);
}

bool Risultati::start() {
    if (!check(m_view.start())) {
        return false;
    }
    m_controls.as<QLabel>(QStringLiteral("LabNOME"))->setText(m_view.shownName());
    return concetti();
}

bool Risultati::concetti() {
    auto* grid = m_controls.as<screens::Grid>(QStringLiteral("Grid5"));
    grid->setCols(4);
    grid->setRows(2);
    archive::Outcome outcome;
    if (!check(m_view.concetti(&outcome))) {
        return false;
    }
    if (!outcome.found) {
        screens::showMessage(this, QStringLiteral("Nome non trovato"));
        return true;
    }
    for (int col = 0; col < 4; ++col) {
        grid->setColumnWidthTwips(col, kColumnWidths[col]);
    }
    grid->setText(0, 1, QStringLiteral("Giusti"));
    grid->setText(0, 2, QStringLiteral("Su"));
    grid->setText(0, 3, QStringLiteral("Quando"));
    grid->setText(1, 0, QStringLiteral("Tempolario"));
    // A value never stored shows as an empty cell, never as the previous name's figure.
    grid->setText(1, 1, session::outcomeText(outcome.right));
    grid->setText(1, 2, session::outcomeText(outcome.given));
    grid->setText(1, 3, session::outcomeText(outcome.when));
    // The first figure is current, so that a screen reader reads it as the grid gets the
    // focus. Each cell says its heading; the time as it is read, not as "09/12/26".
    grid->selectionModel()->setCurrentIndex(grid->model()->index(0, 0),
                                            QItemSelectionModel::NoUpdate);
    const QString when = outcome.when.typeId() == QMetaType::QDateTime
                             ? content::spokenDateTime(outcome.when.toDateTime())
                             : session::outcomeText(outcome.when);
    const QString spoken[] = {session::outcomeText(outcome.right),
                              session::outcomeText(outcome.given), when};
    for (int col = 1; col <= 3; ++col) {
        grid->setSpokenText(1, col,
                            QStringLiteral("%1, %2: %3")
                                .arg(grid->text(1, 0), grid->text(0, col), spoken[col - 1]));
    }
    m_controls.as<QLabel>(QStringLiteral("LabNOME"))->setText(m_view.shownName());
    describe();
    return true;
}

void Risultati::mouseMoveEvent(QMouseEvent* event) {
    // Only the window's own background counts; a drawn shape lets the mouse through.
    if (childAt(event->position().toPoint()) == nullptr) {
        setTextColour("LabCERCA", kSearchRest);
        setTextColour("Labtorna", kPinkRest);
        setTextColour("Labesci", kPinkRest);
    }
    QWidget::mouseMoveEvent(event);
}

void Risultati::closeEvent(QCloseEvent* event) {
    m_view.back();
    event->accept();
}

void Risultati::fitToScreen(const QRect& available, const QMargins& frame) {
    const double zoom = screens::windowZoom(screens::resultsDesign(), available.size(), frame);
    if (zoom != m_controls.zoom()) {
        m_controls.setZoom(zoom);
    }
    setFixedSize(m_controls.clientSize());
    if (!m_placed) {
        // Placed at the first fitting, before it is first shown: a window moved before the
        // desktop has framed it asks for its frame's corner to go there, whereas a shown
        // window still unframed would put its client area there and its title bar above the
        // screen.
        m_placed = true;
        const QSize outer = m_controls.clientSize().grownBy(frame);
        move(available.topLeft() + QPoint((available.width() - outer.width()) / 2,
                                          (available.height() - outer.height()) / 2));
    }
}

void Risultati::search() {
    const QString first = m_controls.as<QLineEdit>(QStringLiteral("Text1"))->text();
    const QString surname = m_controls.as<QLineEdit>(QStringLiteral("Text2"))->text();
    if (!m_view.search(first, surname)) {
        screens::showMessage(this, QStringLiteral("Il tuo nome non è completo.."));
        return;
    }
    concetti();
}

void Risultati::back() {
    m_view.back();
    hide();
    Q_EMIT wentBack();
}

void Risultati::setTextColour(const char* name, const QColor& colour) {
    QWidget* label = m_controls.get(QString::fromLatin1(name));
    QPalette pal = label->palette();
    if (pal.color(QPalette::WindowText) != colour) {
        pal.setColor(QPalette::WindowText, colour);
        label->setPalette(pal);
    }
}

void Risultati::describe() {
    using screens::setSpoken;
    // The prompts over the search boxes are separate labels; each box says what to type.
    setSpoken(m_controls.get(QStringLiteral("Text2")), QStringLiteral("Cognome da cercare"));
    setSpoken(m_controls.get(QStringLiteral("Text1")), QStringLiteral("Nome da cercare"));
    const QString shown = m_controls.as<QLabel>(QStringLiteral("LabNOME"))->text();
    const QString whose = shown.isEmpty() ? QStringLiteral("Risultati")
                                          : QStringLiteral("Risultati di %1").arg(shown);
    setSpoken(m_controls.get(QStringLiteral("Grid5")), whose);
    setSpoken(m_controls.get(QStringLiteral("LabNOME")), whose);
    // Said as the window appears, after its title.
    setAccessibleDescription(
        whose + QStringLiteral(". Tab porta alla tabella dei risultati e alla ricerca di un altro "
                               "nome; Esc torna all'esercizio."));
    // The blanks that place the search's words on two lines are no words.
    auto* searchButton = m_controls.as<screens::LabelButton>(QStringLiteral("LabCERCA"));
    setSpoken(searchButton, searchButton->text().simplified(),
              QStringLiteral("Mostra i risultati del cognome e del nome scritti sopra"));
    setSpoken(m_controls.get(QStringLiteral("Labtorna")), QString(),
              QStringLiteral("Torna all'esercizio"));
    setSpoken(m_controls.get(QStringLiteral("Labesci")), QString(),
              QStringLiteral("Esce dal programma"));
}

bool Risultati::check(const archive::Status& status) {
    if (!status) {
        Q_EMIT failed(status);
    }
    return status.ok();
}

}  // namespace windows
