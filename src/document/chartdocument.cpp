#include "chartdocument.h"

#include "documentfields.h"
#include "numbers.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonParseError>
#include <QJsonValue>

#include <cmath>

using namespace DocumentFields;

namespace {

// A value as JSON text.
QByteArray json(const QJsonValue &value)
{
    const QByteArray array = QJsonDocument(QJsonArray{value}).toJson(QJsonDocument::Compact);
    return array.mid(1, array.size() - 2);
}

QByteArray member(const char *key, const QJsonValue &value)
{
    return '"' + QByteArray(key) + "\": " + json(value);
}

// Reads one JSON document after the other, naming each place by its path.
class JsonReader
{
public:
    explicit JsonReader(const QString &source) : m_source(source) {}

    RuntimeError error(const QString &path, const QString &reason) const
    {
        return readError(m_source, path.isEmpty() ? QString() : QStringLiteral("at ") + path, reason);
    }

    QString text(const QJsonObject &object, const char *key, const QString &path, const QString &otherwise) const
    {
        const QJsonValue value = object.value(QLatin1String(key));
        if (value.isUndefined())
            return otherwise;
        if (!value.isString())
            throw error(path + QLatin1String(key), QStringLiteral("text in quotes is needed"));
        if (const QString problem = checkTextLength(value.toString()); !problem.isEmpty())
            throw error(path + QLatin1String(key), problem);
        return value.toString();
    }

    OleColor colour(const QJsonObject &object, const char *key, const QString &path, OleColor otherwise) const
    {
        const QString name = text(object, key, path, QString());
        OleColor colour = otherwise;
        if (object.contains(QLatin1String(key))) {
            if (const QString problem = readColour(name, &colour); !problem.isEmpty())
                throw error(path + QLatin1String(key), problem);
        }
        return colour;
    }

    ChartColumn column(const QJsonValue &value, const QString &path) const
    {
        if (!value.isObject())
            throw error(path, QStringLiteral("a column is needed: {\"label\": ..., \"value\": ...}"));
        const QJsonObject object = value.toObject();
        const QString prefix = path + u'.';
        ChartColumn column;
        column.label = text(object, "label", prefix, QString());
        const QJsonValue number = object.value(QLatin1String("value"));
        if (number.isUndefined())
            throw error(prefix + QStringLiteral("value"), QStringLiteral("the value is missing"));
        if (!number.isDouble())
            throw error(prefix + QStringLiteral("value"), QStringLiteral("the value %1 is not a number").arg(excerpt(QString::fromUtf8(json(number)))));
        if (const QString problem = readValue(number.toDouble(), &column.value); !problem.isEmpty())
            throw error(prefix + QStringLiteral("value"), problem);
        column.colour = colour(object, "colour", prefix, defaultColour());
        column.labelColour = colour(object, "labelColour", prefix, defaultLabelColour());
        return column;
    }

private:
    QString m_source;
};

int lineAt(const QByteArray &text, qsizetype offset)
{
    return int(text.left(offset).count('\n')) + 1;
}

} // namespace

QByteArray ChartDocument::toJson() const
{
    QByteArray text = "{\n";
    for (const QByteArray &line : {member("format", QLatin1String(FormatName)), member("version", FormatVersion),
                                   member("heading", heading), member("yAxisTitle", yAxisTitle),
                                   member("xAxisTitle", xAxisTitle)}) {
        text += "    " + line + ",\n";
    }
    text += "    \"columns\": [";
    for (qsizetype i = 0; i < columns.size(); ++i) {
        const ChartColumn &column = columns.at(i);
        text += i == 0 ? "\n" : ",\n";
        text += "        {" + member("label", column.label) + ", " + member("value", column.value) + ", "
            + member("colour", colourText(column.colour)) + ", "
            + member("labelColour", colourText(column.labelColour)) + '}';
    }
    text += columns.isEmpty() ? "]\n}\n" : "\n    ]\n}\n";
    return text;
}

ChartDocument ChartDocument::fromJson(const QByteArray &json, const QString &source)
{
    const JsonReader reader(source);
    QJsonParseError parsed;
    const QJsonDocument document = QJsonDocument::fromJson(json, &parsed);
    if (parsed.error != QJsonParseError::NoError) {
        throw readError(source, linePlace(lineAt(json, parsed.offset)),
                        QStringLiteral("this is not a chart file: its JSON is broken here (%1)").arg(parsed.errorString()));
    }
    const QJsonObject root = document.object();
    if (!document.isObject() || root.value(QLatin1String("format")).toString() != QLatin1String(FormatName)) {
        throw readError(source, QString(),
                        QStringLiteral("this is not a Plinthos chart: it does not say \"format\": \"%1\"").arg(QLatin1String(FormatName)));
    }
    const QJsonValue version = root.value(QLatin1String("version"));
    const double number = version.toDouble(-1);
    if (!version.isDouble() || number < 1 || number != std::trunc(number))
        throw reader.error(QStringLiteral("version"), QStringLiteral("the format version should be a whole number from 1 on"));
    if (number > FormatVersion) {
        throw readError(source, QString(),
                        QStringLiteral("this chart was saved by a newer Plinthos in format version %1; "
                                       "this Plinthos reads format version %2")
                            .arg(formatNumber(number), QString::number(FormatVersion)));
    }

    ChartDocument result;
    result.heading = reader.text(root, "heading", QString(), result.heading);
    result.yAxisTitle = reader.text(root, "yAxisTitle", QString(), result.yAxisTitle);
    result.xAxisTitle = reader.text(root, "xAxisTitle", QString(), result.xAxisTitle);
    const QJsonValue columns = root.value(QLatin1String("columns"));
    if (!columns.isUndefined() && !columns.isArray())
        throw reader.error(QStringLiteral("columns"), QStringLiteral("a list of columns in [ ] is needed"));
    const QJsonArray list = columns.toArray();
    if (list.size() > ChartCapacity) {
        throw reader.error(QStringLiteral("columns"), QStringLiteral("the chart has %1 columns; a chart holds at most %2")
                                                          .arg(list.size())
                                                          .arg(ChartCapacity));
    }
    for (qsizetype i = 0; i < list.size(); ++i)
        result.columns.append(reader.column(list.at(i), QStringLiteral("columns[%1]").arg(i)));
    return result;
}
