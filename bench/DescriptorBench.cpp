// The descriptor work of one search of a 640x240 image and of one training
// line on a 640-pixel-wide image, plain reference against fast engine. The
// fast cases report "speedup": the reference's time over their own.

#include "BandDescriptor.h"
#include "ReferenceHog.h"
#include "TestImages.h"
#include "Window.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <vector>

namespace
{

struct Window {
    int Xmin;
    int Xmax;
};

// A real-looking scene, already in memory as a decoded image would be. (Not
// decoded here: the image codec leaves the vector unit in a state that slows
// the reference's arctangent calls severalfold, which would flatter the ratio.)
const QImage& sceneImage()
{
    static const QImage image = realLookingImage(640, 240, 2024);
    return image;
}

// Every search window: X = 0, 5, 10, ... while X < width - 80.
std::vector<Window> searchWindows(int width)
{
    std::vector<Window> windows;
    for (int X = 0; X < width - kWindowWidth; X += 5)
        windows.push_back({X, X + kWindowWidth});
    return windows;
}

// A training line whose box spans columns 300 to 380: the positive window,
// then the negatives m = 0, 10, ... that keep away from the box.
std::vector<Window> trainingWindows(int width)
{
    const Window box{300, 380};
    std::vector<Window> windows{box};
    for (int m = 0; m < width - kWindowWidth; m += 10) {
        if (m < box.Xmin - 60 || m > box.Xmax - 20)
            windows.push_back({m, m + kWindowWidth});
    }
    return windows;
}

void describeReference(const QImage& image, const std::vector<Window>& windows, int* hist)
{
    for (const Window& w : windows) {
        std::fill(hist, hist + kHistSize, 0);
        referenceMakeHOG(image, hist, 0, w.Xmin, kWindowHeight, w.Xmax);
        benchmark::DoNotOptimize(hist);
    }
}

void describeFast(const QImage& image, const std::vector<Window>& windows, int* hist)
{
    BandDescriptor band(image, 0, kWindowHeight);
    for (const Window& w : windows) {
        std::fill(hist, hist + kHistSize, 0);
        band.addWindow(w.Xmin, w.Xmax, hist);
        benchmark::DoNotOptimize(hist);
    }
}

using Describe = void (*)(const QImage&, const std::vector<Window>&, int*);
using Clock = std::chrono::steady_clock;

double secondsSince(Clock::time_point start)
{
    return std::chrono::duration<double>(Clock::now() - start).count();
}

// Runs describe once per iteration; returns the fastest iteration's seconds.
double run(benchmark::State& state, Describe describe, const std::vector<Window>& windows)
{
    const QImage& image = sceneImage();
    std::vector<int> hist(kHistSize);
    double best = 1e9;
    for (auto _ : state) {
        const Clock::time_point start = Clock::now();
        describe(image, windows, hist.data());
        best = std::min(best, secondsSince(start));
    }
    state.counters["windows/s"] = benchmark::Counter(static_cast<double>(windows.size()),
                                                     benchmark::Counter::kIsIterationInvariantRate);
    return best;
}

// Also times the reference on the same windows: best of three against the
// fast engine's best.
void runFast(benchmark::State& state, const std::vector<Window>& windows)
{
    const double fast = run(state, describeFast, windows);
    std::vector<int> hist(kHistSize);
    double reference = 1e9;
    for (int i = 0; i < 3; ++i) {
        const Clock::time_point start = Clock::now();
        describeReference(sceneImage(), windows, hist.data());
        reference = std::min(reference, secondsSince(start));
    }
    state.counters["speedup"] = reference / fast;
}

void SearchReference(benchmark::State& state)
{
    run(state, describeReference, searchWindows(sceneImage().width()));
}

void SearchFast(benchmark::State& state)
{
    runFast(state, searchWindows(sceneImage().width()));
}

void TrainingLineReference(benchmark::State& state)
{
    run(state, describeReference, trainingWindows(sceneImage().width()));
}

void TrainingLineFast(benchmark::State& state)
{
    runFast(state, trainingWindows(sceneImage().width()));
}

} // namespace

BENCHMARK(SearchReference)->Unit(benchmark::kMillisecond);
BENCHMARK(SearchFast)->Unit(benchmark::kMillisecond);
BENCHMARK(TrainingLineReference)->Unit(benchmark::kMillisecond);
BENCHMARK(TrainingLineFast)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
