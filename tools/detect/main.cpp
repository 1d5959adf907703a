#include "CsvOutput.h"
#include "DetectCommandLine.h"
#include "DetectJob.h"
#include "DetectionOutput.h"
#include "DetectorFile.h"
#include "HogScan.h"
#include "ModelFile.h"
#include "ProgramStart.h"
#include "StandardOutput.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QGuiApplication>
#include <QTextStream>
#include <linear.h>

#include <memory>
#include <optional>

namespace
{

// "1 photograph", "2 photographs".
QString counted(int n, const char* one, const char* many)
{
    return QStringLiteral("%1 %2").arg(n).arg(QLatin1String(n == 1 ? one : many));
}

// Scores on the drawings and captions on the sheet need fonts, not a screen;
// without them no GUI application is needed.
std::unique_ptr<QCoreApplication> makeApplication(const DetectOptions& o, int& argc, char** argv)
{
    if (o.drawDir.isEmpty() && o.sheet.isEmpty())
        return std::make_unique<QCoreApplication>(argc, argv);
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    return std::make_unique<QGuiApplication>(argc, argv);
}

// What the file at path searches with: a detector file, told by its first
// line, or a plain model of Ombrec; a file of neither kind is refused in the
// words of the model reader. None with why when it cannot be read.
std::optional<DetectModel> loadDetectModel(const QString& path, QString& why)
{
    QFile file(path);
    if (file.open(QIODevice::ReadOnly) && isDetectorText(file.read(64))) {
        Detector detector;
        if (!readDetectorFile(path, detector, why))
            return std::nullopt;
        return DetectModel(std::move(detector));
    }
    model* loaded = loadModelFile(path, why);
    if (!loaded)
        return std::nullopt;
    DetectModel weights = objectWeights(*loaded);
    free_and_destroy_model(&loaded);
    return weights;
}

} // namespace

// Finds people in photographs: every window at every place and scale.
int main(int argc, char** argv)
{
    quietQtNoise();
    if (const std::optional<int> answered =
            answerHelpOrVersion(argc, argv, "ombre-detect", detectHelpText()))
        return *answered;
    QStringList words;
    for (int i = 1; i < argc; ++i)
        words << QString::fromLocal8Bit(argv[i]);
    const DetectCommandLine line = parseDetectCommandLine(words);
    QTextStream err(stderr);
    if (!line.error.isEmpty()) {
        err << "ombre-detect: " << line.error << '\n' << detectUsage() << '\n';
        return 2;
    }
    DetectOptions o = line.options;
    QStringList problems;
    const std::vector<PhotoFile> photos = listPhotos(o.inputs, problems);
    const QString clash = sharedName(photos);
    if (!clash.isEmpty()) {
        err << "ombre-detect: " << clash << '\n' << detectUsage() << '\n';
        return 2;
    }
    const std::unique_ptr<QCoreApplication> app = makeApplication(o, argc, argv);

    // The model first: a run that cannot work leaves every file as it was.
    QString why;
    const std::optional<DetectModel> searchWith = loadDetectModel(o.model, why);
    if (!searchWith) {
        err << "ombre-detect: can't load the model " << o.model << ": " << why << '\n';
        return 1;
    }
    if (std::holds_alternative<Detector>(*searchWith) && o.scan.stride % kHogCellSize != 0) {
        err << "ombre-detect: --stride " << o.scan.stride
            << ": a hog detector's windows lie on an 8-pixel grid; give a multiple of 8\n"
            << detectUsage() << '\n';
        return 2;
    }
    if (std::holds_alternative<Detector>(*searchWith) && !o.borderGiven)
        o.scan.levelBorder = kDefaultHogLevelBorder;

    CsvOutput output;
    if (!output.open(o.out, why)) {
        err << "ombre-detect: can't write " << o.out << ": " << why << '\n';
        return 1;
    }
    const auto warn = [&](const QString& text) {
        err << "ombre-detect: warning: " << text << '\n';
        err.flush();
    };
    for (const QString& problem : problems)
        warn(problem);

    // A line a second at most, and the last one.
    QElapsedTimer sinceLine;
    sinceLine.start();
    const auto progress = [&](int done, int total) {
        if (done < total && sinceLine.elapsed() < 1000)
            return;
        err << "ombre-detect: " << done << " of " << counted(total, "photograph", "photographs")
            << '\n';
        err.flush();
        sinceLine.restart();
    };
    bool written = output.write(csvHeader());
    const auto rows = [&](const QByteArray& text) {
        return written = written && output.write(text);
    };
    const DetectReport report = runDetectJob(o, *searchWith, photos, {rows, warn, progress});
    if (!output.finish(written, why)) {
        err << "ombre-detect: can't write " << output.name() << ": " << why << '\n';
        return 1;
    }

    // With the rows on standard output, the summary must not join them.
    QTextStream summary(o.out.isEmpty() ? stderr : stdout);
    summary << "ombre-detect: found " << counted(report.people, "person", "people") << " in "
            << counted(report.searched, "photograph", "photographs");
    if (report.skipped > 0)
        summary << ", skipped " << report.skipped;
    summary << "; rows in " << output.name() << '\n';
    // The rows on standard output were checked as they were written.
    if (!o.out.isEmpty() && !standardOutputReached(summary, why)) {
        err << "ombre-detect: can't write standard output: " << why << '\n';
        return 1;
    }
    return report.failed || !problems.isEmpty() ? 1 : 0;
}
