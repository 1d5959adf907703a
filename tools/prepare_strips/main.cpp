#include "CommandLine.h"
#include "PrepareJob.h"
#include "ProgramStart.h"
#include "StandardOutput.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTextStream>

namespace
{

// "1 photograph", "2 photographs".
QString counted(int n, const char* one, const char* many)
{
    return QStringLiteral("%1 %2").arg(n).arg(QLatin1String(n == 1 ? one : many));
}

void printSummary(QTextStream& out, const CommandLine& line, const PrepareReport& r)
{
    out << "ombre-prepare: wrote " << line.options.outDir << " from "
        << counted(r.trainPhotos + r.testPhotos, "photograph", "photographs") << '\n';
    if (line.options.mode != PrepareMode::Test)
        out << "  training: " << counted(r.trainStrips, "strip", "strips") << " with "
            << counted(r.trainBoxes, "box", "boxes") << " from "
            << counted(r.trainPhotos, "photograph", "photographs") << ", in train/ and train.txt\n";
    if (!line.options.hardModel.isEmpty())
        out << "  hard negatives: " << r.windowsSearched << " windows searched in "
            << counted(r.minedPhotos, "photograph", "photographs") << " ("
            << r.minedPhotosWithoutPeople << " without people), " << r.falseAlarms
            << " false alarms found (" << r.distinctFalseAlarms << " apart from near-duplicates), "
            << r.falseAlarmsKept << " kept: " << counted(r.hardCrops, "crop", "crops") << " in "
            << counted(r.hardStrips, "strip", "strips") << " after the others\n";
    if (line.options.mode != PrepareMode::Train)
        out << "  test: " << counted(r.testStrips, "strip", "strips") << " with "
            << counted(r.testBoxes, "box", "boxes") << " ("
            << counted(r.testStripsWithoutPeople, "strip", "strips") << " without people) from "
            << counted(r.testPhotos, "photograph", "photographs")
            << ", in test/, test-names.txt and test-right.txt\n";
    if (r.tooSmall == 0 && r.tooNarrow == 0 && r.emptyTooSmall == 0)
        return;
    out << "  skipped: " << counted(r.tooSmall, "person", "people") << " lower than "
        << line.options.minHeight << " pixels, " << counted(r.tooNarrow, "strip", "strips")
        << " narrower than the window";
    if (r.emptyTooSmall > 0)
        out << ", " << counted(r.emptyTooSmall, "strip", "strips") << " too small to cut from "
            << (r.emptyTooSmall == 1 ? "a photograph" : "photographs") << " without people";
    out << '\n';
}

} // namespace

// Cuts annotated photographs into numbered strips with their location and
// names files.
int main(int argc, char** argv)
{
    quietQtNoise();
    if (const std::optional<int> answered =
            answerHelpOrVersion(argc, argv, "ombre-prepare", helpText()))
        return *answered;
    QCoreApplication app(argc, argv);
    QTextStream err(stderr);
    const CommandLine line = parseCommandLine(app.arguments().mid(1));
    if (!line.error.isEmpty()) {
        err << "ombre-prepare: " << line.error << '\n' << usage() << '\n';
        return 2;
    }

    // A line a second at most, and the last one.
    QElapsedTimer sinceLine;
    sinceLine.start();
    const auto progress = [&](bool mining, int done, int total) {
        if (done < total && sinceLine.elapsed() < 1000)
            return;
        err << "ombre-prepare: " << (mining ? "searched " : "cut ") << done << " of " << total
            << " photographs\n";
        err.flush();
        sinceLine.restart();
    };
    const auto warning = [&](const QString& text) {
        err << "ombre-prepare: warning: " << text << '\n';
        err.flush();
    };
    const PrepareReport report = runPrepareJob(line.options, progress, warning);
    if (!report.error.isEmpty()) {
        err << "ombre-prepare: " << report.error << "\nombre-prepare: nothing was written\n";
        return 1;
    }
    QTextStream out(stdout);
    printSummary(out, line, report);
    QString why;
    if (!standardOutputReached(out, why)) {
        err << "ombre-prepare: can't write standard output: " << why << '\n';
        return 1;
    }
    return 0;
}
