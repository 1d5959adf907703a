#include "CommandLine.h"
#include "DemoSet.h"

#include <QCoreApplication>
#include <QTextStream>

#include <cstdio>

// Writes the demo's training and test strips into the directory it is given.
int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QTextStream err(stderr);
    const CommandLine line = parseCommandLine(app.arguments().mid(1));
    if (!line.error.isEmpty()) {
        err << "ombre-gen-demo: " << line.error << '\n' << usage() << '\n';
        return 2;
    }
    const QString error = writeDemoSet(line.outDir, line.options);
    if (!error.isEmpty()) {
        err << "ombre-gen-demo: " << error << '\n';
        return 1;
    }
    QTextStream(stdout) << "ombre-gen-demo: wrote " << line.options.trainCount << " training and "
                        << line.options.testCount << " test images to " << line.outDir << '\n';
    return 0;
}
