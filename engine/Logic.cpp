#include "Logic.h"

#include "BandDescriptor.h"
#include "Decision.h"
#include "Evaluation.h"
#include "ImageLoader.h"
#include "ModelFile.h"
#include "NamesFile.h"
#include "Painter.h"
#include "SameFile.h"
#include "Warning.h"
#include "Window.h"

#include <QDir>
#include <QFileInfo>
#include <QRandomGenerator>

#include <cstdio>
#include <cstdlib>
#include <cstring>

Logic::Logic() = default;
Logic::~Logic() = default;

void Logic::getFileNameFromInt(int i)
{
    // Numbers outside 0..999 keep their full decimal form, sign included.
    curFile = std::make_unique<QString>(curCat + QDir::separator() + QString::number(i) +
                                        QStringLiteral(".png"));
}

bool Logic::loadImage()
{
    band.reset();
    curImage = std::make_unique<QImage>();
    QString why;
    if (!::loadImage(*curFile, *curImage, why)) {
        warn(QStringLiteral("error: can't load image %1: %2").arg(*curFile, why));
        return false;
    }
    return true;
}

// --- descriptor --------------------------------------------------------------

// Adds the votes of the window to curHist. The bins of the window's rows are
// worked out once and kept until the image or the rows change.
void Logic::makeHOG(int Ymin, int Xmin, int Ymax, int Xmax)
{
    if (!band || band->top() != Ymin || band->bottom() != Ymax)
        band = std::make_unique<BandDescriptor>(*curImage, Ymin, Ymax);
    band->addWindow(Xmin, Xmax, curHist.get());
}

void Logic::paint(int Ymin, int Xmin, int Ymax, int Xmax)
{
    const ChangedEdges changed = paintBox(*curImage, Ymin, Xmin, Ymax, Xmax);
    if (!band)
        return;
    for (const QRect& r : changed) {
        if (!r.isEmpty())
            band->pixelsChanged(r.top(), r.left(), r.bottom() + 1, r.right() + 1);
    }
}

// --- training ----------------------------------------------------------------

namespace
{

// Whether a training box can be described: non-empty, inside the image and
// no larger than the window. In 64 bits, since the file may hold any int.
QString unusableBoxReason(const Box& box, const QImage& image)
{
    const long long width = static_cast<long long>(box.Xmax) - box.Xmin;
    const long long height = static_cast<long long>(box.Ymax) - box.Ymin;
    if (width <= 0 || height <= 0)
        return QStringLiteral("the box is empty");
    if (box.Xmin < 0 || box.Ymin < 0 || box.Xmax > image.width() || box.Ymax > image.height())
        return QStringLiteral("the box leaves the %1x%2 image")
            .arg(image.width())
            .arg(image.height());
    if (width > kWindowWidth || height > kWindowHeight)
        return QStringLiteral("the box is larger than the 80x200 window");
    return QString();
}

} // namespace

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

    curHist = std::make_unique<int[]>(kHistSize);
    bool loaded = false;
    for (size_t k = 0; k < boxes.size(); ++k) {
        const Box& box = boxes[k];
        const QString where = QStringLiteral("%1:%2").arg(curInFile).arg(lineNumbers[k]);
        // Consecutive lines of one image share its decoding; training never
        // draws into it.
        const QString before = curFile ? *curFile : QString();
        getFileNameFromInt(box.Num);
        if (!loaded || *curFile != before) {
            if (onImage)
                onImage(QStringLiteral("Training on %1").arg(QFileInfo(*curFile).fileName()));
            loaded = loadImage();
            if (!loaded) {
                warn(QStringLiteral("warning: %1: image not loaded, line skipped").arg(where));
                continue;
            }
        }
        const QString reason = unusableBoxReason(box, *curImage);
        if (!reason.isEmpty()) {
            warn(QStringLiteral("warning: %1: %2, line skipped").arg(where, reason));
            continue;
        }
        std::fill_n(curHist.get(), kHistSize, 0);
        makeHOG(box.Ymin, box.Xmin, box.Ymax, box.Xmax);
        trainModel(true);
        // Background windows of the box's rows, clear of the box: they
        // overlap an 80 pixel box by at most 19 columns.
        const long long skipFrom = static_cast<long long>(box.Xmin) - 60;
        const long long skipTo = static_cast<long long>(box.Xmax) - 20;
        for (int m = 0; m < curImage->width() - kWindowWidth; m += 10) {
            if (m >= skipFrom && m <= skipTo)
                continue;
            std::fill_n(curHist.get(), kHistSize, 0);
            makeHOG(box.Ymin, m, box.Ymax, m + kWindowWidth);
            trainModel(false);
        }
    }
    curHist.reset();
    band.reset();
    return makeModel();
}

