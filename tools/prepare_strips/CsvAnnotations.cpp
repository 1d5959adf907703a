#include "CsvAnnotations.h"

#include "AnnotationReading.h"

#include <QStringDecoder>

namespace
{

constexpr int kFields = 5;
const char* const kBoxFields[4] = {"xmin", "ymin", "xmax", "ymax"};

// A row cut at its commas. Only the first fields are kept, so that a line of
// a million commas costs no memory; count counts them all.
struct Row {
    QString fields[kFields];
    qsizetype count = 0;
};

// Cuts line into row at the commas outside double quotes. Returns what is
// wrong, or an empty text. A quoted field ends on its line: photo names
// hold no line ends, and a stray quote then spoils one row, not the file.
QString splitRow(const QString& line, Row& row)
{
    row = Row();
    const qsizetype n = line.size();
    qsizetype i = 0;
    for (;;) {
        while (i < n && line[i].isSpace())
            ++i;
        QString field;
        if (i < n && line[i] == u'"') {
            for (++i;; ++i) {
                if (i == n)
                    return QStringLiteral("field %1 opens a quote that the line does not close")
                        .arg(row.count + 1);
                if (line[i] == u'"') {
                    if (i + 1 == n || line[i + 1] != u'"')
                        break;
                    ++i; // "" stands for one quote
                }
                field += line[i];
            }
            ++i;
            while (i < n && line[i].isSpace())
                ++i;
            if (i < n && line[i] != u',')
                return QStringLiteral("field %1 goes on after its closing quote")
                    .arg(row.count + 1);
        } else {
            const qsizetype start = i;
            while (i < n && line[i] != u',')
                ++i;
            // Trimming also takes the CR of a CRLF line end.
            field = line.mid(start, i - start).trimmed();
        }
        if (row.count < kFields)
            row.fields[row.count] = field;
        ++row.count;
        if (i == n)
            return QString();
        ++i; // the comma
    }
}

// A header names the columns; none of its box fields is a number.
bool isHeader(const Row& row)
{
    for (int k = 1; k < kFields; ++k) {
        bool ok = false;
        row.fields[k].toDouble(&ok);
        if (ok)
            return false;
    }
    return true;
}

} // namespace

bool readCsvAnnotations(const QString& path, std::vector<AnnotatedPhoto>& photos, QString& error)
{
    QByteArray bytes;
    if (!readAnnotationFile(path, bytes, error))
        return false;
    if (bytes.startsWith("\xEF\xBB\xBF"))
        bytes.remove(0, 3);

    PhotoCollector collector(photos);
    bool firstRow = true;
    Row row;
    qsizetype start = 0;
    for (int lineNumber = 1; start < bytes.size(); ++lineNumber) {
        qsizetype end = bytes.indexOf('\n', start);
        if (end < 0)
            end = bytes.size();
        const QByteArrayView raw(bytes.constData() + start, end - start);
        start = end + 1;

        const QString where = QStringLiteral("%1:%2").arg(path).arg(lineNumber);
        auto fail = [&](const QString& what) {
            error = where + QLatin1String(": ") + what;
            return false;
        };
        QStringDecoder toUtf16(QStringDecoder::Utf8);
        const QString line = toUtf16(raw);
        if (toUtf16.hasError())
            return fail(QStringLiteral("not UTF-8 text"));
        if (line.trimmed().isEmpty())
            continue;

        const QString problem = splitRow(line, row);
        if (!problem.isEmpty())
            return fail(problem);
        if (row.count != kFields)
            return fail(QStringLiteral("expected 5 fields \"photo,xmin,ymin,xmax,ymax\", found %1")
                            .arg(row.count));
        if (firstRow) {
            firstRow = false;
            if (isHeader(row))
                continue;
        }

        // Quoted names keep the blanks inside their quotes; trim those too.
        const QString name = row.fields[0].trimmed();
        if (name.isEmpty())
            return fail(QStringLiteral("empty photo name"));
        int v[4];
        for (int k = 0; k < 4; ++k) {
            QString why;
            if (!readCoordinate(row.fields[k + 1], QLatin1String(kBoxFields[k]), v[k], why))
                return fail(why);
        }
        if (v[2] <= v[0])
            return fail(
                QStringLiteral("empty box: xmax %1 is not right of xmin %2").arg(v[2]).arg(v[0]));
        if (v[3] <= v[1])
            return fail(
                QStringLiteral("empty box: ymax %1 is not below ymin %2").arg(v[3]).arg(v[1]));
        collector.photo(name, where).people.push_back(PersonBox{v[0], v[1], v[2], v[3], where});
    }
    photos = collector.take();
    return true;
}
