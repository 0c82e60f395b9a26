// SPDX-FileCopyrightText: 2026 The Tempolario developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "windows/ftempver.h"

#include <algorithm>

#include <QApplication>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QLabel>
#include <QScrollBar>
#include <QStyle>
#include <QTimer>
#include <QWheelEvent>

#include "content/spoken.h"
#include "screens/accessibility.h"
#include "screens/designs.h"
#include "screens/facebutton.h"
#include "screens/focusmark.h"
#include "screens/screenfit.h"
#include "windows/datedrag.h"

namespace windows {

namespace {

const QColor kLightGrey(screens::kDoneSetColour);
const QColor kPaleYellow(screens::kBoxColour);
const QColor kRed(screens::kWrongBoxColour);
const QColor kYellow(screens::kDateColour);
const QColor kMagenta(screens::kRightDateColour);

void setBackground(QWidget* widget, const QColor& colour) {
    QPalette pal = widget->palette();
    if (pal.color(QPalette::Window) != colour) {
        pal.setColor(QPalette::Window, colour);
        widget->setPalette(pal);
    }
}

void setCaption(QLabel* label, const QString& text) {
    if (label->text() != text) {
        label->setText(text);
    }
}

}  // namespace

Ftempver::Ftempver(exercise::UniformSource& random, QWidget* parent) : QWidget(parent) {
    m_controls = screens::build(this, screens::exerciseDesign());
    for (int k = 0; k < exercise::Drill::kFacts; ++k) {
        m_facts[k] = m_controls.as<QLabel>(QStringLiteral("Label1"), k);
        m_boxes[k] = m_controls.as<QLabel>(QStringLiteral("Label2"), k);
        m_dates[k] = m_controls.as<QLabel>(QStringLiteral("Label3"), k);
        // A date is picked and a box takes it by Space: to a screen reader both are buttons.
        screens::speakAsPressedBySpace(m_boxes[k]);
        screens::speakAsPressedBySpace(m_dates[k]);
    }
    m_drag = new DateDrag(this, {m_dates.begin(), m_dates.end()}, {m_boxes.begin(), m_boxes.end()},
                          [this](int box, int dateLabel) { dropDate(box, dateLabel); });
    connect(m_drag, &DateDrag::pickChanged, this, [this](int source) {
        describe();
        if (source >= 0) {
            screens::announce(
                this, content::spokenDate(m_drill->dateText(source)) + QStringLiteral(" scelta"));
        }
    });
    connect(m_drag, &DateDrag::pickLetGo, this,
            [this] { screens::announce(this, QStringLiteral("scelta annullata")); });
    connect(m_drag, &DateDrag::nothingToPlace, this,
            [this] { screens::announce(this, QStringLiteral("prima scegli una data")); });
    new screens::FocusMark(this);
    setFocusChain();
    setReadingOrder();
    // Made after the drag, so that scrolling never drops a pick.
    m_scroll = {new QScrollBar(Qt::Horizontal, this), new QScrollBar(Qt::Vertical, this)};
    for (QScrollBar* bar : m_scroll) {
        bar->setFocusPolicy(Qt::NoFocus);
        bar->hide();
        connect(bar, &QScrollBar::valueChanged, this, [this] { placeDesign(); });
    }
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget*, QWidget* now) {
        if (now && now != this && isAncestorOf(now)) {
            showControl(now);
        }
    });

    auto* cmd0 = m_controls.as<screens::FaceButton>(QStringLiteral("cmd0"));
    connect(cmd0, &QPushButton::clicked, this, [this] { chooseSet(0); });
    for (int i = 0; i < content::ExerciseSet::kLastClassCode; ++i) {
        connect(m_controls.as<screens::FaceButton>(QStringLiteral("Cmd1"), i),
                &QPushButton::clicked, this, [this, i] { chooseSet(i + 1); });
    }
    connect(m_controls.as<screens::FaceButton>(QStringLiteral("cmdessenz")), &QPushButton::clicked,
            this, [this] { chooseSet(content::ExerciseSet::kEssentialCode); });
    connect(m_controls.as<screens::FaceButton>(QStringLiteral("cmdnuovo")), &QPushButton::clicked,
            this, [this] { dealNext(); });
    connect(m_controls.as<screens::FaceButton>(QStringLiteral("cmdarchivio")),
            &QPushButton::clicked, this, &Ftempver::archiveRequested);
    connect(m_controls.as<screens::FaceButton>(QStringLiteral("CMDESCO")), &QPushButton::clicked,
            this, &Ftempver::exitRequested);

    m_timer = new QTimer(this);
    m_timer->setObjectName(QStringLiteral("Timer1"));
    m_timer->setInterval(exercise::Drill::kBlinkMs);
    connect(m_timer, &QTimer::timeout, this, [this] { blink(); });
    m_timer->start();

    // Start-up: cover the screen, build the content, then choose the whole table, which
    // deals the first exercise before the window is first shown. Once shown, the window stays
    // maximized, and its size decides the zoom (resizeEvent).
    new screens::ScreenFit(this, [this](const QRect& available, const QMargins&) {
        if (!isVisible()) {
            setGeometry(available);
        }
    });
    setWindowState(windowState() | Qt::WindowMaximized);
    m_table.build();
    fitDesign();
    m_drill = std::make_unique<exercise::Drill>(m_table, random);
    cmd0->click();
}

