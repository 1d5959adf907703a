#include "Programs.h"
#include "ScratchTest.h"
#include "TestImages.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <gtest/gtest.h>

#include <sys/stat.h>

namespace
{

class NothingLostTest : public ScratchTest
{
protected:
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
