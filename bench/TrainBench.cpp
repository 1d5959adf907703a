// Training on the demo's 120 strips (seed 1): row collection on one thread
// and on every core, the sparse problem, LIBLINEAR alone and the whole
// training command; and the peak memory per row of 100,000 rows (the demo's
// rows over and over) in a process of its own, and of 20,000 rows of
// ombre-train's 64x128 hog windows. Compare the times of one run.

#include "DemoSet.h"
#include "HogSettings.h"
#include "LocationFile.h"
#include "Logic.h"
#include "SvmTraining.h"
#include "ThreadCount.h"
#include "TrainingProblem.h"
#include "TrainingRows.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <benchmark/benchmark.h>
#include <linear.h>

#include <sys/resource.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <string>

namespace
{

QString scratch(const QString& name)
{
    return QDir::temp().filePath("ombre-train-bench-" + name);
}

const QString& demoDir()
{
    static const QString dir = [] {
        const QString d = scratch("demo");
        if (!QFile::exists(d + "/train.txt"))
            writeDemoSet(d, DemoSetOptions{});
        return d;
    }();
    return dir;
}

struct Lines {
    std::vector<Box> boxes;
    std::vector<int> numbers;
};

const Lines& demoLines()
{
    static const Lines lines = [] {
        Lines l;
        QFile file(demoDir() + "/train.txt");
        file.open(QIODevice::ReadOnly);
        readLocations(file, file.fileName(), l.boxes, &l.numbers);
        return l;
    }();
    return lines;
}

void collect(int threads, TrainingRows& rows, std::vector<int>& labels)
{
    const QString imageDir = demoDir() + "/train/";
    collectTrainingRows(
        demoLines().boxes, demoLines().numbers, "train.txt",
        [&](int Num) { return imageDir + QString::number(Num) + ".png"; }, threads,
        [&](int, int, ImageRows& run) {
            rows.insert(rows.end(), run.rows.begin(), run.rows.end());
            labels.insert(labels.end(), run.labels.begin(), run.labels.end());
        });
}

struct DemoRows {
    TrainingRows rows;
    std::vector<int> labels;
};

const DemoRows& demoRows()
{
    static const DemoRows demo = [] {
        DemoRows d;
        collect(1, d.rows, d.labels);
        return d;
    }();
    return demo;
}

// Arg: threads; 0 is every core.
int threadsOf(const benchmark::State& state)
{
    return state.range(0) == 0 ? threadCount() : static_cast<int>(state.range(0));
}

void BM_CollectRows(benchmark::State& state)
{
    const int threads = threadsOf(state);
    size_t count = 0;
    for (auto _ : state) {
        TrainingRows rows;
        std::vector<int> labels;
        collect(threads, rows, labels);
        count = rows.size();
    }
    state.counters["threads"] = threads;
    state.counters["rows"] = static_cast<double>(count);
}

void BM_BuildProblem(benchmark::State& state)
{
    const DemoRows& demo = demoRows();
    size_t nodes = 0;
    for (auto _ : state)
        nodes = TrainingProblem(demo.rows, demo.labels).nodeCount();
    state.counters["features per row"] =
        static_cast<double>(nodes - demo.rows.size()) / static_cast<double>(demo.rows.size());
}

void silent(const char*) {}

void BM_Liblinear(benchmark::State& state)
{
    const DemoRows& demo = demoRows();
    const TrainingProblem problem(demo.rows, demo.labels);
    set_print_string_function(silent);
    for (auto _ : state) {
        model* trained = problem.train();
        free_and_destroy_model(&trained);
    }
    set_print_string_function(nullptr);
}

// Ombrec t after the prompts, on OMBRE_THREADS threads.
void BM_TrainingCommand(benchmark::State& state)
{
    const int threads = threadsOf(state);
    qputenv("OMBRE_THREADS", QByteArray::number(threads));
    Logic logic;
    logic.curCat = demoDir() + "/train";
    logic.curInFile = demoDir() + "/train.txt";
    logic.curModelFile = scratch("model.txt");
    set_print_string_function(silent);
    for (auto _ : state)
        benchmark::DoNotOptimize(logic.getFilesTr());
    set_print_string_function(nullptr);
    qunsetenv("OMBRE_THREADS");
    state.counters["threads"] = threads;
}

long residentKb()
{
    long pages = 0;
    long resident = 0;
    if (std::FILE* statm = std::fopen("/proc/self/statm", "r")) {
        if (std::fscanf(statm, "%ld %ld", &pages, &resident) != 2)
            resident = 0;
        std::fclose(statm);
    }
    return resident * (sysconf(_SC_PAGESIZE) / 1024);
}

long peakKb()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

// Run in a process of its own: the demo's rows repeated to count rows, made
// into the problem and trained on as the training command does; prints the
// resident memory before the rows and the peak at the end, in KB.
int peakOfRows(long count)
{
    const DemoRows& demo = demoRows();
    const long before = residentKb();
    TrainingRows rows;
    std::vector<int> labels;
    for (long k = 0; k < count; ++k) {
        rows.push_back(demo.rows[static_cast<size_t>(k) % demo.rows.size()]);
        labels.push_back(demo.labels[static_cast<size_t>(k) % demo.rows.size()]);
    }
    set_print_string_function(silent);
    model* trained = TrainingProblem(rows, labels).train();
    free_and_destroy_model(&trained);
    std::printf("%ld %ld\n", before, peakKb());
    return 0;
}

// The same for count rows of ombre-train: hog windows of 3780 features held
// as floats, then LIBLINEAR's nodes while it trains. The features are made
// up, every one non-zero as in a textured window, and the two classes lie
// apart so that the solver ends soon.
int peakOfHogRows(long count)
{
    const long before = residentKb();
    const int features = hogFeatureCount(HogSettings{});
    TrainingSet set;
    std::uint32_t state = 1;
    for (long k = 0; k < count; ++k) {
        std::vector<float> row(static_cast<size_t>(features));
        for (float& value : row) {
            state = state * 1664525u + 1013904223u;
            value = 0.01f + 0.2f * float(state >> 8) / float(1 << 24);
        }
        row[0] += k % 4 == 0 ? 0.5f : 0;
        (k % 4 == 0 ? set.positives : set.negatives).push_back(std::move(row));
    }
    trainSvm(set, features, 0.01);
    std::printf("%ld %ld\n", before, peakKb());
    return 0;
}

// Arg: rows; option: the measuring process's option.
void measurePeakPerRow(benchmark::State& state, const char* option)
{
    double perRow = 0;
    for (auto _ : state) {
        QProcess child;
        child.start(QCoreApplication::applicationFilePath(),
                    {option, QString::number(state.range(0))});
        child.waitForFinished(-1);
        const QList<QByteArray> kb = child.readAllStandardOutput().trimmed().split(' ');
        if (kb.size() != 2) {
            state.SkipWithError("the measuring process failed");
            return;
        }
        perRow = (kb[1].toDouble() - kb[0].toDouble()) * 1024 / static_cast<double>(state.range(0));
    }
    state.counters["bytes per row"] = perRow;
}

// Arg: rows.
void BM_PeakMemoryPerRow(benchmark::State& state)
{
    demoRows();
    measurePeakPerRow(state, "--peak-of-rows");
}

void BM_PeakMemoryPerHogRow(benchmark::State& state)
{
    measurePeakPerRow(state, "--peak-of-hog-rows");
}

} // namespace

BENCHMARK(BM_CollectRows)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_BuildProblem)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Liblinear)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TrainingCommand)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_PeakMemoryPerRow)->Arg(100000)->Iterations(1)->Unit(benchmark::kSecond);
BENCHMARK(BM_PeakMemoryPerHogRow)->Arg(20000)->Iterations(1)->Unit(benchmark::kSecond);

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    if (argc == 3 && std::strcmp(argv[1], "--peak-of-rows") == 0)
        return peakOfRows(std::stol(argv[2]));
    if (argc == 3 && std::strcmp(argv[1], "--peak-of-hog-rows") == 0)
        return peakOfHogRows(std::stol(argv[2]));
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
