#include "Logic.h"

#include "DirectorySearch.h"
#include "Evaluation.h"
#include "ImageSearch.h"
#include "ModelFile.h"
#include "OutputTarget.h"
#include "SameFile.h"
#include "ThreadCount.h"
#include "TrainingProblem.h"
#include "Warning.h"
#include "Window.h"

#include <QDir>
#include <QFileInfo>
#include <QRandomGenerator>

#include <cstdio>
#include <cstring>

Logic::Logic() = default;
Logic::~Logic() = default;

void Logic::getFileNameFromInt(int i)
{
    curFile = std::make_unique<QString>(imagePath(curCat, i));
}

// --- training ----------------------------------------------------------------

bool Logic::getFilesTr()
{
    trainFeatures.clear();
    trainLabels.clear();
    inFile = std::make_unique<QFile>(curInFile);
    if (!inFile->open(QIODevice::ReadOnly)) {
        warn(QStringLiteral("error: can't open the location file %1: %2")
                 .arg(curInFile, inFile->errorString()));
        return false;
    }
    std::vector<Box> boxes;
    std::vector<int> lineNumbers;
    const bool read = readLocations(*inFile, curInFile, boxes, &lineNumbers);
    inFile->close();
    if (!read)
        return false;

    const auto path = [this](int Num) {
        getFileNameFromInt(Num);
        return *curFile;
    };
    // Training never draws into its images; the window shows the last one.
    const auto take = [this](int run, int runs, ImageRows& rows) {
        if (onImage)
            onImage(QStringLiteral("Training on %1").arg(QFileInfo(rows.path).fileName()));
        trainFeatures.insert(trainFeatures.end(), rows.rows.begin(), rows.rows.end());
        trainLabels.insert(trainLabels.end(), rows.labels.begin(), rows.labels.end());
        curImage = std::make_unique<QImage>(std::move(rows.image));
        if (onProgress)
            onProgress(run + 1, runs);
    };
    collectTrainingRows(boxes, lineNumbers, curInFile, path, threadCount(), take);
    return makeModel();
}

namespace
{

// LIBLINEAR's model file is written under a temporary name beside the
// target and renamed into place, so a failed or interrupted save never
// leaves a half-written model under the user's name; a descriptor such as
// /dev/stdout is written straight into (see OutputTarget.h). The temporary
// file is made as any new file is, 0666 less the umask, and takes the mode
// of the model it replaces: a model shared with others stays shared.
bool saveModelSafely(const QString& path, const model* trained)
{
    const OutputTarget output = outputTarget(path);
    if (!output.refusal.isEmpty()) {
        warn(QStringLiteral("error: can't write the model %1: %2").arg(path, output.refusal));
        return false;
    }
    if (output.direct)
        return save_model(QFile::encodeName(output.path).constData(), trained) == 0;
    const QFileInfo target(output.path);
    const QString base = target.absolutePath() + QStringLiteral("/.") + target.fileName() + '.';
    const QFileDevice::Permissions newFile = QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                             QFileDevice::ReadGroup | QFileDevice::WriteGroup |
                                             QFileDevice::ReadOther | QFileDevice::WriteOther;
    QFile temporary;
    for (;;) {
        temporary.setFileName(base + QString::number(QRandomGenerator::global()->generate(), 36));
        if (temporary.open(QIODevice::WriteOnly | QIODevice::NewOnly, newFile))
            break;
        // Only a name taken already is worth another try.
        if (!QFileInfo::exists(temporary.fileName()))
            return false;
    }
    temporary.close();
    const QByteArray temporaryName = QFile::encodeName(temporary.fileName());
    const bool saved =
        save_model(temporaryName.constData(), trained) == 0 &&
        (!target.exists() || temporary.setPermissions(QFile::permissions(output.path))) &&
        std::rename(temporaryName.constData(), QFile::encodeName(output.path).constData()) == 0;
    if (!saved)
        temporary.remove();
    return saved;
}

} // namespace

bool Logic::makeModel()
{
    const int l = static_cast<int>(trainLabels.size());
    int positives = 0;
    for (int label : trainLabels)
        positives += label > 0;
    if (positives == 0 || positives == l) {
        warn(QStringLiteral("error: training needs object and background windows, got %1 object "
                            "and %2 background windows; no model written")
                 .arg(positives)
                 .arg(l - positives));
        return false;
    }

    // Only the non-zero counts go to LIBLINEAR; the model is the same.
    model* trained = TrainingProblem(trainFeatures, trainLabels).train();
    const bool saved = saveModelSafely(curModelFile, trained);
    if (!saved)
        std::fputs("can't save model to file \n", stderr);
    free_and_destroy_model(&trained);
    return saved;
}

