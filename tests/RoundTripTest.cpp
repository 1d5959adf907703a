#include "Programs.h"
#include "ScratchTest.h"
#include "TestScenes.h"

#include <QFile>
#include <QRegularExpression>
#include <gtest/gtest.h>

namespace
{

// Train, search and evaluate through the console program, as a user would.
class RoundTripTest : public ScratchTest
{
protected:
    RunResult ombrec(const char* letter, const QStringList& answers)
    {
        return runProgram(ombrecPath(), {letter}, (answers.join('\n') + '\n').toLocal8Bit());
    }
};

TEST_F(RoundTripTest, AModelTrainedOnFiguresFindsThemAgain)
{
    QByteArray locations, right, names;
    for (int n = 0; n < 8; ++n) {
        const int x = 20 + 37 * n;
        ASSERT_TRUE(savePng(sceneWithFigures(400, 210, {x}, n), path(QString("%1.png").arg(n))));
        locations += QByteArray::number(n) + " 0 " + QByteArray::number(x) + " 200 " +
                     QByteArray::number(x + 80) + "\n";
        right += QByteArray::number(n) + " 0 " + QByteArray::number(x) + " 200 " +
                 QByteArray::number(x + 80) + "\n";
        names += QByteArray::number(n) + "\n";
    }
    write("locations.txt", locations);
    write("right.txt", right);
    write("names.txt", names);

    RunResult r = ombrec("t", {dir.path(), path("locations.txt"), path("model.txt")});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_TRUE(r.out.endsWith("Training Completed\n"));

    r = ombrec("d", {dir.path(), path("names.txt"), path("model.txt"), path("found.txt")});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_TRUE(r.out.endsWith("Searching in the directory Completed\n"));

    r = ombrec("c", {path("found.txt"), path("right.txt")});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    const QRegularExpressionMatch m =
        QRegularExpression("Recall = ([0-9.]+), Precision = ([0-9.]+) \n").match(r.out);
    ASSERT_TRUE(m.hasMatch()) << r.out.toStdString();
    EXPECT_GE(m.captured(1).toDouble(), 0.99) << r.out.toStdString();
    EXPECT_GE(m.captured(2).toDouble(), 0.5) << r.out.toStdString();
}

} // namespace
