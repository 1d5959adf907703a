// The block-normalised gradient histogram's search of one 640x480
// photograph on one thread: every level of a pyramid 1.05 apart in scale
// resampled, described and all its windows (stride 8) scored; its parts; and
// beside it, in the same run, the counts scan's windows per second.

#include "HogLevel.h"
#include "HogScan.h"
#include "PhotoScan.h"
#include "Pyramid.h"
#include "Resampler.h"
#include "TestImages.h"
#include "TestModels.h"

#include <benchmark/benchmark.h>

#include <random>
#include <vector>

namespace
{

constexpr double kStep = 1.05;

const QImage& photo()
{
    static const QImage image = realLookingImage(640, 480, 2024);
    return image;
}

// The level sizes, largest first: the photograph shrunk kStep at a time
// while the window still fits.
const std::vector<QSize>& levelSizes()
{
    static const std::vector<QSize> sizes = [] {
        const HogSettings settings;
        std::vector<QSize> all;
        for (double scale = 1;; scale /= kStep) {
            const QSize size = levelSize(photo().size(), scale);
            if (size.width() < settings.windowWidth || size.height() < settings.windowHeight)
                return all;
            all.push_back(size);
        }
    }();
    return sizes;
}

const std::vector<float>& hogWeights()
{
    static const std::vector<float> w = [] {
        std::mt19937 random(3);
        std::uniform_real_distribution<float> uniform(-1, 1);
        std::vector<float> all(hogFeatureCount(HogSettings()));
        for (float& v : all)
            v = uniform(random);
        return all;
    }();
    return w;
}

double hogWindows()
{
    const HogSettings settings;
    double windows = 0;
    for (const QSize& size : levelSizes())
        windows += double((size.width() - settings.windowWidth) / 8 + 1) *
                   ((size.height() - settings.windowHeight) / 8 + 1);
    return windows;
}

void setRates(benchmark::State& state, double windows)
{
    state.counters["windows"] = windows;
    state.counters["windows/s"] =
        benchmark::Counter(windows * double(state.iterations()), benchmark::Counter::kIsRate);
}

// The levels are made in one buffer the size of the photograph, which each
// level's image wraps: no level takes new memory.
QImage levelIn(std::vector<QRgb>& buffer, QSize size)
{
    buffer.resize(size_t(photo().width()) * photo().height());
    QImage level(reinterpret_cast<uchar*>(buffer.data()), size.width(), size.height(),
                 size.width() * int(sizeof(QRgb)), QImage::Format_RGB32);
    LevelScaler(photo(), size).rows(0, 0, level);
    return level;
}

void BM_HogScanPhoto(benchmark::State& state)
{
    HogLevel level;
    std::vector<QRgb> buffer;
    std::vector<double> scores;
    for (auto _ : state) {
        for (const QSize& size : levelSizes()) {
            level.describe(levelIn(buffer, size));
            level.scoreWindows(hogWeights(), 0.5, scores);
            benchmark::DoNotOptimize(scores.data());
        }
    }
    state.counters["levels"] = double(levelSizes().size());
    setRates(state, hogWindows());
}

void BM_HogResample(benchmark::State& state)
{
    std::vector<QRgb> buffer;
    for (auto _ : state) {
        for (const QSize& size : levelSizes())
            benchmark::DoNotOptimize(levelIn(buffer, size));
    }
}

const std::vector<QImage>& levels()
{
    static const std::vector<QImage> all = [] {
        std::vector<QImage> images;
        for (const QSize& size : levelSizes())
            images.push_back(resampled(photo(), size));
        return images;
    }();
    return all;
}

void BM_HogDescribe(benchmark::State& state)
{
    HogLevel level;
    for (auto _ : state) {
        for (const QImage& image : levels())
            level.describe(image);
    }
}

void BM_HogScore(benchmark::State& state)
{
    std::vector<HogLevel> described(levels().size());
    for (size_t k = 0; k < described.size(); ++k)
        described[k].describe(levels()[k]);
    std::vector<double> scores;
    for (auto _ : state) {
        for (const HogLevel& level : described) {
            level.scoreWindows(hogWeights(), 0.5, scores);
            benchmark::DoNotOptimize(scores.data());
        }
    }
    setRates(state, hogWindows());
}

// What ombre-detect does with the photograph and a hog detector at scale
// step 1.05, stride 8 and people from 80 rows: every level from the one that
// makes the photograph 128 rows high to the one that makes 80 rows 96 rows
// high (1.2, larger than the photograph), each resampled, described and
// scored.
void BM_HogScannerPhoto(benchmark::State& state)
{
    Detector detector;
    detector.person = {14.48, 16, 49.52, 112};
    detector.weights = hogWeights();
    detector.bias = 0.5;
    ScanSettings settings;
    settings.scaleStep = kStep;
    HogScanner scanner(detector, settings);
    for (auto _ : state)
        benchmark::DoNotOptimize(scanner.scan(photo()));
    state.counters["levels"] = double(hogLevelScales(photo().size(), detector, settings).size());
    setRates(state, double(hogWindowCount(photo().size(), detector, settings)));
}

// The counts scan of the same photograph, one thread, stride 8; argument:
// the scale step in hundredths (120 is ombre-detect's default).
void BM_CountsScanPhoto(benchmark::State& state)
{
    ScanSettings settings;
    settings.scaleStep = double(state.range(0)) / 100;
    PhotoScanner scanner(mixedWeights(3), settings);
    for (auto _ : state)
        benchmark::DoNotOptimize(scanner.scan(photo()));
    setRates(state, double(windowCount(photo().size(), settings)));
}

} // namespace

BENCHMARK(BM_HogScanPhoto)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_HogScannerPhoto)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_HogResample)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_HogDescribe)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_HogScore)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CountsScanPhoto)
    ->ArgName("step%")
    ->Arg(120)
    ->Arg(105)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK_MAIN();
