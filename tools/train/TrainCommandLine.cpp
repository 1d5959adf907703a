#include "TrainCommandLine.h"

#include "OptionWords.h"
#include "OutputOverInput.h"

namespace
{

const char* const kHelp =
    R"(Trains a detector of people for ombre-detect from annotated photographs.

With --descriptor hog (the default), a window of 64 x 128 pixels holds a
person 96 rows high with a margin above and below, and is described by the
block-normalised histogram of its gradients. The output is a detector file
(see docs/formats.md): what the window holds, the SVM in LIBLINEAR's model
text, and the threshold with the best F1 on the training photographs.

With --descriptor counts, a window of 80 x 200 pixels holds a person 195
rows high from its top row down, centred across, as ombre-detect searches
with a plain model, and is described by the orientation counts of its 8 x 8
cells (2000 numbers), as Ombrec describes it. The output is a plain model
file, as Ombrec t writes it: the SVM without bias in LIBLINEAR's model text,
which Ombrec, Ombrew and ombre-detect read. It holds no threshold.

Every person at least --min-height high gives a window, its mirror image
and --jitter copies moved and scaled a little; where a window passes the
photograph's edge, the edge pixels are repeated, as the search does.
Windows at random places and scales outside the people, and in the
photographs of --empty, are the first background. A linear SVM is trained on
them; then, for each round, the training photographs and those of --empty
are searched with it, the false alarms (windows scoring at least
--hard-threshold that overlap no person) join the background, highest first,
and the SVM is trained again. A round that finds no new false alarm ends the
training early. The output is written once, at the end, and the same inputs
give the same file on any number of threads.

Options:
  --photos DIR          the annotated photographs (needed)
  --csv FILE            their people, rows "photo,xmin,ymin,xmax,ymax" as
                        ombre-prepare reads them, or
  --voc DIR             their Pascal VOC annotations (one of the two)
  --empty DIR           photographs without people; may be given again
  --out FILE            the file to write (needed)
  --descriptor NAME     the window's descriptor: hog (default) or counts
  --rounds N            rounds of hard-negative mining, 0 to 10 (default 2)
  --C F                 the SVM's cost of a training error, 0.0001 to 100
                        (default 0.03 for hog, 1 for counts as Ombrec t)
  --min-height N        lowest person trained on and searched for, in
                        photograph pixels, 20 to 100000 (default 40)
  --border N            photograph pixels that windows reach past each edge,
                        0 to 10000 (default 0)
  --level-border N      pixels of each scale that windows reach past each
                        edge besides, 0 to 256 (default 32 for hog, a quarter
                        of the window's height, and 0 for counts, as
                        ombre-detect's when neither border is given); give
                        ombre-detect the same
  --jitter N            moved and scaled copies of each person, 0 to 20
                        (default 4)
  --negatives N         windows taken at random from each photograph, 0 to
                        1000 (default 10)
  --hard-per-photo N    false alarms kept from a photograph in a round, 1 to
                        1000 (default 20)
  --hard-threshold F    least score of a false alarm (default -1)
  --scale-step F        largest ratio between neighbouring scales of the
                        search, 1.01 to 4 (default 1.2)
  --threads N           photographs worked on at once, 1 to 256 (default:
                        OMBRE_THREADS if set, else one a core)
  --help                this text
  --version             the version of ombre-train

Progress goes to standard error on a terminal, and a summary line per round
to standard output. Exit codes: 0 done, 1 an input that cannot be read
(a photograph, an annotation, a box outside its photograph, no person to
train on) or a failed write, 2 wrong command line.)";

struct WholeOption {
    const char* name;
    int least;
    int most;
    int TrainOptions::*field;
};

const WholeOption kWholeOptions[] = {
    {"--rounds", 0, 10, &TrainOptions::rounds},
    {"--min-height", 20, 100000, &TrainOptions::minHeight},
    {"--border", 0, 10000, &TrainOptions::border},
    {"--level-border", 0, 256, &TrainOptions::levelBorder},
    {"--jitter", 0, 20, &TrainOptions::jitter},
    {"--negatives", 0, 1000, &TrainOptions::randomNegatives},
    {"--hard-per-photo", 1, 1000, &TrainOptions::hardPerPhoto},
    {"--threads", 1, 256, &TrainOptions::threads},
};

// The options whose default depends on the descriptor, when given.
struct Given {
    bool C = false;
    bool border = false;
};

bool setOption(TrainOptions& o, Given& given, const QString& name, const QString& value,
               QString& error)
{
    if (name == QLatin1String("--photos")) {
        o.photosDir = value;
    } else if (name == QLatin1String("--csv")) {
        o.csvFile = value;
    } else if (name == QLatin1String("--voc")) {
        o.vocDir = value;
    } else if (name == QLatin1String("--empty")) {
        o.emptyDirs << value;
    } else if (name == QLatin1String("--out")) {
        o.out = value;
    } else if (name == QLatin1String("--descriptor")) {
        if (value == QLatin1String("hog")) {
            o.descriptor = TrainDescriptor::Hog;
        } else if (value == QLatin1String("counts")) {
            o.descriptor = TrainDescriptor::Counts;
        } else {
            error = QStringLiteral("--descriptor takes hog or counts, not %1").arg(value);
            return false;
        }
    } else if (name == QLatin1String("--C")) {
        given.C = true;
        return readNumber(name, value, 0.0001, 100, o.C, error);
    } else if (name == QLatin1String("--hard-threshold")) {
        return readNumber(name, value, -100, 100, o.hardThreshold, error);
    } else if (name == QLatin1String("--scale-step")) {
        return readNumber(name, value, 1.01, 4, o.scaleStep, error);
    } else {
        given.border = given.border || name == QLatin1String("--border") ||
                       name == QLatin1String("--level-border");
        for (const WholeOption& option : kWholeOptions) {
            if (name == QLatin1String(option.name))
                return readWholeNumber(name, value, option.least, option.most, o.*option.field,
                                       error);
        }
        error = QStringLiteral("unknown option %1").arg(name);
        return false;
    }
    return true;
}

} // namespace

