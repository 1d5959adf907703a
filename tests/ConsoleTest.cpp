#include "Programs.h"
#include "ScratchTest.h"

#include <QFile>
#include <gtest/gtest.h>

namespace
{

class ConsoleTest : public ScratchTest
{
protected:
    RunResult run(const QStringList& args, const QByteArray& input = {},
                  const QStringList& environment = {})
    {
        return runProgram(ombrecPath(), args, input, environment);
    }

    QByteArray evaluationInput()
    {
        return (write("found.txt", "1  0  60  200  140\n") + "\n" +
                write("right.txt", "1 0 100 200 180\n1 0 400 200 480\n") + "\n")
            .toLocal8Bit();
    }
};

const QByteArray kEvaluationOutput = "Input the file with found locations\n"
                                     "Input the file with right locations\n"
                                     "Recall = 0.500000, Precision = 1.000000 \n"
                                     "Counting Recall and Precision Completed\n";

TEST_F(ConsoleTest, EvaluationPromptsThenPrintsResultAndCompletion)
{
    const RunResult r = run({"c"}, evaluationInput());
    EXPECT_EQ(r.out, kEvaluationOutput);
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(r.exitCode, 0);
}

TEST_F(ConsoleTest, OnlyTheFirstLetterOfTheArgumentCounts)
{
    const RunResult r = run({"count"}, evaluationInput());
    EXPECT_EQ(r.out, kEvaluationOutput);
    EXPECT_EQ(r.exitCode, 0);
}

TEST_F(ConsoleTest, WrongCommandLinesPrintUsageOnlyOnStandardError)
{
    for (const QStringList& args : {QStringList{}, QStringList{"c", "c"}, QStringList{"C"},
                                    QStringList{""}, QStringList{"x"}}) {
        const RunResult r = run(args, "a\nb\n");
        EXPECT_EQ(r.exitCode, 2) << args.join(' ').toStdString();
        EXPECT_EQ(r.out, "");
        EXPECT_TRUE(r.err.startsWith("usage: Ombrec")) << r.err.toStdString();
    }
}

TEST_F(ConsoleTest, TwoWordsOnOneLineAnswerTwoPrompts)
{
    QByteArray input = evaluationInput();
    input.replace('\n', ' ');
    const RunResult r = run({"c"}, input);
    EXPECT_EQ(r.out, kEvaluationOutput);
}

TEST_F(ConsoleTest, BlankAnswerLinesAreSkippedWithoutRepeatingThePrompt)
{
    const RunResult r = run({"c"}, "\n\n   \n" + evaluationInput());
    EXPECT_EQ(r.out, kEvaluationOutput);
}

TEST_F(ConsoleTest, EndOfInputStopsWithAMessageAndCode1)
{
    const RunResult r = run({"c"}, write("found.txt", "1 0 0 200 80\n").toLocal8Bit() + "\n");
    EXPECT_FALSE(r.crashed);
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.out, "Input the file with found locations\nInput the file with right locations\n");
    EXPECT_TRUE(r.err.contains("standard input ended")) << r.err.toStdString();
}

TEST_F(ConsoleTest, EmptyInputRunsNoCommandWork)
{
    const RunResult r = run({"t"}, "");
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.out, "Input the directory with training Images\n");
}

TEST_F(ConsoleTest, UnopenableFileReportsErrorThenCompletion)
{
    const RunResult r = run({"c"}, "missing.txt\n" + write("r.txt", "").toLocal8Bit() + "\n");
    EXPECT_EQ(r.out, "Input the file with found locations\n"
                     "Input the file with right locations\n"
                     "Error\n"
                     "Counting Recall and Precision Completed\n");
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.err.contains("missing.txt"));
}

TEST_F(ConsoleTest, PrintsADecimalPointUnderACommaLocale)
{
    const RunResult r = run({"c"}, evaluationInput(), {"LC_ALL=de_DE.UTF-8", "LANG=de_DE.UTF-8"});
    EXPECT_EQ(r.out, kEvaluationOutput);
}

} // namespace
