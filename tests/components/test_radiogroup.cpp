#include "components/radiogroup.h"
#include "suites.h"

#include <QRadioButton>
#include <QSignalSpy>
#include <QTest>
#include <QWidget>

using fairstake::RadioGroup;

namespace {

QList<int> checkedItems(const RadioGroup& g) {
    QList<int> out;
    for (int i = 0; i < g.count(); ++i)
        if (g.button(i)->isChecked()) out.append(i);
    return out;
}

// A group of nine items in a shown window, recording for every clicked() the
// index and the check marks its handler sees.
struct Group {
    QWidget window;
    RadioGroup g{&window};
    QList<int> indexes;
    QList<QList<int>> checks;
    explicit Group(int columns = 9) {
        QFont font("Liberation Sans");
        font.setPointSize(8);
        window.setFont(font);
        window.resize(800, 200);
        g.setGeometry(72, 48, 681, 41);
        g.setItems({"1 horse", "2 horses", "3 horses", "4 horses", "5 horses", "6 horses", "7 horses",
                    "8 horses", "9  horses"});
        g.setColumns(columns);
        QObject::connect(&g, &RadioGroup::clicked, &g, [this] {
            indexes.append(g.itemIndex());
            checks.append(checkedItems(g));
        });
        window.show();
        QApplication::setActiveWindow(&window);
    }
};

} // namespace

class RadioGroupTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // By code, mouse and arrow keys: clicked() once per change, the handler
    // already seeing the new mark alone; -1 clears, out of range is ignored.
    void selection() {
        Group t;
        QVERIFY(QTest::qWaitForWindowActive(&t.window));
        QCOMPARE(t.g.itemIndex(), -1);
        for (int i : {0, 0, 4, -1, -1, 42, 8})
            t.g.setItemIndex(i);
        QTest::mouseClick(t.g.button(3), Qt::LeftButton);
        QTest::mouseClick(t.g.button(3), Qt::LeftButton);
        t.g.button(3)->setFocus();
        for (Qt::Key key : {Qt::Key_Right, Qt::Key_Up, Qt::Key_Up, Qt::Key_Down})
            QTest::keyClick(QApplication::focusWidget(), key);
        QCOMPARE(t.indexes, (QList<int>{0, 4, -1, 8, 3, 4, 3, 2, 3}));
        QCOMPARE(t.checks, (QList<QList<int>>{{0}, {4}, {}, {8}, {3}, {4}, {3}, {2}, {3}}));
        QCOMPARE(QApplication::focusWidget(), t.g.button(3));
        // Arrows wrap at both ends.
        t.g.button(0)->setFocus();
        QTest::keyClick(t.g.button(0), Qt::Key_Left);
        QCOMPARE(t.g.itemIndex(), 8);
    }

    // Held marks: the index and clicked() as usual, the marks untouched until
    // the last hold goes; a run that ends where it began toggles nothing.
    void heldMarks() {
        Group t;
        t.g.setItemIndex(4);
        QSignalSpy toggles(t.g.button(4), &QRadioButton::toggled);
        t.g.holdCheckMarks();
        t.g.holdCheckMarks();
        t.g.setItemIndex(3);
        t.g.setItemIndex(4);
        t.g.releaseCheckMarks();
        t.g.releaseCheckMarks();
        QCOMPARE(toggles.count(), 0);
        QCOMPARE(t.checks, (QList<QList<int>>{{4}, {4}, {4}}));
        t.g.holdCheckMarks();
        t.g.holdCheckMarks();
        t.g.setItemIndex(7);
        t.g.releaseCheckMarks();
        QCOMPARE(checkedItems(t.g), QList<int>{4});
        t.g.releaseCheckMarks();
        QCOMPARE(checkedItems(t.g), QList<int>{7});
        t.g.releaseCheckMarks(); // unmatched: changes nothing
        t.g.setItemIndex(2);
        QCOMPARE(checkedItems(t.g), QList<int>{2});
    }

    // Columns first, then rows; every item with room for its whole caption,
    // below the caption line, and named after the group.
    void layout() {
        Group nine;
        nine.g.setObjectName("Option1");
        for (int i = 0; i < 9; ++i) {
            QRadioButton* b = nine.g.button(i);
            QVERIFY(nine.g.contentsRect().contains(b->geometry()) && b->sizeHint().width() <= b->width());
            QCOMPARE(b->y(), nine.g.button(0)->y());
            QVERIFY(i == 0 || b->x() >= nine.g.button(i - 1)->geometry().right());
            QVERIFY(b->y() >= nine.g.fontMetrics().height());
            QCOMPARE(b->objectName(), QStringLiteral("Option1_item%1").arg(i));
        }
        RadioGroup five;
        five.setItems({"a", "b", "c", "d", "e"});
        five.setColumns(2);
        five.setGeometry(0, 0, 200, 100);
        auto pos = [&](int i) { return five.button(i)->pos(); };
        QVERIFY(pos(1).x() == pos(0).x() && pos(2).x() == pos(0).x() && pos(1).y() > pos(0).y());
        QVERIFY(pos(3).x() > pos(0).x() && pos(3).y() == pos(0).y() && pos(4).y() == pos(1).y());
    }
};

std::unique_ptr<QObject> makeRadioGroupTest() {
    return std::make_unique<RadioGroupTest>();
}

#include "test_radiogroup.moc"
