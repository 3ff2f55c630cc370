// The yardstick for start-up: an empty Qt Widgets window of the calculator's
// size with a menu bar, 80 plain widgets and the same JPEG background, and
// nothing else.  Built only for the benchmarks.

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenuBar>
#include <QPushButton>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QMainWindow window;
    window.setWindowTitle(QStringLiteral("Reference window"));
    window.menuBar()->addMenu(QStringLiteral("&File"));
    auto* client = new QWidget(&window);
    client->setFixedSize(794, 565);
    window.setCentralWidget(client);
    auto* background = new QLabel(client);
    background->setPixmap(QPixmap(QStringLiteral(":/img/background.jpg")));
    background->setGeometry(0, 0, 792, 566);
    for (int i = 0; i < 79; ++i) {
        const int x = 20 + (i % 10) * 75;
        const int y = 40 + (i / 10) * 60;
        QWidget* w = nullptr;
        switch (i % 3) {
        case 0: w = new QLabel(QStringLiteral("Label %1").arg(i), client); break;
        case 1: w = new QLineEdit(client); break;
        default: w = new QPushButton(QStringLiteral("Button"), client); break;
        }
        w->setGeometry(x, y, 70, 24);
    }
    window.show();
    return QApplication::exec();
}
