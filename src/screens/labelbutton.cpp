#include "screens/labelbutton.h"

#include <QMouseEvent>

namespace screens {

LabelButton::LabelButton(QWidget* parent) : QLabel(parent) {
    setMouseTracking(true);
    setCursor(Qt::PointingHandCursor);
}

void LabelButton::mouseMoveEvent(QMouseEvent* event) {
    Q_EMIT hovered();
    event->accept();
}

void LabelButton::mousePressEvent(QMouseEvent* event) {
    event->accept();
}

void LabelButton::mouseReleaseEvent(QMouseEvent* event) {
    event->accept();
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint())) {
        Q_EMIT clicked();
    }
}

}  // namespace screens
