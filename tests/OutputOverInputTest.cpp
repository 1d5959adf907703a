// Every tool that writes files refuses an output that is one of its inputs,
// or lies inside an input directory, before it writes anything.

#include "Programs.h"
#include "ScratchTest.h"
#include "TestImages.h"
#include "TestModels.h"

#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <gtest/gtest.h>

namespace
{

using OutputOverInputTest = ScratchTest;

TEST_F(OutputOverInputTest, RefusesWithExitCode2AndLeavesEveryFileAsItWas)
{
    // "@name" is the file called name among the row's inputs; says names the output.
    const struct {
        const char* program;
        QStringList args;
        const char* says;
    } rows[] = {
        {DETECT_PATH,
         {"--model", "@model.txt", "--out", "@photos/a.png", "@photos/a.png"},
         "--out"},
        {DETECT_PATH, {"--model", "@model.txt", "--out", "@model.txt", "@photos"}, "--out"},
        {DETECT_PATH,
         {"--model", "@model.txt", "--sheet", "@voc/../model.txt", "@photos"},
         "--sheet"},
        {DETECT_PATH, {"--model", "@model.txt", "--draw", "@photos/", "@photos"}, "--draw"},
        // Not there yet, and still among the photographs.
        {DETECT_PATH, {"--model", "@model.txt", "--draw", "@photos/drawn", "@photos"}, "--draw"},
        // A photograph named as a file is drawn under its name, here over itself.
        {DETECT_PATH, {"--model", "@model.txt", "--draw", "/", "@photos/a.png"}, "--draw"},
        {EVALUATE_PATH,
         {"--voc", "@voc", "--detections", "@found.csv", "--curve", "@voc/a.xml"},
         "--curve"},
        {EVALUATE_PATH,
         {"--voc", "@voc", "--photos", "@photos", "--detections", "@found.csv", "--plot",
          "@link/a.png"},
         "--plot"},
        {PREPARE_PATH, {"--photos", "@photos", "--csv", "@boxes.csv", "@photos/out"}, "OUTDIR"},
        {DRAW_BOXES_PATH, {"@strips", "@strips.txt", "@strips/."}, "OUTDIR"},
        {DRAW_BOXES_PATH, {"@strips", "@strips.txt", "@out", "--sheet", "@strips.txt"}, "--sheet"},
    };
    const auto everything = [&] {
        QByteArray all;
        QDirIterator it(dir.path(), QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot,
                        QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString name = QDir(dir.path()).relativeFilePath(it.next());
            all += name.toUtf8() + '\n' + read(name) + '\n';
        }
        return all;
    };
    int number = 0;
    for (const auto& [program, words, says] : rows) {
        // Inputs of its own: a run that overwrites some must not spoil the next row.
        const QString at = QString::number(++number) + '/';
        for (const char* folder : {"photos", "voc", "strips"})
            ASSERT_TRUE(QDir(dir.path()).mkpath(at + folder));
        ASSERT_TRUE(realLookingImage(300, 260, 1).save(path(at + "photos/a.png")));
        ASSERT_TRUE(realLookingImage(80, 200, 2).save(path(at + "strips/0.png")));
        ASSERT_TRUE(QFile::link(path(at + "photos"), path(at + "link")));
        writeModel(path(at + "model.txt"), acceptAllWeights());
        write(at + "boxes.csv", "a.png,10,10,90,210\n");
        write(at + "found.csv", "photo,xmin,ymin,xmax,ymax,score\na.png,10,10,90,210,1\n");
        write(at + "strips.txt", "0 0 0 200 80\n");
        write(at + "voc/a.xml", "<annotation><filename>a.png</filename><object><name>person"
                                "</name><bndbox><xmin>11</xmin><ymin>11</ymin><xmax>90</xmax>"
                                "<ymax>210</ymax></bndbox></object></annotation>\n");
        QStringList args;
        for (const QString& word : words)
            args << (word.startsWith('@') ? path(at + word.mid(1)) : word);
        const std::string command =
            QFileInfo(program).fileName().toStdString() + ' ' + args.join(' ').toStdString();
        const QByteArray before = everything();
        const RunResult run = runProgram(program, args, {}, {"XDG_RUNTIME_DIR="});
        EXPECT_EQ(run.exitCode, 2) << command << '\n' << run.err.toStdString();
        EXPECT_TRUE(run.err.contains(says)) << command << '\n' << run.err.toStdString();
        EXPECT_TRUE(everything() == before) << command;
    }
}

} // namespace
