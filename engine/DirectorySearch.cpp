#include "DirectorySearch.h"

#include "ImageSearch.h"
#include "NamesFile.h"
#include "OrderedWork.h"
#include "Warning.h"

#include <QFile>

#include <optional>
#include <utility>

namespace
{

// One step through the names file: an image to search, or no image and only
// the warning of a skipped line or of a read error, written in its place.
struct NamesStep {
    std::optional<int> number;
    QByteArray warnings;
};

struct Outcome {
    QByteArray namesWarnings;
    bool searched = false; // the step was an image
    QString path;
    SearchedImage found;
    QByteArray warnings;
};

} // namespace

bool searchDirectory(QIODevice& names, const QString& namesName, const DirectorySearch& search)
{
    NamesReader reader(names, namesName);
    bool ended = false;
    // Called on the thread whose turn it is; its warnings are captured there.
    const auto next = [&]() -> std::optional<NamesStep> {
        if (ended)
            return std::nullopt;
        WarningCapture capture;
        NamesStep step;
        int number = 0;
        switch (reader.step(number)) {
        case NamesReader::Step::Number:
            step.number = number;
            break;
        case NamesReader::Step::SkippedLine:
            break;
        case NamesReader::Step::End:
            ended = true;
            break;
        }
        step.warnings = capture.take();
        if (ended && step.warnings.isEmpty())
            return std::nullopt;
        return step;
    };
    const auto makeWorker = [&] {
        return [&](NamesStep&& step) {
            Outcome outcome;
            outcome.namesWarnings = std::move(step.warnings);
            if (!step.number)
                return outcome;
            WarningCapture capture;
            outcome.searched = true;
            outcome.path = imagePath(search.imageDir, *step.number);
            outcome.found = searchImageFile(outcome.path, *search.classifier, *step.number);
            outcome.warnings = capture.take();
            return outcome;
        };
    };
    int images = 0;
    const auto take = [&](int, Outcome&& outcome) {
        writeWarnings(outcome.namesWarnings);
        if (!outcome.searched)
            return true;
        if (search.writing)
            search.writing(outcome.path, outcome.found.image);
        writeWarnings(outcome.warnings);
        if (!outcome.found.ok || !writeLines(*search.output, outcome.found.lines))
            return false;
        ++images;
        if (search.progress)
            search.progress(images);
        return true;
    };
    return doInOrder<Outcome>(next, search.threads, makeWorker, take) && !reader.failed();
}
