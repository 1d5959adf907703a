#include "CommandLine.h"
#include "DemoPhotos.h"
#include "DemoSet.h"
#include "ProgramStart.h"
#include "StandardOutput.h"

#include <QCoreApplication>
#include <QTextStream>

#include <cstdio>

namespace
{

int writePhotographs(const CommandLine& line, QTextStream& out, QTextStream& err)
{
    const DemoPhotoSet set =
        writeDemoPhotoSet(line.outDir, line.photographs, line.options.seed, line.hard);
    if (!set.error.isEmpty()) {
        err << "ombre-gen-demo: " << set.error << '\n';
        return 1;
    }
    std::size_t people = 0;
    for (const DemoPhoto& photo : set.photos)
        people += photo.people.size();
    out << "ombre-gen-demo: wrote " << set.photos.size() << " photographs with " << people
        << " people (boxes in boxes.csv and voc/) and " << set.empty.size() << " without people to "
        << line.outDir << '\n';
    return 0;
}

int writeStrips(const CommandLine& line, QTextStream& out, QTextStream& err)
{
    const QString error = writeDemoSet(line.outDir, line.options);
    if (!error.isEmpty()) {
        err << "ombre-gen-demo: " << error << '\n';
        return 1;
    }
    out << "ombre-gen-demo: wrote " << line.options.trainCount << " training and "
        << line.options.testCount << " test images to " << line.outDir << '\n';
    return 0;
}

} // namespace

// Writes the demo's training and test strips, or annotated photographs for
// the preparation tool, into the directory it is given.
int main(int argc, char** argv)
{
    quietQtNoise();
    if (const std::optional<int> answered =
            answerHelpOrVersion(argc, argv, "ombre-gen-demo", helpText()))
        return *answered;
    QCoreApplication app(argc, argv);
    QTextStream err(stderr);
    const CommandLine line = parseCommandLine(app.arguments().mid(1));
    if (!line.error.isEmpty()) {
        err << "ombre-gen-demo: " << line.error << '\n' << usage() << '\n';
        return 2;
    }
    QTextStream out(stdout);
    const int code =
        line.photographs > 0 ? writePhotographs(line, out, err) : writeStrips(line, out, err);
    QString why;
    if (code == 0 && !standardOutputReached(out, why)) {
        err << "ombre-gen-demo: can't write standard output: " << why << '\n';
        return 1;
    }
    return code;
}
