#include "CommandLine.h"

#include "OptionWords.h"
#include "OutputOverInput.h"
#include "StripGeometry.h"

#include <limits>

namespace
{

const char* const kHelp = R"(Cuts annotated photographs into the strips that Ombrec trains on and
searches: the photograph scaled so that each person is 195 to 200 rows high,
cut into a strip whose row 0 is the top of the person's box, 200 to 240 rows
high, and the person's 80 x 200 window as a location line.

Options:
  --photos DIR        the annotated photographs; names in the annotations are
                      relative to DIR
  --csv FILE          boxes as CSV rows "photo,xmin,ymin,xmax,ymax", one person
                      a row, 0-based pixels, xmax and ymax exclusive; a header
                      row is allowed
  --voc DIR           boxes from the Pascal VOC files DIR/*.xml, objects named
                      "person" (1-based pixels, maxima inclusive)
  --empty DIR         photographs without people: each gives test strips
                      without boxes; with --mode train and --hard-negatives,
                      they are searched for false alarms instead
  --mode MODE         split (default): the annotated photographs split by the
                      seed into a training set and a test set; train: all of
                      them for training; test: all of them for testing
  --test-share F      share of the annotated photographs in the test set of
                      --mode split, 0 to 1 (default 0.25)
  --seed N            seed of the split and of the strips without people
                      (default 1); the same seed gives the same sets, and no
                      photograph is ever in both
  --width N           widest strip in pixels, 141 to 10000 (default 320): room
                      for the background windows that training takes beside
                      the person's window; a narrower strip has room for none
  --min-height N      people whose box is lower than N photo pixels are
                      skipped, 20 to 100000 (default 100)
  --mirror            also write every training strip mirrored left to right
  --empty-strips N    strips cut from each photograph without people, 1 to 100
                      (default 1)
  --hard-negatives MODEL
                      search the training photographs outside their people,
                      and with --mode train the photographs of --empty, with
                      MODEL as ombre-detect does, and add its false alarms to
                      the training set as background: hard-negative strips,
                      numbered after the others, each a person's window with
                      up to 8 false alarms beside it (not with --mode test)
  --hard-threshold S  the least score of a false alarm, -100 to 100 (default
                      0, the model's own rule for a person)
  --hard-max N        the most false alarms kept from one photograph, the
                      highest scores first and no two alike, 1 to 1000
                      (default 40)
  --help              this text
  --version           the version of ombre-prepare

OUTDIR must not exist or be empty, and must neither be an input nor lie
inside one. It receives:
  train/N.png, train.txt          the training set: Ombrec t's directory and
                                  location file
  test/N.png, test-names.txt, test-right.txt
                                  the test set: Ombrec d's directory and names
                                  file, and the right locations for Ombrec c
  sources.csv                     the photograph and its part behind each strip,
                                  and behind each false alarm of a hard strip
Nothing is written unless every photograph and box is sound: a missing
photograph, a malformed CSV row or XML file, or a box outside its photograph
stops the run with the file and line. A photograph without people that is
too small for a strip is skipped with a warning.

Progress goes to standard error, the summary to standard output. Exit codes:
0 written, 1 stopped by bad input or a failed write, 2 wrong command line.)";

// The bounds of each whole-number option, and why the least is the least
// when that is not plain.
struct NumberOption {
    const char* name;
    int PrepareOptions::*field;
    int least;
    int most;
    const char* why;
};

const NumberOption kNumberOptions[] = {
    {"--width", &PrepareOptions::stripWidth, kLeastStripWidth, 10000,
     "a narrower strip has no room for the background windows that training takes beside the "
     "person's window"},
    {"--min-height", &PrepareOptions::minHeight, 20, 100000, nullptr},
    {"--empty-strips", &PrepareOptions::emptyStrips, 1, 100, nullptr},
    {"--hard-max", &PrepareOptions::hardMax, 1, 1000, nullptr},
};

// Sets the option called name from value; false with error when it cannot.
bool setOption(PrepareOptions& o, const QString& name, const QString& value, QString& error)
{
    if (name == QLatin1String("--mirror"))
        o.mirror = true;
    else if (name == QLatin1String("--photos"))
        o.photosDir = value;
    else if (name == QLatin1String("--csv"))
        o.csvFile = value;
    else if (name == QLatin1String("--voc"))
        o.vocDir = value;
    else if (name == QLatin1String("--empty"))
        o.emptyDir = value;
    else if (name == QLatin1String("--hard-negatives"))
        o.hardModel = value;
    else if (name == QLatin1String("--hard-threshold"))
        return readNumber(name, value, -100, 100, o.hardThreshold, error);
    else if (name == QLatin1String("--mode")) {
        if (value == QLatin1String("split"))
            o.mode = PrepareMode::Split;
        else if (value == QLatin1String("train"))
            o.mode = PrepareMode::Train;
        else if (value == QLatin1String("test"))
            o.mode = PrepareMode::Test;
        else {
            error = QStringLiteral("--mode takes split, train or test, not %1").arg(value);
            return false;
        }
    } else if (name == QLatin1String("--test-share")) {
        return readNumber(name, value, 0, 1, o.testShare, error);
    } else if (name == QLatin1String("--seed")) {
        bool ok = false;
        const qulonglong seed = value.toULongLong(&ok);
        if (!ok || seed > std::numeric_limits<std::uint32_t>::max()) {
            error = QStringLiteral("--seed takes a whole number from 0 to 4294967295, not %1")
                        .arg(value);
            return false;
        }
        o.seed = static_cast<std::uint32_t>(seed);
    } else {
        for (const NumberOption& option : kNumberOptions) {
            if (name != QLatin1String(option.name))
                continue;
            if (readWholeNumber(name, value, option.least, option.most, o.*(option.field), error))
                return true;
            if (option.why)
                error += QStringLiteral(": ") + QLatin1String(option.why);
            return false;
        }
        error = QStringLiteral("unknown option %1").arg(name);
        return false;
    }
    return true;
}

// The checks that need every option; given holds the options named.
QString checkTogether(const PrepareOptions& o, const QStringList& given)
{
    if (o.photosDir.isEmpty())
        return QStringLiteral("--photos is needed");
    if (o.csvFile.isEmpty() == o.vocDir.isEmpty())
        return QStringLiteral("give the boxes with either --csv or --voc");
    if (o.mode == PrepareMode::Train && !o.emptyDir.isEmpty() && o.hardModel.isEmpty())
        return QStringLiteral("--empty gives test strips, and --mode train writes no test set; "
                              "with --hard-negatives it gives photographs to search");
    if (o.mode == PrepareMode::Test && !o.hardModel.isEmpty())
        return QStringLiteral("--hard-negatives adds training strips, and --mode test writes no "
                              "training set");
    for (const char* option : {"--hard-threshold", "--hard-max"})
        if (o.hardModel.isEmpty() && given.contains(QLatin1String(option)))
            return QStringLiteral("%1 needs --hard-negatives").arg(QLatin1String(option));
    if (o.mode == PrepareMode::Test && o.mirror)
        return QStringLiteral("--mirror doubles training strips, and --mode test writes no "
                              "training set");
    return outputOverInput({{QStringLiteral("OUTDIR"), o.outDir}},
                           {{QStringLiteral("--photos"), o.photosDir},
                            {QStringLiteral("--csv"), o.csvFile},
                            {QStringLiteral("--voc"), o.vocDir},
                            {QStringLiteral("--empty"), o.emptyDir},
                            {QStringLiteral("--hard-negatives"), o.hardModel}});
}

} // namespace

QString usage()
{
    return QStringLiteral(
        "usage: ombre-prepare --photos DIR (--csv FILE | --voc DIR) [--empty DIR]\n"
        "                     [--mode split|train|test] [--test-share F] "
        "[--seed N]\n"
        "                     [--width N] [--min-height N] [--mirror] "
        "[--empty-strips N]\n"
        "                     [--hard-negatives MODEL [--hard-threshold S] "
        "[--hard-max N]] OUTDIR\n"
        "       ombre-prepare --help | --version");
}

QString helpText()
{
    return usage() + QStringLiteral("\n\n") + QString::fromUtf8(kHelp);
}

CommandLine parseCommandLine(const QStringList& words)
{
    CommandLine line;
    PrepareOptions& o = line.options;
    QStringList places;
    QStringList given;
    line.error = readOptionWords(
        words, {QStringLiteral("--mirror")},
        [&](const QString& name, const QString& value, QString& error) {
            given.append(name);
            return setOption(o, name, value, error);
        },
        &places);
    if (!line.error.isEmpty())
        return line;
    if (places.size() != 1) {
        line.error =
            QStringLiteral("expected one output directory, got %1 names").arg(places.size());
        return line;
    }
    o.outDir = places[0];
    line.error = checkTogether(o, given);
    return line;
}