Ftempver::~Ftempver() = default;

void Ftempver::closeEvent(QCloseEvent* event) {
    event->accept();
    Q_EMIT exitRequested();
}

void Ftempver::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    fitDesign();
}

void Ftempver::fitDesign() {
    if (!m_scroll[0]) {
        return;
    }
    // Each zoom tried is laid out, so that the facts are measured in the rows as drawn.
    const auto textsFit = [this](double z) {
        m_controls.setZoom(z, m_controls.origin());
        return everyFactFits();
    };
    double zoom = screens::coverZoom(screens::exerciseDesign(), size(), textsFit);
    if (zoom < kSmallestZoom) {
        // Smaller, the dates would be too hard to read: the design takes the zoom of the
        // smallest window in which it fits at the smallest zoom or above, and the window
        // scrolls.
        for (double room = kSmallestZoom; zoom < kSmallestZoom && room < 1.2; room += 0.01) {
            zoom =
                screens::coverZoom(screens::exerciseDesign(),
                                   screens::clientSize(screens::exerciseDesign(), room), textsFit);
        }
    }
    m_controls.setZoom(zoom, m_controls.origin());
    const QSize design = screens::clientSize(screens::exerciseDesign(), zoom);
    const int thickness = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this);
    const bool across = design.width() > width();
    const bool down = design.height() > height() - (across ? thickness : 0);
    const bool acrossToo = across || design.width() > width() - (down ? thickness : 0);
    const QSize seen(width() - (down ? thickness : 0), height() - (acrossToo ? thickness : 0));
    m_scroll[0]->setVisible(acrossToo);
    m_scroll[1]->setVisible(down);
    m_scroll[0]->setGeometry(0, seen.height(), seen.width(), thickness);
    m_scroll[1]->setGeometry(seen.width(), 0, thickness, seen.height());
    m_scroll[0]->setRange(0, acrossToo ? design.width() - seen.width() : 0);
    m_scroll[1]->setRange(0, down ? design.height() - seen.height() : 0);
    for (QScrollBar* bar : m_scroll) {
        const int page = bar->orientation() == Qt::Horizontal ? seen.width() : seen.height();
        bar->setPageStep(page);
        constexpr int kStepsPerPage = 10;
        bar->setSingleStep(std::max(1, page / kStepsPerPage));
        bar->raise();
    }
    placeDesign();
}

void Ftempver::placeDesign() {
    const QSize design = m_controls.clientSize();
    // Spare width is shared on both sides, so that on a wide whiteboard the rows and the
    // panel stand in the middle, within reach; spare height stays below the strip.
    const QPoint origin(std::max(0, (width() - design.width()) / 2) - m_scroll[0]->value(),
                        -m_scroll[1]->value());
    if (origin != m_controls.origin()) {
        m_controls.setZoom(m_controls.zoom(), origin);
    }
}

void Ftempver::showControl(const QWidget* control) {
    const QRect place(control->mapTo(this, QPoint(0, 0)), control->size());
    const QRect seen(0, 0, m_scroll[1]->isVisible() ? m_scroll[1]->x() : width(),
                     m_scroll[0]->isVisible() ? m_scroll[0]->y() : height());
    const auto bring = [](QScrollBar* bar, int from, int to, int seenFrom, int seenTo) {
        if (to > seenTo) {
            bar->setValue(bar->value() + to - seenTo);
        }
        if (from < seenFrom) {
            bar->setValue(bar->value() - (seenFrom - from));
        }
    };
    bring(m_scroll[0], place.left(), place.right(), seen.left(), seen.right());
    bring(m_scroll[1], place.top(), place.bottom(), seen.top(), seen.bottom());
}

void Ftempver::wheelEvent(QWheelEvent* event) {
    QScrollBar* bar = m_scroll[1]->isVisible() ? m_scroll[1] : m_scroll[0];
    if (bar->isVisible()) {
        QCoreApplication::sendEvent(bar, event);
    }
}

bool Ftempver::everyFactFits() const {
    const QLabel* row = m_facts[0];
    const QRect inside = row->contentsRect();
    const QFontMetrics metrics(row->font());
    for (int p = 1; p <= content::FactTable::kRows; ++p) {
        if (metrics.boundingRect(inside, Qt::TextWordWrap, m_table.row(p).fact).height() >
            inside.height()) {
            return false;
        }
    }
    return true;
}

