#include <QRadioButton>
#include <QSignalSpy>
#include <QTest>
#include <QWidget>

#include "components/radiogroup.h"
#include "suites.h"

using fairstake::RadioGroup;

namespace {

QStringList horses() {
    return {"1 horse",  "2 horses", "3 horses", "4 horses", "5 horses",
            "6 horses", "7 horses", "8 horses", "9  horses"};
}

QList<int> checkedItems(const RadioGroup& g) {
    QList<int> out;
    for (int i = 0; i < g.count(); ++i)
        if (g.button(i)->isChecked())
            out.append(i);
    return out;
}

// Records, for every clicked(), the index and the check marks a handler sees.
struct ClickLog {
    QList<int> indexes;
    QList<QList<int>> checks;
};

void attach(RadioGroup& g, ClickLog& log) {
    QObject::connect(&g, &RadioGroup::clicked, &g, [&g, &log] {
        log.indexes.append(g.itemIndex());
        log.checks.append(checkedItems(g));
    });
}

} // namespace

class RadioGroupTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void indexFromCode() {
        QWidget window;
        RadioGroup g(&window);
        g.setItems(horses());
        ClickLog log;
        attach(g, log);

        QCOMPARE(g.itemIndex(), -1);
        QVERIFY(checkedItems(g).isEmpty());

        g.setItemIndex(0);
        g.setItemIndex(0);
        g.setItemIndex(4);
        QCOMPARE(log.indexes, (QList<int>{0, 4}));
        // The handler already sees the new check mark and only that one.
        QCOMPARE(log.checks, (QList<QList<int>>{{0}, {4}}));

        g.setItemIndex(-1);
        QCOMPARE(g.itemIndex(), -1);
        QVERIFY(checkedItems(g).isEmpty());
        g.setItemIndex(-1);
        g.setItemIndex(42);
        QCOMPARE(log.indexes, (QList<int>{0, 4, -1}));

