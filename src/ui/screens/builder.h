// SPDX-FileCopyrightText: 2026 The Tempolario developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>

#include <QColor>
#include <QFont>
#include <QHash>
#include <QList>
#include <QMargins>
#include <QPalette>
#include <QPoint>
#include <QSize>
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

    // Draws the whole design at one zoom factor: places, sizes, fonts, pictures and lines
    // all scale together, with the design's top-left corner at origin in the window. The
    // window's own size is the caller's.
    void setZoom(double zoom, QPoint origin = {});
    double zoom() const { return m_zoom; }
    QPoint origin() const { return m_origin; }
    // The design's client area at the present zoom.
    QSize clientSize() const;

private:
    friend Controls build(QWidget* window, const WindowSpec& design, double zoom);
    struct Placed {
        QWidget* widget;
        const ControlSpec* design;
        int member;
    };
    QHash<QString, QList<QWidget*>> m_byName;
    QList<Placed> m_placed;
    const WindowSpec* m_design = nullptr;
    QWidget* m_window = nullptr;
    QWidget* m_backgroundPicture = nullptr;
    QSize m_backgroundSize;  // the background picture's natural size
    double m_zoom = 1.0;
    QPoint m_origin;
};

// Creates, names, places and styles the controls of a design on window (which becomes the
// window of the design: object name, title, client size at zoom, background). Array members
// share their name and carry their index in the "index" property.
Controls build(QWidget* window, const WindowSpec& design, double zoom = 1.0);
// Starts decoding the design's background picture on a thread of its own, for the build()
// that follows: at the start, while the fonts are looked up, rather than after them. Needs
// the application object.
void preloadBackground(const WindowSpec& design);

// The design's client area in device-independent pixels at zoom.
QSize clientSize(const WindowSpec& design, double zoom);

// The zoom of a window that covers the screen: the largest at which the whole design fits
// in the window's client area, so it grows with the screen and shrinks on small ones. Fonts
// come in whole pixels, so a text may come out a little wider or narrower than the zoom
// says: the zoom taken is the largest, at most 10 % smaller, at which no word of a label
// laid out with blanks slips under a control in its gap, and at which textsFit (the window's
// own check of the texts it will show) holds.
double coverZoom(const WindowSpec& design, QSize client,
                 const std::function<bool(double zoom)>& textsFit = {});

// The zoom of a window shown over the others (name, results): it shrinks until the window
// with its frame fits in the screen's available area, and grows on big screens only so far
// that the window takes at most kWindowShare of that area, never below its designed size
// for that reason.
inline constexpr double kWindowShare = 0.85;
double windowZoom(const WindowSpec& design, QSize available, QMargins frame);

// The frame that the desktop draws around window: the real one once the window is shown in
// its frame, an allowance for a title bar and borders before.
QMargins frameMargins(const QWidget* window);

// Finds a built control under window by name and index, as tests and windows do.
QWidget* findControl(const QWidget* window, const QString& name, int index = -1);

// The palette that the design's system colours (button face, button text, window text) come
// from: the standard light palette, whatever the desktop's theme. The design fixes most
// backgrounds to pale colours, so texts on them must stay dark under a dark desktop theme.
const QPalette& designPalette();

// A design colour, with the system colours taken from designPalette().
QColor colourOf(QRgb colour);

// A design font at a zoom: sizes in points at 96 dots per inch, given in pixels (points × 4/3
// times the zoom, to the nearest whole pixel, the only sizes fonts come in) so that the
// design keeps its proportions whatever the screen reports.
QFont fontOf(const FontSpec& design, double zoom = 1.0);

// Maps the design's Windows font names onto metric-compatible free fonts where missing.
void installFontSubstitutes();

}  // namespace screens