void Ftempver::setFocusChain() {
    // The date labels, then the boxes, each column one Tab stop, then the buttons in their
    // designed order. The focus starts on the first date label: the designed first, ESCO,
    // would let one press of Space store and end the program.
    QList<QWidget*> chain;
    chain.append(m_dates[0]);
    chain.append(m_boxes[0]);
    for (int k = 1; k < exercise::Drill::kFacts; ++k) {
        chain.insert(k, m_dates[k]);
        chain.append(m_boxes[k]);
    }
    for (const char* entry : screens::exerciseDesign().focusOrder) {
        const QStringList parts = QString::fromUtf8(entry).split(QLatin1Char('#'));
        if (QWidget* widget =
                m_controls.get(parts.at(0), parts.size() > 1 ? parts.at(1).toInt() : -1)) {
            chain.append(widget);
        }
    }
    for (qsizetype i = 1; i < chain.size(); ++i) {
        QWidget::setTabOrder(chain.at(i - 1), chain.at(i));
    }
    m_drag->focusFirstSource();
}

void Ftempver::setReadingOrder() {
    // Row by row, fact, box and date as the eye reads them; then the counters as sentences
    // (their bare figures are left out), the next exercise, and the panel from the top.
    QList<QWidget*> order;
    for (int k = 0; k < exercise::Drill::kFacts; ++k) {
        order << m_facts[k] << m_boxes[k] << m_dates[k];
    }
    for (const char* name :
         {"Label4", "Label10", "Label11", "Labaiuti", "cmdnuovo", "cmd0", "cmdessenz", "Label9"}) {
        order << m_controls.get(QString::fromLatin1(name));
    }
    // The class buttons as they stand, 4°, 5°, 1°, 2°, 3°.
    for (const int i : {3, 4, 0, 1, 2}) {
        order << m_controls.get(QStringLiteral("Cmd1"), i);
    }
    order << m_controls.get(QStringLiteral("cmdarchivio"))
          << m_controls.get(QStringLiteral("CMDESCO"));
    screens::setReadingOrder(this, order);
    // The title tells a pupil with a mouse what to do; this tells one at the keyboard.
    setAccessibleDescription(QStringLiteral(
        "Con la tastiera: Tab porta alle date, le frecce su e giù scelgono la riga, Spazio "
        "sceglie la data; freccia sinistra porta alle caselle, Spazio mette la data nella "
        "casella."));
}

void Ftempver::chooseSet(int code) {
    m_drag->dropPick();
    m_drill->chooseSet(code);
    paintSetButtons();
    paintExercise();
}

void Ftempver::setReview(std::optional<exercise::ReviewPlan> plan) {
    const bool review = plan.has_value();
    m_drill->setReview(std::move(plan));
    if (review && m_drill->answersTotal() == 0) {
        dealNext();
    }
}

void Ftempver::dealNext() {
    m_drag->dropPick();
    m_drill->deal();
    paintExercise();
}

void Ftempver::dropDate(int box, int dateLabel) {
    m_drill->drop(box, dateLabel);
    setCaption(m_boxes[box], m_drill->boxText(box));
    setBackground(m_boxes[box],
                  m_drill->boxState(box) == exercise::BoxState::Wrong ? kRed : kPaleYellow);
    if (m_drill->placedRight(dateLabel)) {
        setBackground(m_dates[dateLabel], kMagenta);
    }
    paintCounters();
    describe();
    // The box says what it holds; the announcement says it at once, with the count.
    screens::announce(this,
                      m_boxes[box]->accessibleName() + QStringLiteral(". %1 giuste su %2")
                                                           .arg(m_drill->rightInExercise())
                                                           .arg(m_drill->answersInExercise()));
}

void Ftempver::blink() {
    m_drill->tick();
    paintSetButtons();
}

void Ftempver::paintExercise() {
    for (int k = 0; k < exercise::Drill::kFacts; ++k) {
        setCaption(m_facts[k], m_drill->factText(k));
        setCaption(m_boxes[k], m_drill->boxText(k));
        setBackground(m_boxes[k],
                      m_drill->boxState(k) == exercise::BoxState::Wrong ? kRed : kPaleYellow);
        setCaption(m_dates[k], m_drill->dateText(k));
        setBackground(m_dates[k], m_drill->placedRight(k) ? kMagenta : kYellow);
    }
    paintCounters();
    describe();
}

void Ftempver::paintCounters() {
    const std::array counters{m_drill->rightInExercise(), m_drill->answersInExercise(),
                              m_drill->rightTotal(), m_drill->answersTotal()};
    const std::array names{"Label5", "Label6", "Label7", "Label8"};
    for (std::size_t i = 0; i < counters.size(); ++i) {
        setCaption(m_controls.as<QLabel>(QLatin1String(names[i])), QString::number(counters[i]));
    }
}

