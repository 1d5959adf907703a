#include "CommandLine.h"

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
        "                        [--sheet FILE.png [--columns N] [--scale PERCENT] [--first N]]");
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
    return line;
}
