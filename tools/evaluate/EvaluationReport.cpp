#include "EvaluationReport.h"

#include "OutputTarget.h"

#include <QLocale>

namespace
{

QByteArray fixed(double value)
{
    return QByteArray::number(value, 'f', 4);
}

// The shortest text that reads back as value, in the C locale.
QByteArray exact(double value)
{
    return QByteArray::number(value, 'g', QLocale::FloatingPointShortest);
}

// A CSV field, quoted when it holds a comma, a quote or a line end.
QByteArray csvField(const QString& text)
{
    QByteArray field = text.toUtf8();
    if (!field.contains(',') && !field.contains('"') && !field.contains('\n') &&
        !field.contains('\r'))
        return field;
    return '"' + field.replace("\"", "\"\"") + '"';
}

const char* outcomeName(Outcome o)
{
    switch (o) {
    case Outcome::TruePositive:
        return "tp";
    case Outcome::FalsePositive:
        return "fp";
    case Outcome::Ignored:
        return "ignored";
    }
    return "";
}

} // namespace

QByteArray reportText(const Evaluation& e)
{
    const long long tp = e.curve.empty() ? 0 : e.curve.back().tp;
    const long long fp = e.curve.empty() ? 0 : e.curve.back().fp;
    const double recall = e.people > 0 ? double(tp) / double(e.people) : 0;
    const double precision = tp + fp > 0 ? double(tp) / double(tp + fp) : 0;
    QByteArray text = "AP = " + fixed(e.ap) + ", 11-point AP = " + fixed(e.ap11) +
                      ", log-average miss rate = " + fixed(e.logAverageMissRate) + '\n';
    text += QByteArray("match = ") + matchRuleName(e.rule) + '\n';
    if (const std::optional<OperatingPoint>& op = e.operatingPoint)
        text += "operating point: score >= " + exact(op->score) + " (best F1 = " + fixed(op->f1) +
                ", precision = " + fixed(op->precision) + ", recall = " + fixed(op->recall) + ")\n";
    else
        text += "operating point: none (no true positive)\n";
    const std::pair<const char*, long long> counts[] = {
        {"people", e.people},
        {"ignored truth boxes", e.ignoredBoxes},
        {"detections", static_cast<long long>(e.curve.size())},
        {"true positives", tp},
        {"false positives", fp},
        {"detections on ignored boxes", e.ignoredDetections},
        {"photographs", e.photographs},
    };
    for (const auto& [name, count] : counts)
        text += QByteArray(name) + " = " + QByteArray::number(count) + '\n';
    text += "recall = " + fixed(recall) + '\n';
    text += "precision = " + fixed(precision) + '\n';
    return text;
}

namespace
{

// The device keeps the error of a write that failed.
void writeCurveRows(QIODevice& file, const Evaluation& e, const EvaluationInput& input)
{
    file.write("rank,photo,line,score,outcome,tp,fp,recall,precision,fppi,miss_rate\n");
    // One buffer for every row: a long run has millions of them.
    QByteArray row;
    long long rank = 0;
    for (const CurvePoint& p : e.curve) {
        const FoundBox& d = input.detections[p.at.detection];
        row.clear();
        row.append(QByteArray::number(++rank))
            .append(',')
            .append(csvField(input.photos.name(d.photo)))
            .append(',')
            .append(QByteArray::number(d.line))
            .append(',')
            .append(exact(d.score))
            .append(',')
            .append(outcomeName(p.at.outcome))
            .append(',')
            .append(QByteArray::number(p.tp))
            .append(',')
            .append(QByteArray::number(p.fp));
        for (const double v : {p.recall, p.precision, p.fppi, p.missRate})
            row.append(',').append(exact(v));
        file.write(row.append('\n'));
    }
}

} // namespace

bool writeCurveCsv(const QString& path, const Evaluation& e, const EvaluationInput& input,
                   QString& error)
{
    const auto rows = [&](QIODevice& file) {
        writeCurveRows(file, e, input);
        return true;
    };
    if (!writeOutput(path, rows, error)) {
        error = QStringLiteral("cannot write %1: %2").arg(path, error);
        return false;
    }
    return true;
}
