// SPDX-FileCopyrightText: 2026 The Tempolario developers
// SPDX-License-Identifier: GPL-3.0-or-later
#include "screens/grid.h"

#include <cmath>

#include <QEvent>
#include <QHeaderView>

#include "screens/layout.h"

namespace screens {

Grid::Grid(QWidget* parent) : QTableWidget(parent) {
    // Row 0 and column 0 are the header sections: fixed, and never scrolled.
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setCornerButtonEnabled(false);
    setShowGrid(true);
    horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    horizontalHeader()->setSectionsClickable(false);
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setSectionsClickable(false);
    horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    verticalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setRows(1);
    setCols(1);
    m_rowHeight = verticalHeader()->defaultSectionSize();
}

void Grid::changeEvent(QEvent* event) {
    if (event->type() == QEvent::PaletteChange) {
        // The headers paint their empty area (under the row heading, right of the last
        // heading) in the window colour; it takes the grid's own background instead, as
        // the empty area of the cells does.
        for (QHeaderView* header : {horizontalHeader(), verticalHeader()}) {
            QPalette pal = header->palette();
            if (pal.color(QPalette::Window) != palette().color(QPalette::Base)) {
                pal.setColor(QPalette::Window, palette().color(QPalette::Base));
                header->setPalette(pal);
            }
        }
    }
    QTableWidget::changeEvent(event);
}

void Grid::showEvent(QShowEvent* event) {
    matchHeadingRow();
    QTableWidget::showEvent(event);
}

void Grid::matchHeadingRow() {
    // The heading row as tall as a row of values, in whatever font the grid was given.
    const int height =
        std::max(verticalHeader()->defaultSectionSize(), horizontalHeader()->sizeHint().height());
    verticalHeader()->setDefaultSectionSize(height);
    horizontalHeader()->setFixedHeight(height);
}

void Grid::setRows(int rows) {
    setRowCount(std::max(0, rows - 1));
}

void Grid::setCols(int cols) {
    setColumnCount(std::max(0, cols - 1));
}

void Grid::setColumnWidthTwips(int col, int twips) {
    m_widthTwips.insert(col, twips);
    applyColumnWidth(col);
}

void Grid::setZoom(double zoom) {
    m_zoom = zoom;
    // Rows grow and shrink with the zoomed font, so a cell's text is never cut.
    verticalHeader()->setMinimumSectionSize(1);
    verticalHeader()->setDefaultSectionSize(
        std::max(1, static_cast<int>(std::lround(m_rowHeight * zoom))));
    for (auto it = m_widthTwips.cbegin(); it != m_widthTwips.cend(); ++it) {
        applyColumnWidth(it.key());
    }
    matchHeadingRow();
}

void Grid::applyColumnWidth(int col) {
    const int twips = m_widthTwips.value(col);
    if (col == 0) {
        verticalHeader()->setFixedWidth(pixels(twips, m_zoom));
    } else {
        setColumnWidth(col - 1, pixels(twips, m_zoom));
    }
}

int Grid::columnWidthPixels(int col) const {
    return col == 0 ? verticalHeader()->width() : columnWidth(col - 1);
}

QString Grid::text(int row, int col) const {
    const QTableWidgetItem* cell = nullptr;
    if (row == 0 && col == 0) {
        return QString();
    }
    if (row == 0) {
        cell = horizontalHeaderItem(col - 1);
    } else if (col == 0) {
        cell = verticalHeaderItem(row - 1);
    } else {
        cell = item(row - 1, col - 1);
    }
    return cell ? cell->text() : QString();
}

void Grid::setText(int row, int col, const QString& text) {
    if (row == 0 && col == 0) {
        return;  // the corner shows nothing
    }
    if (row == 0) {
        setHorizontalHeaderItem(col - 1, new QTableWidgetItem(text));
    } else if (col == 0) {
        setVerticalHeaderItem(row - 1, new QTableWidgetItem(text));
    } else {
        setItem(row - 1, col - 1, new QTableWidgetItem(text));
    }
}

void Grid::setSpokenText(int row, int col, const QString& text) {
    if (QTableWidgetItem* cell = row > 0 && col > 0 ? item(row - 1, col - 1) : nullptr) {
        cell->setData(Qt::AccessibleTextRole, text);
    }
}

}  // namespace screens
