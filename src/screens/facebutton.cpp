#include "screens/facebutton.h"

#include <qdrawutil.h>
#include <QPainter>
#include <QStyleOptionFocusRect>

namespace screens {

FaceButton::FaceButton(QWidget* parent) : QPushButton(parent) {
    setFocusPolicy(Qt::StrongFocus);
}

QColor FaceButton::face() const {
    return palette().color(QPalette::Button);
}

void FaceButton::setFace(const QColor& colour) {
    if (face() == colour) {
        return;
    }
    QPalette pal = palette();
    pal.setColor(QPalette::Button, colour);
    setPalette(pal);
}

void FaceButton::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const QColor faceColour = face();
    const bool sunken = isDown();
    QPalette bevel = palette();
    bevel.setColor(QPalette::Button, faceColour);
    bevel.setColor(QPalette::Light, faceColour.lighter(150));
    bevel.setColor(QPalette::Midlight, faceColour.lighter(115));
    bevel.setColor(QPalette::Mid, faceColour.darker(150));
    bevel.setColor(QPalette::Dark, faceColour.darker(200));
    bevel.setColor(QPalette::Shadow, Qt::black);
    const QBrush fill(faceColour);
    qDrawWinButton(&painter, rect(), bevel, sunken, &fill);

    QRect textRect = rect().adjusted(4, 3, -4, -3);
    if (sunken) {
        textRect.translate(1, 1);
    }
    const int flags = Qt::AlignCenter | Qt::TextWordWrap;
    painter.setFont(font());
    if (isEnabled()) {
        painter.setPen(palette().color(QPalette::Active, QPalette::ButtonText));
        painter.drawText(textRect, flags, text());
    } else {
        // Greyed, etched caption of a disabled button.
        painter.setPen(bevel.color(QPalette::Light));
        painter.drawText(textRect.translated(1, 1), flags, text());
        painter.setPen(bevel.color(QPalette::Mid));
        painter.drawText(textRect, flags, text());
    }
    if (hasFocus()) {
        QStyleOptionFocusRect option;
        option.initFrom(this);
        option.rect = rect().adjusted(3, 3, -3, -3);
        option.backgroundColor = faceColour;
        style()->drawPrimitive(QStyle::PE_FrameFocusRect, &option, &painter, this);
    }
}

}  // namespace screens
