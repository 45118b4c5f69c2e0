#include "fonts.h"

#include <QApplication>
#include <QFile>
#include <QFontDatabase>

namespace {

constexpr const char *FontFolder = "/usr/share/wine/fonts/";
constexpr const char *FontFiles[] = {"tahoma.ttf", "tahomabd.ttf", "ms_sans_serif.ttf"};

} // namespace

void installDesignFonts()
{
    static bool installed = false;
    if (installed)
        return;
    installed = true;

    for (const char *file : FontFiles) {
        const QString path = QString::fromLatin1(FontFolder) + QString::fromLatin1(file);
        if (QFile::exists(path))
            QFontDatabase::addApplicationFont(path);
    }
    QFont::insertSubstitution(QStringLiteral("Verdana"), QStringLiteral("DejaVu Sans"));
    QApplication::setFont(defaultControlFont());
}

QFont defaultControlFont()
{
    QFont font(QStringLiteral("MS Sans Serif"));
    font.setPointSizeF(8.0);
    return font;
}
