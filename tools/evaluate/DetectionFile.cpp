#include "DetectionFile.h"

#include "AnnotationReading.h"

#include <QFile>

#include <cmath>

namespace
{

constexpr int kFields = 6;
const char* const kNumberFields[5] = {"xmin", "ymin", "xmax", "ymax", "score"};

// A row is a photo name and six numbers; anything longer is not a
// detections file.
constexpr qint64 kMaxLineBytes = 64 * 1024;

// Far beyond any photograph, as for the right boxes.
constexpr double kMaxCoordinate = 1e9;

// Reads the number field k of a row into value; otherwise returns what is wrong.
QString readNumber(const QStringList& fields, int k, double& value)
{
    const QString what = QLatin1String(kNumberFields[k - 1]);
    if (fields[k].isEmpty())
        return QStringLiteral("%1 is empty").arg(what);
    bool ok = false;
    value = fields[k].toDouble(&ok);
    if (!ok || !std::isfinite(value))
        return QStringLiteral("%1 is not a number: %2").arg(what, shownText(fields[k]));
    if (k < 5 && std::fabs(value) > kMaxCoordinate)
        return QStringLiteral("%1 is out of range: %2, expected a number from -%3 to %3")
            .arg(what, shownText(fields[k]))
            .arg(qint64(kMaxCoordinate));
    return QString();
}

// The photograph of the row before: a detector writes the rows of one
// photograph together, and looking a name up costs more than the rest.
struct LastPhoto {
    QString name;
    int id = -1;
};

// Reads one non-blank row; otherwise returns what is wrong.
QString readRow(const QStringList& fields, PhotoIndex& photos, LastPhoto& last, FoundBox& d)
{
    // Quoted names keep the blanks inside their quotes; trim those too.
    const QString name = fields[0].trimmed();
    if (name.isEmpty())
        return QStringLiteral("empty photo name");
    double v[5];
    for (int k = 1; k < kFields; ++k) {
        const QString problem = readNumber(fields, k, v[k - 1]);
        if (!problem.isEmpty())
            return problem;
    }
    if (v[2] <= v[0])
        return QStringLiteral("empty box: xmax %1 is not right of xmin %2").arg(v[2]).arg(v[0]);
    if (v[3] <= v[1])
        return QStringLiteral("empty box: ymax %1 is not below ymin %2").arg(v[3]).arg(v[1]);
    if (name != last.name)
        last = LastPhoto{name, photos.id(name)};
    d.photo = last.id;
    if (d.photo < 0)
        return QStringLiteral("the photograph %1 is not among the photographs of --photos")
            .arg(shownText(name));
    d.xmin = v[0];
    d.ymin = v[1];
    d.xmax = v[2];
    d.ymax = v[3];
    d.score = v[4];
    return QString();
}

} // namespace

bool readDetections(const QString& path, PhotoIndex& photos, std::vector<FoundBox>& detections,
                    QString& error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        error = QStringLiteral("%1: cannot open: %2").arg(path, file.errorString());
        return false;
    }
    // Read row by row: a long run's detections may be far more than a
    // right-box file holds.
    bool firstRow = true;
    CsvRow row;
    LastPhoto last;
    for (int lineNumber = 1;; ++lineNumber) {
        QByteArray raw = file.readLine(kMaxLineBytes + 1);
        if (raw.isEmpty())
            break;
        const auto fail = [&](const QString& what) {
            error = QStringLiteral("%1:%2: %3").arg(path).arg(lineNumber).arg(what);
            return false;
        };
        if (raw.size() > kMaxLineBytes)
            return fail(QStringLiteral("longer than %1 bytes").arg(kMaxLineBytes));
        if (lineNumber == 1 && raw.startsWith("\xEF\xBB\xBF"))
            raw.remove(0, 3);
        const QString problem =
            readCsvRow(raw, QStringLiteral("photo,xmin,ymin,xmax,ymax,score"), row);
        if (!problem.isEmpty())
            return fail(problem);
        if (row.count == 0)
            continue;
        if (firstRow) {
            firstRow = false;
            if (isCsvHeader(row))
                continue;
        }
        FoundBox d;
        d.line = lineNumber;
        const QString why = readRow(row.fields, photos, last, d);
        if (!why.isEmpty())
            return fail(why);
        detections.push_back(d);
    }
    if (file.error() != QFileDevice::NoError) {
        error = QStringLiteral("%1: cannot read: %2").arg(path, file.errorString());
        return false;
    }
    return true;
}
