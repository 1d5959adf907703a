#include "DirectorySearch.h"

#include "ImageSearch.h"
#include "NamesFile.h"
#include "OrderedWork.h"
#include "Warning.h"

#include <QFile>

#include <utility>
#include <vector>

namespace
{

// The image numbers of a names file, and its warnings where they fall
// between the numbers, so that they can be written in turn with the
// images'.
struct NamesList {
    std::vector<int> numbers;
    std::vector<std::pair<int, QByteArray>> warningsBefore; // by index into numbers
    QByteArray warningsAfter; // after the last number, a read error included
    bool failed = false;
};

NamesList readNames(QIODevice& file, const QString& name)
{
    NamesList list;
    WarningCapture capture;
    NamesReader reader(file, name);
    int number = 0;
    while (reader.next(number)) {
        QByteArray warnings = capture.take();
        if (!warnings.isEmpty())
            list.warningsBefore.emplace_back(static_cast<int>(list.numbers.size()),
                                             std::move(warnings));
        list.numbers.push_back(number);
    }
    list.warningsAfter = capture.take();
    list.failed = reader.failed();
    return list;
}

struct Outcome {
    QString path;
    SearchedImage found;
    QByteArray warnings;
};

} // namespace

bool searchDirectory(QIODevice& names, const QString& namesName, const DirectorySearch& search)
{
    const NamesList list = readNames(names, namesName);
    const int total = static_cast<int>(list.numbers.size());
    const auto makeWorker = [&] {
        return [&](int item) {
            WarningCapture capture;
            Outcome outcome;
            const int number = list.numbers[static_cast<size_t>(item)];
            outcome.path = imagePath(search.imageDir, number);
            outcome.found = searchImageFile(outcome.path, *search.classifier, number);
            outcome.warnings = capture.take();
            return outcome;
        };
    };
    size_t nextWarnings = 0;
    const auto take = [&](int item, Outcome&& outcome) {
        if (nextWarnings < list.warningsBefore.size() &&
            list.warningsBefore[nextWarnings].first == item)
            writeWarnings(list.warningsBefore[nextWarnings++].second);
        if (search.writing)
            search.writing(outcome.path, outcome.found.image);
        writeWarnings(outcome.warnings);
        if (!outcome.found.ok || !writeLines(*search.output, outcome.found.lines))
            return false;
        if (search.progress)
            search.progress(item + 1, total);
        return true;
    };
    if (!doInOrder<Outcome>(total, search.threads, makeWorker, take))
        return false;
    writeWarnings(list.warningsAfter);
    return !list.failed;
}
