#pragma once

#include <QLabel>
#include <QTimer>

// A short notice on the window that says where a picture went, in the free
// space beside the controls frame, so that no box has to be dismissed after
// every save. It goes by itself after a while, takes neither the focus nor a
// click, and screen readers announce it.
class SaveNotice : public QLabel
{
    Q_OBJECT

public:
    explicit SaveNotice(QWidget *window);

    // Shows the text within area, in the window's coordinates, for a while.
    void showText(const QString &text, const QRect &area);

private:
    QTimer m_timer;
};
