#include "DetectorFile.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <linear.h>

#include <cstring>
#include <vector>

namespace
{

// A 16x16 hog window: one block, 36 features.
HogSettings smallWindow()
{
    HogSettings hog;
    hog.windowWidth = 16;
    hog.windowHeight = 16;
    return hog;
}

struct TrainedCase {
    const char* what;
    double firstLabel; // LIBLINEAR lists the labels in the order it meets them
    std::optional<double> threshold;
};

class DetectorRoundTrip : public testing::TestWithParam<TrainedCase>
{
};

TEST_P(DetectorRoundTrip, ReadsBackTheHeaderAndTheWeightsTurnedTowardsThePerson)
{
    const int n = hogFeatureCount(smallWindow());
    std::vector<std::vector<feature_node>> rows(6);
    std::vector<feature_node*> x;
    std::vector<double> y;
    for (int r = 0; r < 6; ++r) {
        for (int j = 0; j < n; ++j)
            rows[r].push_back(feature_node{j + 1, double((j * 7 + r * 3) % 5) / 4});
        rows[r].push_back(feature_node{n + 1, 1.0});
        rows[r].push_back(feature_node{-1, 0.0});
        x.push_back(rows[r].data());
        y.push_back(r % 2 == 0 ? GetParam().firstLabel : -GetParam().firstLabel);
    }
    problem prob{};
    prob.l = 6;
    prob.n = n + 1;
    prob.y = y.data();
    prob.x = x.data();
    prob.bias = 1;
    parameter param{};
    param.solver_type = L2R_L2LOSS_SVC_DUAL;
    param.eps = 0.0001;
    param.C = 1;
    model* m = train(&prob, &param);
    ASSERT_NE(m, nullptr);
    // Numbers that printf and Qt could write differently.
    m->w[0] = 1e-5;
    m->w[1] = -0.0;
    m->w[2] = 1e21;
    m->w[3] = 4.9406564584124654e-324;

    Detector written;
    written.hog = smallWindow();
    written.person = PhotoBox{1.0 / 3, 2, 15.5, 16};
    written.threshold = GetParam().threshold;
    const QByteArray text = detectorText(written, *m);

    // Past its header the file holds what save_model writes.
    QTemporaryDir dir;
    const QString saved = dir.filePath("saved.txt");
    ASSERT_EQ(save_model(QFile::encodeName(saved).constData(), m), 0);
    QFile savedFile(saved);
    ASSERT_TRUE(savedFile.open(QIODevice::ReadOnly));
    EXPECT_EQ(text.mid(text.indexOf("model\n") + 6), savedFile.readAll());

    const QString path = dir.filePath("detector.txt");
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(text);
    file.close();
    Detector read;
    QString why;
    ASSERT_TRUE(readDetectorFile(path, read, why)) << why.toStdString();
    EXPECT_EQ(read.hog.windowWidth, 16);
    EXPECT_EQ(read.hog.windowHeight, 16);
    EXPECT_EQ(std::memcmp(&read.person, &written.person, sizeof(PhotoBox)), 0);
    EXPECT_EQ(read.threshold, written.threshold);
    const double sign = m->label[0] == 1 ? 1 : -1;
    ASSERT_EQ(read.weights.size(), std::size_t(n));
    for (int j = 0; j < n; ++j) {
        const float expected = static_cast<float>(sign * m->w[j]);
        EXPECT_EQ(std::memcmp(&read.weights[j], &expected, sizeof(float)), 0) << "weight " << j;
    }
    EXPECT_EQ(read.bias, sign * m->w[n]);
    // Turned towards the person: a row scores 0 or more where LIBLINEAR
    // predicts the person.
    for (const std::vector<feature_node>& row : rows) {
        double score = read.bias;
        for (int j = 0; j < n; ++j)
            score += double(read.weights[j]) * row[j].value;
        EXPECT_EQ(score >= 0, predict(m, row.data()) == 1);
    }
    free_and_destroy_model(&m);
    destroy_param(&param);
}

INSTANTIATE_TEST_SUITE_P(Trained, DetectorRoundTrip,
                         testing::Values(TrainedCase{"PersonLabelFirst", 1, 0.25},
                                         TrainedCase{"PersonLabelSecond", -1, std::nullopt}),
                         [](const testing::TestParamInfo<TrainedCase>& info) {
                             return std::string(info.param.what);
                         });

// A detector of the 16x16 window as ombre-train writes it: a bias term,
// so 37 weights, the first on line 13.
QByteArray goodText()
{
    QByteArray text = "ombre detector 1\ndescriptor hog\nwindow 16 16\nperson 2 2 14 14\n"
                      "threshold 0.25\nmodel\nsolver_type L2R_L2LOSS_SVC_DUAL\nnr_class 2\n"
                      "label 1 -1\nnr_feature 36\nbias 1\nw\n";
    for (int k = 0; k < 37; ++k)
        text += "0.5 \n";
    return text;
}

QByteArray replaced(const QByteArray& before, const QByteArray& after)
{
    return goodText().replace(before, after);
}

struct TextCase {
    const char* what;
    QByteArray text;
    const char* problem; // a part of the reason; empty when accepted
};

class DetectorText : public testing::TestWithParam<TextCase>
{
};

TEST_P(DetectorText, IsReadOrRefusedWithItsReason)
{
    Detector detector;
    QString why;
    const bool read = readDetectorText(GetParam().text, detector, why);
    if (*GetParam().problem == '\0') {
        EXPECT_TRUE(read) << why.toStdString();
    } else {
        EXPECT_FALSE(read);
        EXPECT_TRUE(why.contains(QLatin1String(GetParam().problem))) << why.toStdString();
    }
}

INSTANTIATE_TEST_SUITE_P(
    Texts, DetectorText,
    testing::Values(
        TextCase{"AsWritten", goodText(), ""},
        TextCase{"WithoutThreshold", replaced("threshold 0.25\n", ""), ""},
        TextCase{"WithoutBiasTerm", replaced("bias 1", "bias -1").chopped(5), ""},
        TextCase{"WithCrlfLineEnds", replaced("\n", "\r\n"), ""},
        TextCase{"WithoutAKey", replaced("window 16 16\n", ""),
                 "line 3: no window line before person"},
        TextCase{"WithKeysOutOfOrder",
                 replaced("descriptor hog\nwindow 16 16", "window 16 16\ndescriptor hog"),
                 "line 2: no descriptor line before window"},
        TextCase{"WithAKeyTwice", replaced("threshold 0.25", "threshold 0.25\nperson 2 2 14 14"),
                 "line 6: person given twice"},
        TextCase{"WithBlanksBeforeItsFirstLine", "  " + goodText(), "line 1: not a detector file"},
        TextCase{"OfAnotherVersion", replaced("detector 1", "detector 2"),
                 "line 1: \"ombre detector 2\" is a detector file of another version"},
        TextCase{"WithAnUnknownDescriptor", replaced("hog", "sift"),
                 "line 2: descriptor \"sift\": the only descriptor is hog"},
        TextCase{"WithAWindowOffTheGrid", replaced("window 16 16", "window 20 16"),
                 "line 3: window 20 16: sides must be multiples of 8 from 16 to 512"},
        TextCase{"WithAPersonOutsideTheWindow", replaced("person 2 2 14 14", "person 2 2 16.5 14"),
                 "line 4: person 2 2 16.5 14 is not a box inside the 16x16 window"},
        TextCase{"WithAnEmptyPerson", replaced("person 2 2 14 14", "person 2 14 14 14"),
                 "line 4: person 2 14 14 14 is not a box"},
        TextCase{"WithALocaleThreshold", replaced("threshold 0.25", "threshold 0,25"),
                 "line 5: threshold \"0,25\" is not a finite decimal"},
        TextCase{"WithAnotherFeatureCount", replaced("nr_feature 36", "nr_feature 3780"),
                 "line 10: nr_feature \"3780\", but a hog window of 16x16 has 36 features"},
        TextCase{"WithTwoPersonLabels", replaced("label 1 -1", "label 1 2"),
                 "line 9: the labels 1 and 2"},
        TextCase{"WithoutABiasLine", replaced("bias 1\n", ""), "no bias line"},
        TextCase{"WithANotANumberBias", replaced("bias 1", "bias nan"),
                 "line 11: bias \"nan\" is not a finite number"},
        TextCase{"WithoutBiasTermButItsWeight", replaced("bias 1", "bias -1"),
                 "line 49: more than 36 weights"},
        TextCase{"WithANotANumberWeight", replaced("w\n0.5 ", "w\nnan "),
                 "line 13: weight 1 is \"nan\""},
        TextCase{"WithTextAfterTheWeights", goodText() + "end\n", "more than 37 weights"},
        TextCase{"Truncated", goodText().chopped(5), "ends after 36 of the 37 weights"},
        TextCase{"APlainModelOfOmbrec", goodText().mid(goodText().indexOf("solver_type")),
                 "line 1: not a detector file"}),
    [](const testing::TestParamInfo<TextCase>& info) { return std::string(info.param.what); });

} // namespace
