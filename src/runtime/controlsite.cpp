#include "controlsite.h"

#include <QKeySequence>
#include <QShortcut>
#include <QWidget>

FormSite::FormSite(QWidget *control, const QString &name, QObject *parent)
    : ControlSite(parent)
    , m_control(control)
    , m_name(name)
{
}

FormSite::~FormSite()
{
    removeShortcuts();
}

void FormSite::removeShortcuts()
{
    for (const QPointer<QShortcut> &shortcut : std::as_const(m_shortcuts))
        delete shortcut.data();
    m_shortcuts.clear();
}

QWidget *FormSite::parentForm() const
{
    return m_control ? m_control->window() : nullptr;
}

QList<QWidget *> FormSite::formControls() const
{
    QWidget *form = parentForm();
    return form ? form->findChildren<QWidget *>() : QList<QWidget *>();
}

void FormSite::setAccessKeys(const QString &keys)
{
    removeShortcuts();
    m_accessKeys = keys;
    QWidget *form = parentForm();
    if (!form)
        return;
    for (const QChar key : keys) {
        const int code = key.toUpper().unicode();
        auto *shortcut = new QShortcut(QKeySequence(Qt::ALT | Qt::Key(code)), form);
        shortcut->setContext(Qt::WindowShortcut);
        connect(shortcut, &QShortcut::activated, this, [this, key] { emit AccessKeyPress(key.unicode()); });
        m_shortcuts.append(shortcut);
    }
}

void FormSite::propertyChanged(const QString &key)
{
    m_changedProperties.append(key);
}

void FormSite::setDisplayAsDefault(bool displayAsDefault)
{
    m_displayAsDefault = displayAsDefault;
    emit AmbientChanged(QStringLiteral("DisplayAsDefault"));
}
