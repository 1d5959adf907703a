// The whole search of one 640x240 image: the window work alone, plain
// reference against the engine (every window described, classified and,
// when accepted, painted), and the engine's search of the PNG file with its
// decoding against decoding alone. Then the directory search of 1000 such
// images on one thread and on every core, against decoding them one after
// another. Compare the times of one run.

#include "BandDescriptor.h"
#include "Decision.h"
#include "DirectorySearch.h"
#include "ImageLoader.h"
#include "LocationFile.h"
#include "Logic.h"
#include "Painter.h"
#include "ReferenceHog.h"
#include "TestImages.h"
#include "TestModels.h"
#include "ThreadCount.h"
#include "Window.h"

#include <QDir>
#include <QImageReader>
#include <benchmark/benchmark.h>
#include <linear.h>

#include <vector>

namespace
{

QString scratch(const QString& name)
{
    return QDir::temp().filePath("ombre-bench-" + name);
}

// A model that accepts some windows and rejects others on this image.
const model* classifier()
{
    static model* m = [] {
        std::vector<double> w = mixedWeights(3);
        // About a third of the votes of a window fall outside bin 4 on this
        // scene; this offset puts the decision near the middle.
        for (double& v : w)
            v -= 0.01;
        writeModel(scratch("model.txt"), w);
        return load_model(QFile::encodeName(scratch("model.txt")).constData());
    }();
    return m;
}

const QImage& scene()
{
    static const QImage image = realLookingImage(640, 240, 2024);
    return image;
}

const QString& scenePng()
{
    static const QString path = [] {
        const QString p = scratch("scene.png");
        scene().save(p);
        return p;
    }();
    return path;
}

std::vector<feature_node> emptyRow()
{
    std::vector<feature_node> row(kHistSize + 1);
    for (int j = 0; j < kHistSize; ++j)
        row[j].index = j + 1;
    row[kHistSize] = feature_node{-1, 0.0};
    return row;
}

// The search loop with the plain descriptor: every window from scratch.
int referenceSearch(QImage& image)
{
    std::vector<int> hist(kHistSize);
    std::vector<feature_node> row = emptyRow();
    int accepted = 0;
    for (int X = 0; X < image.width() - kWindowWidth; X += 5) {
        std::fill(hist.begin(), hist.end(), 0);
        referenceMakeHOG(image, hist.data(), 0, X, kWindowHeight, X + kWindowWidth);
        for (int j = 0; j < kHistSize; ++j)
            row[j].value = hist[j];
        if (predict(classifier(), row.data()) >= 0) {
            paintBox(image, 0, X, kWindowHeight, X + kWindowWidth);
            ++accepted;
        }
    }
    return accepted;
}

// The same loop as the engine runs it: one band, outlines fed back to it.
int fastSearch(QImage& image)
{
    BandDescriptor band(image, 0, kWindowHeight);
    std::vector<int> hist(kHistSize);
    int accepted = 0;
    for (int X = 0; X < image.width() - kWindowWidth; X += 5) {
        std::fill(hist.begin(), hist.end(), 0);
        band.addWindow(X, X + kWindowWidth, hist.data());
        if (acceptsWindow(*classifier(), hist.data())) {
            for (const QRect& r : paintBox(image, 0, X, kWindowHeight, X + kWindowWidth))
                if (!r.isEmpty())
                    band.pixelsChanged(r.top(), r.left(), r.bottom() + 1, r.right() + 1);
            ++accepted;
        }
    }
    return accepted;
}

void BM_SearchWorkReference(benchmark::State& state)
{
    int accepted = 0;
    for (auto _ : state) {
        QImage image = scene().copy();
        accepted = referenceSearch(image);
    }
    state.counters["accepted"] = accepted;
}

void BM_SearchWorkFast(benchmark::State& state)
{
    int accepted = 0;
    for (auto _ : state) {
        QImage image = scene().copy();
        accepted = fastSearch(image);
    }
    state.counters["accepted"] = accepted;
}

void BM_LoadThenSearchWork(benchmark::State& state)
{
    for (auto _ : state) {
        QImage image;
        QString why;
        loadImage(scenePng(), image, why);
        benchmark::DoNotOptimize(fastSearch(image));
    }
}

void BM_DecodePng(benchmark::State& state)
{
    for (auto _ : state) {
        QImage image;
        QImageReader(scenePng()).read(&image);
        benchmark::DoNotOptimize(image);
    }
}

// What Ombrec i does after the prompts: load, search, write the lines.
void BM_SearchPngEndToEnd(benchmark::State& state)
{
    Logic logic;
    logic.curInFile = scenePng();
    logic.curModelFile = scratch("model.txt");
    logic.curOutFile = scratch("found.txt");
    classifier();
    logic.loadModel();
    for (auto _ : state) {
        QFile::remove(logic.curOutFile);
        benchmark::DoNotOptimize(logic.getFilesSImg());
    }
}

constexpr int kDirectoryImages = 1000;

// kDirectoryImages different 640x240 scenes, made by the first run (about a
// minute) and kept, and a names file that lists them.
const QString& sceneDirectory()
{
    static const QString dir = [] {
        const QString d = scratch("directory");
        QDir().mkpath(d);
        QByteArray names;
        for (int i = 0; i < kDirectoryImages; ++i) {
            const QString png = d + '/' + QString::number(i) + ".png";
            if (!QFile::exists(png))
                realLookingImage(640, 240, 1000 + i).save(png);
            names += QByteArray::number(i) + '\n';
        }
        QFile file(d + "/names.txt");
        file.open(QIODevice::WriteOnly);
        file.write(names);
        return d;
    }();
    return dir;
}

// What Ombrec d does after the prompts, on state.range(0) threads.
void BM_DirectorySearch(benchmark::State& state)
{
    const QString dir = sceneDirectory();
    // On these scenes this offset accepts about a fifth of the windows.
    std::vector<double> w = mixedWeights(3);
    for (double& v : w)
        v -= 0.0115;
    writeModel(scratch("directory-model.txt"), w);
    std::unique_ptr<model, ModelDeleter> m(
        load_model(QFile::encodeName(scratch("directory-model.txt")).constData()));
    for (auto _ : state) {
        QFile names(dir + "/names.txt");
        names.open(QIODevice::ReadOnly);
        QFile found(scratch("directory-found.txt"));
        found.open(QIODevice::WriteOnly | QIODevice::Truncate);
        DirectorySearch search;
        search.imageDir = dir;
        search.classifier = m.get();
        search.output = &found;
        search.threads = static_cast<int>(state.range(0));
        benchmark::DoNotOptimize(searchDirectory(names, names.fileName(), search));
        found.close();
        found.open(QIODevice::ReadOnly);
        // The share of the windows accepted: 112 windows an image.
        state.counters["accepted"] = found.readAll().count('\n') / (112.0 * kDirectoryImages);
    }
}

void BM_DecodeDirectory(benchmark::State& state)
{
    const QString dir = sceneDirectory();
    for (auto _ : state) {
        for (int i = 0; i < kDirectoryImages; ++i) {
            QImage image;
            QImageReader(dir + '/' + QString::number(i) + ".png").read(&image);
            benchmark::DoNotOptimize(image);
        }
    }
}

} // namespace

BENCHMARK(BM_SearchWorkReference)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_SearchWorkFast)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadThenSearchWork)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DecodePng)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SearchPngEndToEnd)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DirectorySearch)
    ->Arg(1)
    ->Arg(threadCount())
    ->ArgName("threads")
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(1);
BENCHMARK(BM_DecodeDirectory)->Unit(benchmark::kMillisecond)->Iterations(1);

BENCHMARK_MAIN();
