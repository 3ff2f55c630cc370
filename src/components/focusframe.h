#pragma once

#include <QPointer>
#include <QWidget>
#include <vector>

namespace fairstake {

// A focus frame for controls the style draws none on (radio buttons and check
// boxes without a caption, scroll bars): while one of the watched controls has
// the keyboard focus, a dotted frame is drawn just around it, above its
// neighbours.  The frame takes no clicks and no focus.  The watched controls
// must be children of the frame's parent.
class FocusFrame : public QWidget {
    Q_OBJECT

public:
    static constexpr int kMargin = 2; // pixels between the control and the frame's outer edge

    explicit FocusFrame(QWidget* parent);
    void watch(QWidget* control);
    // The control the frame is drawn around, or null while it is hidden.
    QWidget* framed() const { return m_framed; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void follow(QWidget* focused);

    std::vector<QPointer<QWidget>> m_watched;
    QPointer<QWidget> m_framed;
};

} // namespace fairstake
