#pragma once

#include <QColor>
#include <QFont>
#include <QHash>
#include <QList>
#include <QString>

#include "screens/layout.h"

class QWidget;

namespace screens {

// The widgets one design made, found by control name and, for arrays, index.
class Controls {
public:
    QWidget* get(const QString& name, int index = -1) const;
    template <class T>
    T* as(const QString& name, int index = -1) const {
        return qobject_cast<T*>(get(name, index));
    }
    QList<QWidget*> array(const QString& name) const;

private:
    friend Controls build(QWidget* window, const WindowSpec& design);
    QHash<QString, QList<QWidget*>> m_byName;
};

// Creates, names, places and styles the controls of a design on window (which becomes the
// window of the design: object name, title, client size, background). Array members share
// their name and carry their index in the "index" property.
Controls build(QWidget* window, const WindowSpec& design);

// Finds a built control under window by name and index, as tests and windows do.
QWidget* findControl(const QWidget* window, const QString& name, int index = -1);

// A design colour, with the system colours taken from the application's palette.
QColor colourOf(QRgb colour);

// A design font: sizes in points at 96 dots per inch, given in pixels so that the design
// keeps its proportions whatever the screen reports.
QFont fontOf(const FontSpec& design);

// Maps the design's Windows font names onto metric-compatible free fonts where missing.
void installFontSubstitutes();

}  // namespace screens
