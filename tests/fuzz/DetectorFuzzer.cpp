#include "DetectorFile.h"
#include "FuzzCheck.h"

#include <QByteArrayList>
#include <QTemporaryFile>
#include <linear.h>

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>

namespace
{

QTemporaryFile modelFile;

// The text after the header's line "model", found apart from the reader.
QByteArray modelPart(const QByteArray& text)
{
    qsizetype pos = 0;
    while (pos < text.size()) {
        qsizetype end = text.indexOf('\n', pos);
        if (end < 0)
            end = text.size();
        if (text.mid(pos, end - pos).simplified() == "model")
            return text.mid(end + 1);
        pos = end + 1;
    }
    FUZZ_CHECK(false);
    return QByteArray();
}

bool sameDetector(const Detector& a, const Detector& b)
{
    return a.hog.windowWidth == b.hog.windowWidth && a.hog.windowHeight == b.hog.windowHeight &&
           std::memcmp(&a.person, &b.person, sizeof(PhotoBox)) == 0 &&
           a.threshold.has_value() == b.threshold.has_value() &&
           (!a.threshold || std::memcmp(&*a.threshold, &*b.threshold, sizeof(double)) == 0) &&
           a.weights.size() == b.weights.size() &&
           std::memcmp(a.weights.data(), b.weights.data(), a.weights.size() * sizeof(float)) == 0 &&
           std::memcmp(&a.bias, &b.bias, sizeof(double)) == 0;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    FUZZ_CHECK(modelFile.open());
    return 0;
}

// Any bytes as a detector file: either refused with a reason, or a detector
// whose window, person and weights are in range, and which LIBLINEAR reads
// the same model from, and which written again reads back the same.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray text(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    Detector detector;
    QString why;
    if (!readDetectorText(text, detector, why)) {
        FUZZ_CHECK(!why.isEmpty());
        return 0;
    }
    FUZZ_CHECK(isDetectorText(text));
    const HogSettings& hog = detector.hog;
    FUZZ_CHECK(hog.windowWidth % 8 == 0 && hog.windowWidth >= 16 && hog.windowWidth <= 1024);
    FUZZ_CHECK(hog.windowHeight % 8 == 0 && hog.windowHeight >= 16 && hog.windowHeight <= 1024);
    const PhotoBox& p = detector.person;
    FUZZ_CHECK(0 <= p.xmin && p.xmin < p.xmax && p.xmax <= hog.windowWidth);
    FUZZ_CHECK(0 <= p.ymin && p.ymin < p.ymax && p.ymax <= hog.windowHeight);
    const int n = hogFeatureCount(hog);
    FUZZ_CHECK(detector.weights.size() == std::size_t(n) && std::isfinite(detector.bias));

    // The checked model part is one that LIBLINEAR reads completely.
    const QByteArray part = modelPart(text);
    FUZZ_CHECK(modelFile.resize(0) && modelFile.seek(0));
    FUZZ_CHECK(modelFile.write(part) == part.size() && modelFile.flush());
    model* loaded = load_model(QFile::encodeName(modelFile.fileName()).constData());
    FUZZ_CHECK(loaded && loaded->nr_class == 2 && loaded->nr_feature == n);
    const double sign = loaded->label[0] >= 0 ? 1.0 : -1.0;
    for (int j = 0; j < n; ++j)
        FUZZ_CHECK(detector.weights[j] == static_cast<float>(sign * loaded->w[j]));

    Detector again;
    FUZZ_CHECK(readDetectorText(detectorText(detector, *loaded), again, why));
    FUZZ_CHECK(sameDetector(detector, again));
    free_and_destroy_model(&loaded);
    return 0;
}
