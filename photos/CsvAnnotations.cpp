#include "CsvAnnotations.h"

#include "AnnotationReading.h"

namespace
{

const char* const kBoxFields[4] = {"xmin", "ymin", "xmax", "ymax"};

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
    CsvRow row;
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
        const QString problem = readCsvRow(raw, QStringLiteral("photo,xmin,ymin,xmax,ymax"), row);
        if (!problem.isEmpty())
            return fail(problem);
        if (row.count == 0)
            continue;
        if (firstRow) {
            firstRow = false;
            if (isCsvHeader(row))
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