QString trainUsage()
{
    return QStringLiteral(
        "usage: ombre-train --photos DIR (--csv FILE | --voc DIR) [--empty DIR]...\n"
        "                   [--descriptor hog|counts] [--rounds N] [--C F]\n"
        "                   [--min-height N] [--border N] [--level-border N]\n"
        "                   [--jitter N] [--negatives N] [--hard-per-photo N]\n"
        "                   [--hard-threshold F] [--scale-step F] [--threads N]\n"
        "                   --out FILE\n"
        "       ombre-train --help | --version");
}

QString trainHelpText()
{
    return trainUsage() + QStringLiteral("\n\n") + QString::fromUtf8(kHelp);
}

TrainCommandLine parseTrainCommandLine(const QStringList& words)
{
    TrainCommandLine line;
    TrainOptions& o = line.options;
    Given given;
    line.error = readOptionWords(
        words, {},
        [&](const QString& name, const QString& value, QString& error) {
            return setOption(o, given, name, value, error);
        },
        nullptr);
    if (!line.error.isEmpty())
        return line;
    if (o.descriptor == TrainDescriptor::Counts) {
        if (!given.C)
            o.C = kDefaultCountsC;
        if (!given.border)
            o.levelBorder = 0;
    }
    if (o.photosDir.isEmpty())
        line.error = QStringLiteral("--photos is needed");
    else if (o.csvFile.isEmpty() == o.vocDir.isEmpty())
        line.error = QStringLiteral("give one of --csv and --voc");
    else if (o.out.isEmpty())
        line.error = QStringLiteral("--out is needed");
    if (!line.error.isEmpty())
        return line;
    std::vector<NamedPath> inputs = {{QStringLiteral("--photos"), o.photosDir},
                                     {QStringLiteral("--csv"), o.csvFile},
                                     {QStringLiteral("--voc"), o.vocDir}};
    for (const QString& dir : o.emptyDirs)
        inputs.push_back({QStringLiteral("--empty"), dir});
    line.error = outputOverInput({{QStringLiteral("--out"), o.out}}, inputs);
    return line;
}
