#include "commandline.h"
#include "designfonts.h"
#include "documentcontroller.h"
#include "fonts.h"
#include "frmmain.h"
#include "headlessrender.h"
#include "twips.h"

#include <QApplication>

#include <optional>

int main(int argc, char *argv[])
{
    // The command line is answered, or refused, before a display is opened.
    CommandLine commandLine = parseCommandLine(argc, argv);
    if (commandLine.action == CommandLine::Action::Render)
        return HeadlessRender::run(commandLine.render, argv[0]);
    if (commandLine.action != CommandLine::Action::Run)
        return answerCommandLine(commandLine);

    useDevicePixels();
    FontConfigurationLoader fontConfiguration;
    std::optional<DisplayOpening> opening(std::in_place, commandLine);
    // Qt is given its own options and nothing of ours.
    QApplication app(commandLine.qtArgumentCount, commandLine.qtArguments.data());
    opening.reset();
    if (commandLine.style.isEmpty())
        QApplication::setStyle(QStringLiteral("Fusion"));
    fontConfiguration.wait();
    installDesignFonts();
    frmMain window;
    // A chart or a table named on the command line opens at start.
    if (!commandLine.file.isEmpty())
        window.document()->openAtStart(commandLine.file);
    window.show();
    return app.exec();
}
