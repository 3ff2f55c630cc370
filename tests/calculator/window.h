#pragma once
// Drives the calculator window through its controls and reads back what the user
// sees, from short scripts of steps separated by ';':
//   play N            click the quantity button for N horses
//   type B TEXT       focus odds box B and type TEXT at its end
//   clear B           empty odds box B
//   fill              play 9 and put 2 .. 10 into the nine boxes
//   click NAME [X Y]  left click (at X,Y); rclick is the right button, press a press only
//   set NAME [TEXT]   set a box's text or a scroll bar's value
//   keys NAME TEXT    focus NAME and type TEXT
//   tab NAME          focus NAME and press Tab; space NAME presses the space bar
//   hover NAME X Y    move the mouse over NAME
//   trigger NAME      trigger the menu item NAME; f1 NAME focuses NAME and presses F1
//   NAME=TEXT         NAME shows TEXT (a label, box or button text, a scroll bar's value);
//                     NAME~TEXT: it contains TEXT.  Pseudo names: amounts (the first amount
//                     labels, '|' between), row (the first five odds boxes), filled and enabled
//                     (x or - per odds box), min and max (of the target bar), focus, messages
//                     (how many were shown), message (the last one's text), warning (0 or 1),
//                     popup (the help topic of the pop-up shown, which is then closed).
// A '.' next to a digit stands for the window's decimal separator and '^' for the other one.

#include "calculator/frmjeugagnant.h"
#include "components/radiogroup.h"
#include "help/helpfile.h"
#include "help/helpviewer.h"
#include "support/processlocale.h"

#include <QAbstractSlider>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QRegularExpression>
#include <QScrollBar>
#include <QTest>
#include <memory>

namespace fairstake::test {

class Driver {
public:
    // The C library's locale follows the window's separator, as it does in the
    // program (QApplication sets it from the environment).
    explicit Driver(QChar separator)
        : locale_(separator.unicode()), w(std::make_unique<TfrmJeuGagnant>(separator)), sep(separator) {
        previous_ = setMessageAnswerer([this](QWidget*, const MessageRequest& r) {
            asked.push_back(r);
            return answer;
        });
        help::setApplicationHelpFile(help::InstalledHelpFile());
        w->show();
        exposed = QTest::qWaitForWindowExposed(w.get());
    }
    ~Driver() { setMessageAnswerer(std::move(previous_)); }

    // Empty when every step ran and every check held, else the first difference.
    QString run(const QString& script) {
        for (const QString& raw : script.split(u';')) {
            const QString step = raw.trimmed();
            if (step.isEmpty()) continue;
            const QString problem = this->step(step);
            if (!problem.isEmpty()) return step + QStringLiteral(": ") + problem;
        }
        return {};
    }

    QString figures(QString text) const {
        static const QRegularExpression point(QStringLiteral("(?<=\\d)\\.|\\.(?=\\d)"));
        text.replace(point, QString(sep));
        return text.replace(u'^', sep == u'.' ? u',' : u'.');
    }
    QWidget* control(const QString& name) const { return w->findChild<QWidget*>(name); }
    QLineEdit* box(int i) const { return w->txtCote[static_cast<std::size_t>(i - 1)]; }
    static void hover(QWidget* c, QPoint pos) {
        QMouseEvent move(QEvent::MouseMove, pos, c->mapToGlobal(pos), Qt::NoButton, Qt::NoButton,
                         Qt::NoModifier);
        QCoreApplication::sendEvent(c, &move);
    }

