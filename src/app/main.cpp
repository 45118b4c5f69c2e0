#include "fonts.h"
#include "frmmain.h"
#include "twips.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    useDevicePixels();
    QApplication app(argc, argv);
    QApplication::setStyle(QStringLiteral("Fusion"));
    installDesignFonts();
    frmMain window;
    window.show();
    return app.exec();
}
