#pragma once

#include <QProxyStyle>

namespace fairstake {

// The application's style with a narrower drop-down part on editable combo
// boxes, as classic desktop combos have: a combo a few dozen pixels wide then
// keeps room for its text ("1 to 15" in 57 pixels) instead of scrolling it.
// Only the geometry changes; the style draws the frame, the button and its
// arrow in the narrower rectangle as usual.
class NarrowComboStyle : public QProxyStyle {
    Q_OBJECT

public:
    // `arrowWidth`: the drop-down part's width in device-independent pixels.
    explicit NarrowComboStyle(int arrowWidth, QObject* owner = nullptr);

    QRect subControlRect(ComplexControl control, const QStyleOptionComplex* option, SubControl sub,
                         const QWidget* widget = nullptr) const override;

private:
    int arrowWidth_;
};

} // namespace fairstake
