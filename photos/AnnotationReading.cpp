#include "AnnotationReading.h"

#include <QFile>
#include <QStringDecoder>

#include <cmath>

namespace
{

// Far beyond any photograph, and small enough that the rounded value, less
// the one VOC takes off, fits an int.
constexpr double kMaxCoordinate = 1e9;

// Most characters of a text that a message quotes.
constexpr qsizetype kShownChars = 40;

bool tooLarge(const QString& path, QString& error)
{
    error = QStringLiteral("%1: larger than %2 MB, too large for an annotation file")
                .arg(path)
                .arg(kMaxAnnotationBytes >> 20);
    return false;
}

} // namespace

bool readAnnotationFile(const QString& path, QByteArray& bytes, QString& error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        error = QStringLiteral("%1: cannot open: %2").arg(path, file.errorString());
        return false;
    }
    // A pipe does not tell its size: one byte beyond the limit tells that it
    // is too large.
    if (!file.isSequential() && file.size() > kMaxAnnotationBytes)
        return tooLarge(path, error);
    bytes = file.isSequential() ? file.read(kMaxAnnotationBytes + 1) : file.readAll();
    if (file.error() != QFileDevice::NoError) {
        error = QStringLiteral("%1: cannot read: %2").arg(path, file.errorString());
        return false;
    }
    if (bytes.size() > kMaxAnnotationBytes)
        return tooLarge(path, error);
    return true;
}

bool readCoordinate(const QString& text, const QString& what, int& value, QString& problem)
{
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty()) {
        problem = QStringLiteral("%1 is empty").arg(what);
        return false;
    }
    bool ok = false;
    const double number = trimmed.toDouble(&ok);
    if (!ok || !std::isfinite(number)) {
        problem = QStringLiteral("%1 is not a number: %2").arg(what, shownText(text));
        return false;
    }
    if (std::fabs(number) > kMaxCoordinate) {
        problem = QStringLiteral("%1 is out of range: %2, expected a number from -%3 to %3")
                      .arg(what, shownText(text))
                      .arg(qint64(kMaxCoordinate));
        return false;
    }
    value = static_cast<int>(std::lround(number));
    return true;
}

QString shownText(const QString& text)
{
    QString shown = text.left(kShownChars);
    for (QChar& c : shown) {
        if (c.unicode() < 0x20 || c.unicode() == 0x7f)
            c = u'?';
    }
    return QLatin1Char('"') + shown + QLatin1String(text.size() > kShownChars ? "...\"" : "\"");
}

PhotoCollector::PhotoCollector(const std::vector<AnnotatedPhoto>& start) : photos(start)
{
    for (size_t k = 0; k < photos.size(); ++k) {
        if (!index.contains(photos[k].name))
            index.insert(photos[k].name, k);
    }
}

AnnotatedPhoto& PhotoCollector::photo(const QString& name, const QString& where)
{
    const auto found = index.constFind(name);
    if (found != index.constEnd())
        return photos[*found];
    index.insert(name, photos.size());
    photos.push_back(AnnotatedPhoto{name, where, {}});
    return photos.back();
}

namespace
{

// Cuts line into row at the commas outside double quotes, keeping at most
// keep fields, so that a line of a million commas costs no memory.
QString splitCsvRow(const QString& line, int keep, CsvRow& row)
{
    row = CsvRow();
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
        if (row.count < keep)
            row.fields.append(field);
        ++row.count;
        if (i == n)
            return QString();
        ++i; // the comma
    }
}

} // namespace

QString readCsvRow(QByteArrayView raw, const QString& columns, CsvRow& row)
{
    row = CsvRow();
    QStringDecoder toUtf16(QStringDecoder::Utf8);
    const QString line = toUtf16(raw);
    if (toUtf16.hasError())
        return QStringLiteral("not UTF-8 text");
    if (line.trimmed().isEmpty())
        return QString();
    const int wanted = static_cast<int>(columns.count(QLatin1Char(','))) + 1;
    const QString problem = splitCsvRow(line, wanted, row);
    if (!problem.isEmpty())
        return problem;
    if (row.count != wanted)
        return QStringLiteral("expected %1 fields \"%2\", found %3")
            .arg(wanted)
            .arg(columns)
            .arg(row.count);
    return QString();
}

bool isCsvHeader(const CsvRow& row)
{
    for (qsizetype k = 1; k < row.fields.size(); ++k) {
        bool ok = false;
        row.fields[k].toDouble(&ok);
        if (ok)
            return false;
    }
    return true;
}
