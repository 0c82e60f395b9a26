// SPDX-FileCopyrightText: 2026 The Tempolario developers
// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QHash>
#include <QTableWidget>

namespace screens {

// A grid of cells whose first row and first column are fixed header cells, drawn in the
// button-face colour and never scrolled. Rows and columns count from 0, headers included.
class Grid : public QTableWidget {
    Q_OBJECT
public:
    explicit Grid(QWidget* parent = nullptr);

    int rows() const { return rowCount() + 1; }
    int cols() const { return columnCount() + 1; }
    // Changes the numbers of rows and columns; the texts of cells that stay are kept.
    void setRows(int rows);
    void setCols(int cols);
    // Column widths are kept in twips and shown at the zoom of the window's design.
    void setColumnWidthTwips(int col, int twips);
    void setZoom(double zoom);
    int columnWidthPixels(int col) const;
    QString text(int row, int col) const;
    void setText(int row, int col, const QString& text);
    // What a screen reader says of a cell of values, where its text alone does not say it.
    void setSpokenText(int row, int col, const QString& text);

protected:
    void changeEvent(QEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void applyColumnWidth(int col);
    void matchHeadingRow();

    double m_zoom = 1.0;
    int m_rowHeight = 0;  // the rows' height at zoom 1
    QHash<int, int> m_widthTwips;
};

}  // namespace screens
