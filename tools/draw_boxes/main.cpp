#include "CommandLine.h"
#include "DrawJob.h"
#include "ProgramStart.h"
#include "StandardOutput.h"

#include <QGuiApplication>
#include <QTextStream>

// Draws the boxes of a location file onto copies of its images and, when
// asked, puts them on one contact sheet.
int main(int argc, char** argv)
{
    quietQtNoise();
    if (const std::optional<int> answered =
            answerHelpOrVersion(argc, argv, "ombre-draw-boxes", helpText()))
        return *answered;
    // The captions need fonts, not a screen.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QTextStream err(stderr);
    const CommandLine line = parseCommandLine(app.arguments().mid(1));
    if (!line.error.isEmpty()) {
        err << "ombre-draw-boxes: " << line.error << '\n' << usage() << '\n';
        return 2;
    }
    const DrawReport report = drawJob(line.request);
    if (!report.error.isEmpty()) {
        err << "ombre-draw-boxes: " << report.error << '\n';
        return 1;
    }
    QTextStream out(stdout);
    out << "ombre-draw-boxes: drew " << report.boxes << " boxes on " << report.images
        << " images in " << line.request.outDir << '\n';
    if (!line.request.sheet.isEmpty())
        out << "ombre-draw-boxes: wrote " << line.request.sheet << '\n';
    QString why;
    if (!standardOutputReached(out, why)) {
        err << "ombre-draw-boxes: can't write standard output: " << why << '\n';
        return 1;
    }
    return 0;
}
