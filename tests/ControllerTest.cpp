// Built twice: against the console's engine and against the window's.
#include "Controller.h"
#include "FakeView.h"
#include "ScratchTest.h"

#include <QDir>
#include <QFile>
#include <QMetaMethod>
#include <gtest/gtest.h>

#include <memory>

namespace
{

#ifdef OMBRE_WINDOW
constexpr bool kWindow = true;
#else
constexpr bool kWindow = false;
#endif

class ControllerTest : public ScratchTest
{
protected:
    FakeView view;
    char command[1] = {'x'};
    std::unique_ptr<Controller> controller = std::make_unique<Controller>(view, command);
};

TEST_F(ControllerTest, HandsItselfAndTheVeryCommandTextToTheViewOnce)
{
    ASSERT_EQ(view.controllers.size(), 1u);
    EXPECT_EQ(view.controllers[0], controller.get());
    EXPECT_EQ(view.commandTexts[0], command);
}

TEST_F(ControllerTest, ExitCallsTheViewsExitAndNothingElse)
{
    controller->exit();
    EXPECT_EQ(view.exits, 1);
    EXPECT_TRUE(view.prompts.isEmpty());
    EXPECT_TRUE(view.reports.empty());
}

TEST_F(ControllerTest, FilesAsksOnlyTheFlaggedPromptsInFixedOrder)
{
    view.answers = QStringList{"found.txt", "right.txt"};
    controller->files(false, true, true, false);
    EXPECT_EQ(view.prompts.size(), 2);
    const Logic& logic = controller->detector();
    EXPECT_EQ(logic.curInFile, "found.txt");
    EXPECT_EQ(logic.curModelFile, "right.txt");
    EXPECT_TRUE(logic.curCat.isEmpty());
    EXPECT_TRUE(logic.curOutFile.isEmpty());
    if (kWindow) {
        EXPECT_EQ(view.fileWanted, (std::vector<bool>{true, true}));
    }
}

TEST_F(ControllerTest, FilesAsksTheDirectoryFirstAndStoresAnswersUnchanged)
{
    view.answers = QStringList{" dir/ ", "in", "model", "out"};
    controller->files(true, true, true, true);
    const Logic& logic = controller->detector();
    EXPECT_EQ(logic.curCat, " dir/ ");
    EXPECT_EQ(logic.curInFile, "in");
    EXPECT_EQ(logic.curModelFile, "model");
    EXPECT_EQ(logic.curOutFile, "out");
    if (kWindow) {
        EXPECT_EQ(view.fileWanted, (std::vector<bool>{false, true, true, true}));
    }
}

TEST_F(ControllerTest, EvaluationAsksForFoundThenRightLocations)
{
    view.answers = QStringList{write("found.txt", "1 0 60 200 140\n"),
                               write("right.txt", "1 0 100 200 180\n")};
    controller->PRcount();
    EXPECT_EQ(view.prompts, QStringList({"Input the file with found locations",
                                         "Input the file with right locations"}));
    const QString result = "Recall = 1.000000, Precision = 1.000000 ";
    if (kWindow) {
        EXPECT_EQ(view.boxes, QStringList{result});
        EXPECT_EQ(view.reportTexts(), QStringList{result});
    } else {
        EXPECT_TRUE(view.boxes.isEmpty());
        EXPECT_EQ(view.reportTexts(),
                  QStringList({result, "Counting Recall and Precision Completed"}));
    }
    for (const FakeView::Report& r : view.reports)
        EXPECT_FALSE(r.withImage);
}

TEST_F(ControllerTest, EvaluationReportsErrorWhenEitherFileCannotBeOpened)
{
    const QString good = write("right.txt", "1 0 100 200 180\n");
    const QString missing = dir.filePath("missing.txt");
    for (const QStringList& answers : {QStringList{missing, good}, QStringList{good, missing}}) {
        view.reports.clear();
        view.answers = answers;
        testing::internal::CaptureStderr();
        controller->PRcount();
        EXPECT_NE(testing::internal::GetCapturedStderr().find("missing.txt"), std::string::npos);
        ASSERT_FALSE(view.reports.empty());
        EXPECT_EQ(view.reports[0].text, "Error");
    }
}

TEST_F(ControllerTest, EvaluationKeepsThePathsItWasNotAskedFor)
{
    view.answers = QStringList{"cat", "in", "model", "out"};
    controller->files(true, true, true, true);
    view.answers = QStringList{"a", "b"};
    testing::internal::CaptureStderr();
    controller->PRcount();
    testing::internal::GetCapturedStderr();
    EXPECT_EQ(controller->detector().curCat, "cat");
    EXPECT_EQ(controller->detector().curOutFile, "out");
}

TEST(LogicTest, NamesImagesByTheirPlainDecimalNumber)
{
    Logic logic;
    logic.curCat = "imgs";
    const QString sep = QDir::separator();
    for (int i : {0, 9, 10, 99, 100, 305, 999, 1000, -7}) {
        logic.getFileNameFromInt(i);
        EXPECT_EQ(*logic.curFile, "imgs" + sep + QString::number(i) + ".png");
    }
    logic.curCat.clear();
    logic.getFileNameFromInt(7);
    EXPECT_EQ(*logic.curFile, sep + "7.png");
}

TEST(LogicTest, IsAQObjectOnlyInTheWindowProgram)
{
#ifdef OMBRE_WINDOW
    Logic logic;
    EXPECT_STREQ(logic.metaObject()->className(), "Logic");
    EXPECT_EQ(logic.parent(), nullptr);
#else
    EXPECT_FALSE((std::is_base_of_v<QObject, Logic>));
#endif
}

TEST(ControllerMetaTest, ListsItsSixSlotsInOrder)
{
    const QMetaObject& meta = Controller::staticMetaObject;
    EXPECT_STREQ(meta.className(), "Controller");
    QStringList names;
    for (int i = meta.methodOffset(); i < meta.methodCount(); ++i)
        names << QString::fromLatin1(meta.method(i).methodSignature());
    EXPECT_EQ(names, QStringList({"training()", "serIn()", "serDir()", "exit()",
                                  "files(bool,bool,bool,bool)", "PRcount()"}));
}

} // namespace
