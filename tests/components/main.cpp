#include "suites.h"

#include <QApplication>
#include <QTest>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    int failures = 0;
    for (auto make : {makeRadioGroupTest, makeMarqueeTest, makeBalloonHintTest, makeWidgetsTest}) {
        auto suite = make();
        failures += QTest::qExec(suite.get(), argc, argv);
    }
    return failures == 0 ? 0 : 1;
}
