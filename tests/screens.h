#pragma once

#include <QGuiApplication>
#include <QScreen>
#include <QTest>

// The test platform's screens, one per resolution a user has today: four at
// a device pixel ratio of 1, and one at 96 dpi x 2, as Wayland has it at
// 200 %, whose device pixels are those of 192 dpi. A screen is named here by
// its device dpi and its ratio.
inline QScreen *screenAtDpi(int dpi, qreal ratio = 1)
{
    for (QScreen *screen : QGuiApplication::screens()) {
        if (qRound(screen->logicalDotsPerInchY() * ratio) == dpi && qFuzzyCompare(screen->devicePixelRatio(), ratio))
            return screen;
    }
    return nullptr;
}

constexpr int ScreenDpis[] = {96, 120, 144, 192};

// A row whose first columns are the device dpi and the ratio, named like
// "144 dpi" or "192 dpi as 96 x 2", plus `suffix`.
inline QTestData &newDpiRow(int dpi, const QString &suffix = {}, qreal ratio = 1)
{
    const QString name = ratio == 1 ? QStringLiteral("%1 dpi").arg(dpi)
                                    : QStringLiteral("%1 dpi as %2 x %3").arg(dpi).arg(dpi / ratio).arg(ratio);
    return QTest::newRow(qPrintable(name + suffix)) << dpi << ratio;
}

inline void addDpiColumns()
{
    QTest::addColumn<int>("dpi");
    QTest::addColumn<qreal>("ratio");
}
