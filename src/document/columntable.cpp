#include "columntable.h"

#include "documentfields.h"
#include "numbers.h"

#include <QStringList>

#include <algorithm>

using namespace DocumentFields;

namespace ColumnTable {

namespace {

// The fields a row may hold: label, value, colour, label colour.
constexpr int MaxFields = 4;

struct Row
{
    int line = 0; // where the row starts
    QStringList fields;

    bool isBlank() const
    {
        return std::all_of(fields.begin(), fields.end(), [](const QString &field) { return field.trimmed().isEmpty(); });
    }
};

// Splits the text into rows of fields, counting lines as it goes.
class RowReader
{
public:
    RowReader(QStringView text, const QString &source)
        : m_text(text)
        , m_source(source)
        , m_separator(separatorOf(text))
    {
    }

    bool atEnd() const { return m_pos >= m_text.size(); }

    Row next()
    {
        Row row{m_line, {}};
        do
            row.fields.append(peek() == u'"' ? quotedField() : plainField());
        while (take(m_separator));
        // CRLF, LF or CR.
        take(u'\r');
        take(u'\n');
        ++m_line;
        return row;
    }

private:
    // The first row's separator, outside quotes.
    static QChar separatorOf(QStringView text)
    {
        bool quoted = false;
        bool comma = false;
        bool semicolon = false;
        for (const QChar c : text) {
            if (c == u'"')
                quoted = !quoted;
            else if (!quoted && (c == u'\n' || c == u'\r'))
                break;
            else if (!quoted && c == u'\t')
                return u'\t';
            comma = comma || (!quoted && c == u',');
            semicolon = semicolon || (!quoted && c == u';');
        }
        return !comma && semicolon ? u';' : u',';
    }

    QChar peek() const { return atEnd() ? QChar() : m_text[m_pos]; }
    bool take(QChar c)
    {
        if (atEnd() || m_text[m_pos] != c)
            return false;
        ++m_pos;
        return true;
    }
    bool atFieldEnd() const
    {
        const QChar c = peek();
        return atEnd() || c == m_separator || c == u'\r' || c == u'\n';
    }

    // A quote inside a field that does not start with one is taken as it
    // stands, as spreadsheets write it.
    QString plainField()
    {
        const qsizetype start = m_pos;
        while (!atFieldEnd())
            ++m_pos;
        return m_text.mid(start, m_pos - start).toString();
    }

    QString quotedField()
    {
        const int opened = m_line;
        QString field;
        ++m_pos;
        for (;;) {
            if (atEnd())
                throw readError(m_source, linePlace(opened), QStringLiteral("a field opens a quote that is never closed"));
            const QChar c = m_text[m_pos++];
            if (c == u'"' && !take(u'"'))
                break;
            if (c == u'\n')
                ++m_line;
            field += c;
        }
        if (!atFieldEnd())
            throw readError(m_source, linePlace(m_line), QStringLiteral("text follows the closing quote of a field"));
        return field;
    }

    QStringView m_text;
    QString m_source;
    QChar m_separator;
    qsizetype m_pos = 0;
    int m_line = 1;
};

bool namesColours(const Row &row)
{
    OleColor colour = 0;
    for (qsizetype i = 2; i < row.fields.size(); ++i) {
        if (readColour(row.fields[i], &colour).isEmpty())
            return true;
    }
    return false;
}

// A value too large to read is still a number: the row is a column, and
// its value is then refused with its line.
bool isHeader(const Row &row)
{
    if (row.fields.size() < 2 || row.fields[1].trimmed().isEmpty() || namesColours(row))
        return false;
    try {
        return !scanNumberIfAny(row.fields[1]);
    } catch (const RuntimeError &) {
        return false;
    }
}

ChartColumn columnOf(const Row &row, const QString &source)
{
    const auto fail = [&](const QString &reason) { return readError(source, linePlace(row.line), reason); };
    const auto extra = std::find_if(row.fields.begin() + std::min<qsizetype>(row.fields.size(), MaxFields), row.fields.end(),
                                    [](const QString &field) { return !field.trimmed().isEmpty(); });
    if (extra != row.fields.end()) {
        throw fail(QStringLiteral("the row has %1 fields; a row holds at most %2: label, value, colour and label colour")
                       .arg(row.fields.size())
                       .arg(MaxFields));
    }
    if (const QString problem = checkTextLength(row.fields[0]); !problem.isEmpty())
        throw fail(problem);
    ChartColumn column{row.fields[0], 0, defaultColour(), defaultLabelColour()};
    if (const QString problem = readValue(row.fields.value(1), &column.value); !problem.isEmpty())
        throw fail(problem);
    for (auto [index, colour] : {std::pair{2, &column.colour}, std::pair{3, &column.labelColour}}) {
        const QString field = row.fields.value(index);
        if (field.trimmed().isEmpty())
            continue;
        if (const QString problem = readColour(field, colour); !problem.isEmpty())
            throw fail(problem);
    }
    return column;
}

QString inQuotes(const QString &text)
{
    QString field = text;
    field.replace(u'"', QStringLiteral("\"\""));
    return u'"' + field + u'"';
}

// A field as CSV writes it: in quotes when it holds a separator, a quote or
// a line break, or starts or ends with a blank that a reader might trim.
QString csvField(const QString &text)
{
    const bool quoted = text.contains(u',') || text.contains(u'"') || text.contains(u'\n') || text.contains(u'\r')
        || text.contains(u'\t') || text.trimmed().size() != text.size();
    return quoted ? inQuotes(text) : text;
}

QString textField(const QString &text)
{
    const bool quoted = text.contains(u'\t') || text.contains(u'"') || text.contains(u'\n') || text.contains(u'\r');
    return quoted ? inQuotes(text) : text;
}

} // namespace

QList<ChartColumn> read(QStringView text, const QString &source)
{
    // Rows past a full chart and a header are only counted, for the message:
    // a table of millions of short rows must not take memory for each.
    QList<Row> rows;
    qsizetype count = 0;
    RowReader reader(text, source);
    while (!reader.atEnd()) {
        Row row = reader.next();
        if (row.isBlank())
            continue;
        if (++count <= ChartCapacity + 1)
            rows.append(std::move(row));
    }
    if (!rows.isEmpty() && isHeader(rows.first())) {
        rows.removeFirst();
        --count;
    }
    if (count > ChartCapacity) {
        throw readError(source, QString(), QStringLiteral("it has %1 rows of columns; a chart holds at most %2")
                                               .arg(count)
                                               .arg(ChartCapacity));
    }
    QList<ChartColumn> columns;
    columns.reserve(rows.size());
    for (const Row &row : std::as_const(rows))
        columns.append(columnOf(row, source));
    return columns;
}

QByteArray toCsv(const QList<ChartColumn> &columns)
{
    QString text = QStringLiteral("Label,Value,Colour,Label colour\r\n");
    for (const ChartColumn &column : columns) {
        text += csvField(column.label) + u',' + QString::number(column.value) + u',' + colourText(column.colour) + u','
            + colourText(column.labelColour) + QStringLiteral("\r\n");
    }
    return text.toUtf8();
}

QString toText(const QList<ChartColumn> &columns)
{
    QString text;
    for (const ChartColumn &column : columns)
        text += textField(column.label) + u'\t' + QString::number(column.value) + u'\n';
    return text;
}

} // namespace ColumnTable