        // After clearing, any item can be selected again, by code or by the user.
        g.setItemIndex(8);
        QTest::mouseClick(g.button(2), Qt::LeftButton);
        QCOMPARE(log.indexes, (QList<int>{0, 4, -1, 8, 2}));
        QCOMPARE(checkedItems(g), QList<int>{2});
    }

    void heldMarksFollowTheIndexOnRelease() {
        QWidget window;
        RadioGroup g(&window);
        g.setItems(horses());
        g.setItemIndex(4);
        ClickLog log;
        attach(g, log);

        // Held: the index and clicked() as usual, the marks untouched, and a
        // run that ends where it began toggles nothing at all.
        QSignalSpy toggles(g.button(4), &QRadioButton::toggled);
        g.holdCheckMarks();
        g.holdCheckMarks();
        g.setItemIndex(3);
        g.setItemIndex(4);
        QCOMPARE(log.indexes, (QList<int>{3, 4}));
        QCOMPARE(log.checks, (QList<QList<int>>{{4}, {4}}));
        g.releaseCheckMarks();
        g.releaseCheckMarks();
        QCOMPARE(toggles.count(), 0);
        QCOMPARE(checkedItems(g), QList<int>{4});

        // A run that ends elsewhere shows its end once the last hold goes.
        g.holdCheckMarks();
        g.holdCheckMarks();
        g.setItemIndex(7);
        g.releaseCheckMarks();
        QCOMPARE(checkedItems(g), QList<int>{4});
        g.releaseCheckMarks();
        QCOMPARE(checkedItems(g), QList<int>{7});
        g.holdCheckMarks();
        g.setItemIndex(-1);
        g.releaseCheckMarks();
        QVERIFY(checkedItems(g).isEmpty());
        QCOMPARE(log.indexes, (QList<int>{3, 4, 7, -1}));
        // An unmatched release changes nothing.
        g.releaseCheckMarks();
        g.setItemIndex(2);
        QCOMPARE(checkedItems(g), QList<int>{2});
    }

    void indexFromMouse() {
        QWidget window;
        window.resize(800, 200);
        RadioGroup g(&window);
        g.setGeometry(72, 48, 681, 41);
        g.setItems(horses());
        g.setColumns(9);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        ClickLog log;
        attach(g, log);

        QTest::mouseClick(g.button(3), Qt::LeftButton);
        QTest::mouseClick(g.button(3), Qt::LeftButton);
        QTest::mouseClick(g.button(6), Qt::LeftButton);
        QCOMPARE(log.indexes, (QList<int>{3, 6}));
        QCOMPARE(log.checks, (QList<QList<int>>{{3}, {6}}));
        QCOMPARE(g.itemIndex(), 6);
    }

    void arrowKeysMoveTheSelection() {
        QWidget window;
        window.resize(400, 100);
        RadioGroup g(&window);
        g.setGeometry(10, 10, 233, 33);
        g.setItems({"See decimal parts", "Whole numbers"});
        g.setColumns(2);
        window.show();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        g.setItemIndex(0);
        g.button(0)->setFocus();
        QVERIFY(g.button(0)->hasFocus());
        QVERIFY(g.button(0)->focusPolicy() & Qt::TabFocus);

        ClickLog log;
        attach(g, log);
        QTest::keyClick(g.button(0), Qt::Key_Right);
        QCOMPARE(log.indexes, QList<int>{1});
        QVERIFY(g.button(1)->hasFocus());
        // Items follow each other in order, wrapping at both ends, even in one row.
        QTest::keyClick(g.button(1), Qt::Key_Up);
        QTest::keyClick(g.button(0), Qt::Key_Up);
        QTest::keyClick(g.button(1), Qt::Key_Down);
        QCOMPARE(log.indexes, (QList<int>{1, 0, 1, 0}));
        QCOMPARE(checkedItems(g), QList<int>{0});
        QVERIFY(g.button(0)->hasFocus());
    }

    void layoutFillsColumnsThenRows() {
        QWidget window;
        QFont font("Liberation Sans");
        font.setPointSize(8);
        window.setFont(font);

        RadioGroup one(&window);
        one.setGeometry(72, 48, 681, 41);
        one.setColumns(9);
        one.setItems(horses());
        for (int i = 0; i < 9; ++i) {
            QRadioButton* b = one.button(i);
            QVERIFY(one.contentsRect().contains(b->geometry()));
            QCOMPARE(b->y(), one.button(0)->y());
            if (i > 0)
                QVERIFY(b->x() >= one.button(i - 1)->geometry().right());
            // Each item has room for its indicator and its whole caption.
            QVERIFY2(b->sizeHint().width() <= b->width(), qPrintable(b->text()));
            // The caption line stays clear of the items.
            QVERIFY(b->y() >= QFontMetrics(font).height());
        }

        // Five items in two columns: three down the first column, two down the second.
        RadioGroup five(&window);
        five.setItems({"a", "b", "c", "d", "e"});
        five.setColumns(2);
        five.setGeometry(0, 0, 200, 100);
        QCOMPARE(five.button(1)->x(), five.button(0)->x());
        QCOMPARE(five.button(2)->x(), five.button(0)->x());
        QVERIFY(five.button(1)->y() > five.button(0)->y());
        QVERIFY(five.button(3)->x() > five.button(0)->x());
        QCOMPARE(five.button(3)->y(), five.button(0)->y());
        QCOMPARE(five.button(4)->y(), five.button(1)->y());
    }

    void buttonsCarryTheGroupName() {
        RadioGroup g;
        g.setObjectName("Option1");
        g.setItems(horses());
        QCOMPARE(g.button(0)->objectName(), QString("Option1_item0"));
        g.setObjectName("radioOptions");
        QCOMPARE(g.button(8)->objectName(), QString("radioOptions_item8"));
        QCOMPARE(g.button(9), nullptr);
        QCOMPARE(g.caption(), QString());
        g.setCaption("Quantity of horses you want to play: ");
        QCOMPARE(g.title(), QString("Quantity of horses you want to play: "));
    }
};

std::unique_ptr<QObject> makeRadioGroupTest() { return std::make_unique<RadioGroupTest>(); }

#include "test_radiogroup.moc"
