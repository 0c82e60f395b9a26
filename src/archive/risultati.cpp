#include "archive/risultati.h"

#include <QCloseEvent>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMouseEvent>
#include <QPushButton>

#include "screens/accessibility.h"
#include "screens/designs.h"
#include "screens/grid.h"
#include "screens/labelbutton.h"
#include "screens/messages.h"

namespace archive {

namespace {

const QColor kHoverRed(255, 0, 0);
const QColor kSearchRest(192, 192, 192);
const QColor kPinkRest(255, 192, 255);

constexpr int kColumnWidths[] = {2200, 800, 800, 2600};

QString timeOfDay(const QLocale& locale, const QTime& time) {
    QString format = locale.timeFormat(QLocale::ShortFormat);
    // The regional form to the second: seconds after the minutes where the form has none.
    if (!format.contains(QLatin1Char('s'))) {
        format.replace(QLatin1String("mm"), QLatin1String("mm:ss"));
    }
    return locale.toString(time, format);
}

}  // namespace

QString cellText(const QVariant& value) {
    if (value.isNull() || !value.isValid()) {
        return QString();
    }
    if (value.typeId() == QMetaType::QDateTime) {
        const QDateTime when = value.toDateTime();
        const QLocale locale = QLocale::system();
        return locale.toString(when.date(), QLocale::ShortFormat) + QLatin1Char(' ') +
               timeOfDay(locale, when.time());
    }
    if (value.typeId() == QMetaType::Double) {
        return QString::number(value.toDouble(), 'g', 15);
    }
    return value.toString();
}

Risultati::Risultati(Modtempar& shared, QWidget* parent) : QWidget(parent), m_view(shared) {
    m_controls = screens::build(this, screens::resultsDesign());
    setMouseTracking(true);
    connect(m_controls.as<QPushButton>(QStringLiteral("CMDAGGIORNA")), &QPushButton::clicked, this,
            [this] { start(); });
    auto* searchButton = m_controls.as<screens::LabelButton>(QStringLiteral("LabCERCA"));
    auto* backButton = m_controls.as<screens::LabelButton>(QStringLiteral("Labtorna"));
    auto* exitButton = m_controls.as<screens::LabelButton>(QStringLiteral("Labesci"));
    connect(searchButton, &screens::LabelButton::clicked, this, &Risultati::search);
    connect(backButton, &screens::LabelButton::clicked, this, &Risultati::back);
    connect(exitButton, &screens::LabelButton::clicked, this, [this] {
        if (onExit) {
            onExit();
        }
    });
    connect(searchButton, &screens::LabelButton::hovered, this,
            [this] { setTextColour("LabCERCA", kHoverRed); });
    connect(backButton, &screens::LabelButton::hovered, this,
            [this] { setTextColour("Labtorna", kHoverRed); });
    connect(exitButton, &screens::LabelButton::hovered, this,
            [this] { setTextColour("Labesci", kHoverRed); });
    describe();
}

bool Risultati::start() {
    if (!check(m_view.start())) {
        return false;
    }
    m_controls.as<QLabel>(QStringLiteral("LabNOME"))->setText(m_view.currentName());
    return concetti();
}

bool Risultati::concetti() {
    auto* grid = m_controls.as<screens::Grid>(QStringLiteral("Grid5"));
    grid->setCols(4);
    grid->setRows(2);
    Outcome outcome;
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
    grid->setText(1, 1, cellText(outcome.right));
    grid->setText(1, 2, cellText(outcome.given));
    grid->setText(1, 3, cellText(outcome.when));
    m_controls.as<QLabel>(QStringLiteral("LabNOME"))->setText(m_view.currentName());
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
    setSpoken(m_controls.get(QStringLiteral("Grid5")),
              shown.isEmpty() ? QStringLiteral("Risultati")
                              : QStringLiteral("Risultati di %1").arg(shown));
    setSpoken(m_controls.get(QStringLiteral("LabCERCA")), QString(),
              QStringLiteral("Mostra i risultati del cognome e del nome scritti sopra"));
    setSpoken(m_controls.get(QStringLiteral("Labtorna")), QString(),
              QStringLiteral("Torna all'esercizio"));
    setSpoken(m_controls.get(QStringLiteral("Labesci")), QString(),
              QStringLiteral("Esce dal programma"));
}

bool Risultati::check(const Status& status) const {
    if (!status && onFailure) {
        onFailure(status);
    }
    return status.ok();
}

}  // namespace archive
