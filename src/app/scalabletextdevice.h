#pragma once

#include <QFont>
#include <QList>
#include <QPaintDevice>
#include <QString>

#include <memory>

class ForwardingEngine;
class QPaintEngine;

// A run of text as the screen lays it out: its characters, the scalable face
// it is drawn in, and the width it takes on the screen, in the coordinates of
// the painter that drew it.
struct TextRun
{
    QString text;
    QFont font;
    qreal width = 0;
};

// A paint device that hands everything painted on it to another device, so
// that widgets can render themselves into a vector file. Text whose font has
// no outlines (a bitmap face such as MS Sans Serif) is drawn in a scalable
// face of the same size instead: a bitmap face would otherwise come out
// invisible or as pictures in a PDF. Each run of text is drawn as wide as
// the screen draws it, whatever the face. Only one painter at a time may
// paint on it; the target must not be painted on meanwhile.
class ScalableTextDevice : public QPaintDevice
{
public:
    explicit ScalableTextDevice(QPaintDevice *target);
    ~ScalableTextDevice() override;

    QPaintEngine *paintEngine() const override;

    // From now on, each run of text is listed in textRuns() and drawn on the
    // target as its number in that list, in its face and at its place: a mark
    // for a later pass, which puts the run there in the target's own terms.
    void markTextRuns();
    const QList<TextRun> &textRuns() const { return m_runs; }

    // The font that text in `font` is drawn in: the font itself when it has
    // outlines, otherwise a scalable face at its size and weight.
    static QFont scalableFont(const QFont &font);

protected:
    int metric(PaintDeviceMetric metric) const override;

private:
    QPaintDevice *m_target;
    std::unique_ptr<ForwardingEngine> m_engine;
    QList<TextRun> m_runs;
};
