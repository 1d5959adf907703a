#include "DetectorFile.h"

#include "ModelFile.h"
#include "ModelText.h"

#include <QByteArrayList>

namespace
{

// Far above the 95 kB of a 64x128 window's detector; a larger file (or an
// endless device) is not read to its end.
constexpr qint64 kMaxDetectorBytes = 8 << 20;

constexpr char kFirstLine[] = "ombre detector 1";

// The header's keys in their order; threshold may be left out.
const char* const kKeys[] = {"descriptor", "window", "person", "threshold", "model"};
enum Key { kDescriptor, kWindow, kPerson, kThreshold, kModel };

constexpr int kLeastSide = 16;
constexpr int kMostSide = 512;

// The header's lines, each as its words.
class Lines
{
public:
    explicit Lines(const QByteArray& text) : text(text) {}

    // The next line's words, or false at the end of the text.
    bool next(QByteArrayList& words)
    {
        if (pos >= text.size())
            return false;
        qsizetype end = text.indexOf('\n', pos);
        if (end < 0)
            end = text.size();
        const QByteArray line = text.mid(pos, end - pos).simplified();
        words = line.isEmpty() ? QByteArrayList() : line.split(' ');
        pos = end + 1;
        ++lineNumber;
        return true;
    }

    // Where the text after the last line returned starts.
    qsizetype position() const { return pos; }
    int number() const { return lineNumber; }
    QString where() const { return QStringLiteral("line %1").arg(lineNumber); }

private:
    const QByteArray& text;
    qsizetype pos = 0;
    int lineNumber = 0;
};

int keyIndex(const QByteArray& word)
{
    for (int k = 0; k <= kModel; ++k) {
        if (word == kKeys[k])
            return k;
    }
    return -1;
}

// The values of a line after its key, as a reason shows them.
QString valuesShown(const QByteArrayList& words)
{
    return shownWord(words.mid(1).join(' '));
}

// Takes the values of the header line words, whose key is kKeys[key].
QString valuesProblem(int key, const QByteArrayList& words, const QString& where,
                      Detector& detector)
{
    switch (key) {
    case kDescriptor:
        if (words.size() != 2 || words[1] != "hog")
            return QStringLiteral("%1: descriptor %2: the only descriptor is hog")
                .arg(where, valuesShown(words));
        return QString();
    case kWindow: {
        int& w = detector.hog.windowWidth;
        int& h = detector.hog.windowHeight;
        if (words.size() != 3 || !intWord(words[1], w) || !intWord(words[2], h))
            return QStringLiteral("%1: window %2: give the width and height, two whole numbers")
                .arg(where, valuesShown(words));
        const auto fits = [](int side) {
            return side % kHogCellSize == 0 && side >= kLeastSide && side <= kMostSide;
        };
        if (!fits(w) || !fits(h))
            return QStringLiteral("%1: window %2 %3: sides must be multiples of %4 from %5 to %6")
                .arg(where)
                .arg(w)
                .arg(h)
                .arg(kHogCellSize)
                .arg(kLeastSide)
                .arg(kMostSide);
        return QString();
    }
    case kPerson: {
        PhotoBox& p = detector.person;
        if (words.size() != 5 || !finiteWord(words[1], p.xmin) || !finiteWord(words[2], p.ymin) ||
            !finiteWord(words[3], p.xmax) || !finiteWord(words[4], p.ymax))
            return QStringLiteral("%1: person %2: give XMIN YMIN XMAX YMAX, four decimals")
                .arg(where, valuesShown(words));
        const int w = detector.hog.windowWidth;
        const int h = detector.hog.windowHeight;
        if (!(0 <= p.xmin && p.xmin < p.xmax && p.xmax <= w && 0 <= p.ymin && p.ymin < p.ymax &&
              p.ymax <= h))
            return QStringLiteral("%1: person %2 is not a box inside the %3x%4 window")
                .arg(where, QString::fromLatin1(words.mid(1).join(' ')))
                .arg(w)
                .arg(h);
        return QString();
    }
    case kThreshold: {
        double threshold = 0;
        if (words.size() != 2 || !finiteWord(words[1], threshold))
            return QStringLiteral("%1: threshold %2 is not a finite decimal")
                .arg(where, valuesShown(words));
        detector.threshold = threshold;
        return QString();
    }
    default:
        if (words.size() != 1)
            return QStringLiteral("%1: model %2: the model's text starts on the next line")
                .arg(where, valuesShown(words));
        return QString();
    }
}

// Checks the header of text, whose lines are lines, up to the line "model"
// and takes its values.
QString headerProblem(const QByteArray& text, Lines& lines, Detector& detector)
{
    // The first line exactly, as isDetectorText sees it.
    QByteArrayList words;
    QByteArray first = text.left(text.indexOf('\n'));
    if (first.endsWith('\r'))
        first.chop(1);
    if (!lines.next(words) || first != kFirstLine) {
        if (first.startsWith(kDetectorFirstWords))
            return QStringLiteral("line 1: %1 is a detector file of another version; this one "
                                  "reads \"%2\"")
                .arg(shownWord(first), QLatin1String(kFirstLine));
        return QStringLiteral("line 1: not a detector file: it does not begin with \"%1\"")
            .arg(QLatin1String(kFirstLine));
    }
    int expected = 0;
    for (;;) {
        if (!lines.next(words))
            return QStringLiteral("the file ends before its %1 line")
                .arg(QLatin1String(kKeys[expected]));
        const QByteArray key = words.value(0);
        const int k = keyIndex(key);
        if (k < 0)
            return QStringLiteral("%1: %2 where the %3 line should be")
                .arg(lines.where(),
                     key.isEmpty() ? QStringLiteral("an empty line") : shownWord(key))
                .arg(QLatin1String(kKeys[expected]));
        if (k < expected)
            return QStringLiteral("%1: %2 given twice").arg(lines.where(), QLatin1String(key));
        if (k > expected && !(expected == kThreshold && k == kModel))
            return QStringLiteral("%1: no %2 line before %3")
                .arg(lines.where(), QLatin1String(kKeys[expected]), QLatin1String(key));
        const QString problem = valuesProblem(k, words, lines.where(), detector);
        if (!problem.isEmpty() || k == kModel)
            return problem;
        expected = k + 1;
    }
}

} // namespace

