#include "Programs.h"
#include "ScratchTest.h"
#include "TerminalProgress.h"
#include "TestImages.h"
#include "TestModels.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QRegularExpression>
#include <gtest/gtest.h>

#include <optional>
#include <ostream>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <vector>

// Failures show a terminal's lines as text.
void PrintTo(const QString& text, std::ostream* out)
{
    *out << '"' << text.toStdString() << '"';
}

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

TEST_F(ConsoleTest, HelpListsThePromptsOfEachCommandInTheOrderItAsks)
{
    const QString help = QString::fromUtf8(run({"--help"}).out);
    for (const char* command : {"t", "d", "i", "c"}) {
        // Names in a directory that does not exist: every prompt, then a failure.
        const QString none = path("none/x");
        const RunResult r = run({command}, QStringList(4, none).join('\n').toLocal8Bit() + '\n');
        QStringList prompts = QString::fromUtf8(r.out).split('\n');
        prompts = prompts.filter(QRegularExpression("^(Input|Output) "));
        ASSERT_GE(prompts.size(), 2) << command;
        const QRegularExpression listed(
            QStringLiteral("\n  %1  [^\n]*\n       %2\n").arg(command, prompts.join("\n       ")));
        EXPECT_TRUE(help.contains(listed)) << command << "\n" << help.toStdString();
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

// What a terminal shows after text: a carriage return goes back to the start
// of the line, where the text that follows overwrites it. Lines end at their
// last character that is not a blank.
QStringList screen(const QByteArray& text)
{
    QStringList lines{""};
    int column = 0;
    for (const char c : text) {
        if (c == '\r') {
            column = 0;
        } else if (c == '\n') {
            lines << "";
            column = 0;
        } else {
            QString& line = lines.last();
            if (column < line.size())
                line[column] = QLatin1Char(c);
            else
                line += QLatin1Char(c);
            ++column;
        }
    }
    for (QString& line : lines)
        while (line.endsWith(' '))
            line.chop(1);
    return lines;
}

// A terminal with a clock that the test sets.
class FakeTerminal
{
public:
    QByteArray text;
    std::chrono::milliseconds now{0};
    TerminalProgress progress{[this](const QByteArray& t) { text += t; },
                              [this] { return std::chrono::steady_clock::time_point(now); }};
};

TEST(TerminalProgressTest, RedrawsInPlaceAtMostFourTimesASecondAndClearsAtTheEnd)
{
    struct Step {
        int ms;
        int done;
        const char* line;
    };
    // The speed counts from the first image done. A names file read as the
    // search goes tells no total: the line shows the count and speed only.
    const struct {
        std::optional<int> total;
        std::vector<Step> steps;
        int drawings;
    } runs[] = {
        {100000,
         {
             {0, 1, "image 1 of 100000"},
             {200, 2, "image 1 of 100000"},
             {5000, 2, "image 2 of 100000, 0.2 images/s, 138 h 53 min left"},
             {10000, 1001, "image 1001 of 100000, 100.0 images/s, 16 min 30 s left"},
             {10100, 1002, "image 1001 of 100000, 100.0 images/s, 16 min 30 s left"},
             {20000, 99001, "image 99001 of 100000, 4950.0 images/s, 0 s left"},
             {20010, 100000, ""},
         },
         5},
        {std::nullopt,
         {
             {0, 1, "image 1"},
             {200, 2, "image 1"},
             {5000, 2, "image 2, 0.2 images/s"},
             {10000, 1001, "image 1001, 100.0 images/s"},
         },
         3},
    };
    for (const auto& run : runs) {
        FakeTerminal terminal;
        int drawings = 0;
        for (const Step& step : run.steps) {
            terminal.now = std::chrono::milliseconds(step.ms);
            const QByteArray before = terminal.text;
            terminal.progress.update(step.done, run.total);
            drawings += terminal.text != before;
            EXPECT_EQ(screen(terminal.text), QStringList{step.line}) << step.ms << " ms";
        }
        EXPECT_EQ(drawings, run.drawings);
    }
}

TEST(TerminalProgressTest, WarningsAndReportsGoAboveTheLineUngarbled)
{
    FakeTerminal terminal;
    terminal.progress.writeAbove("before any progress\n");
    terminal.progress.update(1, 3);
    terminal.progress.writeAbove("w: 1\n");
    terminal.now = std::chrono::seconds(1);
    terminal.progress.update(2, 3);
    // A report on the same terminal starts on a clear line.
    terminal.progress.clear();
    terminal.text += "Error\n";
    EXPECT_EQ(screen(terminal.text), (QStringList{"before any progress", "w: 1", "Error", ""}));
}

// Every program and tool: help and version on standard output with code 0,
// without doing anything else; a wrong line names --help on standard error.
TEST(ProgramCommandLineTest, AnswersHelpAndVersionAndPointsAWrongLineToThem)
{
    struct Row {
        QString program;
        QStringList args;
        int exitCode;
        const char* out; // a pattern
        const char* err; // a part; nothing at all when empty
    };
    const QString ombrec = ombrecPath();
    const QString ombrew = OMBREW_PATH;
    const QString prepare = PREPARE_PATH;
    const QString genDemo = GEN_DEMO_PATH;
    const QString drawBoxes = DRAW_BOXES_PATH;
    const QString screenshot = SCREENSHOT_PATH;
    const QString train = TRAIN_PATH;
    const QStringList prepareLine = {"--photos", "p", "--csv", "b.csv", "out"};
    const Row rows[] = {
        {ombrec, {"--help"}, 0, "^usage: Ombrec t\\|d\\|i\\|c ", ""},
        {ombrec, {"-h"}, 0, "^usage: Ombrec ", ""},
        {ombrec, {"--version"}, 0, "^Ombrec [0-9]+\\.[0-9]+\n$", ""},
        {ombrec, {"t", "d"}, 2, "^$", "Ombrec --help | --version"},
        // Neither opens a window, which would wait for a user.
        {ombrew, {"--help"}, 0, "^usage: Ombrew", ""},
        {ombrew, {"--version"}, 0, "^Ombrew [0-9]+\\.[0-9]+\n$", ""},
        {prepare, {"--version"}, 0, "^ombre-prepare [0-9]+\\.[0-9]+\n$", ""},
        {prepare, prepareLine + QStringList{"--width", "80"}, 2, "^$",
         "no room for the background"},
        {genDemo, {"--help"}, 0, "^usage: ombre-gen-demo .*\n  --photographs N", ""},
        {genDemo, {"out", "--version"}, 0, "^ombre-gen-demo [0-9]+\\.[0-9]+\n$", ""},
        {drawBoxes, {"--help"}, 0, "^usage: ombre-draw-boxes .*\n  --scale PERCENT", ""},
        {drawBoxes, {"--version"}, 0, "^ombre-draw-boxes [0-9]+\\.[0-9]+\n$", ""},
        {drawBoxes, {"a", "b"}, 2, "^$", "ombre-draw-boxes --help | --version"},
        {screenshot, {"--help"}, 0, "^usage: ombrew-screenshot ", ""},
        {screenshot, {"--version"}, 0, "^ombrew-screenshot [0-9]+\\.[0-9]+\n$", ""},
        {screenshot, {"a"}, 2, "^$", "ombrew-screenshot --help | --version"},
        {train, {"--help"}, 0, "^usage: ombre-train .*\n  --photos DIR", ""},
        {train, {"--version"}, 0, "^ombre-train [0-9]+\\.[0-9]+\n$", ""},
        {train, {"--photos", "p"}, 2, "^$", "ombre-train --help | --version"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(QFileInfo(row.program).fileName().toStdString() + " " +
                     row.args.join(' ').toStdString());
        const RunResult r = runProgram(row.program, row.args, {}, {}, 30000);
        EXPECT_EQ(r.exitCode, row.exitCode);
        EXPECT_TRUE(QString::fromUtf8(r.out).contains(
            QRegularExpression(row.out, QRegularExpression::DotMatchesEverythingOption)))
            << r.out.toStdString();
        if (*row.err)
            EXPECT_TRUE(r.err.contains(row.err)) << r.err.toStdString();
        else
            EXPECT_EQ(r.err, "");
    }
}

// The files the writing programs below read, in the scratch directory.
class WritingTest : public ScratchTest
{
protected:
    void SetUp() override
    {
        write("truth.csv", "a.png,0,0,80,200\n");
        write("found.csv", "photo,xmin,ymin,xmax,ymax,score\na.png,0,0,80,200,1\n");
        ASSERT_TRUE(constantImage(100, 200, qRgb(90, 160, 200)).save(path("image.png")));
        ASSERT_TRUE(QDir(dir.path()).mkdir("images"));
        ASSERT_TRUE(realLookingImage(400, 210, 1).save(path("images/1.png")));
        write("locations.txt", "1 0 100 200 180\n");
        writeModel(path("model.txt"), acceptAllWeights());
    }

    // Runs program; "$D" in args and input stands for the directory, "OUT"
    // for output. Standard output goes to outputFile when one is given.
    RunResult run(const QString& program, QStringList args, QString input,
                  const QString& output = {}, const QString& outputFile = {})
    {
        args.replaceInStrings("$D", dir.path()).replaceInStrings("OUT", output);
        input.replace("$D", dir.path()).replace("OUT", output);
        return runProgram(program, args, input.toLocal8Bit(), {}, 60000, outputFile);
    }

    // A device of the test's own when it may make one: root may, and would
    // replace /dev/full itself if a program did. Else /dev/full; empty when
    // there is none.
    QString device() const
    {
        if (mknod(QFile::encodeName(path("device")).constData(), S_IFCHR | 0600, makedev(1, 7)) ==
            0)
            return path("device");
        return QFileInfo::exists("/dev/full") ? QStringLiteral("/dev/full") : QString();
    }
};

// What is there before and after a run: a device, a pipe, a link...
mode_t kindOf(const QString& path)
{
    struct stat status;
    return lstat(QFile::encodeName(path).constData(), &status) == 0 ? status.st_mode & S_IFMT : 0;
}

// An output that is no regular file is never replaced: a device, a pipe or
// a directory is refused, naming it; a link and /dev/stdout are written
// through.
TEST_F(WritingTest, EveryWriterRefusesOrWritesThroughWhatIsNotARegularFile)
{
    ASSERT_EQ(mkfifo(QFile::encodeName(path("pipe")).constData(), 0600), 0);
    ASSERT_TRUE(QDir(dir.path()).mkdir("directory"));
    ASSERT_TRUE(QFile::link("real", path("link")));
    const struct {
        QString program;
        QStringList args;
        const char* input;
        const char* writes; // a part of what it writes to OUT
    } writers[] = {
        {EVALUATE_PATH,
         {"--truth", "$D/truth.csv", "--detections", "$D/found.csv", "--curve", "OUT"},
         "",
         "rank,photo,"},
        {DETECT_PATH,
         {"--model", "$D/model.txt", "--out", "OUT", "$D/image.png"},
         "",
         "photo,xmin"},
        {ombrecPath(), {"i"}, "$D/image.png\n$D/model.txt\nOUT\n", "0  0  0  200  80\n"},
        {ombrecPath(), {"t"}, "$D/images\n$D/locations.txt\nOUT\n", "solver_type"},
    };
    const struct {
        QString output;     // none to try when empty
        const char* reason; // written through when empty
    } targets[] = {
        {device(), "it is a device"},
        {path("pipe"), "it is a named pipe"},
        {path("directory"), "it is a directory"},
        {path("link"), ""},
        {"/dev/stdout", ""},
    };
    for (const auto& target : targets) {
        if (target.output.isEmpty())
            continue;
        for (const auto& writer : writers) {
            SCOPED_TRACE(QFileInfo(writer.program).fileName().toStdString() + " " +
                         writer.args.join(' ').toStdString() + " to " +
                         target.output.toStdString());
            write("real", "earlier\n");
            const mode_t kind = kindOf(target.output);
            const RunResult r = run(writer.program, writer.args, writer.input, target.output);
            EXPECT_FALSE(r.crashed);
            EXPECT_EQ(kindOf(target.output), kind) << "replaced";
            if (*target.reason) {
                EXPECT_EQ(r.exitCode, 1);
                EXPECT_TRUE(r.err.contains(target.output.toLocal8Bit()) &&
                            r.err.contains(target.reason))
                    << r.err.toStdString();
            } else {
                EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
                const QByteArray written = target.output == path("link") ? read("real") : r.out;
                EXPECT_TRUE(written.contains(writer.writes)) << written.left(300).toStdString();
            }
        }
    }
}

// Standard output on a full disk: what was printed is lost, and the
// program says so.
TEST_F(WritingTest, EveryProgramEndsWithCode1WhenStandardOutputCannotBeWritten)
{
    if (!QFileInfo::exists("/dev/full"))
        GTEST_SKIP() << "no /dev/full here";
    ASSERT_EQ(run(GEN_DEMO_PATH, {"$D/photos", "--photographs", "4"}, "").exitCode, 0);
    const struct {
        QString program;
        QStringList args;
        const char* input;
    } rows[] = {
        {ombrecPath(), {"c"}, "$D/locations.txt\n$D/locations.txt\n"},
        {ombrecPath(), {"--version"}, ""},
        {EVALUATE_PATH, {"--truth", "$D/truth.csv", "--detections", "$D/found.csv"}, ""},
        {DETECT_PATH, {"--model", "$D/model.txt", "--out", "$D/rows.csv", "$D/image.png"}, ""},
        {DRAW_BOXES_PATH, {"$D/images", "$D/locations.txt", "$D/drawn"}, ""},
        {GEN_DEMO_PATH, {"$D/demo", "--train", "1", "--test", "1"}, ""},
        {PREPARE_PATH,
         {"--photos", "$D/photos/photos", "--csv", "$D/photos/boxes.csv", "$D/strips"},
         ""},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(QFileInfo(row.program).fileName().toStdString() + " " +
                     row.args.join(' ').toStdString());
        const RunResult r = run(row.program, row.args, row.input, {}, "/dev/full");
        EXPECT_EQ(r.exitCode, 1);
        EXPECT_TRUE(r.err.contains("can't write standard output: No space left on device"))
            << r.err.toStdString();
    }
}

} // namespace
