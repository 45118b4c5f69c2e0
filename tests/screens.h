#pragma once

#include <QGuiApplication>
#include <QScreen>
#include <QTest>

// The test platform's screens, one per resolution a user has today.
inline QScreen *screenAtDpi(int dpi)
{
    for (QScreen *screen : QGuiApplication::screens()) {
        if (qRound(screen->logicalDotsPerInchY()) == dpi)
            return screen;
    }
    return nullptr;
}

constexpr int ScreenDpis[] = {96, 120, 144, 192};

// A row whose first column is the dpi, named like "144 dpi" plus `suffix`.
inline QTestData &newDpiRow(int dpi, const QString &suffix = {})
{
    return QTest::newRow(qPrintable(QStringLiteral("%1 dpi%2").arg(dpi).arg(suffix))) << dpi;
}
