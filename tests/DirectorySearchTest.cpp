#include "Logic.h"
#include "Programs.h"
#include "ScratchTest.h"
#include "TestImages.h"
#include "TestModels.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QThread>
#include <gtest/gtest.h>

namespace
{

// Everything a directory search shows the user.
struct Seen {
    bool ok = false;
    QByteArray output;
    std::string err;
    QStringList events; // what onImage and onProgress were told, in order
    QImage last;
};

class DirectorySearchTest : public ScratchTest
{
protected:
    void SetUp() override
    {
        writeModel(path("model.txt"), mixedWeights(4, 0.02));
        // Image 6 is too low for the window; there is no image 4.
        const struct {
            int number, width, height;
        } images[] = {{1, 640, 200}, {2, 300, 210}, {3, 170, 200}, {5, 420, 240}, {6, 300, 199}};
        for (const auto& image : images) {
            ASSERT_TRUE(realLookingImage(image.width, image.height, image.number)
                            .save(path(QString::number(image.number) + ".png")));
        }
    }

    Seen search(const QByteArray& names, int threads)
    {
        write("names.txt", names);
        Logic logic;
        logic.curCat = dir.path();
        logic.curInFile = path("names.txt");
        logic.curModelFile = path("model.txt");
        logic.curOutFile = path("out.txt");
        Seen seen;
        logic.onImage = [&](const QString& text) { seen.events << text; };
        logic.onProgress = [&](int done, int total) {
            seen.events << QString::number(done) + '/' + QString::number(total);
        };
        EXPECT_TRUE(logic.loadModel());
        qputenv("OMBRE_THREADS", QByteArray::number(threads));
        testing::internal::CaptureStderr();
        seen.ok = logic.getFilesSDir();
        seen.err = testing::internal::GetCapturedStderr();
        qunsetenv("OMBRE_THREADS");
        seen.output = read("out.txt");
        if (logic.curImage)
            seen.last = *logic.curImage;
        return seen;
    }
};

struct NamesCase {
    const char* name;
    QByteArray names;
    bool ok;
};

void PrintTo(const NamesCase& row, std::ostream* os)
{
    *os << row.name;
}

class SameForAnyThreads : public DirectorySearchTest, public testing::WithParamInterface<NamesCase>
{
};

TEST_P(SameForAnyThreads, OneToEightThreadsShowWhatOneThreadShows)
{
    const Seen one = search(GetParam().names, 1);
    EXPECT_EQ(one.ok, GetParam().ok) << one.err;
    ASSERT_GT(one.output.count('\n'), 10);
    for (int threads = 2; threads <= 8; ++threads) {
        SCOPED_TRACE(threads);
        const Seen many = search(GetParam().names, threads);
        EXPECT_EQ(many.ok, one.ok);
        EXPECT_EQ(many.output, one.output);
        EXPECT_EQ(many.err, one.err);
        EXPECT_EQ(many.events, one.events);
        EXPECT_EQ(many.last, one.last);
    }
}

// Enough names that the images in work wrap around the results kept.
INSTANTIATE_TEST_SUITE_P(
    NamesFiles, SameForAnyThreads,
    testing::Values(
        NamesCase{"WarningsAndBlankLines",
                  "1\n\n 2\nseven\n3\r\n1\n6\n5\n\n3 and more\n2\n5\n1\n3\nlast words\n", true},
        NamesCase{"StopAtAMissingImage", "1\n2\nbad\n5\n3\n1\n4\n5\nbad\n1\n2\n", false},
        NamesCase{"ReadErrorAfterTheImages", "5\n1\n3\n" + QByteArray(1100000, 'x') + "\n2\n",
                  false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(DirectorySearchTest, AKilledSearchOnSeveralThreadsKeepsAPrefixOfWholeLines)
{
    const auto answers = [this](const QString& names) {
        return (QStringList{dir.path(), path(names), path("model.txt"), path("out.txt")}.join(
                    '\n') +
                '\n')
            .toLocal8Bit();
    };
    write("pair.txt", "1\n5\n");
    ASSERT_EQ(runProgram(ombrecPath(), {"d"}, answers("pair.txt"), {"OMBRE_THREADS=1"}).exitCode,
              0);
    const QByteArray pair = read("out.txt");
    ASSERT_GT(pair.count('\n'), 20) << "the model should accept many windows";
    const int repeats = 3000;
    write("names.txt", QByteArray("1\n5\n").repeated(repeats));

    QFile::remove(path("out.txt"));
    QProcess search;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("OMBRE_THREADS", "3");
    search.setProcessEnvironment(env);
    search.start(ombrecPath(), {"d"});
    ASSERT_TRUE(search.waitForStarted());
    search.write(answers("names.txt"));
    ASSERT_TRUE(search.waitForBytesWritten());
    search.closeWriteChannel();
    QElapsedTimer waited;
    waited.start();
    while (QFileInfo(path("out.txt")).size() < pair.size() * 3 / 2 && waited.elapsed() < 60000)
        QThread::msleep(1);
    ASSERT_EQ(search.state(), QProcess::Running) << "the search ended before it could be killed";
    search.kill();
    search.waitForFinished();

    const QByteArray kept = read("out.txt");
    EXPECT_GE(kept.size(), pair.size() * 3 / 2);
    EXPECT_TRUE(kept.endsWith('\n')) << "the last line is cut";
    EXPECT_TRUE(pair.repeated(repeats).startsWith(kept)) << "a line differs from one thread's";
}

} // namespace
