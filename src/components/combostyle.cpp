#include "components/combostyle.h"

#include <QApplication>
#include <QStyleFactory>
#include <QStyleOptionComboBox>

namespace fairstake {

NarrowComboStyle::NarrowComboStyle(int arrowWidth, QObject* owner)
    : QProxyStyle(QStyleFactory::create(QApplication::style()->name())), arrowWidth_(arrowWidth) {
    setParent(owner);
}

QRect NarrowComboStyle::subControlRect(ComplexControl control, const QStyleOptionComplex* option,
                                       SubControl sub, const QWidget* widget) const {
    const auto* combo = qstyleoption_cast<const QStyleOptionComboBox*>(option);
    if (control != CC_ComboBox || !combo || !combo->editable ||
        (sub != SC_ComboBoxArrow && sub != SC_ComboBoxEditField))
        return QProxyStyle::subControlRect(control, option, sub, widget);
    // The base style's rectangles, with the arrow's left edge moved right.
    const QRect arrow = QProxyStyle::subControlRect(control, option, SC_ComboBoxArrow, widget);
    const QRect field = QProxyStyle::subControlRect(control, option, SC_ComboBoxEditField, widget);
    const int gain = qMax(0, arrow.width() - arrowWidth_);
    const bool rightToLeft = option->direction == Qt::RightToLeft;
    if (sub == SC_ComboBoxArrow)
        return rightToLeft ? arrow.adjusted(0, 0, -gain, 0) : arrow.adjusted(gain, 0, 0, 0);
    return rightToLeft ? field.adjusted(-gain, 0, 0, 0) : field.adjusted(0, 0, gain, 0);
}

} // namespace fairstake
