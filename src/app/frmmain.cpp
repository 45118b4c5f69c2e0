#include "frmmain.h"

frmMain::frmMain(QWidget *parent)
    : QWidget(parent)
{
    setWindowTitle(QStringLiteral("   The Plinthos"));
}
