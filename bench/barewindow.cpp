// A bare Qt window to measure the program against: the main window's size,
// the same number of child widgets, a white background and nothing else.

#include <QApplication>
#include <QScreen>
#include <QWidget>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    const int children = argc > 1 ? QString::fromLocal8Bit(argv[1]).toInt() : 0;

    QWidget window;
    window.setWindowTitle(QStringLiteral("Bare window"));
    window.setFixedSize(1131, 644);
    QPalette colours = window.palette();
    colours.setColor(QPalette::Window, Qt::white);
    window.setPalette(colours);
    window.setAutoFillBackground(true);
    for (int i = 0; i < children; ++i)
        (new QWidget(&window))->setGeometry(i % 10 * 28, 500 + i / 10 * 28, 24, 24);

    QRect place = window.rect();
    place.moveCenter(window.screen()->geometry().center());
    window.setGeometry(place);
    window.show();
    return app.exec();
}