    ProcessLocale locale_;
    std::unique_ptr<TfrmJeuGagnant> w;
    QChar sep;
    bool exposed = false;
    std::vector<MessageRequest> asked;
    QMessageBox::StandardButton answer = QMessageBox::Ok;

private:
    QString step(const QString& step) {
        const qsizetype op = step.indexOf(QRegularExpression(QStringLiteral("[=~]")));
        const qsizetype blank = step.indexOf(u' ');
        if (op > 0 && (blank < 0 || op < blank)) {
            const QString expected = figures(step.mid(op + 1));
            QString shown;
            const auto holds = [&] {
                shown = read(step.left(op));
                if (step.startsWith(u"amounts"))
                    shown = shown.split(u'|').mid(0, expected.count(u'|') + 1).join(u'|');
                return step[op] == u'=' ? shown == expected : shown.contains(expected);
            };
            // The focus may move once pending events have run.
            if (holds() || (step.startsWith(u"focus") && QTest::qWaitFor(holds, 1000))) return {};
            return QStringLiteral("shows '%1', expected '%2'").arg(shown, expected);
        }
        const QString verb = step.section(u' ', 0, 0);
        const QString name = step.section(u' ', 1, 1);
        const QString rest = figures(step.section(u' ', 2));
        const QList<QString> xy = step.section(u' ', 2).split(u' ', Qt::SkipEmptyParts);
        const QPoint at =
            xy.size() == 2 ? QPoint(xy[0].toInt(), xy[1].toInt()) : QPoint(xy.value(0).toInt(), 9);
        QWidget* c = control(name);
        if (verb == u"play") {
            QTest::mouseClick(w->Option1->button(name.toInt() - 1), Qt::LeftButton);
        } else if (verb == u"type" || verb == u"clear") {
            QLineEdit* b = box(name.toInt());
            if (verb == u"clear") return b->clear(), QString();
            b->setFocus();
            b->end(false);
            QTest::keyClicks(b, rest);
        } else if (verb == u"fill") {
            QTest::mouseClick(w->Option1->button(8), Qt::LeftButton);
            for (int i = 1; i <= 9; ++i)
                box(i)->setText(QString::number(i + 1));
        } else if (verb == u"trigger") {
            auto* action = w->findChild<QAction*>(name);
            if (!action) return QStringLiteral("no such item");
            action->trigger();
        } else if (!c) {
            return QStringLiteral("no control ") + name;
        } else if (verb == u"click" || verb == u"rclick") {
            const Qt::MouseButton button = verb == u"click" ? Qt::LeftButton : Qt::RightButton;
            QTest::mouseClick(c, button, Qt::NoModifier, xy.isEmpty() ? QPoint() : at);
        } else if (verb == u"press") {
            QTest::mousePress(c, Qt::LeftButton, Qt::NoModifier, at);
        } else if (verb == u"set") {
            if (auto* edit = qobject_cast<QLineEdit*>(c)) edit->setText(rest);
            if (auto* bar = qobject_cast<QAbstractSlider*>(c)) bar->setValue(rest.toInt());
        } else if (verb == u"keys" || verb == u"tab" || verb == u"space" || verb == u"f1") {
            c->setFocus();
            if (verb == u"f1")
                QTest::keyClick(c, Qt::Key_F1);
            else if (verb == u"keys")
                QTest::keyClicks(c, rest);
            else
                QTest::keyClick(c, verb == u"tab" ? Qt::Key_Tab : Qt::Key_Space);
        } else if (verb == u"hover") {
            hover(c, at);
        } else {
            return QStringLiteral("unknown step");
        }
        return {};
    }

    QString read(const QString& name) {
        QStringList parts;
        if (name == u"amounts" || name == u"row") {
            for (int i = 1; i <= 9; ++i)
                parts << (name == u"row" ? box(i)->text() : w->Label2_[std::size_t(i - 1)]->text());
            return parts.mid(0, name == u"row" ? 5 : 9).join(u'|');
        }
        if (name == u"filled" || name == u"enabled") {
            QString mask;
            for (int i = 1; i <= 9; ++i)
                mask += (name == u"filled" ? !box(i)->text().isEmpty() : box(i)->isEnabled()) ? u'x' : u'-';
            return mask;
        }
        if (name == u"min") return QString::number(w->HScroll1->minimum());
        if (name == u"max") return QString::number(w->HScroll1->maximum());
        if (name == u"focus")
            return QApplication::focusWidget() ? QApplication::focusWidget()->objectName() : QString();
        if (name == u"messages") return QString::number(asked.size());
        if (name == u"message") return asked.empty() ? QString() : asked.back().text;
        if (name == u"warning") return QString::number(w->lblDansleRouge->isVisible());
        if (name == u"popup") {
            static const auto file = help::HelpFile::Load(help::InstalledHelpFile());
            const help::HelpTopic* topic = file ? file->topicByContext(help::popupContext()) : nullptr;
            if (QWidget* popup = help::popupWindow()) popup->close();
            return topic ? topic->id : QStringLiteral("(context %1)").arg(help::popupContext());
        }
        QWidget* c = control(name);
        if (auto* label = qobject_cast<QLabel*>(c)) return label->text();
        if (auto* edit = qobject_cast<QLineEdit*>(c)) return edit->text();
        if (auto* button = qobject_cast<QAbstractButton*>(c)) return button->text();
        if (auto* bar = qobject_cast<QAbstractSlider*>(c)) return QString::number(bar->value());
        if (auto* combo = qobject_cast<QComboBox*>(c)) return combo->currentText();
        return QStringLiteral("(no control %1)").arg(name);
    }

    MessageAnswerer previous_;
};

} // namespace fairstake::test
