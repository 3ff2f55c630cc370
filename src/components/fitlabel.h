#pragma once

#include <QLabel>
#include <QRectF>

namespace fairstake {

// A one-line label that keeps its text inside its own rectangle: a text wider
// than the label is drawn smaller, down to 70 % of the font's size, and what is
// still too wide is cut with "…".  The label never grows past its maximum
// width, so the place it may take is set with setMaximumWidth (or a fixed
// geometry).  text() and the accessible name keep the whole text.
class FitLabel : public QLabel {
    Q_OBJECT

public:
    static constexpr qreal kSmallestScale = 0.7;

    explicit FitLabel(QWidget* parent = nullptr);

    // What paintEvent draws: the text (whole or cut), its scale, and the
    // rectangle its glyph advances take, in the label's own pixels.
    struct Fit {
        QString text;
        qreal scale = 1;
        QRectF rect;
    };
    Fit fit() const;

protected:
    void paintEvent(QPaintEvent* event) override;
};

} // namespace fairstake
