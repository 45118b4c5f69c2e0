// A bare Qt window to measure the program against: the main window's size
// at the screen's resolution, the same number of child widgets, a white
// background and nothing else.

#include "twips.h"

#include <QApplication>
#include <QScreen>
#include <QWidget>

int main(int argc, char *argv[])
{
    useDevicePixels();
    QApplication app(argc, argv);
    const int children = argc > 1 ? QString::fromLocal8Bit(argv[1]).toInt() : 0;

    QWidget window;
    window.setWindowTitle(QStringLiteral("Bare window"));
    const Resolution resolution = Resolution::of(&window);
    window.setFixedSize(resolution.toPixelsX(16965), resolution.toPixelsY(9660));
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
