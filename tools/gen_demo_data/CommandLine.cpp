#include "CommandLine.h"

namespace
{

constexpr int kMaxStrips = 1000;
constexpr int kMaxPhotographs = 1000;

bool isOption(const QString& word)
{
    return word == QLatin1String("--seed") || word == QLatin1String("--train") ||
           word == QLatin1String("--test") || word == QLatin1String("--photographs");
}

} // namespace

QString usage()
{
    return QStringLiteral("usage: ombre-gen-demo OUTDIR [--seed N] [--train N] [--test N]\n"
                          "       ombre-gen-demo OUTDIR --photographs N [--hard] [--seed N]\n"
                          "       ombre-gen-demo --help | --version");
}

QString helpText()
{
    return usage() + QStringLiteral(R"(

Draws the demo data under OUTDIR, the same for the same seed on every machine.
The first form writes strips of people among clutter: train/N.png with their
boxes in train.txt, and test/N.png with test-names.txt and their right boxes
in test-right.txt. The second writes annotated photographs for ombre-prepare:
photos/, their boxes in boxes.csv and voc/, and photographs without people in
empty/.

Options:
  --seed N            any whole number from 0 to 4294967295 (default 1)
  --train N           training strips, 1 to 1000 (default 120)
  --test N            test strips, 1 to 1000 (default 40)
  --photographs N     annotated photographs, 1 to 1000, and a fifth as many
                      (at least one) without people
  --hard              photographs that are hard to search: 480 to 1280 x 360
                      to 960 pixels, people 60 to 700 high at every depth, in
                      overlapping groups, cut off by the edges (their boxes
                      clipped to the photograph) or behind cars, walls,
                      tables, fences and hedges (their boxes whole), among
                      person-like posts, signs, bins, coat stands and trees,
                      in dark, bright and hazy light

Exit codes: 0 written, 1 a file could not be written, 2 wrong command line.)");
}

CommandLine parseCommandLine(const QStringList& words)
{
    CommandLine line;
    // Strip counts mean nothing to photographs; refusing them beats ignoring them.
    QString stripOption;
    for (int i = 0; i < words.size(); ++i) {
        const QString& word = words[i];
        if (!word.startsWith(QLatin1String("--"))) {
            if (!line.outDir.isEmpty()) {
                line.error = QStringLiteral("only one output directory, not also %1").arg(word);
                return line;
            }
            line.outDir = word;
            continue;
        }
        if (word == QLatin1String("--hard")) {
            line.hard = true;
            continue;
        }
        if (!isOption(word)) {
            line.error = QStringLiteral("unknown option %1").arg(word);
            return line;
        }
        if (i + 1 == words.size()) {
            line.error = QStringLiteral("%1 needs a number").arg(word);
            return line;
        }
        const QString& value = words[++i];
        bool ok = false;
        if (word == QLatin1String("--seed")) {
            line.options.seed = value.toUInt(&ok);
        } else if (word == QLatin1String("--photographs")) {
            line.photographs = value.toInt(&ok);
            ok = ok && line.photographs >= 1 && line.photographs <= kMaxPhotographs;
        } else {
            const int count = value.toInt(&ok);
            ok = ok && count >= 1 && count <= kMaxStrips;
            (word == QLatin1String("--train") ? line.options.trainCount : line.options.testCount) =
                count;
            stripOption = word;
        }
        if (!ok) {
            line.error = QStringLiteral("%1 %2 is not a valid number here").arg(word, value);
            return line;
        }
    }
    if (line.outDir.isEmpty())
        line.error = QStringLiteral("the output directory is missing");
    else if (line.photographs > 0 && !stripOption.isEmpty())
        line.error =
            QStringLiteral("%1 counts strips; it does not go with --photographs").arg(stripOption);
    else if (line.hard && line.photographs == 0)
        line.error = QStringLiteral("--hard goes with --photographs");
    return line;
}
