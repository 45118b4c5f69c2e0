#include "fonts.h"
#include "frmmain.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    installDesignFonts();
    frmMain window;
    window.show();
    return app.exec();
}
