#pragma once

#include "colours.h"

#include <QString>

#include <span>

// The window's design-time layout as data: one table per container, lengths
// in twips relative to the container (the form's client area, or Frame1's
// outer top-left corner for the controls inside the frame).

enum class ControlKind {
    TextBox,
    Label,
    Frame,
    Shape,
    PictureBox,
    Chart,
    PushButton,
};

// Style flags of a control.
enum ControlStyle : unsigned {
    Plain = 0,
    Borderless = 1 << 0,   // text box without a border
    Centred = 1 << 1,      // text box with centred text
    AutoSize = 1 << 2,     // label that sizes itself to its caption
    Transparent = 1 << 3,  // label whose text lies on what is behind it
    SingleBorder = 1 << 4, // label with a one-pixel border
};

// Stands for the control's own default colour.
constexpr OleColor DefaultColour = 0xFFFFFFFFu;

struct FontDesign
{
    const char16_t *face = nullptr; // nullptr: the default control font
    double size = 0;                // points
};

struct ControlDesign
{
    const char *name;
    ControlKind kind;
    int index; // element of an indexed family, or NotIndexed
    int left, top, width, height;
    const char16_t *text; // caption or text; nullptr for none
    OleColor back;
    unsigned style;
    FontDesign font;
    int focus; // place in the focus order, or NoFocus
    OleColor fore = DefaultColour; // foreground (text and drawing) colour
};

constexpr int NotIndexed = -1;
constexpr int NoFocus = -1;

namespace FormDesign {

inline constexpr const char16_t *Caption = u"   The Plinthos";
// What the heading and the axis titles say, and the colours the two entry
// swatches hold, at start.
inline constexpr const char16_t *HeadingText =
    u"T h e       M a i n      H e a d i n g     F o r     T h e      G r a p h";
inline constexpr const char16_t *YAxisText = u"Y Axis ";
inline constexpr const char16_t *XAxisText = u"X Axis ";
constexpr OleColor LabelSwatchColour = 0x00000000;  // black
constexpr OleColor ColumnSwatchColour = 0x00E0E0E0; // light grey
constexpr int ClientWidth = 16965;
constexpr int ClientHeight = 9660;
constexpr OleColor BackColour = SystemColour::CaptionText;
// The outer height while the picture is taken and after it, and the client
// height the picture therefore has with the design's title bar and borders.
constexpr int CaptureOuterHeight = 8000;
constexpr int OuterHeight = 10020;
constexpr int CaptureClientHeight = CaptureOuterHeight - (OuterHeight - ClientHeight);

std::span<const ControlDesign> formControls();
std::span<const ControlDesign> frameControls();

// The palette cell elements of lblOtherColors, placed from their index, in
// the colours of ColourPalette.
ControlDesign paletteCell(int index);

// The Property bag text of a hosted control instance, by name.
QString storedProperties(const QString &instance);

} // namespace FormDesign
