#include "Evaluation.h"

#include <gtest/gtest.h>

#include <clocale>

namespace
{

struct EvaluationCase {
    const char* name;
    std::vector<Box> found;
    std::vector<Box> right;
    long long TP1, TP;
    const char* text;
};

class Evaluation : public testing::TestWithParam<EvaluationCase>
{
};

TEST_P(Evaluation, CountsAndReportsAsDefined)
{
    const EvaluationCase& c = GetParam();
    const MatchCounts counts = countMatches(c.found, c.right);
    EXPECT_EQ(counts.GT, static_cast<long long>(c.right.size()));
    EXPECT_EQ(counts.DET, static_cast<long long>(c.found.size()));
    EXPECT_EQ(counts.TP1, c.TP1);
    EXPECT_EQ(counts.TP, c.TP);
    EXPECT_EQ(resultText(counts), c.text);
    // The order of the lines changes nothing.
    const std::vector<Box> found(c.found.rbegin(), c.found.rend());
    const std::vector<Box> right(c.right.rbegin(), c.right.rend());
    EXPECT_EQ(resultText(countMatches(found, right)), c.text);
}

const Box R{1, 0, 100, 200, 180};
const Box R1{0, 0, 100, 200, 180};
const Box R2{0, 0, 400, 200, 480};
const Box F1{0, 0, 105, 200, 185};
const Box F2{0, 0, 395, 200, 475};

INSTANTIATE_TEST_SUITE_P(
    Examples, Evaluation,
    testing::Values(EvaluationCase{"LeftEdgeJustInside",
                                   {{1, 0, 60, 200, 140}},
                                   {R},
                                   1,
                                   1,
                                   "Recall = 1.000000, Precision = 1.000000 "},
                    EvaluationCase{"LeftEdgeJustOutside",
                                   {{1, 0, 59, 200, 140}},
                                   {R},
                                   0,
                                   0,
                                   "Recall = 0.000000, Precision = 0.000000 "},
                    EvaluationCase{"RightEdgeJustInside",
                                   {{1, 0, 140, 200, 220}},
                                   {R},
                                   1,
                                   1,
                                   "Recall = 1.000000, Precision = 1.000000 "},
                    EvaluationCase{"RightEdgeJustOutside",
                                   {{1, 0, 141, 200, 221}},
                                   {R},
                                   0,
                                   0,
                                   "Recall = 0.000000, Precision = 0.000000 "},
                    EvaluationCase{"OtherImageNeverMatches",
                                   {{2, 0, 100, 200, 180}},
                                   {R},
                                   0,
                                   0,
                                   "Recall = 0.000000, Precision = 0.000000 "},
                    EvaluationCase{"RowsTakeNoPart",
                                   {{1, 77, 100, -5, 180}},
                                   {R},
                                   1,
                                   1,
                                   "Recall = 1.000000, Precision = 1.000000 "},
                    EvaluationCase{
                        "NoBoxesAtAll", {}, {}, 0, 0, "Recall = 0.000000, Precision = 0.000000 "},
                    EvaluationCase{"OneFoundBoxBetweenTwoRightBoxesFindsBoth",
                                   {{1, 0, 100, 200, 180}},
                                   {{1, 0, 100, 200, 180}, {1, 0, 110, 200, 190}},
                                   2,
                                   1,
                                   "Recall = 1.000000, Precision = 1.000000 "},
                    EvaluationCase{"TwoFoundBoxesOfOnePersonAreBothRight",
                                   {F1, {0, 0, 95, 200, 175}, F2},
                                   {R1},
                                   1,
                                   2,
                                   "Recall = 1.000000, Precision = 0.666667 "},
                    EvaluationCase{"TwoPeopleOfOneImageAreBothFound",
                                   {F1, F2},
                                   {R1, R2},
                                   2,
                                   2,
                                   "Recall = 1.000000, Precision = 1.000000 "},
                    EvaluationCase{"ABoxOfAnotherImageIsAFalseAlarm",
                                   {{5, 0, 0, 200, 80}, F1, F2},
                                   {R1, R2},
                                   2,
                                   2,
                                   "Recall = 1.000000, Precision = 0.666667 "}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(EvaluationTest, MatchesBoxesAtTheIntExtremesWithoutOverflow)
{
    const Box far{1, 0, 2147483647, 0, -2147483647 - 1};
    const MatchCounts counts = countMatches({far}, {far});
    EXPECT_EQ(counts.TP, 1);
}

TEST(EvaluationTest, WritesADecimalPointUnderACommaLocale)
{
    if (!std::setlocale(LC_ALL, "de_DE.UTF-8"))
        GTEST_SKIP() << "no German locale installed";
    const QByteArray text = resultText(countMatches({F1}, {R1, R2}));
    std::setlocale(LC_ALL, "C");
    EXPECT_EQ(text, "Recall = 0.500000, Precision = 1.000000 ");
}

} // namespace
