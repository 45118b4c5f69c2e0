#include "savenotice.h"

#include "accessibility.h"

#include <QAccessible>
#include <QAccessibleWidget>

namespace {

constexpr int ShownForMs = 8000;

} // namespace

SaveNotice::SaveNotice(QWidget *window)
    : QLabel(window)
{
    setObjectName(QStringLiteral("SaveNotice"));
    setTextFormat(Qt::PlainText);
    setWordWrap(true);
    setAlignment(Qt::AlignLeft | Qt::AlignTop);
    setFrameShape(QFrame::Box);
    setMargin(fontMetrics().height() / 4);
    setAutoFillBackground(true);
    setBackgroundRole(QPalette::ToolTipBase);
    setForegroundRole(QPalette::ToolTipText);
    setAttribute(Qt::WA_TransparentForMouseEvents);
    hide();
    registerAccessible(QStringLiteral("SaveNotice"), [](QObject *object) -> QAccessibleInterface * {
        return new QAccessibleWidget(static_cast<QWidget *>(object), QAccessible::Notification);
    });
    m_timer.setSingleShot(true);
    m_timer.setInterval(ShownForMs);
    connect(&m_timer, &QTimer::timeout, this, &QWidget::hide);
}

void SaveNotice::showText(const QString &text, const QRect &area)
{
    // A text too long for the area loses its middle; screen readers have it
    // whole.
    const int lines = qMax(1, (area.height() - 2 * margin()) / fontMetrics().lineSpacing());
    const int lineWidth = area.width() - 2 * margin() - 2 * frameWidth();
    setText(fontMetrics().elidedText(text, Qt::ElideMiddle, lineWidth * lines * 4 / 5));
    setAccessibleName(text);
    setGeometry(area.x(), area.y(), area.width(), qMin(area.height(), heightForWidth(area.width())));
    show();
    raise();
    QAccessibleEvent announcement(this, QAccessible::Alert);
    QAccessible::updateAccessibility(&announcement);
    m_timer.start();
}
