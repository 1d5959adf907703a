// The whole-photograph search of one 640x480 photograph: the time per
// photograph on one thread for the default settings and for other scale
// steps and strides, and on every core; the windows per second; the parts of
// the work (resampling the levels, describing them, scoring their windows);
// and the time per window against the strip search's. Then a wide
// photograph against a tall one of as many pixels.

#include "BandDescriptor.h"
#include "Decision.h"
#include "DetectOptions.h"
#include "LevelDescriptor.h"
#include "PhotoScan.h"
#include "Pyramid.h"
#include "Resampler.h"
#include "Suppression.h"
#include "TestImages.h"
#include "TestModels.h"
#include "Window.h"

#include <QDir>
#include <QFile>
#include <QThread>
#include <benchmark/benchmark.h>
#include <linear.h>

#include <chrono>
#include <vector>

namespace
{

const ScanSettings kDefaults;
const double kDefaultNms = DetectOptions().nms;

// A model that accepts some windows and rejects others on this scene.
const model& classifier()
{
    static model* m = [] {
        std::vector<double> w = mixedWeights(3);
        for (double& v : w)
            v -= 0.01;
        const QString path = QDir::temp().filePath("ombre-bench-scan-model.txt");
        writeModel(path, w);
        return load_model(QFile::encodeName(path).constData());
    }();
    return *m;
}

const std::vector<double>& weights()
{
    static const std::vector<double> w = objectWeights(classifier());
    return w;
}

const QImage& photo()
{
    static const QImage image = realLookingImage(640, 480, 2024);
    return image;
}

// The levels of the photograph for settings, each whole, the largest first
// as the search takes them.
std::vector<QImage> levels(const ScanSettings& settings)
{
    std::vector<QImage> images;
    for (double scale : levelScales(photo().size(), settings.minHeight, settings.scaleStep)) {
        QImage level(levelSize(photo().size(), scale), QImage::Format_RGB32);
        LevelScaler(photo(), level.size()).rows(0, 0, level);
        images.insert(images.begin(), level);
    }
    return images;
}

const std::vector<QImage>& defaultLevels()
{
    static const std::vector<QImage> all = levels(kDefaults);
    return all;
}

double windowsOf(const ScanSettings& settings)
{
    double windows = 0;
    for (const QImage& level : levels(settings)) {
        if (level.width() >= kWindowWidth && level.height() >= kWindowHeight)
            windows += double((level.height() - kWindowHeight) / settings.stride + 1) *
                       ((level.width() - kWindowWidth) / settings.stride + 1);
    }
    return windows;
}

// What ombre-detect does with a photograph once it is read.
void searchOnce(PhotoScanner& scanner)
{
    benchmark::DoNotOptimize(
        suppressOverlaps(scanner.scan(photo()), kDefaultNms, BoxScoring::Window));
}

// Arguments: the scale step in hundredths and the stride.
void BM_ScanPhotoOneThread(benchmark::State& state)
{
    ScanSettings settings;
    settings.scaleStep = double(state.range(0)) / 100;
    settings.stride = static_cast<int>(state.range(1));
    PhotoScanner scanner(weights(), settings);
    for (auto _ : state)
        searchOnce(scanner);
    const double windows = windowsOf(settings);
    state.counters["levels"] = double(levels(settings).size());
    state.counters["windows"] = windows;
    state.counters["windows/s"] =
        benchmark::Counter(windows * double(state.iterations()), benchmark::Counter::kIsRate);
}

// Every core searching its own photograph, as ombre-detect does: photos/s
// is the throughput of them all.
void BM_ScanPhotoAllCores(benchmark::State& state)
{
    PhotoScanner scanner(weights(), kDefaults);
    for (auto _ : state)
        searchOnce(scanner);
    state.counters["photos/s"] =
        benchmark::Counter(double(state.iterations()), benchmark::Counter::kIsRate);
}

void BM_ResampleLevels(benchmark::State& state)
{
    std::vector<QImage> out;
    for (const QImage& level : defaultLevels())
        out.emplace_back(level.size(), QImage::Format_RGB32);
    for (auto _ : state) {
        for (QImage& level : out)
            LevelScaler(photo(), level.size()).rows(0, 0, level);
    }
}

void BM_DescribeLevels(benchmark::State& state)
{
    LevelDescriptor descriptor;
    for (auto _ : state) {
        for (const QImage& level : defaultLevels())
            descriptor.describe(level, kDefaults.stride);
    }
}

void BM_ScoreLevels(benchmark::State& state)
{
    std::vector<std::unique_ptr<LevelDescriptor>> described;
    for (const QImage& level : defaultLevels())
        described.push_back(std::make_unique<LevelDescriptor>(level, kDefaults.stride));
    std::vector<double> scores;
    for (auto _ : state) {
        for (const auto& level : described) {
            scores.resize(size_t(level->rows()) * level->columns());
            level->scoreWindows(weights().data(), scores.data());
            benchmark::DoNotOptimize(scores.data());
        }
    }
    state.counters["windows/s"] = benchmark::Counter(
        windowsOf(kDefaults) * double(state.iterations()), benchmark::Counter::kIsRate);
}

// The strip search's work per window: the windows of a 640x200 strip, 5
// columns apart, described and classified.
void BM_StripSearchWindows(benchmark::State& state)
{
    const QImage strip = photo().copy(0, 0, 640, kWindowHeight);
    std::vector<int> hist(kHistSize);
    int windows = 0;
    for (auto _ : state) {
        BandDescriptor band(strip, 0, kWindowHeight);
        windows = 0;
        for (int X = 0; X < strip.width() - kWindowWidth; X += 5, ++windows) {
            std::fill(hist.begin(), hist.end(), 0);
            band.addWindow(X, X + kWindowWidth, hist.data());
            benchmark::DoNotOptimize(acceptsWindow(classifier(), hist.data()));
        }
    }
    state.counters["windows/s"] = benchmark::Counter(double(windows) * double(state.iterations()),
                                                     benchmark::Counter::kIsRate);
}

// 12000x1000 against 4000x3000 on one thread, both in each iteration:
// wide/square is the time of the wide photograph over the other's. The
// wide one's largest level is some 29000 pixels wide.
void BM_ScanWideAgainstSquare(benchmark::State& state)
{
    const QImage wide = realLookingImage(12000, 1000, 2024);
    const QImage square = realLookingImage(4000, 3000, 2024);
    PhotoScanner scanner(weights(), kDefaults);
    const auto seconds = [&](const QImage& photo) {
        const auto start = std::chrono::steady_clock::now();
        benchmark::DoNotOptimize(
            suppressOverlaps(scanner.scan(photo), kDefaultNms, BoxScoring::Window));
        return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    };
    double wideSeconds = 0;
    double squareSeconds = 0;
    for (auto _ : state) {
        wideSeconds += seconds(wide);
        squareSeconds += seconds(square);
    }
    const double iterations = double(state.iterations());
    state.counters["wide s"] = wideSeconds / iterations;
    state.counters["square s"] = squareSeconds / iterations;
    state.counters["wide/square"] = wideSeconds / squareSeconds;
}

} // namespace

BENCHMARK(BM_ScanPhotoOneThread)
    ->ArgNames({"step%", "stride"})
    ->Args({120, 8})
    ->Args({110, 8})
    ->Args({125, 8})
    ->Args({130, 8})
    ->Args({120, 4})
    ->Args({120, 16})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK(BM_ScanPhotoAllCores)
    ->Unit(benchmark::kMillisecond)
    ->Threads(QThread::idealThreadCount())
    ->UseRealTime();
BENCHMARK(BM_ResampleLevels)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DescribeLevels)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ScoreLevels)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_StripSearchWindows)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ScanWideAgainstSquare)->Unit(benchmark::kMillisecond)->UseRealTime();

BENCHMARK_MAIN();
