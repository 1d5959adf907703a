#include "ModelFile.h"

#include "Window.h"

#include <QFile>
#include <linear.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace
{

// Far above the 50 kB that save_model writes for 2000 features; a larger
// file (or an endless device) is not read to its end.
constexpr qint64 kMaxModelBytes = 1 << 20;

// The classifiers whose two-class model holds one weight per feature and
// whose prediction is a label. Multi-class SVM keeps two weights per
// feature and the regression solvers predict values, not labels.
struct Solver {
    const char* name;
    int type;
};
const Solver kTwoClassSolvers[] = {
    {"L2R_LR", L2R_LR},
    {"L2R_L2LOSS_SVC_DUAL", L2R_L2LOSS_SVC_DUAL},
    {"L2R_L2LOSS_SVC", L2R_L2LOSS_SVC},
    {"L2R_L1LOSS_SVC_DUAL", L2R_L1LOSS_SVC_DUAL},
    {"L1R_L2LOSS_SVC", L1R_L2LOSS_SVC},
    {"L1R_LR", L1R_LR},
    {"L2R_LR_DUAL", L2R_LR_DUAL},
};

// White space as fscanf skips it in the C locale.
bool isSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// The words of the text in the order load_model's fscanf takes them.
class Words
{
public:
    Words(const QByteArray& text, qsizetype from, int line)
        : text(text), pos(from), lineNumber(line)
    {
    }

    // The next word, empty at the end of the text.
    QByteArray next()
    {
        while (pos < text.size() && isSpace(text[pos])) {
            if (text[pos] == '\n')
                ++lineNumber;
            ++pos;
        }
        const qsizetype start = pos;
        while (pos < text.size() && !isSpace(text[pos]))
            ++pos;
        return text.mid(start, pos - start);
    }

    // "line N" of the word last returned.
    QString where() const { return QStringLiteral("line %1").arg(lineNumber); }

private:
    const QByteArray& text;
    qsizetype pos;
    int lineNumber;
};

} // namespace

QString shownWord(const QByteArray& word)
{
    QByteArray s = word.left(24);
    for (char& c : s) {
        if (c < 0x20 || c > 0x7e)
            c = '?';
    }
    return QLatin1Char('"') + QString::fromLatin1(s) + (word.size() > 24 ? "...\"" : "\"");
}

// Qt's conversions stop at a NUL byte, where fscanf would read on.
bool intWord(const QByteArray& word, int& value)
{
    if (word.contains('\0'))
        return false;
    bool ok = false;
    value = word.toInt(&ok, 10);
    return ok;
}

bool finiteWord(const QByteArray& word, double& value)
{
    if (word.contains('\0'))
        return false;
    bool ok = false;
    value = word.toDouble(&ok);
    return ok && std::isfinite(value);
}

namespace
{

// The solver's LIBLINEAR number, or -1 when it is not one of those above.
int twoClassSolver(const QByteArray& name)
{
    for (const Solver& solver : kTwoClassSolvers) {
        if (name == solver.name)
            return solver.type;
    }
    return -1;
}

// Checks the header up to and including "w" and takes its values.
QString headerProblem(Words& words, const ModelShape& shape, ModelValues& values)
{
    bool haveSolver = false, haveClasses = false, haveLabels = false, haveFeatures = false,
         haveBias = false;
    for (;;) {
        const QByteArray key = words.next();
        if (key.isEmpty())
            return QStringLiteral("the file ends before the weights (no line \"w\")");
        bool* seen = nullptr;
        if (key == "solver_type")
            seen = &haveSolver;
        else if (key == "nr_class")
            seen = &haveClasses;
        else if (key == "label")
            seen = &haveLabels;
        else if (key == "nr_feature")
            seen = &haveFeatures;
        else if (key == "bias")
            seen = &haveBias;
        else if (key != "w")
            return QStringLiteral("%1: unknown word %2").arg(words.where(), shownWord(key));

        if (key == "w") {
            // Each of these would be left unset by load_model.
            const std::pair<bool, const char*> needed[] = {{haveSolver, "solver_type"},
                                                           {haveClasses, "nr_class"},
                                                           {haveLabels, "label"},
                                                           {haveFeatures, "nr_feature"},
                                                           {haveBias, "bias"}};
            for (const auto& [have, name] : needed) {
                if (!have)
                    return QStringLiteral("%1: no %2 line before the weights")
                        .arg(words.where(), QLatin1String(name));
            }
            return QString();
        }
        if (*seen)
            return QStringLiteral("%1: %2 given twice")
                .arg(words.where(), QString::fromLatin1(key));
        *seen = true;

        if (key == "solver_type") {
            const QByteArray name = words.next();
            values.solverType = twoClassSolver(name);
            if (values.solverType < 0)
                return QStringLiteral("%1: solver_type %2 is not a two-class LIBLINEAR classifier "
                                      "with one weight per feature")
                    .arg(words.where(), shownWord(name));
        } else if (key == "nr_class") {
            const QByteArray word = words.next();
            int classes = 0;
            if (!intWord(word, classes) || classes != 2)
                return QStringLiteral("%1: nr_class %2, but the window's model has 2 classes")
                    .arg(words.where(), shownWord(word));
        } else if (key == "label") {
            // load_model sizes the label array by the nr_class read so far.
            if (!haveClasses)
                return QStringLiteral("%1: label comes before nr_class").arg(words.where());
            const int* labels = values.labels;
            for (int& label : values.labels) {
                const QByteArray word = words.next();
                if (!intWord(word, label))
                    return QStringLiteral("%1: label %2 is not an int")
                        .arg(words.where(), shownWord(word));
            }
            // The search accepts a window whose predicted label is not negative.
            if ((labels[0] >= 0) == (labels[1] >= 0))
                return QStringLiteral("%1: the labels %2 and %3 are not one object label (0 or "
                                      "more) and one background label (negative)")
                    .arg(words.where())
                    .arg(labels[0])
                    .arg(labels[1]);
        } else if (key == "nr_feature") {
            const QByteArray word = words.next();
            int features = 0;
            if (!intWord(word, features) || features != shape.features)
                return QStringLiteral("%1: nr_feature %2, but %3 has %4 features")
                    .arg(words.where(), shownWord(word), shape.featuresOf)
                    .arg(shape.features);
        } else if (key == "bias") {
            const QByteArray word = words.next();
            double& bias = values.bias;
            if (shape.biasAllowed && !finiteWord(word, bias))
                return QStringLiteral("%1: bias %2 is not a finite number")
                    .arg(words.where(), shownWord(word));
            if (!shape.biasAllowed && (!finiteWord(word, bias) || bias >= 0))
                return QStringLiteral("%1: bias %2, but the window's model has no bias term "
                                      "(a negative bias)")
                    .arg(words.where(), shownWord(word));
        }
    }
}

} // namespace

