#include "DetectCommandLine.h"

#include "OptionWords.h"
#include "OutputOverInput.h"
#include "SameFile.h"

#include <QFileInfo>

#include <cmath>

namespace
{

const char* const kHelp =
    R"(Finds people in photographs with a model that Ombrec t trained (80 x 200
windows of counts) or a detector file that ombre-train wrote (windows of
block-normalised gradient histograms). Every window at every place and scale
of a photograph is scored; windows that score at least the threshold become
boxes, and of overlapping boxes the best is kept.

Output: a header row, then CSV rows "photo,xmin,ymin,xmax,ymax,score", one
person a row, in the photograph's own pixels (0-based, maxima exclusive, as in
ombre-prepare's CSV), each photograph's rows by descending score. photo is
the file's name relative to the directory argument it was found in, after
that directory's own name when there is more than one argument, or a file
argument as given.

Options:
  --model FILE        the model file that Ombrec t wrote, or a detector file
                      (needed)
  --out FILE          the CSV file, instead of standard output; rows go to
                      FILE.part as each photograph is done, and FILE.part
                      becomes FILE at the end
  --min-height N      lowest person looked for, in photograph pixels, 20 to
                      100000 (default 80); the tallest is the photograph's
                      height
  --scale-step F      largest ratio between neighbouring scales, 1.01 to 4
                      (default 1.2)
  --stride N          pixels between neighbouring windows of a scale, in rows
                      and in columns, 1 to 64 (default 8); with a detector
                      file a multiple of 8
  --border N          photograph pixels, 0 to 10000 (default 0), that windows
                      reach past each edge of the photograph, whose edge
                      pixels are repeated there, so that a person cut off by
                      the frame, or as tall as the photograph, can be found;
                      boxes are cut to the photograph, and a box left empty is
                      dropped
  --level-border N    pixels of each scale, 0 to 256, that windows reach past
                      each edge besides --border's, its edge pixels repeated
                      there (default 0; 32 with a detector file when neither
                      border is given, a quarter of its window's height)
  --threshold F       least score of a window that counts (default 0, the
                      windows that Ombrec's search accepts); a lower one gives
                      more of the precision-recall curve
  --nms F             a box is dropped when its intersection over union with
                      a better box is above F, 0 to 1 (default 0.2), or when
                      more than 70 percent of it lies inside a better box
  --scoring MODE      window (default): a kept box scores its own window's
                      decision value, at its own place; sum: the sum of the
                      positive scores of the windows it dropped, its own
                      included, at their score-weighted mean place
  --threads N         photographs searched at once, 1 to 256 (default:
                      OMBRE_THREADS if set, else one a core)
  --draw DIR          also write each photograph to DIR under its photo name,
                      with its boxes and their scores drawn
  --sheet FILE        also write a contact sheet (PNG) of the first 48
                      photographs with their boxes
  --draw-threshold F  least score of a box that --draw and --sheet show
                      (default: the detector's recommended threshold, else
                      0); the CSV keeps every box down to
                      --threshold, and below --threshold there are no boxes
                      to draw
  --help              this text
  --version           the version of ombre-detect

A photograph that cannot be read, or that is larger than the image library
may allocate, is skipped with a warning that names it, and the run goes on.
Progress goes to standard error, and so does the summary when the CSV goes to
standard output. No output may be the model, a photograph or a directory
searched, or lie inside that directory, and no photograph named as a file
may lie inside --draw. Exit codes: 0 done, 1 a photograph that could not be
read or searched, or a failed read or write, 2 wrong command line.)";

// Bounds of the options that take numbers.
struct WholeOption {
    const char* name;
    int least;
    int most;
};

const WholeOption kWholeOptions[] = {
    {"--min-height", 20, 100000}, {"--stride", 1, 64},   {"--border", 0, 10000},
    {"--level-border", 0, 256},   {"--threads", 1, 256},
};

int* wholeField(DetectOptions& o, const QString& name)
{
    if (name == QLatin1String("--min-height"))
        return &o.scan.minHeight;
    if (name == QLatin1String("--stride"))
        return &o.scan.stride;
    if (name == QLatin1String("--border")) {
        o.borderGiven = true;
        return &o.scan.border;
    }
    if (name == QLatin1String("--level-border")) {
        o.borderGiven = true;
        return &o.scan.levelBorder;
    }
    return &o.threads;
}

// Reads a score, any finite number; false with error when it cannot.
bool readScore(const QString& name, const QString& value, double& score, QString& error)
{
    // QString reads numbers in the C locale, whatever the user's.
    bool ok = false;
    const double number = value.toDouble(&ok);
    if (!ok || !std::isfinite(number)) {
        error = QStringLiteral("%1 takes a number, not %2").arg(name, value);
        return false;
    }
    score = number;
    return true;
}

// Sets the option called name from value; false with error when it cannot.
bool setOption(DetectOptions& o, const QString& name, const QString& value, QString& error)
{
    if (name == QLatin1String("--model")) {
        o.model = value;
    } else if (name == QLatin1String("--out")) {
        o.out = value;
    } else if (name == QLatin1String("--draw")) {
        o.drawDir = value;
    } else if (name == QLatin1String("--sheet")) {
        o.sheet = value;
    } else if (name == QLatin1String("--scale-step")) {
        return readNumber(name, value, 1.01, 4, o.scan.scaleStep, error);
    } else if (name == QLatin1String("--threshold")) {
        return readScore(name, value, o.scan.threshold, error);
    } else if (name == QLatin1String("--draw-threshold")) {
        double score = 0;
        if (!readScore(name, value, score, error))
            return false;
        o.drawThreshold = score;
    } else if (name == QLatin1String("--nms")) {
        return readNumber(name, value, 0, 1, o.nms, error);
    } else if (name == QLatin1String("--scoring")) {
        if (value == QLatin1String("window"))
            o.scoring = BoxScoring::Window;
        else if (value == QLatin1String("sum"))
            o.scoring = BoxScoring::Sum;
        else {
            error = QStringLiteral("--scoring takes window or sum, not %1").arg(value);
            return false;
        }
    } else {
        for (const WholeOption& option : kWholeOptions) {
            if (name == QLatin1String(option.name))
                return readWholeNumber(name, value, option.least, option.most, *wholeField(o, name),
                                       error);
        }
        error = QStringLiteral("unknown option %1").arg(name);
        return false;
    }
    return true;
}

// Outputs must leave the photographs and the model alone. A drawing goes to
// --draw under its photo name, which for a file argument is the name as given:
// a photograph below --draw could be drawn over itself.
QString checkOutputs(const DetectOptions& o)
{
    std::vector<NamedPath> inputs = {{QStringLiteral("--model"), o.model}};
    for (const QString& input : o.inputs)
        inputs.push_back({QStringLiteral("PHOTO_OR_DIR"), input});
    const QString overInput = outputOverInput({{QStringLiteral("--out"), o.out},
                                               {QStringLiteral("--draw"), o.drawDir},
                                               {QStringLiteral("--sheet"), o.sheet}},
                                              inputs);
    if (!overInput.isEmpty() || o.drawDir.isEmpty())
        return overInput;
    for (const QString& input : o.inputs) {
        if (QFileInfo(input).isFile() && liesInside(input, o.drawDir))
            return QStringLiteral("the photograph %1 lies inside --draw %2: its drawing could "
                                  "overwrite it")
                .arg(input, o.drawDir);
    }
    return QString();
}

} // namespace

QString detectUsage()
{
    return QStringLiteral(
        "usage: ombre-detect --model MODEL [--out FILE.csv] [--min-height N] [--scale-step F]\n"
        "                    [--stride N] [--border N] [--level-border N] [--threshold F]\n"
        "                    [--nms F] [--scoring window|sum] [--threads N] [--draw DIR]\n"
        "                    [--sheet FILE.png] [--draw-threshold F] PHOTO_OR_DIR...\n"
        "       ombre-detect --help | --version");
}

QString detectHelpText()
{
    return detectUsage() + QStringLiteral("\n\n") + QString::fromUtf8(kHelp);
}

DetectCommandLine parseDetectCommandLine(const QStringList& words)
{
    DetectCommandLine line;
    DetectOptions& o = line.options;
    line.error = readOptionWords(
        words, {},
        [&](const QString& name, const QString& value, QString& error) {
            return setOption(o, name, value, error);
        },
        &o.inputs);
    if (!line.error.isEmpty())
        return line;
    if (o.model.isEmpty())
        line.error = QStringLiteral("--model is needed");
    else if (o.inputs.isEmpty())
        line.error = QStringLiteral("no photograph or directory to search");
    else
        line.error = checkOutputs(o);
    return line;
}
