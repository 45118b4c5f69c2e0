#pragma once

#include <QPaintDevice>

#include <memory>

class QPaintEngine;

// A paint device that hands everything painted on it to another device, so
// that widgets can render themselves into a vector file. Text whose font has
// no outlines (a bitmap face such as MS Sans Serif) is drawn in a scalable
// face of the same size instead: a bitmap face would otherwise come out
// invisible or as pictures in a PDF. Only one painter at a time may paint on
// it; the target must not be painted on meanwhile.
class ScalableTextDevice : public QPaintDevice
{
public:
    explicit ScalableTextDevice(QPaintDevice *target);
    ~ScalableTextDevice() override;

    QPaintEngine *paintEngine() const override;

    // The font that text in `font` is drawn in: the font itself when it has
    // outlines, otherwise a scalable face at its size and weight.
    static QFont scalableFont(const QFont &font);

protected:
    int metric(PaintDeviceMetric metric) const override;

private:
    QPaintDevice *m_target;
    std::unique_ptr<QPaintEngine> m_engine;
};
