#include "DemoSet.h"
#include "Programs.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <memory>

namespace
{

// A small demo set and a model trained on it, shared by every test.
class SearchParallelTest : public testing::Test
{
protected:
    static inline std::unique_ptr<QTemporaryDir> data;

    static void SetUpTestSuite()
    {
        data = std::make_unique<QTemporaryDir>();
        DemoSetOptions options;
        options.trainCount = 16;
        options.testCount = 12;
        ASSERT_EQ(writeDemoSet(data->path(), options), "");
        const RunResult r = runProgram(
            ombrecPath(), {"t"},
            (path("train") + "\n" + path("train.txt") + "\n" + path("model.txt") + "\n").toUtf8());
        ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    }

    static void TearDownTestSuite() { data.reset(); }

    static QString path(const QString& name) { return data->filePath(name); }

    QTemporaryDir work;

    QString write(const QString& name, const QByteArray& content)
    {
        QFile file(work.filePath(name));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(content);
        return file.fileName();
    }

    static QByteArray contents(const QString& file)
    {
        QFile f(file);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("(missing)");
    }

    // What one console program writes for the names file.
    QByteArray searchAtOnce(const QString& names, const QString& model = path("model.txt"))
    {
        const QString out = work.filePath("at-once.txt");
        runProgram(ombrecPath(), {"d"},
                   (path("test") + "\n" + names + "\n" + model + "\n" + out + "\n").toUtf8());
        return contents(out);
    }

    RunResult searchInParts(const QString& names, int parts,
                            const QString& model = path("model.txt"))
    {
        return runProgram(QStringLiteral(SEARCH_PARALLEL_PATH),
                          {"-p", ombrecPath(), "-j", QString::number(parts), path("test"), names,
                           model, work.filePath("in-parts.txt")},
                          {});
    }

    QByteArray partsOutput() { return contents(work.filePath("in-parts.txt")); }
};

// Blank and bad lines, a repeat and no final line feed: every line must
// reach exactly one part.
const QByteArray kAwkwardNames = "0\n1\n\n2\nseven\n3\n4 and more\n4\n5\n6\n7\n8\n 9\n10\n11";

class SearchParallelParts : public SearchParallelTest, public testing::WithParamInterface<int>
{
};

TEST_P(SearchParallelParts, WritesTheSameBytesAsOneSearch)
{
    const QString names = write("names.txt", kAwkwardNames);
    const QByteArray expected = searchAtOnce(names);
    ASSERT_FALSE(expected.isEmpty());
    const RunResult r = searchInParts(names, GetParam());
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(partsOutput(), expected);
}

INSTANTIATE_TEST_SUITE_P(OneToMorePartsThanNames, SearchParallelParts,
                         testing::Values(1, 2, 3, 5, 40),
                         [](const auto& info) { return "Parts" + std::to_string(info.param); });

TEST_F(SearchParallelTest, EmptyNamesFileGivesAnEmptyLocationFile)
{
    const RunResult r = searchInParts(write("names.txt", ""), 2);
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(partsOutput(), "");
}

TEST_F(SearchParallelTest, WarningsNameTheUsersNamesFileAndLine)
{
    const QString names = write("names.txt", kAwkwardNames);
    const RunResult r = searchInParts(names, 3);
    EXPECT_TRUE(r.err.contains("warning: " + names.toUtf8() + ":5: expected an image number"))
        << r.err.toStdString();
}

TEST_F(SearchParallelTest, FailingPartNamesItsImageAndKeepsWhatOneSearchWrote)
{
    const QString names = write("names.txt", "0\n1\n2\n3\n4\n5\n50\n6\n7\n8\n9\n10\n");
    const QByteArray expected = searchAtOnce(names);
    const RunResult r = searchInParts(names, 3);
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(
        r.err.contains("part 2 of 3 (lines 5 to 8 of " + names.toUtf8() + ") failed at image "))
        << r.err.toStdString();
    EXPECT_TRUE(r.err.contains("/50.png\n")) << r.err.toStdString();
    EXPECT_EQ(partsOutput(), expected);
}

TEST_F(SearchParallelTest, EveryPartThatFailsIsReported)
{
    const QString names = write("names.txt", "0\n1\n2\n3\n");
    write("in-parts.txt", "an earlier search\n");
    const RunResult r = searchInParts(names, 2, work.filePath("no-model.txt"));
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err.count("error: can't load the model"), 2) << r.err.toStdString();
    EXPECT_TRUE(r.err.contains("part 1 of 2 (lines 1 to 2 of " + names.toUtf8() + ") failed"));
    EXPECT_TRUE(r.err.contains("part 2 of 2 (lines 3 to 4 of " + names.toUtf8() + ") failed"));
    EXPECT_EQ(partsOutput(), "an earlier search\n");
}

TEST_F(SearchParallelTest, AnOutputThatIsTheNamesFileIsRefused)
{
    const QString names = write("names.txt", "0\n1\n");
    const RunResult r = runProgram(QStringLiteral(SEARCH_PARALLEL_PATH),
                                   {"-p", ombrecPath(), path("test"), names, path("model.txt"),
                                    work.filePath("./names.txt")},
                                   {});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.err.contains("is the names file")) << r.err.toStdString();
    EXPECT_EQ(contents(names), "0\n1\n");
}

TEST_F(SearchParallelTest, WrongCommandLinesExitWithUsage)
{
    for (const QStringList& args :
         {QStringList{"a", "b", "c"}, QStringList{"-j", "0", "a", "b", "c", "d"},
          QStringList{"-x", "a", "b", "c", "d"}}) {
        const RunResult r = runProgram(QStringLiteral(SEARCH_PARALLEL_PATH), args, {});
        EXPECT_EQ(r.exitCode, 2) << args.join(' ').toStdString();
        EXPECT_TRUE(r.err.contains("usage: scripts/search-parallel")) << r.err.toStdString();
    }
}

} // namespace
