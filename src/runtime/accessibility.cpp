#include "accessibility.h"

#include <QAccessible>
#include <QHash>

namespace {

QHash<QString, AccessibleMaker> &makers()
{
    static QHash<QString, AccessibleMaker> registered;
    return registered;
}

QAccessibleInterface *makeAccessible(const QString &className, QObject *object)
{
    const auto found = makers().constFind(className);
    return found == makers().cend() ? nullptr : (*found)(object);
}

} // namespace

void registerAccessible(const QString &className, AccessibleMaker maker)
{
    if (makers().isEmpty())
        QAccessible::installFactory(makeAccessible);
    makers().insert(className, std::move(maker));
}

QString withoutMnemonics(const QString &caption)
{
    QString text;
    text.reserve(caption.size());
    for (qsizetype i = 0; i < caption.size(); ++i) {
        if (caption[i] == u'&' && ++i >= caption.size())
            break;
        text += caption[i];
    }
    return text;
}
