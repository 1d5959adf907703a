#include "CurvePlot.h"
#include "EvaluateCommandLine.h"
#include "EvaluationInput.h"
#include "EvaluationReport.h"
#include "Matching.h"
#include "Metrics.h"
#include "ProgramStart.h"
#include "StandardOutput.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QTextStream>

#include <algorithm>
#include <memory>

// Compares the people a detector found in whole photographs with the right
// boxes and prints average precision and the log-average miss rate.
int main(int argc, char** argv)
{
    quietQtNoise();
    if (const std::optional<int> answered =
            answerHelpOrVersion(argc, argv, "ombre-evaluate", evaluateHelpText()))
        return *answered;
    QStringList words;
    for (int i = 1; i < argc; ++i)
        words.append(QString::fromLocal8Bit(argv[i]));
    const EvaluateCommandLine line = parseEvaluateCommandLine(words);
    QTextStream out(stdout);
    QTextStream err(stderr);
    if (!line.error.isEmpty()) {
        err << "ombre-evaluate: " << line.error << '\n' << evaluateUsage() << '\n';
        return 2;
    }
    const EvaluateOptions& o = line.options;

    // Only the plot's text needs fonts, and fonts need a GUI application but
    // no screen.
    std::unique_ptr<QCoreApplication> app;
    if (o.plot.isEmpty()) {
        app = std::make_unique<QCoreApplication>(argc, argv);
    } else {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
        app = std::make_unique<QGuiApplication>(argc, argv);
    }

    EvaluationInput input;
    QString error;
    if (!loadEvaluationInput(o, input, error)) {
        err << "ombre-evaluate: " << error << '\n';
        return 1;
    }
    const Evaluation e =
        measure(matchDetections(input.truth, input.detections, o.iou, o.ignoreBelow, o.match),
                input.photos.size());
    if (input.leftOutPhotos > 0)
        err << "ombre-evaluate: left out the right boxes of photographs that are not in "
            << o.photosDir << ": " << input.leftOutBoxes << " boxes of " << input.leftOutPhotos
            << (input.leftOutPhotos == 1 ? " photograph\n" : " photographs\n");
    if (e.people == 0)
        err << "ombre-evaluate: no people to find: AP is 0 and the miss rate 1\n";
    // Names that do not line up make every detection a false positive.
    const bool anyNearPeople =
        std::any_of(input.detections.begin(), input.detections.end(),
                    [&](const FoundBox& d) { return !input.truth[d.photo].empty(); });
    if (e.people > 0 && !input.detections.empty() && !anyNearPeople)
        err << "ombre-evaluate: no detection is in a photograph with right boxes; do the "
               "photograph names of the two files match?\n";
    out << reportText(e);
    out.flush();

    if (!o.curve.isEmpty() && !writeCurveCsv(o.curve, e, input, error)) {
        err << "ombre-evaluate: " << error << '\n';
        return 1;
    }
    if (!o.plot.isEmpty() && !writePlot(o.plot, e, error)) {
        err << "ombre-evaluate: " << error << '\n';
        return 1;
    }
    if (!standardOutputReached(out, error)) {
        err << "ombre-evaluate: can't write standard output: " << error << '\n';
        return 1;
    }
    return 0;
}
