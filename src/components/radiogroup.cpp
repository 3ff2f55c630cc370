#include "components/radiogroup.h"

#include <QEvent>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QRadioButton>

namespace fairstake {

RadioGroup::RadioGroup(QWidget* parent) : QGroupBox(parent) {
    connect(this, &QObject::objectNameChanged, this, &RadioGroup::nameButtons);
}

void RadioGroup::setCaption(const QString& caption) { setTitle(caption); }

QString RadioGroup::caption() const { return title(); }

void RadioGroup::setItems(const QStringList& items) {
    qDeleteAll(m_buttons);
    m_buttons.clear();
    m_index = -1;
    for (int i = 0; i < items.size(); ++i) {
        auto* b = new QRadioButton(items.at(i), this);
        b->setAccessibleName(items.at(i).simplified());
        b->setAutoExclusive(true);
        b->installEventFilter(this);
        connect(b, &QRadioButton::toggled, this, [this, i](bool checked) { buttonToggled(i, checked); });
        m_buttons.append(b);
        b->show();
    }
    nameButtons();
    arrangeButtons();
}

QStringList RadioGroup::items() const {
    QStringList out;
    for (const auto* b : m_buttons)
        out.append(b->text());
    return out;
}

void RadioGroup::setColumns(int columns) {
    m_columns = qMax(1, columns);
    arrangeButtons();
}

QRadioButton* RadioGroup::button(int i) const {
    return (i >= 0 && i < m_buttons.size()) ? m_buttons.at(i) : nullptr;
}

void RadioGroup::setItemIndex(int index) {
    if (index < 0 || index >= m_buttons.size())
        index = -1;
    if (index == m_index)
        return;
    m_index = index;
    if (m_marksHeld == 0)
        checkButtons(index);
    Q_EMIT clicked();
}

void RadioGroup::releaseCheckMarks() {
    if (m_marksHeld == 0 || --m_marksHeld > 0)
        return;
    const QRadioButton* checked = m_index >= 0 ? m_buttons.at(m_index) : nullptr;
    for (const auto* b : m_buttons)
        if (b->isChecked() != (b == checked)) {
            checkButtons(m_index);
            return;
        }
}

// Brings the check marks in line with index without reacting to the toggles this
// causes. An auto-exclusive button refuses to be unchecked while it is the
// checked one, so exclusivity is lifted while clearing.
void RadioGroup::checkButtons(int index) {
    m_updating = true;
    if (index >= 0) {
        m_buttons.at(index)->setChecked(true);
    } else {
        for (auto* b : m_buttons) {
            b->setAutoExclusive(false);
            b->setChecked(false);
            b->setAutoExclusive(true);
        }
    }
    m_updating = false;
}

void RadioGroup::buttonToggled(int i, bool checked) {
    // The previously checked button reports its unchecking first; only the
    // newly checked one carries the change.
    if (m_updating || !checked || i == m_index)
        return;
    m_index = i;
    Q_EMIT clicked();
}

// Qt's own arrow handling looks for a neighbour in the pressed direction, so in
// a single row Up and Down would do nothing; items are stepped in order instead.
bool RadioGroup::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress)
        return QGroupBox::eventFilter(watched, event);
    const int from = static_cast<int>(m_buttons.indexOf(qobject_cast<QRadioButton*>(watched)));
    const auto* key = static_cast<QKeyEvent*>(event);
    int step = 0;
    switch (key->key()) {
    case Qt::Key_Left:
    case Qt::Key_Up: step = -1; break;
    case Qt::Key_Right:
    case Qt::Key_Down: step = 1; break;
    default: return QGroupBox::eventFilter(watched, event);
    }
    if (from < 0 || key->modifiers() & (Qt::ControlModifier | Qt::AltModifier))
        return QGroupBox::eventFilter(watched, event);
    const int n = static_cast<int>(m_buttons.size());
    const int to = (from + step + n) % n;
    m_buttons.at(to)->setFocus(step < 0 ? Qt::BacktabFocusReason : Qt::TabFocusReason);
    setItemIndex(to);
    return true;
}

void RadioGroup::nameButtons() {
    const QString base = objectName();
    for (int i = 0; i < m_buttons.size(); ++i)
        m_buttons.at(i)->setObjectName(base + QStringLiteral("_item") + QString::number(i));
}

// Columns share the width left after a 4-pixel border on each side; rows share
// the height below the caption line, with any odd pixels split above and below.
void RadioGroup::arrangeButtons() {
    const int n = static_cast<int>(m_buttons.size());
    if (n == 0)
        return;
    const int perColumn = (n + m_columns - 1) / m_columns;
    const int lineHeight = QFontMetrics(font()).height();
    const int columnWidth = qMax(1, (width() - 10) / m_columns);
    const int free = qMax(perColumn, height() - lineHeight - 5);
    const int rowHeight = free / perColumn;
    const int top = lineHeight + 1 + (free % perColumn) / 2;
    for (int i = 0; i < n; ++i) {
        const int left = (i / perColumn) * columnWidth + 8;
        m_buttons.at(i)->setGeometry(left, (i % perColumn) * rowHeight + top, columnWidth, rowHeight);
    }
}

void RadioGroup::resizeEvent(QResizeEvent* event) {
    QGroupBox::resizeEvent(event);
    arrangeButtons();
}

void RadioGroup::changeEvent(QEvent* event) {
    QGroupBox::changeEvent(event);
    if (event->type() == QEvent::FontChange)
        arrangeButtons();
}

} // namespace fairstake
