#include "CommandLine.h"

#include "OutputOverInput.h"

namespace
{

// The bounds of each numeric option.
struct NumberOption {
    const char* name;
    int DrawRequest::*field;
    int least;
    int most;
};

const NumberOption kNumberOptions[] = {
    {"--columns", &DrawRequest::sheetColumns, 1, 100},
    {"--scale", &DrawRequest::sheetPercent, 1, 100},
    {"--first", &DrawRequest::sheetCount, 1, 1000},
};

} // namespace

QString usage()
{
    return QStringLiteral(
        "usage: ombre-draw-boxes IMAGEDIR LOCATIONS OUTDIR [--names FILE]\n"
        "                        [--sheet FILE.png [--columns N] [--scale PERCENT] [--first N]]\n"
        "       ombre-draw-boxes --help | --version");
}

QString helpText()
{
    return usage() + QStringLiteral(R"(

Writes OUTDIR/N.png for every image IMAGEDIR/N.png that has boxes in the
location file LOCATIONS, its boxes drawn in green as the search draws them.

Options:
  --names FILE        the images of this names file come first, in its order;
                      those without boxes are written unchanged
  --sheet FILE.png    also put the images on one contact sheet, each under a
                      caption with its number and boxes
  --columns N         pictures to a row of the sheet, 1 to 100 (default 4)
  --scale PERCENT     size of the sheet's pictures, 1 to 100 (default 50); the
                      boxes are redrawn sharp on them
  --first N           only the first N images on the sheet, 1 to 1000

Neither output may be an input or lie inside IMAGEDIR. Exit codes: 0
written, 1 a file could not be read or written (the message names it), 2
wrong command line.)");
}

CommandLine parseCommandLine(const QStringList& words)
{
    CommandLine line;
    DrawRequest& r = line.request;
    QStringList places;
    for (int i = 0; i < words.size(); ++i) {
        const QString& word = words[i];
        if (!word.startsWith(QLatin1String("--"))) {
            places.append(word);
            continue;
        }
        if (i + 1 == words.size()) {
            line.error = QStringLiteral("%1 needs a value").arg(word);
            return line;
        }
        const QString& value = words[++i];
        if (word == QLatin1String("--names")) {
            r.names = value;
            continue;
        }
        if (word == QLatin1String("--sheet")) {
            r.sheet = value;
            continue;
        }
        const NumberOption* option = nullptr;
        for (const NumberOption& o : kNumberOptions)
            if (word == QLatin1String(o.name))
                option = &o;
        if (!option) {
            line.error = QStringLiteral("unknown option %1").arg(word);
            return line;
        }
        bool ok = false;
        const int number = value.toInt(&ok);
        if (!ok || number < option->least || number > option->most) {
            line.error = QStringLiteral("%1 takes a number from %2 to %3, not %4")
                             .arg(word)
                             .arg(option->least)
                             .arg(option->most)
                             .arg(value);
            return line;
        }
        r.*(option->field) = number;
    }
    if (places.size() != 3) {
        line.error = QStringLiteral("expected an image directory, a location file and an output "
                                    "directory, got %1 names")
                         .arg(places.size());
        return line;
    }
    r.imageDir = places[0];
    r.locations = places[1];
    r.outDir = places[2];
    line.error = outputOverInput(
        {{QStringLiteral("OUTDIR"), r.outDir}, {QStringLiteral("--sheet"), r.sheet}},
        {{QStringLiteral("IMAGEDIR"), r.imageDir},
         {QStringLiteral("LOCATIONS"), r.locations},
         {QStringLiteral("--names"), r.names}});
    return line;
}
