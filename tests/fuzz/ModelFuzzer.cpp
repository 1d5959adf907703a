#include "FuzzCheck.h"
#include "ModelFile.h"
#include "Window.h"

#include <QByteArrayList>
#include <QTemporaryFile>
#include <linear.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace
{

QTemporaryFile modelFile;

// The weights of an accepted text, read apart from the checker: the 2000
// words after "w", converted by the C library as LIBLINEAR converts them.
std::vector<double> weightsOf(const QByteArray& text)
{
    QByteArrayList words = text.simplified().split(' ');
    const qsizetype w = words.indexOf("w");
    FUZZ_CHECK(w >= 0 && words.size() - w - 1 == kHistSize);
    std::vector<double> weights;
    for (qsizetype k = w + 1; k < words.size(); ++k)
        weights.push_back(std::strtod(words[k].constData(), nullptr));
    return weights;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    FUZZ_CHECK(modelFile.open());
    return 0;
}

// Any bytes as a model file: either refused with a reason, or loaded by
// LIBLINEAR into a two-class model of the window's 2000 weights, exactly as
// the text gives them.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray text(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    FUZZ_CHECK(modelFile.resize(0) && modelFile.seek(0));
    FUZZ_CHECK(modelFile.write(text) == text.size() && modelFile.flush());

    QString why;
    model* loaded = loadModelFile(modelFile.fileName(), why);
    if (!loaded) {
        FUZZ_CHECK(!why.isEmpty());
        return 0;
    }
    FUZZ_CHECK(loaded->nr_class == 2 && loaded->nr_feature == kHistSize && loaded->bias < 0);
    FUZZ_CHECK((loaded->label[0] >= 0) != (loaded->label[1] >= 0));
    const std::vector<double> weights = weightsOf(text);
    FUZZ_CHECK(std::memcmp(weights.data(), loaded->w, sizeof(double) * kHistSize) == 0);

    std::vector<feature_node> row;
    for (int j = 1; j <= kHistSize; ++j)
        row.push_back(feature_node{j, 1.0});
    row.push_back(feature_node{-1, 0.0});
    const double label = predict(loaded, row.data());
    FUZZ_CHECK(label == loaded->label[0] || label == loaded->label[1]);
    free_and_destroy_model(&loaded);
    return 0;
}
