#pragma once

#include <QFont>
#include <QMetaType>
#include <QObject>
#include <QSharedPointer>
#include <QString>

// The attributes of a font as a plain value: what a Property bag stores.
struct FontDescription
{
    QString name = QStringLiteral("MS Sans Serif");
    double size = 8.0; // points
    int weight = 400;
    int charset = 0;
    bool italic = false;
    bool underline = false;
    bool strikethrough = false;

    bool operator==(const FontDescription &) const = default;

    QFont toQFont() const;
};
Q_DECLARE_METATYPE(FontDescription)

// A font that several owners share by reference and that tells them when one
// of its attributes changes: QFont is a value and cannot do that.
class FontObject : public QObject
{
    Q_OBJECT

public:
    explicit FontObject(const FontDescription &description = {}, QObject *parent = nullptr);

    const FontDescription &description() const { return m_description; }
    QFont toQFont() const { return m_font; }

    QString name() const { return m_description.name; }
    double size() const { return m_description.size; }
    int weight() const { return m_description.weight; }
    bool bold() const { return m_description.weight >= 700; }
    int charset() const { return m_description.charset; }
    bool italic() const { return m_description.italic; }
    bool underline() const { return m_description.underline; }
    bool strikethrough() const { return m_description.strikethrough; }

    void setName(const QString &name);
    void setSize(double size);
    void setWeight(int weight);
    void setBold(bool bold);
    void setCharset(int charset);
    void setItalic(bool italic);
    void setUnderline(bool underline);
    void setStrikethrough(bool strikethrough);

signals:
    void FontChanged(const QString &propertyName);

private:
    template<typename T>
    void change(T FontDescription::*field, const T &value, const QString &propertyName);

    FontDescription m_description;
    QFont m_font;
};

using SharedFont = QSharedPointer<FontObject>;

SharedFont makeFont(const FontDescription &description = {});
