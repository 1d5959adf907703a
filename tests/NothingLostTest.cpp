#include "Programs.h"
#include "ScratchTest.h"
#include "TestImages.h"
#include "TestModels.h"

#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QThread>
#include <gtest/gtest.h>

#include <sys/stat.h>

namespace
{

class NothingLostTest : public ScratchTest
{
protected:
    QByteArray searchAnswers(const QString& names) const
    {
        return QStringList{dir.path(), path(names), path("model.txt"), path("out.txt")}
                   .join('\n')
                   .toLocal8Bit() +
               '\n';
    }

    // Every file and directory in the directory, hidden ones too.
    QStringList entries() const
    {
        QStringList names;
        QDirIterator it(dir.path(), QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot,
                        QDirIterator::Subdirectories);
        while (it.hasNext())
            names << QDir(dir.path()).relativeFilePath(it.next());
        names.sort();
        return names;
    }
};

TEST_F(NothingLostTest, AKilledDirectorySearchKeepsEveryWholeLineFoundSoFar)
{
    ASSERT_TRUE(realLookingImage(640, 200, 9).save(path("0.png")));
    writeModel(path("model.txt"), mixedWeights(4, 0.02));
    // An image searched again gives the same lines, so the output of a
    // search that lists it n times is n copies of its lines.
    write("once.txt", "0\n");
    const RunResult once = runProgram(ombrecPath(), {"d"}, searchAnswers("once.txt"));
    ASSERT_EQ(once.exitCode, 0) << once.err.toStdString();
    const QByteArray lines = read("out.txt");
    ASSERT_GT(lines.count('\n'), 20) << "the model should accept many windows";
    const int repeats = 5000;
    write("names.txt", QByteArray("0\n").repeated(repeats));

    QFile::remove(path("out.txt"));
    QProcess search;
    search.start(ombrecPath(), {"d"});
    ASSERT_TRUE(search.waitForStarted());
    search.write(searchAnswers("names.txt"));
    ASSERT_TRUE(search.waitForBytesWritten());
    search.closeWriteChannel();
    // Killed once the file holds one and a half images' lines, while a
    // line of the next may be on its way.
    QElapsedTimer waited;
    waited.start();
    while (QFileInfo(path("out.txt")).size() < lines.size() * 3 / 2 && waited.elapsed() < 60000)
        QThread::msleep(1);
    ASSERT_EQ(search.state(), QProcess::Running) << "the search ended before it could be killed";
    search.kill();
    search.waitForFinished();
    EXPECT_EQ(search.exitStatus(), QProcess::CrashExit);

    const QByteArray kept = read("out.txt");
    EXPECT_GE(kept.size(), lines.size() * 3 / 2);
    EXPECT_TRUE(kept.endsWith('\n')) << "the last line is cut";
    EXPECT_TRUE(lines.repeated(repeats).startsWith(kept)) << "a line differs from a whole run's";
}

struct FailedSave {
    const char* name;
    const char* modelAnswer;
    const char* prepareDirectory; // made before training; may be empty
};

class FailedModelSave : public NothingLostTest, public testing::WithParamInterface<FailedSave>
{
};

TEST_P(FailedModelSave, LeavesNoModelAndNoTemporaryFile)
{
    ASSERT_TRUE(realLookingImage(400, 200, 1).save(path("1.png")));
    write("locations.txt", "1 0 100 200 180\n");
    if (*GetParam().prepareDirectory) {
        ASSERT_TRUE(QDir(dir.path()).mkdir(GetParam().prepareDirectory));
    }
    const QStringList before = entries();

    const QString model = path(GetParam().modelAnswer);
    const RunResult r = runProgram(
        ombrecPath(), {"t"},
        (QStringList{dir.path(), path("locations.txt"), model}.join('\n') + '\n').toLocal8Bit());

    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.out.endsWith("Error\n"));
    EXPECT_TRUE(r.err.contains("can't save model to file \n")) << r.err.toStdString();
    EXPECT_EQ(entries(), before);
}

INSTANTIATE_TEST_SUITE_P(Targets, FailedModelSave,
                         testing::Values(FailedSave{"InAMissingDirectory", "no/such/model.txt", ""},
                                         FailedSave{"ThatIsADirectory", "model", "model"}),
                         [](const auto& info) { return std::string(info.param.name); });

// A model is shared like any file: a new one gets 0666 less the umask, and
// one trained again keeps the mode its owner gave it.
TEST_F(NothingLostTest, ATrainedModelHasTheModeOfAnOrdinaryFile)
{
    ASSERT_TRUE(realLookingImage(400, 200, 1).save(path("1.png")));
    write("locations.txt", "1 0 100 200 180\n");
    const struct {
        mode_t umask;
        int existing; // the mode of the model trained over, or -1 for none
        int expected;
    } rows[] = {{022, -1, 0644}, {027, -1, 0640}, {077, 0644, 0644}, {022, 0600, 0600}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.expected);
        const QByteArray model = QFile::encodeName(path("model.txt"));
        QFile::remove(path("model.txt"));
        if (row.existing >= 0) {
            write("model.txt", "an earlier model\n");
            ASSERT_EQ(chmod(model.constData(), row.existing), 0);
        }
        const mode_t before = umask(row.umask);
        const RunResult r = runProgram(
            ombrecPath(), {"t"},
            (QStringList{dir.path(), path("locations.txt"), path("model.txt")}.join('\n') + '\n')
                .toLocal8Bit());
        umask(before);
        ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
        struct stat st;
        ASSERT_EQ(stat(model.constData(), &st), 0);
        EXPECT_EQ(st.st_mode & 07777, static_cast<mode_t>(row.expected));
    }
}

} // namespace
