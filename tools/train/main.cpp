#include "OutputTarget.h"
#include "ProgramStart.h"
#include "StandardOutput.h"
#include "TrainCommandLine.h"
#include "TrainJob.h"
#include "TrainingPhotos.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTextStream>

// Trains a detector of people for ombre-detect from annotated photographs.
int main(int argc, char** argv)
{
    quietQtNoise();
    if (const std::optional<int> answered =
            answerHelpOrVersion(argc, argv, "ombre-train", trainHelpText()))
        return *answered;
    QStringList words;
    for (int i = 1; i < argc; ++i)
        words << QString::fromLocal8Bit(argv[i]);
    const TrainCommandLine line = parseTrainCommandLine(words);
    QTextStream err(stderr);
    if (!line.error.isEmpty()) {
        err << "ombre-train: " << line.error << '\n' << trainUsage() << '\n';
        return 2;
    }
    const TrainOptions& o = line.options;
    QCoreApplication app(argc, argv);

    std::vector<TrainingPhoto> photos;
    QString error;
    if (!listTrainingPhotos(o, photos, error)) {
        err << "ombre-train: " << error << '\n';
        return 1;
    }
    // Refused before the work, not after it.
    const OutputTarget target = outputTarget(o.out);
    if (!target.refusal.isEmpty()) {
        err << "ombre-train: can't write " << o.out << ": " << target.refusal << '\n';
        return 1;
    }

    QTextStream out(stdout);
    // A line a second at most, and the last of each stage.
    QElapsedTimer sinceLine;
    sinceLine.start();
    const auto progress = [&](const QString& stage, int done, int total) {
        if (done < total && sinceLine.elapsed() < 1000)
            return;
        err << "ombre-train: " << stage << ": " << done << " of " << total << " photographs\n";
        err.flush();
        sinceLine.restart();
    };
    const auto round = [&](const QString& text) {
        out << "ombre-train: " << text << '\n';
        out.flush();
    };
    QByteArray trained;
    if (!trainOnPhotos(o, photos, {progress, round}, trained, error)) {
        err << "ombre-train: " << error << '\n';
        return 1;
    }
    if (!writeOutput(
            o.out, [&](QIODevice& file) { return file.write(trained) == trained.size(); }, error)) {
        err << "ombre-train: can't write " << o.out << ": " << error << '\n';
        return 1;
    }
    out << "ombre-train: wrote " << o.out << '\n';
    if (!standardOutputReached(out, error)) {
        err << "ombre-train: can't write standard output: " << error << '\n';
        return 1;
    }
    return 0;
}