void Logic::trainModel(bool t)
{
    trainFeatures.emplace_back(curHist.get(), curHist.get() + kHistSize);
    const int intLab = t ? 1 : -1;
    trainLabels.push_back(intLab);
    // Kept in release builds too: a row without its label would train on
    // shifted labels.
    if (trainLabels.size() != trainFeatures.size()) {
        std::fputs("assertion failed: trainLabels.size() == trainFeatures.size()\n", stderr);
        std::abort();
    }
}

namespace
{

// LIBLINEAR's model file is written under a temporary name beside the
// target and renamed into place, so a failed or interrupted save never
// leaves a half-written model under the user's name. The temporary file is
// made as any new file is, 0666 less the umask, and takes the mode of the
// model it replaces: a model shared with others stays shared.
bool saveModelSafely(const QString& path, const model* trained)
{
    const QFileInfo target(path);
    const QString base = target.absolutePath() + QStringLiteral("/.") + target.fileName() + '.';
    const QFileDevice::Permissions newFile =
        QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup |
        QFileDevice::WriteGroup | QFileDevice::ReadOther | QFileDevice::WriteOther;
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
        (!target.exists() || temporary.setPermissions(QFile::permissions(path))) &&
        std::rename(temporaryName.constData(), QFile::encodeName(path).constData()) == 0;
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

    std::vector<double> y(trainLabels.begin(), trainLabels.end());
    std::vector<feature_node> nodes(static_cast<size_t>(l) * (kHistSize + 1));
    std::vector<feature_node*> x(l);
    for (int i = 0; i < l; ++i) {
        feature_node* rowNodes = &nodes[static_cast<size_t>(i) * (kHistSize + 1)];
        for (int j = 0; j < kHistSize; ++j)
            rowNodes[j] = feature_node{j + 1, trainFeatures[i][j]};
        rowNodes[kHistSize] = feature_node{-1, 0.0};
        x[i] = rowNodes;
    }
    problem prob{};
    prob.l = l;
    prob.n = kHistSize;
    prob.y = y.data();
    prob.x = x.data();
    prob.bias = -1;

    parameter param{};
    param.solver_type = L2R_L2LOSS_SVC_DUAL;
    param.eps = 0.0001;
    param.C = 1;
    param.nr_weight = 0;

    // The solver shuffles with rand(): the same seed before every training
    // makes the model file depend on the data alone.
    std::srand(1);
    model* trained = train(&prob, &param);
    const bool saved = saveModelSafely(curModelFile, trained);
    if (!saved)
        std::fputs("can't save model to file \n", stderr);
    free_and_destroy_model(&trained);
    destroy_param(&param);
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

bool Logic::testModel() { return acceptsWindow(*myModel, curHist.get()); }

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
    outFile = std::make_unique<QFile>(curOutFile);
    if (!outFile->open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        warn(QStringLiteral("error: can't open %1 for writing: %2")
                 .arg(curOutFile, outFile->errorString()));
        return false;
    }
    outFile->close();
    return true;
}

bool Logic::useImage(int Num)
{
    if (!loadImage())
        return false;
    // The window spans rows 0 to 199: a lower image has no window at all.
    if (curImage->height() < kWindowHeight) {
        warn(QStringLiteral("warning: %1 is %2 rows high, fewer than the window's 200: not "
                            "searched")
                 .arg(*curFile)
                 .arg(curImage->height()));
        return true;
    }
    outFile = std::make_unique<QFile>(curOutFile);
    if (!outFile->open(QIODevice::WriteOnly | QIODevice::Append)) {
        warn(QStringLiteral("error: can't open %1 for appending: %2")
                 .arg(curOutFile, outFile->errorString()));
        return false;
    }
    curHist = std::make_unique<int[]>(kHistSize);
    for (int X = 0; X < curImage->width() - kWindowWidth; X += 5) {
        std::fill_n(curHist.get(), kHistSize, 0);
        makeHOG(0, X, kWindowHeight, X + kWindowWidth);
        if (!testModel())
            continue;
        const QByteArray line = locationLine(Box{Num, 0, X, kWindowHeight, X + kWindowWidth});
        paint(0, X, kWindowHeight, X + kWindowWidth);
        // Each line reaches the file as soon as it is found.
        if (outFile->write(line) != line.size() || !outFile->flush()) {
            warn(QStringLiteral("error: can't write to %1: %2")
                     .arg(curOutFile, outFile->errorString()));
            outFile->close();
            return false;
        }
    }
    outFile->close();
    return true;
}

bool Logic::getFilesSImg()
{
    curFile = std::make_unique<QString>(curInFile);
    const bool ok = emptyOutput(QStringLiteral("the image")) && useImage(0);
    curHist.reset();
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
    NamesReader names(*inFile, curInFile);
    int Num = 0;
    bool ok = emptyOutput(QStringLiteral("the names file"));
    while (ok && names.next(Num)) {
        getFileNameFromInt(Num);
        if (onImage)
            onImage(QStringLiteral("Searching %1").arg(QFileInfo(*curFile).fileName()));
        ok = useImage(Num);
    }
    ok = ok && !names.failed();
    inFile->close();
    curHist.reset();
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
