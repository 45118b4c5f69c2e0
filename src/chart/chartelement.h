#pragma once

#include "colours.h"

#include <QString>

#include <cstdint>

// One child element of the chart: a column rectangle, a label or the frame.
// Its geometry stays in float twips, exactly as the layout computed it; only
// painting snaps it to device pixels.
class ChartElement
{
public:
    enum class Kind : std::uint8_t {
        Rectangle, // solid fill with a black outline
        Text,      // transparent label, sized to its caption
        Frame,     // outline only, transparent inside
    };

    ChartElement(Kind kind, float left, float top, float width, float height);

    Kind kind() const { return m_kind; }

    float left() const { return m_left; }
    float top() const { return m_top; }
    float width() const { return m_width; }
    float height() const { return m_height; }

    // Any position is allowed; what lies outside the control is clipped.
    void setLeft(float left) { m_left = left; }
    void setTop(float top) { m_top = top; }
    // A negative (or NaN) size is refused: the element keeps the size it had
    // and the caller learns of it from the result.
    bool setWidth(float width);
    bool setHeight(float height);

    bool isVisible() const { return m_visible; }
    void setVisible(bool visible) { m_visible = visible; }

    OleColor fillColour() const { return m_fillColour; }
    void setFillColour(OleColor colour) { m_fillColour = colour; }
    OleColor textColour() const { return m_textColour; }
    void setTextColour(OleColor colour) { m_textColour = colour; }

    const QString &caption() const { return m_caption; }
    // The caption together with the size its text takes; the scene measures
    // it, since only the scene knows the font.
    void setCaption(const QString &caption, float width, float height);

private:
    Kind m_kind;
    float m_left = 0;
    float m_top = 0;
    float m_width = 0;
    float m_height = 0;
    bool m_visible = false;
    OleColor m_fillColour = 0x00FFFFFF;
    OleColor m_textColour = 0;
    QString m_caption;
};
