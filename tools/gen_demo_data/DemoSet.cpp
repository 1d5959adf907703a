#include "DemoSet.h"

#include "Background.h"
#include "Camera.h"
#include "Figure.h"
#include "OutputTarget.h"
#include "Random.h"

#include <QByteArray>
#include <QDir>
#include <QImage>
#include <QPainter>

#include <algorithm>
#include <cmath>
#include <numeric>
#include <utility>

namespace
{

// Each purpose draws from its own stream, so that changing one part of the
// set (say, the number of training strips) leaves the others as they were.
enum Stream : std::uint32_t {
    TrainLayout = 1,
    TrainDrawing,
    TestLayout,
    TestDrawing,
    TestEmpties,
};

// The search tries a window at every fifth column while a whole one fits,
// so a box nearer than that to the right edge could only be met by a window
// off to its left.
constexpr int kSearchStep = 5;

int lastBoxLeft(const DemoStrip& plan)
{
    return plan.width - kWindowWidth - kSearchStep;
}

DemoStrip emptyStrip(Random& random, const StripSettings& strip)
{
    DemoStrip plan;
    plan.width = random.uniform(strip.minWidth, strip.maxWidth);
    plan.height = random.uniform(strip.minHeight, strip.maxHeight);
    return plan;
}

// Which test strips stay empty: the first picks of a shuffle.
std::vector<bool> emptyTestStrips(const DemoSetOptions& options)
{
    const int count = options.testCount;
    const int empties = int(std::lround(count * options.settings.testSet.emptyShare));
    std::vector<int> order(std::size_t(std::max(count, 0)));
    std::iota(order.begin(), order.end(), 0);
    Random random(options.seed, TestEmpties, 0);
    std::vector<bool> empty(order.size(), false);
    for (int i = 0; i < empties && i < count; ++i) {
        std::swap(order[std::size_t(i)], order[std::size_t(random.uniform(i, count - 1))]);
        empty[std::size_t(order[std::size_t(i)])] = true;
    }
    return empty;
}

QByteArray boxLine(int num, int left)
{
    return QString::asprintf("%d  %d  %d  %d  %d\n", num, 0, left, kWindowHeight,
                             left + kWindowWidth)
        .toLatin1();
}

QString writeFile(const QString& path, const QByteArray& bytes)
{
    QString why;
    if (!writeOutput(
            path, [&](QIODevice& file) { return file.write(bytes) == bytes.size(); }, why))
        return QStringLiteral("cannot write %1: %2").arg(path, why);
    return {};
}

// Draws and saves the strips of one set; returns their box lines in lines.
QString writeStrips(const QDir& dir, const std::vector<DemoStrip>& plans,
                    const DemoSetOptions& options, Stream drawing, QByteArray& lines)
{
    for (std::size_t i = 0; i < plans.size(); ++i) {
        const int num = int(i);
        Random random(options.seed, drawing, std::uint32_t(num));
        const QString path = dir.filePath(QStringLiteral("%1.png").arg(num));
        const QImage strip = renderStrip(plans[i], random, options.settings);
        // Light compression: noisy strips barely shrink at the slow levels.
        QString why;
        if (!writeOutput(
                path, [&](QIODevice& file) { return strip.save(&file, "PNG", 80); }, why))
            return QStringLiteral("cannot write %1: %2").arg(path, why);
        for (const int left : plans[i].figureLefts)
            lines += boxLine(num, left);
    }
    return {};
}

} // namespace

std::vector<DemoStrip> planTrainingSet(const DemoSetOptions& options)
{
    std::vector<DemoStrip> plans;
    for (int i = 0; i < options.trainCount; ++i) {
        Random random(options.seed, TrainLayout, std::uint32_t(i));
        DemoStrip plan = emptyStrip(random, options.settings.strip);
        plan.figureLefts.push_back(random.uniform(0, lastBoxLeft(plan)));
        plans.push_back(plan);
    }
    return plans;
}

std::vector<DemoStrip> planTestSet(const DemoSetOptions& options)
{
    const TestSetSettings& set = options.settings.testSet;
    const std::vector<bool> empty = emptyTestStrips(options);
    std::vector<DemoStrip> plans;
    for (int i = 0; i < options.testCount; ++i) {
        Random random(options.seed, TestLayout, std::uint32_t(i));
        DemoStrip plan = emptyStrip(random, options.settings.strip);
        const int lastLeft = lastBoxLeft(plan);
        const bool pair = lastLeft >= set.minGap && random.chance(set.pairShare);
        if (!empty[std::size_t(i)] && pair) {
            const int first = random.uniform(0, lastLeft - set.minGap);
            const int second = random.uniform(first + set.minGap, lastLeft);
            plan.figureLefts = {first, second};
        } else if (!empty[std::size_t(i)]) {
            plan.figureLefts = {random.uniform(0, lastLeft)};
        }
        plans.push_back(plan);
    }
    return plans;
}

QImage renderStrip(const DemoStrip& plan, Random& random, const DemoSettings& settings)
{
    QImage image(plan.width, plan.height, QImage::Format_RGB32);
    image.fill(Qt::black);
    drawBackground(image, random, settings.clutter);
    {
        QPainter painter(&image);
        for (const int left : plan.figureLefts)
            drawFigure(painter, randomFigure(random, settings.figure, left + kWindowWidth / 2.0));
    }
    develop(image, random, settings.camera);
    return image;
}

QString writeDemoSet(const QString& outDir, const DemoSetOptions& options)
{
    const QDir root(outDir);
    for (const char* sub : {"train", "test"})
        if (!root.mkpath(sub))
            return QStringLiteral("cannot create the directory %1").arg(root.filePath(sub));

    QByteArray trainLines;
    QString error = writeStrips(QDir(root.filePath("train")), planTrainingSet(options), options,
                                TrainDrawing, trainLines);
    if (error.isEmpty())
        error = writeFile(root.filePath("train.txt"), trainLines);
    if (!error.isEmpty())
        return error;

    QByteArray rightLines;
    error = writeStrips(QDir(root.filePath("test")), planTestSet(options), options, TestDrawing,
                        rightLines);
    if (!error.isEmpty())
        return error;
    QByteArray names;
    for (int i = 0; i < options.testCount; ++i)
        names += QByteArray::number(i) + '\n';
    error = writeFile(root.filePath("test-names.txt"), names);
    if (error.isEmpty())
        error = writeFile(root.filePath("test-right.txt"), rightLines);
    return error;
}
