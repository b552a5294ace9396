// The floor of the start-up figure: a Qt Widgets application that shows an empty window and
// ends once it is shown, the least any Qt Widgets program does before its first window.
#include <QApplication>
#include <QTimer>
#include <QWidget>

int main(int argc, char** argv) {
    if (qgetenv("QT_QPA_PLATFORM").isEmpty()) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QWidget window;
    window.show();
    QTimer::singleShot(0, &app, [] { QApplication::exit(0); });
    return QApplication::exec();
}
