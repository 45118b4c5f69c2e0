// Writes the window's icon for a desktop's icon theme: PNGs at the hicolor
// sizes and an SVG, all drawn from the window icon's own design on a
// transparent ground, with the theme's margin around it.
//
//     plinthos_icons <folder> <name>
//
// makes <folder>/<size>x<size>/apps/<name>.png and
// <folder>/scalable/apps/<name>.svg.

#include "windowicon.h"

#include <QDir>
#include <QGuiApplication>
#include <QPainter>
#include <QSvgGenerator>

#include <cstdio>

namespace {

constexpr int Sizes[] = {16, 32, 48, 64, 128, 256};

bool writeSvg(const QString &path)
{
    // The design's rectangles as they are, the margin added around them by
    // the view box: the design fills 14 sixteenths of it, as of every PNG.
    constexpr double Canvas = WindowIcon::Size * 16.0 / 14;
    constexpr double Margin = (Canvas - WindowIcon::Size) / 2;
    QSvgGenerator svg;
    svg.setFileName(path);
    svg.setSize(QSize(WindowIcon::Size, WindowIcon::Size));
    svg.setViewBox(QRectF(-Margin, -Margin, Canvas, Canvas));
    svg.setTitle(QStringLiteral("Plinthos"));
    QPainter painter;
    if (!painter.begin(&svg))
        return false;
    WindowIcon::paint(painter, WindowIcon::Size);
    return painter.end();
}

} // namespace

int main(int argc, char *argv[])
{
    if (argc != 3) {
        std::fputs("usage: plinthos_icons <folder> <name>\n", stderr);
        return 2;
    }
    // Painting needs no display: the offscreen platform will do.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QDir folder(QString::fromLocal8Bit(argv[1]));
    const QString name = QString::fromLocal8Bit(argv[2]);

    for (const int size : Sizes) {
        const QString apps = QStringLiteral("%1x%1/apps").arg(size);
        const QString path = folder.filePath(apps + u'/' + name + QStringLiteral(".png"));
        if (!folder.mkpath(apps) || !WindowIcon::themeImage(size).save(path, "PNG")) {
            std::fprintf(stderr, "plinthos_icons: cannot write %s\n", qPrintable(path));
            return 1;
        }
    }
    const QString svg = folder.filePath(QStringLiteral("scalable/apps/") + name + QStringLiteral(".svg"));
    if (!folder.mkpath(QStringLiteral("scalable/apps")) || !writeSvg(svg)) {
        std::fprintf(stderr, "plinthos_icons: cannot write %s\n", qPrintable(svg));
        return 1;
    }
    return 0;
}
