#pragma once

#include <functional>

#include <QWidget>

#include "archive/resultsview.h"
#include "screens/builder.h"

namespace archive {

// The results window: the stored outcome of the pupil's name, or of a searched one, in a
// grid. It is shown over the exercise window without blocking it, and only ever hidden.
class Risultati : public QWidget {
    Q_OBJECT
public:
    explicit Risultati(Modtempar& shared, QWidget* parent = nullptr);

    // Start and refresh ("AGGIORNA I RISULTATI"): reopens the archive and fills the grid for
    // the pupil's name. False after a failure, which has been passed to onFailure.
    bool start();
    // Fills the grid with the outcome of currentName.
    bool concetti();

    const ResultsView& view() const { return m_view; }
    const screens::Controls& controls() const { return m_controls; }

    std::function<void(const Status&)> onFailure;
    std::function<void()> onExit;  // "Esco"

protected:
    void mouseMoveEvent(QMouseEvent* event) override;
    // Closing by the frame is going back, as "TORNA" does.
    void closeEvent(QCloseEvent* event) override;

private:
    // What a screen reader says of the controls whose own text does not say it all.
    void describe();
    void search();
    void back();
    void setTextColour(const char* name, const QColor& colour);
    bool check(const Status& status) const;

    ResultsView m_view;
    screens::Controls m_controls;
};

// How the grid shows a stored value: numbers as plain digits, the date in the user's short
// date form followed by the time of day; a missing value as an empty cell.
QString cellText(const QVariant& value);

}  // namespace archive