void Ftempver::paintSetButtons() {
    const QColor face = screens::colourOf(screens::kButtonFace);
    for (int code = 0; code < content::ExerciseSet::kCount; ++code) {
        const exercise::SetButtonLook look = m_drill->setButton(code);
        screens::FaceButton* button = setButton(code);
        if (!look.enabled && button->hasFocus()) {
            // A disabled button would hand the focus on along the chain, which ends at
            // ESCO; the first date label is harmless and where the pupil goes next.
            m_drag->focusFirstSource();
        }
        button->setEnabled(look.enabled);
        button->setFace(look.lightGrey ? kLightGrey : face);
    }
}

void Ftempver::describe() {
    using screens::setSpoken;
    // Colours tell right from wrong on screen; the names say it. A box names its row and is
    // described by the row's fact, so that a pupil on a box hears which fact it answers.
    for (int k = 0; k < exercise::Drill::kFacts; ++k) {
        const QString row = QString::number(k + 1);
        const QString& fact = m_drill->factText(k);
        setSpoken(m_facts[k], QStringLiteral("Riga %1: %2").arg(row, fact));
        QString box;
        switch (m_drill->boxState(k)) {
            case exercise::BoxState::Empty:
                box = QStringLiteral("Casella della riga %1: vuota").arg(row);
                break;
            case exercise::BoxState::Right:
                box = QStringLiteral("Casella della riga %1: %2, giusto")
                          .arg(row, content::spokenDate(m_drill->boxText(k)));
                break;
            case exercise::BoxState::Wrong:
                box = QStringLiteral("Casella della riga %1: %2, sbagliato")
                          .arg(row, content::spokenDate(m_drill->boxText(k)));
                break;
        }
        setSpoken(m_boxes[k], box, fact);
        QString date = QStringLiteral("Data %1").arg(content::spokenDate(m_drill->dateText(k)));
        if (m_drill->placedRight(k)) {
            date += QStringLiteral(", già messa nella casella giusta");
        }
        if (m_drag->picked() == k) {
            date += QStringLiteral(", scelta");
        }
        setSpoken(m_dates[k], date);
    }

    // The counters sit in the gaps of two text lines; each line says the whole sentence, and
    // each counter what it counts.
    const auto label = [this](const char* name) { return m_controls.get(QLatin1String(name)); };
    const QString right = QString::number(m_drill->rightInExercise());
    const QString given = QString::number(m_drill->answersInExercise());
    const QString rightTotal = QString::number(m_drill->rightTotal());
    const QString givenTotal = QString::number(m_drill->answersTotal());
    setSpoken(label("Label4"),
              QStringLiteral("Giuste nell'esercizio attuale: %1 su %2").arg(right, given));
    setSpoken(label("Label5"), QStringLiteral("Giuste nell'esercizio attuale: %1").arg(right));
    setSpoken(label("Label6"), QStringLiteral("Risposte nell'esercizio attuale: %1").arg(given));
    setSpoken(label("Label10"), QStringLiteral("Giuste in totale: %1 su %2").arg(rightTotal, givenTotal));
    setSpoken(label("Label7"), QStringLiteral("Giuste in totale: %1").arg(rightTotal));
    setSpoken(label("Label8"), QStringLiteral("Risposte in totale: %1").arg(givenTotal));

    // The set buttons: which set each one drills (a class button shows only "4°", which a
    // speech engine reads as degrees), and which one is in force, which on screen blinks and
    // is disabled.
    for (int code = 0; code < content::ExerciseSet::kCount; ++code) {
        screens::FaceButton* button = setButton(code);
        QString name;
        if (code >= content::ExerciseSet::kFirstClassCode &&
            code <= content::ExerciseSet::kLastClassCode) {
            name = content::classOrdinal(code) + QStringLiteral(" classe");
        }
        const bool inForce = m_drill->hasSet() && m_drill->currentSet().code == code;
        setSpoken(button, name, inForce ? QStringLiteral("scelta attuale") : QString());
    }
    setSpoken(m_controls.get(QStringLiteral("cmdarchivio")), QString(),
              QStringLiteral("Registra i risultati e li mostra"));
    setSpoken(m_controls.get(QStringLiteral("CMDESCO")), QString(),
              QStringLiteral("Registra i risultati ed esce dal programma"));
}

screens::FaceButton* Ftempver::setButton(int code) const {
    if (code == 0) {
        return m_controls.as<screens::FaceButton>(QStringLiteral("cmd0"));
    }
    if (code == content::ExerciseSet::kEssentialCode) {
        return m_controls.as<screens::FaceButton>(QStringLiteral("cmdessenz"));
    }
    return m_controls.as<screens::FaceButton>(QStringLiteral("Cmd1"), code - 1);
}

}  // namespace windows
