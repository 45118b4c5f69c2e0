#pragma once

#include "colours.h"
#include "drawingsurface.h"

#include <QString>

#include <array>
#include <cstdint>

// The look a button is painted in.
enum class ButtonState : std::int32_t {
    Disabled = 0, // the button is disabled: flat face, no ring
    Normal = 1,   // enabled and idle
    Focused = 2,  // has the keyboard focus, or is the form's default button
    Hot = 3,      // the pointer is over the button
    Pressed = 4,  // held down by the left mouse button or Space: flat, darker face
};

// The palette of the five looks, as colour values 0x00BBGGRR. The tables of
// five are indexed by the state; the two tables of three by Normal, Focused
// and Hot, the only looks with a ring.
struct ButtonColours
{
    using PerState = std::array<OleColor, 5>;
    using PerRingState = std::array<OleColor, 3>;

    PerState outline{};
    PerState ringRow1{};
    PerState ringRow2{};
    PerState ringRow3{};
    PerState ringRow4{};
    PerRingState ringSidesTop{};
    PerRingState ringSidesBottom{};
    PerState cornerDark{};
    PerState cornerLight{};
    PerState cornerDiagonal{};
};

// What the caption and focus rectangle of the picture depend on.
struct ButtonCaption
{
    QString text;
    bool enabled = true;
    OleColor foreColor = 0;
    bool focusRect = true;
    bool hasFocus = false;
};

// Draws the picture of an XP-style push button with rounded corners, pixel by
// pixel, on a surface of any size and without a window. What it draws is a
// function of its arguments alone: the only thing it keeps is a cache of the
// gradients' rows, which does not change a pixel.
class ButtonPainter
{
public:
    // The control's background, which the four extreme corner pixels keep.
    static constexpr OleColor Background = SystemColour::ButtonFace;

    // The palette every button is given.
    static const ButtonColours &designColours();

    // The two halves of the picture: everything but the caption, then the
    // caption and focus rectangle over it.
    static void drawBody(DrawingSurface &surface, ButtonState state, const ButtonColours &colours);
    static void drawCaption(DrawingSurface &surface, ButtonState state, const ButtonCaption &caption);
    // A vertical gradient, one line per row from the bottom row up to the top
    // row, both included (rect.bottom is a row here, not an exclusive limit).
    static void drawGradient(DrawingSurface &surface, const SurfaceRect &rect, OleColor topColour,
                             OleColor bottomColour);
};
