#include "ModelFile.h"

#include "Window.h"

#include <QFile>
#include <QFileInfo>
#include <linear.h>

#include <cmath>

namespace
{

// Far above the 50 kB that save_model writes for 2000 features; a larger
// file (or an endless device) is not read to its end.
constexpr qint64 kMaxModelBytes = 1 << 20;

// The classifiers whose two-class model holds one weight per feature and
// whose prediction is a label. Multi-class SVM keeps two weights per
// feature and the regression solvers predict values, not labels.
const char* const kTwoClassSolvers[] = {
    "L2R_LR", "L2R_L2LOSS_SVC_DUAL", "L2R_L2LOSS_SVC", "L2R_L1LOSS_SVC_DUAL", "L1R_L2LOSS_SVC",
    "L1R_LR", "L2R_LR_DUAL",
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
    explicit Words(const QByteArray& text) : text(text) {}

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
    qsizetype pos = 0;
    int lineNumber = 1;
};

// A word as the reason shows it: short, and only printable ASCII.
QString shown(const QByteArray& word)
{
    QByteArray s = word.left(24);
    for (char& c : s) {
        if (c < 0x20 || c > 0x7e)
            c = '?';
    }
    return QLatin1Char('"') + QString::fromLatin1(s) + (word.size() > 24 ? "...\"" : "\"");
}

// Qt's conversions stop at a NUL byte, where fscanf would read on.
bool toInt(const QByteArray& word, int& value)
{
    if (word.contains('\0'))
        return false;
    bool ok = false;
    value = word.toInt(&ok, 10);
    return ok;
}

bool toFinite(const QByteArray& word, double& value)
{
    if (word.contains('\0'))
        return false;
    bool ok = false;
    value = word.toDouble(&ok);
    return ok && std::isfinite(value);
}

bool isTwoClassSolver(const QByteArray& name)
{
    for (const char* solver : kTwoClassSolvers) {
        if (name == solver)
            return true;
    }
    return false;
}

// Checks the header up to and including "w".
QString headerProblem(Words& words)
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
            return QStringLiteral("%1: unknown word %2").arg(words.where(), shown(key));

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
            if (!isTwoClassSolver(name))
                return QStringLiteral("%1: solver_type %2 is not a two-class LIBLINEAR classifier "
                                      "with one weight per feature")
                    .arg(words.where(), shown(name));
        } else if (key == "nr_class") {
            const QByteArray word = words.next();
            int classes = 0;
            if (!toInt(word, classes) || classes != 2)
                return QStringLiteral("%1: nr_class %2, but the window's model has 2 classes")
                    .arg(words.where(), shown(word));
        } else if (key == "label") {
            // load_model sizes the label array by the nr_class read so far.
            if (!haveClasses)
                return QStringLiteral("%1: label comes before nr_class").arg(words.where());
            int labels[2];
            for (int& label : labels) {
                const QByteArray word = words.next();
                if (!toInt(word, label))
                    return QStringLiteral("%1: label %2 is not an int")
                        .arg(words.where(), shown(word));
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
            if (!toInt(word, features) || features != kHistSize)
                return QStringLiteral("%1: nr_feature %2, but the window has %3 features")
                    .arg(words.where(), shown(word))
                    .arg(kHistSize);
        } else if (key == "bias") {
            const QByteArray word = words.next();
            double bias = 0;
            if (!toFinite(word, bias) || bias >= 0)
                return QStringLiteral("%1: bias %2, but the window's model has no bias term "
                                      "(a negative bias)")
                    .arg(words.where(), shown(word));
        }
    }
}

} // namespace

QString modelTextProblem(const QByteArray& text)
{
    Words words(text);
    const QString header = headerProblem(words);
    if (!header.isEmpty())
        return header;
    for (int k = 1; k <= kHistSize; ++k) {
        const QByteArray word = words.next();
        if (word.isEmpty())
            return QStringLiteral("the file ends after %1 of the %2 weights")
                .arg(k - 1)
                .arg(kHistSize);
        double w = 0;
        if (!toFinite(word, w))
            return QStringLiteral("%1: weight %2 is %3, not a finite number")
                .arg(words.where())
                .arg(k)
                .arg(shown(word));
    }
    if (!words.next().isEmpty())
        return QStringLiteral("%1: more than %2 weights").arg(words.where()).arg(kHistSize);
    return QString();
}

model* loadModelFile(const QString& path, QString& why)
{
    QFile file(path);
    if (QFileInfo(path).isDir()) {
        why = QStringLiteral("it is a directory");
        return nullptr;
    }
    if (!file.open(QIODevice::ReadOnly)) {
        why = file.errorString();
        return nullptr;
    }
    const QByteArray text = file.read(kMaxModelBytes + 1);
    if (file.error() != QFileDevice::NoError) {
        why = file.errorString();
        return nullptr;
    }
    if (text.size() > kMaxModelBytes) {
        why = QStringLiteral("larger than %1 bytes, far more than a model of %2 weights takes")
                  .arg(kMaxModelBytes)
                  .arg(kHistSize);
        return nullptr;
    }
    why = modelTextProblem(text);
    if (!why.isEmpty())
        return nullptr;
    model* loaded = load_model(QFile::encodeName(path).constData());
    if (!loaded)
        why = QStringLiteral("LIBLINEAR could not read it");
    return loaded;
}
