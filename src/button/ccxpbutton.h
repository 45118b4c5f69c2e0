#pragma once

#include "colours.h"
#include "fontobject.h"

#include <QString>
#include <QWidget>

class ControlSite;
class PropertyBag;

// A rounded push button that paints itself pixel by pixel.
class ccXPButton : public QWidget
{
    Q_OBJECT

public:
    explicit ccXPButton(QWidget *parent = nullptr);

    void setSite(ControlSite *site) { m_site = site; }

    // Life cycle, called by the host.
    void Initialize();
    void InitProperties();
    void ReadProperties(const PropertyBag &bag);
    void WriteProperties(PropertyBag &bag) const;
    void Terminate();

    QString Caption() const { return pCaption; }
    void SetCaption(const QString &NewValue);
    SharedFont Font() const { return pFONT; }
    void SetFont(const SharedFont &NewValue);

signals:
    void Click();

protected:
    void paintEvent(QPaintEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    ControlSite *m_site = nullptr;
    QString pCaption;
    SharedFont pFONT;
};
