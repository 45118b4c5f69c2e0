#pragma once

#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>

class QShortcut;
class QWidget;

// What a hosted control asks of the form that holds it: the form's window and
// its other controls, the instance name, the ambient properties, access-key
// registration and the property-changed notification. A test can host a
// control on a FormSite without the main window.
class ControlSite : public QObject
{
    Q_OBJECT

public:
    using QObject::QObject;

    virtual QWidget *parentForm() const = 0;
    virtual QString name() const = 0;
    virtual QList<QWidget *> formControls() const = 0;
    virtual bool isMdiChild() const = 0;

    // Ambient properties.
    virtual bool userMode() const = 0;
    virtual bool displayAsDefault() const = 0;

    // The characters that, pressed with Alt, raise AccessKeyPress.
    virtual void setAccessKeys(const QString &keys) = 0;
    // Marks the form's saved properties of this control as out of date.
    virtual void propertyChanged(const QString &key) = 0;

signals:
    void AccessKeyPress(int keyAscii);
    void AmbientChanged(const QString &propertyName);
};

// The site a form gives each control it hosts. The form is the control's
// top-level window; access keys become Alt+key shortcuts on that window.
class FormSite : public ControlSite
{
    Q_OBJECT

public:
    FormSite(QWidget *control, const QString &name, QObject *parent = nullptr);
    ~FormSite() override;

    QWidget *parentForm() const override;
    QString name() const override { return m_name; }
    QList<QWidget *> formControls() const override;
    bool isMdiChild() const override { return m_mdiChild; }
    bool userMode() const override { return m_userMode; }
    bool displayAsDefault() const override { return m_displayAsDefault; }
    void setAccessKeys(const QString &keys) override;
    void propertyChanged(const QString &key) override;

    void setUserMode(bool userMode) { m_userMode = userMode; }
    void setMdiChild(bool mdiChild) { m_mdiChild = mdiChild; }
    // Changes the ambient DisplayAsDefault and tells the control.
    void setDisplayAsDefault(bool displayAsDefault);

    QString accessKeys() const { return m_accessKeys; }
    // Every key passed to propertyChanged, in order.
    QStringList changedProperties() const { return m_changedProperties; }
    void clearChangedProperties() { m_changedProperties.clear(); }

private:
    void removeShortcuts();

    QPointer<QWidget> m_control;
    QString m_name;
    QString m_accessKeys;
    // Children of the form, which may go first.
    QList<QPointer<QShortcut>> m_shortcuts;
    QStringList m_changedProperties;
    bool m_userMode = true;
    bool m_mdiChild = false;
    bool m_displayAsDefault = false;
};