QString modelTextProblem(const QByteArray& text, qsizetype from, int line, const ModelShape& shape,
                         ModelValues& values)
{
    Words words(text, from, line);
    const QString header = headerProblem(words, shape, values);
    if (!header.isEmpty())
        return header;
    // A bias term of 0 or more has a weight of its own after the features'.
    const int count = shape.features + (values.bias >= 0 ? 1 : 0);
    values.weights.resize(count);
    for (int k = 1; k <= count; ++k) {
        const QByteArray word = words.next();
        if (word.isEmpty())
            return QStringLiteral("the file ends after %1 of the %2 weights").arg(k - 1).arg(count);
        if (!finiteWord(word, values.weights[k - 1]))
            return QStringLiteral("%1: weight %2 is %3, not a finite number")
                .arg(words.where())
                .arg(k)
                .arg(shownWord(word));
    }
    if (!words.next().isEmpty())
        return QStringLiteral("%1: more than %2 weights").arg(words.where()).arg(count);
    return QString();
}

const char* twoClassSolverName(int solverType)
{
    for (const Solver& solver : kTwoClassSolvers) {
        if (solver.type == solverType)
            return solver.name;
    }
    return nullptr;
}

namespace
{

// Checks the whole text of a plain model file of the window and takes its
// values.
QString modelProblem(const QByteArray& text, ModelValues& values)
{
    if (text.startsWith(kDetectorFirstWords))
        return QStringLiteral("a detector file of ombre-train, for ombre-detect; Ombrec and Ombrew "
                              "read the model files that Ombrec trains");
    const ModelShape window{kHistSize, false, QStringLiteral("the window")};
    return modelTextProblem(text, 0, 1, window, values);
}

// The model LIBLINEAR's load_model would build from the text, allocated as
// it allocates, so that free_and_destroy_model releases it.
model* makeModel(const ModelValues& values)
{
    auto* m = static_cast<model*>(std::calloc(1, sizeof(model)));
    auto* label = static_cast<int*>(std::malloc(2 * sizeof(int)));
    auto* w = static_cast<double*>(std::malloc(kHistSize * sizeof(double)));
    if (!m || !label || !w) {
        std::free(m);
        std::free(label);
        std::free(w);
        return nullptr;
    }
    m->param.solver_type = values.solverType;
    m->nr_class = 2;
    m->nr_feature = kHistSize;
    m->bias = values.bias;
    std::copy(values.labels, values.labels + 2, label);
    std::copy(values.weights.begin(), values.weights.end(), w);
    m->label = label;
    m->w = w;
    return m;
}

// Opens path for reading if it is a regular file. A FIFO or a device is
// refused before anything is read from it: a FIFO without a writer would
// block the program for ever.
bool openRegularFile(const QString& path, QFile& file, QString& why)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        why = QString::fromLocal8Bit(std::strerror(errno));
        return false;
    }
    struct stat st;
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        why = S_ISDIR(st.st_mode) ? QStringLiteral("it is a directory")
                                  : QStringLiteral("it is not a regular file");
        ::close(fd);
        return false;
    }
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        why = file.errorString();
        ::close(fd);
        return false;
    }
    return true;
}

} // namespace

bool readRegularFile(const QString& path, qint64 most, QByteArray& text, QString& why)
{
    QFile file;
    if (!openRegularFile(path, file, why))
        return false;
    text = file.read(most + 1);
    if (file.error() != QFileDevice::NoError) {
        why = file.errorString();
        return false;
    }
    return true;
}

QString modelTextProblem(const QByteArray& text)
{
    ModelValues values;
    return modelProblem(text, values);
}

model* loadModelFile(const QString& path, QString& why)
{
    QByteArray text;
    if (!readRegularFile(path, kMaxModelBytes, text, why))
        return nullptr;
    if (text.size() > kMaxModelBytes) {
        why = QStringLiteral("larger than %1 bytes, far more than a model of %2 weights takes")
                  .arg(kMaxModelBytes)
                  .arg(kHistSize);
        return nullptr;
    }
    // The model is built from the very text that was checked.
    ModelValues values;
    why = modelProblem(text, values);
    if (!why.isEmpty())
        return nullptr;
    model* loaded = makeModel(values);
    if (!loaded)
        why = QStringLiteral("not enough memory for the model");
    return loaded;
}
