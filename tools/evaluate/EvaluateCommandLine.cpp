#include "EvaluateCommandLine.h"

#include "OptionWords.h"
#include "OutputOverInput.h"

#include <QFileInfo>

namespace
{

const char* const kHelp =
    R"(Compares the people a detector found in whole photographs with the right
boxes, over all photographs together, and prints on its first line:
  AP = 0.xxxx, 11-point AP = 0.xxxx, log-average miss rate = 0.xxxx
on its second the matching rule, "match = voc" or "match = unclaimed", then
the counts, recall and precision.

Options:
  --truth FILE        right boxes as CSV rows "photo,xmin,ymin,xmax,ymax", as
                      ombre-prepare reads them (0-based pixels, xmax and ymax
                      exclusive; a header row is allowed)
  --voc DIR           right boxes from the Pascal VOC files DIR/*.xml, objects
                      named "person" (1-based pixels, maxima inclusive); a
                      person marked <difficult>1</difficult> is neither found
                      nor missed
  --detections FILE   found boxes as CSV rows
                      "photo,xmin,ymin,xmax,ymax,score", as ombre-detect
                      writes them
  --photos DIR        the photographs searched: the PNG and JPEG files in DIR
                      and its subdirectories, named relative to DIR, as
                      ombre-detect finds them. They are the photographs of
                      the false positives per image; right boxes of other
                      photographs are left out. A detection in another
                      photograph, or a right box wholly outside its
                      photograph, is an error. Without it, every photograph
                      named in either file counts.
  --match RULE        how a detection picks its person (below): voc, PASCAL
                      VOC's rule (default), or unclaimed, the pedestrian
                      benchmarks' rule
  --iou X             least intersection over union of a true positive,
                      above 0 and at most 1 (default 0.5)
  --ignore-below H    right boxes lower than H pixels are ignore regions: a
                      detection on one counts neither way, and they are not
                      counted among the people (default 0, none)
  --plot FILE.png     draw the precision-recall curve and the miss rate
                      against false positives per image
  --curve FILE.csv    write one row per detection, highest score first:
                      "rank,photo,line,score,outcome,tp,fp,recall,
                      precision,fppi,miss_rate", line being the detection's
                      line in its file and outcome tp, fp or ignored
  --help              this text
  --version           the version
Neither output may be one of the input files or lie inside --voc or --photos.

Detections are taken highest score first, equal scores in file order. With
--match voc, each takes the person of its photograph that it overlaps most,
claimed or not; with --match unclaimed, the one it overlaps most among those
no detection claimed yet. An overlap of at least --iou makes a true positive,
which claims the person; anything else, a second detection of a person
included, is a false positive. A detection that is then no true positive but
overlaps an ignore region by at least --iou counts neither way. Difficult
people are neither found nor missed: with voc, a detection that takes one
counts neither way; with unclaimed, they are tried last, as ignore regions.
Photographs are named as in the files, "./a.png" being "a.png".

Exit codes: 0 done, 1 bad input or a failed write, 2 wrong command line.)";

// The options that take a file or directory name.
struct NameOption {
    const char* name;
    QString EvaluateOptions::*field;
};

const NameOption kNameOptions[] = {
    {"--truth", &EvaluateOptions::truthCsv},
    {"--voc", &EvaluateOptions::vocDir},
    {"--detections", &EvaluateOptions::detections},
    {"--photos", &EvaluateOptions::photosDir},
    {"--plot", &EvaluateOptions::plot},
    {"--curve", &EvaluateOptions::curve},
};

bool setOption(EvaluateOptions& o, const QString& name, const QString& value, QString& error)
{
    for (const NameOption& option : kNameOptions) {
        if (name != QLatin1String(option.name))
            continue;
        if (value.isEmpty()) {
            error = QStringLiteral("%1 needs a name").arg(name);
            return false;
        }
        o.*(option.field) = value;
        return true;
    }
    if (name == QLatin1String("--iou")) {
        // QString reads numbers in the C locale, whatever the user's.
        bool ok = false;
        const double iou = value.toDouble(&ok);
        if (!ok || !(iou > 0 && iou <= 1)) {
            error = QStringLiteral("--iou takes a number above 0 and at most 1, not %1").arg(value);
            return false;
        }
        o.iou = iou;
        return true;
    }
    if (name == QLatin1String("--ignore-below"))
        return readNumber(name, value, 0, 1e9, o.ignoreBelow, error);
    if (name == QLatin1String("--match")) {
        for (const MatchRuleName& rule : kMatchRuleNames) {
            if (value == QLatin1String(rule.name)) {
                o.match = rule.rule;
                return true;
            }
        }
        error = QStringLiteral("--match takes voc or unclaimed, not %1").arg(value);
        return false;
    }
    error = QStringLiteral("unknown option %1").arg(name);
    return false;
}

// An output must neither overwrite an input, go among them, nor be the other output.
QString checkOutputs(const EvaluateOptions& o)
{
    const QString overInput =
        outputOverInput({{QStringLiteral("--plot"), o.plot}, {QStringLiteral("--curve"), o.curve}},
                        {{QStringLiteral("--truth"), o.truthCsv},
                         {QStringLiteral("--voc"), o.vocDir},
                         {QStringLiteral("--detections"), o.detections},
                         {QStringLiteral("--photos"), o.photosDir}});
    if (!overInput.isEmpty())
        return overInput;
    if (!o.plot.isEmpty() && !o.curve.isEmpty() &&
        QFileInfo(o.plot).absoluteFilePath() == QFileInfo(o.curve).absoluteFilePath())
        return QStringLiteral("--plot and --curve name one file, %1").arg(o.plot);
    return QString();
}

} // namespace

QString evaluateUsage()
{
    return QStringLiteral(
        "usage: ombre-evaluate (--truth FILE.csv | --voc DIR) --detections FILE.csv\n"
        "                      [--photos DIR] [--match voc|unclaimed] [--iou 0.5]\n"
        "                      [--ignore-below H] [--plot FILE.png] [--curve FILE.csv]\n"
        "       ombre-evaluate --help | --version");
}

QString evaluateHelpText()
{
    return evaluateUsage() + QStringLiteral("\n\n") + QString::fromUtf8(kHelp);
}

EvaluateCommandLine parseEvaluateCommandLine(const QStringList& words)
{
    EvaluateCommandLine line;
    EvaluateOptions& o = line.options;
    line.error = readOptionWords(
        words, {},
        [&](const QString& name, const QString& value, QString& error) {
            return setOption(o, name, value, error);
        },
        nullptr);
    if (!line.error.isEmpty())
        return line;
    if (o.truthCsv.isEmpty() == o.vocDir.isEmpty())
        line.error = QStringLiteral("give the right boxes with either --truth or --voc");
    else if (o.detections.isEmpty())
        line.error = QStringLiteral("--detections is needed");
    else
        line.error = checkOutputs(o);
    return line;
}