bool isDetectorText(const QByteArray& text)
{
    return text.startsWith(kDetectorFirstWords);
}

bool readDetectorText(const QByteArray& text, Detector& detector, QString& why)
{
    Detector read;
    Lines lines(text);
    why = headerProblem(text, lines, read);
    if (!why.isEmpty())
        return false;
    const int features = hogFeatureCount(read.hog);
    const ModelShape shape{features, true,
                           QStringLiteral("a hog window of %1x%2")
                               .arg(read.hog.windowWidth)
                               .arg(read.hog.windowHeight)};
    ModelValues values;
    why = modelTextProblem(text, lines.position(), lines.number() + 1, shape, values);
    if (!why.isEmpty())
        return false;
    // A window is a person when its score is not negative: the score of
    // the first label.
    const double sign = values.labels[0] >= 0 ? 1.0 : -1.0;
    read.weights.resize(features);
    for (int j = 0; j < features; ++j)
        read.weights[j] = static_cast<float>(sign * values.weights[j]);
    if (values.bias >= 0)
        read.bias = values.bias * sign * values.weights[features];
    detector = std::move(read);
    return true;
}

bool readDetectorFile(const QString& path, Detector& detector, QString& why)
{
    QByteArray text;
    if (!readRegularFile(path, kMaxDetectorBytes, text, why))
        return false;
    if (text.size() > kMaxDetectorBytes) {
        why = QStringLiteral("larger than %1 bytes, far more than a detector file takes")
                  .arg(kMaxDetectorBytes);
        return false;
    }
    return readDetectorText(text, detector, why);
}

QByteArray detectorText(const Detector& detector, const model& m)
{
    const PhotoBox& p = detector.person;
    QByteArray text = QByteArray(kFirstLine) + "\ndescriptor hog\nwindow " +
                      QByteArray::number(detector.hog.windowWidth) + ' ' +
                      QByteArray::number(detector.hog.windowHeight) + "\nperson " + g17(p.xmin) +
                      ' ' + g17(p.ymin) + ' ' + g17(p.xmax) + ' ' + g17(p.ymax) + '\n';
    if (detector.threshold)
        text += "threshold " + g17(*detector.threshold) + '\n';
    text += "model\n" + modelText(m);
    return text;
}
