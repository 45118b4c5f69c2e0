#include "fonts.h"
#include "frmmain.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setStyle(QStringLiteral("Fusion"));
    installDesignFonts();
    frmMain window;
    window.show();
    return app.exec();
}
