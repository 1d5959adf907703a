#include "Logic.h"
#include "Programs.h"
#include "ScratchTest.h"
#include "TestImages.h"
#include "TestModels.h"

#include <QFile>
#include <QProcess>
#include <gtest/gtest.h>

#include <atomic>
#include <csignal>
#include <thread>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace
{

// Everything a directory search shows the user.
struct Seen {
    bool ok = false;
    QByteArray output;
    std::string err;
    QStringList events; // what onImage and onSearchProgress were told, in order
    QImage last;
    // Names fed through a pipe: how many images were written when the
    // writer of the names stopped, and whether it got every name in.
    int imagesWhenTheNamesStopped = -1;
    bool namesWhole = true;
};

// Writes names into the pipe at fifo as the search reads them: the pipe
// holds a small part of them, so the writer waits for the search.
void feedPipe(const QByteArray& fifo, const QByteArray& names, const std::atomic<int>& images,
              Seen& seen)
{
    const int fd = ::open(fifo.constData(), O_WRONLY);
    qsizetype at = 0;
    while (fd >= 0 && at < names.size()) {
        // Fails with EPIPE once the search has closed the names.
        const ssize_t n =
            ::write(fd, names.constData() + at, static_cast<size_t>(names.size() - at));
        if (n <= 0)
            break;
        at += n;
    }
    seen.imagesWhenTheNamesStopped = images;
    seen.namesWhole = at == names.size();
    ::close(fd);
}

class DirectorySearchTest : public ScratchTest
{
protected:
    void SetUp() override
    {
        // A search that stops closes a pipe of names that is still written.
        std::signal(SIGPIPE, SIG_IGN);
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

    // The names come from names.txt, or through the pipe names.fifo.
    Seen search(const QByteArray& names, int threads, bool piped = false)
    {
        Logic logic;
        logic.curCat = dir.path();
        logic.curModelFile = path("model.txt");
        logic.curOutFile = path("out.txt");
        Seen seen;
        std::atomic<int> images{0};
        logic.onImage = [&](const QString& text) { seen.events << text; };
        logic.onSearchProgress = [&](int done) {
            images = done;
            seen.events << QString::number(done);
        };
        EXPECT_TRUE(logic.loadModel());
        std::thread writer;
        if (piped) {
            logic.curInFile = path("names.fifo");
            const QByteArray fifo = QFile::encodeName(logic.curInFile);
            QFile::remove(logic.curInFile);
            EXPECT_EQ(mkfifo(fifo.constData(), 0600), 0);
            writer = std::thread(feedPipe, fifo, names, std::cref(images), std::ref(seen));
        } else {
            logic.curInFile = write("names.txt", names);
        }
        qputenv("OMBRE_THREADS", QByteArray::number(threads));
        testing::internal::CaptureStderr();
        seen.ok = logic.getFilesSDir();
        seen.err = testing::internal::GetCapturedStderr();
        qunsetenv("OMBRE_THREADS");
        if (writer.joinable())
            writer.join();
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
    // Through a pipe: the first image is written before the last name goes
    // in, and a search that stops leaves the rest of the names unread.
    bool piped = false;
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
    const NamesCase& row = GetParam();
    const Seen one = search(row.names, 1, row.piped);
    EXPECT_EQ(one.ok, row.ok) << one.err;
    ASSERT_GT(one.output.count('\n'), 10);
    for (int threads = 1; threads <= 8; ++threads) {
        SCOPED_TRACE(threads);
        const Seen many = threads == 1 ? one : search(row.names, threads, row.piped);
        EXPECT_EQ(many.ok, one.ok);
        EXPECT_EQ(many.output, one.output);
        EXPECT_EQ(many.err, one.err);
        EXPECT_EQ(many.events, one.events);
        EXPECT_EQ(many.last, one.last);
        if (row.piped) {
            EXPECT_GE(many.imagesWhenTheNamesStopped, 1);
            EXPECT_EQ(many.namesWhole, row.ok);
        }
    }
}

// Far more than a pipe and the search's steps ahead hold, a warning each.
const QByteArray kBadLines = (QByteArray(999, 'x') + '\n').repeated(1024);

// Enough names that the images in work wrap around the results kept.
INSTANTIATE_TEST_SUITE_P(
    NamesFiles, SameForAnyThreads,
    testing::Values(
        NamesCase{"WarningsAndBlankLines",
                  "1\n\n 2\nseven\n3\r\n1\n6\n5\n\n3 and more\n2\n5\n1\n3\nlast words\n", true},
        NamesCase{"StopAtAMissingImage", "1\n2\nbad\n5\n3\n1\n4\n5\nbad\n1\n2\n", false},
        NamesCase{"ReadErrorAfterTheImages", "5\n1\n3\n" + QByteArray(1100000, 'x') + "\n2\n",
                  false},
        NamesCase{"ThousandBadLinesThroughAPipe", "1\n" + kBadLines + "5\nbad\n3\n", true, true},
        NamesCase{"MissingImageBeforeThousandBadLinesThroughAPipe", "1\n4\n" + kBadLines + "5\n",
                  false, true}),
    [](const auto& info) { return std::string(info.param.name); });

// Killed as soon as the first image's lines are in, which the warning of
// the line after it tells, while thousands of images are still to come.
TEST_F(DirectorySearchTest, AKilledSearchOnSeveralThreadsKeepsAPrefixOfWholeLines)
{
    const QByteArray first = search("1\n", 1).output;
    const QByteArray pair = search("5\n1\n", 1).output;
    ASSERT_GT(first.count('\n'), 20) << "the model should accept many windows";
    const int repeats = 3000;
    write("names.txt", "1\nnot a number\n" + QByteArray("5\n1\n").repeated(repeats));

    QFile::remove(path("out.txt"));
    QProcess ombrec;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("OMBRE_THREADS", "3");
    ombrec.setProcessEnvironment(env);
    ombrec.setReadChannel(QProcess::StandardError);
    ombrec.start(ombrecPath(), {"d"});
    ASSERT_TRUE(ombrec.waitForStarted());
    ombrec.write(
        (QStringList{dir.path(), path("names.txt"), path("model.txt"), path("out.txt")}.join('\n') +
         '\n')
            .toLocal8Bit());
    ombrec.closeWriteChannel();
    QByteArray err;
    while (!err.contains("names.txt:2: expected an image number") && ombrec.waitForReadyRead(-1))
        err += ombrec.readAllStandardError();
    ASSERT_EQ(ombrec.state(), QProcess::Running) << "the search ended before it could be killed";
    ombrec.kill();
    ombrec.waitForFinished(-1);
    EXPECT_EQ(ombrec.exitStatus(), QProcess::CrashExit);

    const QByteArray kept = read("out.txt");
    EXPECT_GE(kept.size(), first.size());
    EXPECT_TRUE(kept.endsWith('\n')) << "the last line is cut";
    EXPECT_TRUE((first + pair.repeated(repeats)).startsWith(kept))
        << "a line differs from one thread's";
}

} // namespace