// --- search ------------------------------------------------------------------

bool Logic::loadModel()
{
    QString why;
    myModel.reset(loadModelFile(curModelFile, why));
    if (!myModel) {
        warn(QStringLiteral("error: can't load the model %1: %2").arg(curModelFile, why));
        return false;
    }
    return true;
}

bool Logic::emptyOutput(const QString& input)
{
    const std::pair<const QString&, QString> inputs[] = {
        {curModelFile, QStringLiteral("the model")},
        {curInFile, input},
    };
    for (const auto& [path, what] : inputs) {
        if (sameFile(curOutFile, path)) {
            warn(QStringLiteral("error: the output %1 is %2 %3; nothing was written")
                     .arg(curOutFile, what, path));
            return false;
        }
    }
    // The lines go straight into the file, which a search fills as it goes.
    const OutputTarget output = outputTarget(curOutFile);
    outFile = std::make_unique<QFile>(output.path);
    QString why = output.refusal;
    if (why.isEmpty()) {
        if (output.direct)
            openDirect(*outFile, output.path, why);
        else if (!outFile->open(QIODevice::WriteOnly | QIODevice::Truncate))
            why = outFile->errorString();
    }
    if (!why.isEmpty()) {
        warn(QStringLiteral("error: can't open %1 for writing: %2").arg(curOutFile, why));
        return false;
    }
    return true;
}

bool Logic::useImage(int Num)
{
    SearchedImage found = searchImageFile(*curFile, *myModel, Num);
    curImage = std::make_unique<QImage>(std::move(found.image));
    return found.ok && writeLines(*outFile, found.lines);
}

bool Logic::getFilesSImg()
{
    curFile = std::make_unique<QString>(curInFile);
    if (!emptyOutput(QStringLiteral("the image")))
        return false;
    const bool ok = useImage(0);
    outFile->close();
    return ok;
}

bool Logic::getFilesSDir()
{
    inFile = std::make_unique<QFile>(curInFile);
    if (!inFile->open(QIODevice::ReadOnly)) {
        warn(QStringLiteral("error: can't open the names file %1: %2")
                 .arg(curInFile, inFile->errorString()));
        return false;
    }
    bool ok = emptyOutput(QStringLiteral("the names file"));
    if (ok) {
        DirectorySearch search;
        search.imageDir = curCat;
        search.classifier = myModel.get();
        search.output = outFile.get();
        search.threads = threadCount();
        // The window shows the image whose lines are being written, and the
        // last one once the search is over.
        search.writing = [this](const QString& path, QImage& image) {
            curFile = std::make_unique<QString>(path);
            curImage = std::make_unique<QImage>(std::move(image));
            if (onImage)
                onImage(QStringLiteral("Searching %1").arg(QFileInfo(path).fileName()));
        };
        search.progress = onSearchProgress;
        ok = searchDirectory(*inFile, curInFile, search);
        outFile->close();
    }
    inFile->close();
    return ok;
}

// --- evaluation --------------------------------------------------------------

char* Logic::PRcount()
{
    QByteArray text = "Error";
    inFile = std::make_unique<QFile>(curInFile);
    outFile = std::make_unique<QFile>(curModelFile);
    if (!inFile->open(QIODevice::ReadOnly)) {
        warn(QStringLiteral("error: can't open the found locations %1: %2")
                 .arg(curInFile, inFile->errorString()));
    } else if (!outFile->open(QIODevice::ReadOnly)) {
        warn(QStringLiteral("error: can't open the right locations %1: %2")
                 .arg(curModelFile, outFile->errorString()));
    } else {
        std::vector<Box> My;
        std::vector<Box> Need;
        if (readLocations(*inFile, curInFile, My) && readLocations(*outFile, curModelFile, Need))
            text = resultText(countMatches(My, Need));
    }
    inFile->close();
    outFile->close();
    char* temp = new char[text.size() + 1];
    std::memcpy(temp, text.constData(), static_cast<size_t>(text.size()) + 1);
    return temp;
}
