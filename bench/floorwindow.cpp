// The benchmark's floor: the least a desktop window of this toolkit costs.
// A frameless 600 x 450 widget, the size and kind of the wizard's windows,
// with nothing in it; run-bench times it and measures its memory the same
// way as the wizard, on the same display.
#include <QApplication>
#include <QWidget>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QWidget window(nullptr, Qt::FramelessWindowHint);
    window.setWindowTitle(QStringLiteral("bench-floor-window"));
    window.resize(600, 450);
    window.show();
    return QApplication::exec();
}
