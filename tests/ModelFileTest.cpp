#include "ModelFile.h"
#include "TestModels.h"
#include "Window.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <linear.h>

#include <memory>
#include <vector>

namespace
{

struct ModelDeleter {
    void operator()(model* m) const { free_and_destroy_model(&m); }
};
using ModelPtr = std::unique_ptr<model, ModelDeleter>;

// The text save_model writes for a two-class model without bias.
QByteArray goodText()
{
    QByteArray text = "solver_type L2R_L2LOSS_SVC_DUAL\nnr_class 2\nlabel 1 -1\nnr_feature 2000\n"
                      "bias -1\nw\n";
    for (int k = 0; k < kHistSize; ++k)
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

class ModelText : public testing::TestWithParam<TextCase>
{
};

TEST_P(ModelText, IsAcceptedOrRefusedWithItsReason)
{
    const QString problem = modelTextProblem(GetParam().text);
    if (*GetParam().problem == '\0')
        EXPECT_EQ(problem, QString());
    else
        EXPECT_TRUE(problem.contains(QLatin1String(GetParam().problem))) << problem.toStdString();
}

std::string caseName(const testing::TestParamInfo<TextCase>& info)
{
    return info.param.what;
}

INSTANTIATE_TEST_SUITE_P(
    Accepted, ModelText,
    testing::Values(
        TextCase{"AsSaveModelWritesIt", goodText(), ""},
        TextCase{"WithCrlfLineEnds", replaced("\n", "\r\n"), ""},
        TextCase{"WithKeysInAnotherOrder",
                 replaced("solver_type L2R_L2LOSS_SVC_DUAL\nnr_class 2\nlabel 1 -1\n"
                          "nr_feature 2000\nbias -1\n",
                          "bias -1\nnr_feature 2000\nnr_class 2\nlabel 1 -1\n"
                          "solver_type L2R_L2LOSS_SVC_DUAL\n"),
                 ""},
        TextCase{"WithLabelsTheOtherWayRound", replaced("label 1 -1", "label -1 1"), ""},
        TextCase{"FromAnotherTwoClassSolver", replaced("L2R_L2LOSS_SVC_DUAL", "L2R_LR"), ""},
        TextCase{"WithSignsAndExponents", replaced("w\n0.5 \n0.5 \n0.5 ", "w\n+0.5 \n-1e-3 \n-0 "),
                 ""},
        TextCase{"WithBlankLinesAtTheEnd", goodText() + "\n\n  \n", ""}),
    caseName);

INSTANTIATE_TEST_SUITE_P(
    Refused, ModelText,
    testing::Values(
        TextCase{"Empty", "", "ends before the weights"},
        TextCase{"Garbage", "\x89PNG\r\n\x1a\n\0\0\0", "unknown word"},
        TextCase{"HeaderOnly", goodText().left(goodText().indexOf("w\n")), "ends before"},
        TextCase{"With1999Features", replaced("nr_feature 2000", "nr_feature 1999"),
                 "nr_feature \"1999\""},
        TextCase{"WithFeaturesBeyondInt", replaced("nr_feature 2000", "nr_feature 4294969296"),
                 "nr_feature"},
        TextCase{"WithThreeClasses", replaced("nr_class 2\nlabel 1 -1", "nr_class 3\nlabel 1 -1 0"),
                 "nr_class \"3\""},
        TextCase{"WithABias", replaced("bias -1", "bias 1"), "bias \"1\""},
        TextCase{"WithANotANumberBias", replaced("bias -1", "bias nan"), "bias"},
        TextCase{"WithoutABiasLine", replaced("bias -1\n", ""), "no bias line"},
        TextCase{"WithoutALabelLine", replaced("label 1 -1\n", ""), "no label line"},
        // load_model would size the labels by a class count it has not read.
        TextCase{"WithLabelsBeforeTheClassCount",
                 replaced("nr_class 2\nlabel 1 -1", "label 1 -1\nnr_class 2"),
                 "label comes before nr_class"},
        TextCase{"WithAKeyTwice", replaced("label 1 -1", "label 1 -1\nlabel 1 -1"),
                 "label given twice"},
        TextCase{"WithTwoObjectLabels", replaced("label 1 -1", "label 1 2"), "labels 1 and 2"},
        TextCase{"WithALabelThatIsNoInt", replaced("label 1 -1", "label 1 x"), "label \"x\""},
        TextCase{"FromTheMultiClassSolver", replaced("L2R_L2LOSS_SVC_DUAL", "MCSVM_CS"),
                 "solver_type \"MCSVM_CS\""},
        TextCase{"FromARegressionSolver", replaced("L2R_L2LOSS_SVC_DUAL", "L2R_L2LOSS_SVR"),
                 "solver_type"},
        TextCase{"WithAnUnknownKey", "rho 0\n" + goodText(), "line 1: unknown word \"rho\""},
        TextCase{"ADetectorFile",
                 "ombre detector 1\ndescriptor hog\nwindow 64 128\nperson 14.48 16 49.52 112\n"
                 "model\n" +
                     goodText(),
                 "a detector file of ombre-train, for ombre-detect"},
        TextCase{"WithANulAfterTheClassCount",
                 replaced("nr_class 2", QByteArray("nr_class 2\0", 11)), "nr_class"},
        TextCase{"WithANotANumberWeight", replaced("w\n0.5 ", "w\nnan "), "weight 1 is \"nan\""},
        TextCase{"WithAnInfiniteWeight", replaced("w\n0.5 \n0.5 ", "w\n0.5 \n-inf "),
                 "line 8: weight 2"},
        TextCase{"WithAWeightBeyondDouble", replaced("w\n0.5 ", "w\n1e400 "), "weight 1"},
        TextCase{"WithAHexWeight", replaced("w\n0.5 ", "w\n0x10 "), "weight 1"},
        TextCase{"WithACommaWeight", replaced("w\n0.5 ", "w\n0,5 "), "weight 1"},
        TextCase{"WithANulInAWeight", replaced("w\n0.5 ", QByteArray("w\n0.5\0 ", 7)), "weight 1"},
        TextCase{"With1999Weights", goodText().chopped(5), "ends after 1999 of the 2000 weights"},
        TextCase{"With2001Weights", goodText() + "0.5 \n", "more than 2000 weights"},
        TextCase{"WithTextAfterTheWeights", goodText() + "end\n", "more than 2000 weights"}),
    caseName);

class ModelFileTest : public testing::Test
{
protected:
    QTemporaryDir dir;

    QString path(const QString& name) const { return dir.filePath(name); }

    ModelPtr load(const QString& file, QString& why) { return ModelPtr(loadModelFile(file, why)); }
};

TEST_F(ModelFileTest, LoadsTheWeightsOfAnAcceptedFile)
{
    const std::vector<double> w = mixedWeights(7);
    writeModel(path("model.txt"), w);
    QString why;
    const ModelPtr m = load(path("model.txt"), why);
    ASSERT_NE(m, nullptr) << why.toStdString();
    EXPECT_EQ(m->nr_feature, kHistSize);
    EXPECT_EQ(m->nr_class, 2);
    EXPECT_LT(m->bias, 0);
    EXPECT_EQ(std::vector<double>(m->w, m->w + kHistSize), w);
}

TEST_F(ModelFileTest, LoadsWhatLiblinearSavesForTheWindow)
{
    // Two rows of the window's shape, trained with the system's parameters.
    std::vector<feature_node> rows[2];
    std::vector<feature_node*> x;
    for (int r = 0; r < 2; ++r) {
        for (int j = 0; j < kHistSize; ++j)
            rows[r].push_back(feature_node{j + 1, double((j + r) % 3)});
        rows[r].push_back(feature_node{-1, 0.0});
        x.push_back(rows[r].data());
    }
    std::vector<double> y{1, -1};
    problem prob{2, kHistSize, y.data(), x.data(), -1};
    parameter param{};
    param.solver_type = L2R_L2LOSS_SVC_DUAL;
    param.eps = 0.0001;
    param.C = 1;
    model* trained = train(&prob, &param);
    ASSERT_EQ(save_model(QFile::encodeName(path("saved.txt")).constData(), trained), 0);
    free_and_destroy_model(&trained);
    destroy_param(&param);

    // The model built from the checked text is the one load_model builds.
    QString why;
    const ModelPtr ours = load(path("saved.txt"), why);
    ASSERT_NE(ours, nullptr) << why.toStdString();
    const ModelPtr theirs(load_model(QFile::encodeName(path("saved.txt")).constData()));
    ASSERT_NE(theirs, nullptr);
    EXPECT_EQ(ours->param.solver_type, theirs->param.solver_type);
    EXPECT_EQ(ours->nr_class, theirs->nr_class);
    EXPECT_EQ(ours->nr_feature, theirs->nr_feature);
    EXPECT_EQ(ours->bias, theirs->bias);
    EXPECT_EQ(std::vector<int>(ours->label, ours->label + 2),
              std::vector<int>(theirs->label, theirs->label + 2));
    EXPECT_EQ(std::vector<double>(ours->w, ours->w + kHistSize),
              std::vector<double>(theirs->w, theirs->w + kHistSize));
}

TEST_F(ModelFileTest, RefusesFilesThatCannotBeReadAsAModel)
{
    QFile big(path("big.txt"));
    ASSERT_TRUE(big.open(QIODevice::WriteOnly));
    big.write(QByteArray((1 << 20) + 1, ' '));
    big.close();
    ASSERT_TRUE(QDir(dir.path()).mkdir("sub"));

    const std::pair<QString, const char*> cases[] = {
        {path("missing.txt"), "No such file"},
        {path("sub"), "directory"},
        {path("big.txt"), "larger than"},
        {"/dev/zero", "not a regular file"}, // never ends
    };
    for (const auto& [file, reason] : cases) {
        QString why;
        EXPECT_EQ(load(file, why), nullptr) << file.toStdString();
        EXPECT_TRUE(why.contains(QLatin1String(reason))) << why.toStdString();
    }
}

} // namespace
