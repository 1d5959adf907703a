#include "TrainingRows.h"

#include "BandDescriptor.h"
#include "ImageLoader.h"
#include "OrderedWork.h"
#include "Warning.h"

#include <algorithm>
#include <memory>

namespace
{

// Whether a training box can be described: non-empty, inside the image and
// no larger than the window. In 64 bits, since the file may hold any int.
QString unusableBoxReason(const Box& box, const QImage& image)
{
    const long long width = static_cast<long long>(box.Xmax) - box.Xmin;
    const long long height = static_cast<long long>(box.Ymax) - box.Ymin;
    if (width <= 0 || height <= 0)
        return QStringLiteral("the box is empty");
    if (box.Xmin < 0 || box.Ymin < 0 || box.Xmax > image.width() || box.Ymax > image.height())
        return QStringLiteral("the box leaves the %1x%2 image")
            .arg(image.width())
            .arg(image.height());
    if (width > kWindowWidth || height > kWindowHeight)
        return QStringLiteral("the box is larger than the 80x200 window");
    return QString();
}

// A run of consecutive lines on one image: lines first to end - 1.
struct Run {
    int first = 0;
    int end = 0;
    QString path;
};

std::vector<Run> runsOf(const std::vector<Box>& boxes, const std::function<QString(int)>& imagePath)
{
    std::vector<Run> runs;
    for (size_t k = 0; k < boxes.size(); ++k) {
        if (k == 0 || boxes[k].Num != boxes[k - 1].Num)
            runs.push_back(Run{static_cast<int>(k), static_cast<int>(k), imagePath(boxes[k].Num)});
        ++runs.back().end;
    }
    return runs;
}

// Describes the windows of one run's lines, one band of rows at a time.
class RunDescriber
{
public:
    RunDescriber(const std::vector<Box>& boxes, const std::vector<int>& lineNumbers,
                 const QString& locationFile)
        : boxes(boxes), lineNumbers(lineNumbers), locationFile(locationFile)
    {
    }

    ImageRows operator()(const Run& run)
    {
        ImageRows out;
        out.path = run.path;
        QString why;
        const bool loaded = loadImage(run.path, out.image, why);
        for (int k = run.first; k < run.end; ++k) {
            const QString where = QStringLiteral("%1:%2").arg(locationFile).arg(lineNumbers[k]);
            // Training used to try the image again for each line of the
            // run and to report each try; the report stays the same.
            if (!loaded) {
                warn(QStringLiteral("error: can't load image %1: %2").arg(run.path, why));
                warn(QStringLiteral("warning: %1: image not loaded, line skipped").arg(where));
                continue;
            }
            const QString reason = unusableBoxReason(boxes[k], out.image);
            if (!reason.isEmpty()) {
                warn(QStringLiteral("warning: %1: %2, line skipped").arg(where, reason));
                continue;
            }
            describeLine(out, boxes[k]);
        }
        band.reset();
        return out;
    }

private:
    void describeLine(ImageRows& out, const Box& box)
    {
        if (!band || band->top() != box.Ymin || band->bottom() != box.Ymax)
            band = std::make_unique<BandDescriptor>(out.image, box.Ymin, box.Ymax);
        addRow(out, box.Xmin, box.Xmax, 1);
        // Background windows of the box's rows, clear of the box: they
        // overlap an 80 pixel box by at most 19 columns.
        const long long skipFrom = static_cast<long long>(box.Xmin) - 60;
        const long long skipTo = static_cast<long long>(box.Xmax) - 20;
        for (int m = 0; m < out.image.width() - kWindowWidth; m += 10) {
            if (m < skipFrom || m > skipTo)
                addRow(out, m, m + kWindowWidth, -1);
        }
    }

    void addRow(ImageRows& out, int Xmin, int Xmax, int label)
    {
        std::fill(std::begin(hist), std::end(hist), 0);
        band->addWindow(Xmin, Xmax, hist);
        TrainingRow& row = out.rows.emplace_back();
        std::copy(std::begin(hist), std::end(hist), row.begin());
        out.labels.push_back(label);
    }

    const std::vector<Box>& boxes;
    const std::vector<int>& lineNumbers;
    const QString& locationFile;
    std::unique_ptr<BandDescriptor> band;
    int hist[kHistSize];
};

struct DescribedRun {
    ImageRows rows;
    QByteArray warnings;
};

} // namespace

void collectTrainingRows(const std::vector<Box>& boxes, const std::vector<int>& lineNumbers,
                         const QString& locationFile, const std::function<QString(int)>& imagePath,
                         int threads,
                         const std::function<void(int run, int runs, ImageRows& rows)>& take)
{
    const std::vector<Run> runs = runsOf(boxes, imagePath);
    const int total = static_cast<int>(runs.size());
    const auto makeWorker = [&] {
        return [&, describe = RunDescriber(boxes, lineNumbers, locationFile)](int item) mutable {
            WarningCapture capture;
            DescribedRun described;
            described.rows = describe(runs[static_cast<size_t>(item)]);
            described.warnings = capture.take();
            return described;
        };
    };
    doInOrder<DescribedRun>(total, threads, makeWorker, [&](int item, DescribedRun&& described) {
        writeWarnings(described.warnings);
        take(item, total, described.rows);
        return true;
    });
}
