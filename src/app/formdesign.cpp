#include "formdesign.h"

#include "colourpalette.h"

#include <QHash>

namespace FormDesign {

namespace {

constexpr const char16_t *ColumnValueText = u"Column Value                       %";

constexpr FontDesign Tahoma825 = {u"Tahoma", 8.25};
constexpr FontDesign Tahoma1425 = {u"Tahoma", 14.25};
constexpr FontDesign Tahoma1575 = {u"Tahoma", 15.75};
constexpr FontDesign Tahoma24 = {u"Tahoma", 24};
constexpr FontDesign DefaultFont = {};

constexpr OleColor White = SystemColour::CaptionText;

// Hosted controls take their caption and font from their Property bags.
constexpr ControlDesign FormControls[] = {
    // name             kind                      index      left   top  width height text              back                  style                   font         focus
    {"txtMainHeading",  ControlKind::TextBox,     NotIndexed, 1080,  120, 15255,  615, HeadingText,      DefaultColour,        Borderless,             Tahoma24,    33},
    {"txtYAxisLabel",   ControlKind::TextBox,     NotIndexed,  480,  840,  5775,  375, YAxisText,       DefaultColour,        Borderless,             Tahoma1575,  35},
    {"UserControl11",   ControlKind::Chart,       NotIndexed, 1080, 1440, 15330, 4935, nullptr,          DefaultColour,        Plain,                  DefaultFont, NoFocus},
    {"Label3",          ControlKind::Label,       NotIndexed,  720, 1320,   270,  195, u"100",           White,                AutoSize,               DefaultFont, 4},
    {"lbl_75",          ControlKind::Label,       NotIndexed,  840, 2640,   270,  195, u"75",            White,                AutoSize,               DefaultFont, 29},
    {"lbl",             ControlKind::Label,       NotIndexed,  840, 3840,   270,  195, u"50",            White,                AutoSize,               DefaultFont, 28},
    {"lbl_25",          ControlKind::Label,       NotIndexed,  840, 5040,   270,  195, u"25",            White,                AutoSize,               DefaultFont, 30},
    {"Label2",          ControlKind::Label,       NotIndexed,  840, 6240,    90,  195, u"0",             White,                AutoSize,               DefaultFont, 0},
    {"txtXAxis",        ControlKind::TextBox,     NotIndexed, 5640, 7080,  7215,  375, XAxisText,       DefaultColour,        Borderless,             Tahoma1575,  37},
    {"Frame1",          ControlKind::Frame,       NotIndexed,  960, 7800, 10755, 1635, u"The Main Controls", 0x00FFC0C0,       Plain,                  DefaultFont, 5},
    {"Picture1",        ControlKind::PictureBox,  NotIndexed, 10200, 8760,  495,  495, nullptr,          SystemColour::Window, Plain,                  DefaultFont, 34, SystemColour::WindowText},
};

// Listed back to front: the two rectangles lie behind everything else, and
// Text1 lies on Label1, whose run of blanks leaves room for it.
constexpr ControlDesign FrameControls[] = {
    // name             kind                      index      left   top  width height text              back                  style                   font         focus
    {"labelShape",      ControlKind::Shape,       NotIndexed,  240,  240,  2295, 1215, nullptr,          0x00FF8080,           Plain,                  DefaultFont, NoFocus},
    {"ColumnShape",     ControlKind::Shape,       NotIndexed, 2640,  240,  2535, 1215, nullptr,          0x00FF8080,           Plain,                  DefaultFont, NoFocus},
    {"Label4",          ControlKind::Label,       NotIndexed,  360,  480,   870,  195, u"Label Value:",  DefaultColour,        AutoSize | Transparent, Tahoma825,   7},
    {"Text2",           ControlKind::TextBox,     NotIndexed, 1440,  450,   975,  285, u"Value ",        DefaultColour,        Plain,                  Tahoma825,   1},
    {"lblColor",        ControlKind::Label,       NotIndexed,  360, 1080,   855,  195, u"Label Color:",  DefaultColour,        AutoSize | Transparent, Tahoma825,   10},
    {"Label5",          ControlKind::Label,       0,          1440, 1080,   990,  225, nullptr,          LabelSwatchColour,    SingleBorder,           DefaultFont, 8},
    {"Label1",          ControlKind::Label,       NotIndexed, 2760,  480,  2160,  195, ColumnValueText,  DefaultColour,        AutoSize | Transparent, Tahoma825,   6},
    {"Text1",           ControlKind::TextBox,     NotIndexed, 3960,  480,   615,  285, u"50",            DefaultColour,        Centred,                Tahoma825,   2},
    {"Label6",          ControlKind::Label,       NotIndexed, 2760,  840,  1005,  195, u"Column Color:", DefaultColour,        AutoSize | Transparent, Tahoma825,   9},
    {"Label5",          ControlKind::Label,       1,          2760, 1080,   975,  240, nullptr,          ColumnSwatchColour,   SingleBorder,           DefaultFont, 11},
    {"CcXAddColumn",    ControlKind::PushButton,  NotIndexed, 5400,  240,  1335, 1215, nullptr,          DefaultColour,        Plain,                  DefaultFont, 3},
    {"CcXSaveGraph",    ControlKind::PushButton,  NotIndexed, 6960,  240,  1215,  495, nullptr,          DefaultColour,        Plain,                  DefaultFont, 32},
    {"CcXClearGraph",   ControlKind::PushButton,  NotIndexed, 6960,  960,  1215,  495, nullptr,          DefaultColour,        Plain,                  DefaultFont, 31},
    {"txt_picture_number", ControlKind::TextBox,  NotIndexed, 8280,  240,   615,  465, u"1",             DefaultColour,        Centred,                Tahoma1425,  36},
    {"CcXExit",         ControlKind::PushButton,  NotIndexed, 9240,  240,  1335, 1215, nullptr,          DefaultColour,        Plain,                  DefaultFont, 38},
};

// lblOtherColors: two rows of eight cells with a pitch smaller than a cell,
// so neighbouring borders overlap; elements 8-15 form the upper row.
constexpr int PaletteLeft = 3960;
constexpr int PalettePitch = 120;
constexpr int PaletteUpperTop = 960;
constexpr int PaletteLowerTop = 1200;
constexpr int PaletteCellSize = 135;
constexpr int PaletteFirstFocus = 12;
constexpr int PaletteRowLength = 8;

// Property bags of the hosted instances; the extents are HIMETRIC.
const QHash<QString, QString> &storedBags()
{
    static const QHash<QString, QString> bags = {
        {QStringLiteral("CcXAddColumn"),
         QStringLiteral("_extentx = 2355\n_extenty = 2143\ncaption = \"Add Column\"\n"
                        "font = Font(\"Verdana\", 9.75, 400, 0, False, False, False)\n")},
        {QStringLiteral("CcXSaveGraph"),
         QStringLiteral("_extentx = 2143\n_extenty = 873\ncaption = \"Save Graph\"\n"
                        "font = Font(\"Verdana\", 8.25, 400, 0, False, False, False)\n")},
        {QStringLiteral("CcXClearGraph"),
         QStringLiteral("_extentx = 2143\n_extenty = 873\ncaption = \"Clear Graph\"\n"
                        "font = Font(\"Verdana\", 8.25, 400, 0, False, False, False)\n")},
        {QStringLiteral("CcXExit"),
         QStringLiteral("_extentx = 2355\n_extenty = 2143\ncaption = \"Exit\"\n"
                        "font = Font(\"Verdana\", 15.75, 400, 0, False, False, False)\n")},
        {QStringLiteral("UserControl11"), QStringLiteral("_extentx = 27040\n_extenty = 8705\n")},
    };
    return bags;
}

} // namespace

std::span<const ControlDesign> formControls()
{
    return FormControls;
}

std::span<const ControlDesign> frameControls()
{
    return FrameControls;
}

ControlDesign paletteCell(int index)
{
    const bool upperRow = index >= PaletteRowLength;
    return {"lblOtherColors", ControlKind::Label, index,
            PaletteLeft + PalettePitch * (index % PaletteRowLength), upperRow ? PaletteUpperTop : PaletteLowerTop,
            PaletteCellSize, PaletteCellSize, nullptr, ColourPalette::colour(index), SingleBorder, DefaultFont,
            PaletteFirstFocus + index};
}

QString storedProperties(const QString &instance)
{
    return storedBags().value(instance);
}

} // namespace FormDesign
