#include "commandline.h"
#include "designfonts.h"
#include "fonts.h"
#include "frmmain.h"
#include "twips.h"

#include <QApplication>

#include <optional>

int main(int argc, char *argv[])
{
    // The command line is answered, or refused, before a display is opened.
    CommandLine commandLine = parseCommandLine(argc, argv);
    if (commandLine.action == CommandLine::Action::Run && !commandLine.file.isEmpty()) {
        commandLine.action = CommandLine::Action::Refuse;
        commandLine.problem = QStringLiteral("this version opens no files: \"%1\"").arg(commandLine.file);
    }
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
    window.show();
    return app.exec();
}
