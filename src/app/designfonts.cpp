#include "designfonts.h"

#include "fonts.h"
#include "twips.h"

#include <QApplication>
#include <QFile>
#include <QFont>
#include <QFontDatabase>
#include <QGuiApplication>

namespace {

// Where Debian's fonts-wine puts its metric-compatible Windows faces.
constexpr const char *FontFolder = "/usr/share/wine/fonts/";
// Only the regular weight: the design draws nothing in bold.
constexpr const char *ScalableFiles[] = {"tahoma.ttf"};
constexpr const char *BitmapFile = "ms_sans_serif.ttf";

} // namespace

void installDesignFonts()
{
    static bool installed = false;
    if (installed)
        return;
    installed = true;

    for (const char *file : ScalableFiles) {
        const QString path = QString::fromLatin1(FontFolder) + QString::fromLatin1(file);
        if (QFile::exists(path))
            QFontDatabase::addApplicationFont(path);
    }
    registerBitmapFont(QString::fromLatin1(FontFolder) + QString::fromLatin1(BitmapFile));
    QFont::insertSubstitution(QStringLiteral("Verdana"), QStringLiteral("DejaVu Sans"));
    QApplication::setFont(toolkitControlFont(Resolution::of(QGuiApplication::primaryScreen())));
}
