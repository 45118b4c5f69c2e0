#pragma once

#include <QFont>

#include <thread>

class Resolution;

// Reads the system's font configuration on a thread of its own from the
// moment it is made, so that the work overlaps the program's connection to
// the display instead of following it. wait() returns once it is done; the
// first text the program measures or draws needs it. A program that shows
// text on its first frame cannot do without this work, only start it early.
class FontConfigurationLoader
{
public:
    FontConfigurationLoader();
    FontConfigurationLoader(const FontConfigurationLoader &) = delete;
    FontConfigurationLoader &operator=(const FontConfigurationLoader &) = delete;
    ~FontConfigurationLoader() { wait(); }

    void wait();

private:
    std::thread m_thread;
};

// Registers the font file at path for this program. A bitmap font whose
// bitmaps come in several strikes has each strike registered as a size of its
// own, which deviceFont then draws at exactly that size; its standard
// ligatures ("TM" as a trademark sign) are applied only on request, so that
// its text keeps the letters typed. A file that cannot be read registers
// nothing.
void registerBitmapFont(const QString &path);

// The default control font for a screen, sized in its device pixels: MS Sans
// Serif 8 pt, one text line 195 twips high. That is the bitmap strike of
// 13 px at 96 dpi, 16 at 120 and 20 at 144 once the face is registered
// (registerBitmapFont); where no strike has the size (26 px at 192 dpi or at
// 96 x 2), or the face is not there, a scalable sans serif with the same line
// height stands in. Its text is not anti-aliased.
QFont defaultControlFont(const Resolution &resolution);

// The default control font for text that the toolkit draws itself (dialogs,
// menus): its sizes are logical and the toolkit multiplies them by the
// device pixel ratio. At a ratio of 1 that is defaultControlFont; at another
// ratio a scalable face at the size the default control font has in device
// pixels, since the toolkit would magnify a bitmap strike.
QFont toolkitControlFont(const Resolution &resolution);

// The font to draw text in `font` with on a painter that works in device
// pixels (Resolution::paintInDevicePixels) on a screen of the given
// resolution: a size in points, measured against the logical dpi, grows by
// the device pixel ratio; a size in pixels, as defaultControlFont and
// deviceFont give it, is in device pixels already.
QFont fontForDevicePixels(const QFont &font, const Resolution &resolution);

// A font as it is drawn on a screen of the given resolution. A scalable face
// is returned as it is. A face made of bitmap strikes is drawn at one of its
// strikes only, never magnified: at the strike whose line height the point
// size asks for (8 pt is a 13 px line at 96 dpi, 10 pt 16 px, 12 pt 20 px),
// else a scalable sans serif of that line height.
QFont deviceFont(const QFont &font, const Resolution &resolution);

// A scalable sans serif (Tahoma, else DejaVu Sans) in place of a font, its
// line `linePixels` high or as near as that gets; every other attribute of
// the font is kept.
QFont scalableStandIn(const QFont &font, int linePixels);

// Whether text in this font is drawn with outlines or with a bitmap strike of
// exactly the font's pixel size, as opposed to a strike of another size.
bool isDrawnAtNativeSize(const QFont &font);
