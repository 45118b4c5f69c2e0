#pragma once

#include "colours.h"

#include <QString>
#include <QWidget>

#include <cstdint>

class ControlSite;
class PropertyBag;

// A column chart drawn by hand: up to 100 columns, each a filled rectangle
// standing on a common baseline with its label above it.
class jChart : public QWidget
{
    Q_OBJECT

public:
    static constexpr int Capacity = 100;

    explicit jChart(QWidget *parent = nullptr);

    void setSite(ControlSite *site) { m_site = site; }

    // Life cycle, called by the host.
    void Initialize();
    void ReadProperties(const PropertyBag &bag);
    void WriteProperties(PropertyBag &bag) const;

    OleColor BackColor() const { return m_backColor; }
    void SetBackColor(OleColor New_BackColor);
    std::int16_t ItemCount() const { return m_count; }
    void AddItem(const QString &Label, std::int16_t Value, OleColor Color, OleColor LabelColor);
    void Clear();

private:
    ControlSite *m_site = nullptr;
    OleColor m_backColor = 0x00FFFFFF;
    std::int16_t m_count = 0;
};
