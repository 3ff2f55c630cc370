#pragma once

#include <QAbstractButton>
#include <QColor>
#include <QPixmap>

namespace fairstake {

// A flat bitmap button that lights up under the mouse (hot tracking): the
// glyph, and the caption beside it when there is one, on the parent's
// background; a frame in the hot-track colour while the pointer is over it,
// the glyph one pixel down and right while pressed, a focus frame when it has
// the keyboard focus.
class GlyphButton : public QAbstractButton {
    Q_OBJECT

public:
    explicit GlyphButton(QWidget* parent = nullptr);

    void setGlyph(const QPixmap& glyph);
    QPixmap glyph() const { return m_glyph; }
    void setHotTrackColor(const QColor& colour);
    QColor hotTrackColor() const { return m_hotColour; }
    bool isHot() const { return m_hot; }

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    QPixmap m_glyph;
    QColor m_hotColour{0x1f, 0x6f, 0x3f};
    bool m_hot = false;
};

} // namespace fairstake
