#include "commandline.h"
#include "designfonts.h"
#include "fonts.h"
#include "frmmain.h"
#include "twips.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    if (const std::optional<int> answered = answerCommandLine(argc, argv))
        return *answered;

    useDevicePixels();
    FontConfigurationLoader fontConfiguration;
    QApplication app(argc, argv);
    QApplication::setStyle(QStringLiteral("Fusion"));
    fontConfiguration.wait();
    installDesignFonts();
    frmMain window;
    window.show();
    return app.exec();
}
