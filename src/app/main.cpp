#include "commandline.h"
#include "designfonts.h"
#include "documentcontroller.h"
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
    // A chart or a table named on the command line opens at start.
    if (const QStringList arguments = QCoreApplication::arguments(); arguments.size() > 1 && !arguments[1].startsWith(u'-'))
        window.document()->openAtStart(arguments[1]);
    window.show();
    return app.exec();
}
