#include "PngBytes.h"
#include "Programs.h"
#include "TestImages.h"
#include "TestModels.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QImageReader>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <map>
#include <set>
#include <sys/stat.h>
#include <unistd.h>

// Every bad input gets a defined answer from the console program: a report,
// an exit code, the reason on standard error, and no file it should not
// leave. Each row names its input; "$D" in a text stands for the directory
// the row works in.

namespace
{

using Prepare = std::function<void(const QDir&)>;

struct Outcome {
    QByteArray report; // how standard output ends
    int exitCode;
    const char* reason;  // a part of standard error; empty: nothing there
    QStringList created; // the files the run adds
    QByteArray output;   // what out.txt then holds, if the row looks at it
};

struct BadInput {
    const char* name;
    char command;
    QStringList answers;
    Prepare prepare;
    Outcome outcome;
    bool chmodProtects = false; // meaningless for root, who writes anyway
};

void write(const QDir& dir, const QString& name, const QByteArray& bytes)
{
    QFile file(dir.filePath(name));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << name.toStdString();
    file.write(bytes);
}

// Saves image under name and makes sure the file is stored in the pixel
// format the row is about.
void save(const QDir& dir, const QString& name, const QImage& image, QImage::Format stored)
{
    ASSERT_TRUE(image.save(dir.filePath(name)));
    ASSERT_EQ(QImageReader(dir.filePath(name)).imageFormat(), stored) << name.toStdString();
}

void rgb(const QDir& dir, const QString& name, int w, int h)
{
    save(dir, name, constantImage(w, h, qRgb(90, 160, 200)), QImage::Format_RGB32);
}

QByteArray pngBytes(int w, int h)
{
    QTemporaryDir tmp;
    rgb(QDir(tmp.path()), "a.png", w, h);
    QFile file(tmp.filePath("a.png"));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QByteArray garbage(int size)
{
    QByteArray bytes(size, '\0');
    unsigned state = 12345;
    for (char& b : bytes) {
        state = state * 1103515245u + 12345u;
        b = static_cast<char>(state >> 24);
    }
    return bytes;
}

// The lines of a search that accepts every window of an image this wide.
QByteArray windows(int width, int Num = 0)
{
    QByteArray lines;
    for (int X = 0; X < width - 80; X += 5)
        lines += QByteArray::number(Num) + "  0  " + QByteArray::number(X) + "  200  " +
                 QByteArray::number(X + 80) + '\n';
    return lines;
}

// Every command's row starts from the same files.
void common(char command, const QDir& dir)
{
    switch (command) {
    case 'i':
        writeModel(dir.filePath("model.txt"), acceptAllWeights());
        break;
    case 'd':
        writeModel(dir.filePath("model.txt"), acceptAllWeights());
        rgb(dir, "1.png", 100, 200);
        rgb(dir, "1234.png", 85, 200);
        break;
    case 't':
        save(dir, "1.png", realLookingImage(400, 210, 1), QImage::Format_RGB32);
        break;
    }
}

const char* const kGoodBox = "1 0 100 200 180\n";

const QStringList kImageAnswers{"$D/image.png", "$D/model.txt", "$D/out.txt"};
const QStringList kDirectoryAnswers{"$D", "$D/names.txt", "$D/model.txt", "$D/out.txt"};
const QStringList kTrainingAnswers{"$D", "$D/locations.txt", "$D/model.txt"};
const QStringList kCountAnswers{"$D/found.txt", "$D/right.txt"};

BadInput image(const char* name, Prepare prepare, Outcome outcome)
{
    return {name, 'i', kImageAnswers, std::move(prepare), std::move(outcome)};
}

BadInput names(const char* name, const QByteArray& text, Outcome outcome)
{
    return {name, 'd', kDirectoryAnswers,
            [text](const QDir& dir) { write(dir, "names.txt", text); }, std::move(outcome)};
}

// The output of an earlier search survives a model that cannot be loaded.
BadInput model(const char* name, Prepare writeModelFile, const char* reason)
{
    return image(name,
                 [writeModelFile](const QDir& dir) {
                     rgb(dir, "image.png", 100, 200);
                     write(dir, "out.txt", "earlier lines\n");
                     writeModelFile(dir);
                 },
                 {"can't load model from file\n", 1, reason, {}, "earlier lines\n"});
}

// A usable line, then the line of the row, which is skipped with a warning.
BadInput box(const char* name, const QByteArray& line, const char* reason)
{
    return {name,
            't',
            kTrainingAnswers,
            [line](const QDir& dir) { write(dir, "locations.txt", kGoodBox + line); },
            {"Training Completed\n", 0, reason, {"model.txt"}, {}}};
}

const Outcome kImageDone{"Searching in the Image Completed\n", 0, "", {"out.txt"}, ""};

Outcome imageDone(const QByteArray& output, const char* reason = "")
{
    return {"Searching in the Image Completed\n", 0, reason, {"out.txt"}, output};
}

Outcome imageError(const char* reason)
{
    return {"Error\n", 1, reason, {"out.txt"}, ""};
}

Outcome directoryDone(const QByteArray& output, const char* reason = "")
{
    return {"Searching in the directory Completed\n", 0, reason, {"out.txt"}, output};
}

const std::vector<BadInput> kImageSearch{
    image("MissingImage", {}, imageError("can't load image $D/image.png")),
    image(
        "DirectoryAsImage", [](const QDir& dir) { dir.mkdir("image.png"); },
        imageError("can't load image $D/image.png")),
    image(
        "ZeroBytePng", [](const QDir& dir) { write(dir, "image.png", ""); },
        imageError("can't load image $D/image.png")),
    image(
        "BinaryGarbage", [](const QDir& dir) { write(dir, "image.png", garbage(5000)); },
        imageError("can't load image $D/image.png")),
    image(
        "TruncatedPng",
        [](const QDir& dir) {
            const QByteArray png = pngBytes(300, 200);
            write(dir, "image.png", png.left(png.size() / 2));
        },
        imageError("can't load image $D/image.png")),
    image(
        "HeaderClaimingTenGigapixels",
        [](const QDir& dir) { write(dir, "image.png", pngClaimingSize(100000, 100000)); },
        imageError("the image is 100000x100000 pixels, more than the image library may "
                   "allocate")),
    image(
        "Image1x1", [](const QDir& dir) { rgb(dir, "image.png", 1, 1); },
        imageDone("", "1 rows high, fewer than the window's 200: not searched")),
    image(
        "Image80x200", [](const QDir& dir) { rgb(dir, "image.png", 80, 200); }, kImageDone),
    image(
        "Image81x199", [](const QDir& dir) { rgb(dir, "image.png", 81, 199); },
        imageDone("", "199 rows high")),
    image(
        "Image81x200", [](const QDir& dir) { rgb(dir, "image.png", 81, 200); },
        imageDone("0  0  0  200  80\n")),
    image(
        "Image20000x200", [](const QDir& dir) { rgb(dir, "image.png", 20000, 200); },
        imageDone(windows(20000))),
    image(
        "Image200x20000", [](const QDir& dir) { rgb(dir, "image.png", 200, 20000); },
        imageDone(windows(200))),
    image(
        "PalettePng",
        [](const QDir& dir) {
            save(dir, "image.png",
                 realLookingImage(120, 200, 2).convertToFormat(QImage::Format_Indexed8),
                 QImage::Format_Indexed8);
        },
        imageDone(windows(120))),
    image(
        "GreyPng",
        [](const QDir& dir) {
            save(dir, "image.png",
                 realLookingImage(120, 200, 3).convertToFormat(QImage::Format_Grayscale8),
                 QImage::Format_Grayscale8);
        },
        imageDone(windows(120))),
    image(
        "SixteenBitPng",
        [](const QDir& dir) {
            save(dir, "image.png",
                 realLookingImage(120, 200, 4).convertToFormat(QImage::Format_RGBX64),
                 QImage::Format_RGBX64);
        },
        imageDone(windows(120))),
    image(
        "AlphaPng",
        [](const QDir& dir) {
            QImage picture = realLookingImage(120, 200, 5).convertToFormat(QImage::Format_ARGB32);
            picture.setPixel(3, 3, qRgba(10, 20, 30, 40));
            save(dir, "image.png", picture, QImage::Format_ARGB32);
        },
        imageDone(windows(120))),
    {"Jpeg",
     'i',
     {"$D/photo.jpg", "$D/model.txt", "$D/out.txt"},
     [](const QDir& dir) {
         ASSERT_TRUE(realLookingImage(120, 200, 6).save(dir.filePath("photo.jpg")));
     },
     imageDone(windows(120))},
    {"OutputInAMissingDirectory",
     'i',
     {"$D/image.png", "$D/model.txt", "$D/no/such/out.txt"},
     [](const QDir& dir) { rgb(dir, "image.png", 100, 200); },
     {"Error\n", 1, "can't open $D/no/such/out.txt for writing", {}, {}}},
    // Not writable even by root.
    {"DirectoryAsOutput",
     'i',
     {"$D/image.png", "$D/model.txt", "$D/out"},
     [](const QDir& dir) {
         rgb(dir, "image.png", 100, 200);
         dir.mkdir("out");
     },
     {"Error\n", 1, "can't open $D/out for writing", {}, {}}},
    {"ReadOnlyOutput",
     'i',
     kImageAnswers,
     [](const QDir& dir) {
         rgb(dir, "image.png", 100, 200);
         write(dir, "out.txt", "earlier lines\n");
         QFile::setPermissions(dir.filePath("out.txt"), QFile::ReadOwner);
     },
     {"Error\n", 1, "can't open $D/out.txt for writing", {}, "earlier lines\n"},
     true},
    // An output that is an input of the command, however spelled, is refused.
    {"ModelGivenAgainAsOutput",
     'i',
     {"$D/image.png", "$D/model.txt", "$D//model.txt"},
     [](const QDir& dir) { rgb(dir, "image.png", 100, 200); },
     {"Error\n", 1, "the output $D//model.txt is the model $D/model.txt", {}, {}}},
    image(
        "ImageLinkedAsOutput",
        [](const QDir& dir) {
            rgb(dir, "image.png", 100, 200);
            QFile::link(dir.filePath("image.png"), dir.filePath("out.txt"));
        },
        {"Error\n", 1, "the output $D/out.txt is the image $D/image.png", {}, {}}),
    model(
        "ModelIsAFifo",
        [](const QDir& dir) {
            QFile::remove(dir.filePath("model.txt"));
            ASSERT_EQ(mkfifo(QFile::encodeName(dir.filePath("model.txt")).constData(), 0600), 0);
        },
        "can't load the model $D/model.txt: it is not a regular file"),
    model(
        "MissingModel", [](const QDir& dir) { QFile::remove(dir.filePath("model.txt")); },
        "can't load the model $D/model.txt: No such file"),
    model(
        "EmptyModel", [](const QDir& dir) { write(dir, "model.txt", ""); },
        "ends before the weights"),
    model(
        "GarbageModel", [](const QDir& dir) { write(dir, "model.txt", garbage(3000)); },
        "can't load the model $D/model.txt: line 1: unknown word"),
    model(
        "ModelWith1999Features",
        [](const QDir& dir) {
            writeModel(dir.filePath("model.txt"), std::vector<double>(1999, 1.0));
        },
        "nr_feature \"1999\""),
    model(
        "ModelWithThreeClasses",
        [](const QDir& dir) {
            writeModel(dir.filePath("model.txt"), std::vector<double>(2000, 1.0), -1, 3);
        },
        "nr_class \"3\""),
    model(
        "ModelWithABias",
        [](const QDir& dir) {
            writeModel(dir.filePath("model.txt"), std::vector<double>(2001, 1.0), 1);
        },
        "bias \"1\""),
};

const std::vector<BadInput> kDirectorySearch{
    {"MissingNamesFile",
     'd',
     kDirectoryAnswers,
     {},
     {"Error\n", 1, "can't open the names file $D/names.txt", {}, {}}},
    {"DirectoryAsNamesFile",
     'd',
     kDirectoryAnswers,
     [](const QDir& dir) { dir.mkdir("names.txt"); },
     {"Error\n", 1, "can't open the names file $D/names.txt", {}, {}}},
    {"NamesFileHardLinkedAsOutput",
     'd',
     kDirectoryAnswers,
     [](const QDir& dir) {
         write(dir, "names.txt", "1\n");
         ASSERT_EQ(link(QFile::encodeName(dir.filePath("names.txt")).constData(),
                        QFile::encodeName(dir.filePath("out.txt")).constData()),
                   0);
     },
     {"Error\n", 1, "the output $D/out.txt is the names file $D/names.txt", {}, {}}},
    {"UnwritableOutputAndEmptyNamesFile",
     'd',
     {"$D", "$D/names.txt", "$D/model.txt", "$D/no/such/out.txt"},
     [](const QDir& dir) { write(dir, "names.txt", ""); },
     {"Error\n", 1, "can't open $D/no/such/out.txt for writing", {}, {}}},
    {"NamesFileWithAReadError",
     'd',
     {"$D", "/proc/self/mem", "$D/model.txt", "$D/out.txt"},
     {},
     {"Error\n", 1, "can't read /proc/self/mem after line 0: Input/output error", {"out.txt"}, ""}},
    names("EmptyNamesFile", "", directoryDone("")),
    names("GarbageNamesFile", "\x01\x02x\n\xff\xfe\n", directoryDone("", "names.txt:2: expected")),
    names("NegativeNumber", "1\n-5\n1234\n",
          {"Error\n", 1, "can't load image $D/-5.png", {"out.txt"}, windows(100, 1)}),
    names("NumberAbove999", "1234\n", directoryDone(windows(85, 1234))),
    names("NumberBeyondInt", "99999999999\n1\n",
          directoryDone(windows(100, 1), "names.txt:1: expected an image number")),
    names("CrlfLines", "1\r\n1234\r\n", directoryDone(windows(100, 1) + windows(85, 1234))),
    names("VeryLongLines",
          "1" + QByteArray(100000, ' ') + "tail\n" + QByteArray(100000, '9') + "\n",
          directoryDone(windows(100, 1), "names.txt:2: expected an image number")),
    names("NulBytes", QByteArray("1\0tail\n\0 1234\n", 14),
          directoryDone(windows(100, 1), "names.txt:2: expected an image number")),
};

const std::vector<BadInput> kTraining{
    {"MissingLocationFile",
     't',
     kTrainingAnswers,
     {},
     {"Error\n", 1, "can't open the location file $D/locations.txt", {}, {}}},
    {"DirectoryAsLocationFile",
     't',
     kTrainingAnswers,
     [](const QDir& dir) { dir.mkdir("locations.txt"); },
     {"Error\n", 1, "can't open the location file $D/locations.txt", {}, {}}},
    {"LocationFileWithAReadError",
     't',
     {"$D", "/proc/self/mem", "$D/model.txt"},
     {},
     {"Error\n", 1, "can't read /proc/self/mem after line 0", {}, {}}},
    {"EmptyLocationFile",
     't',
     kTrainingAnswers,
     [](const QDir& dir) { write(dir, "locations.txt", ""); },
     {"Error\n", 1, "got 0 object and 0 background windows", {}, {}}},
    {"GarbageLocationFile",
     't',
     kTrainingAnswers,
     [](const QDir& dir) { write(dir, "locations.txt", garbage(3000)); },
     {"Error\n", 1, "locations.txt:1: expected five integers", {}, {}}},
    box("BoxOutsideTheImage", "1 0 350 200 430\n",
        "locations.txt:2: the box leaves the 400x210 image, line skipped"),
    box("BoxWiderThan80", "1 0 100 200 181\n",
        "locations.txt:2: the box is larger than the 80x200 window"),
    box("BoxHigherThan200", "1 0 100 201 180\n",
        "locations.txt:2: the box is larger than the 80x200 window"),
    box("EmptyBox", "1 0 100 200 100\n", "locations.txt:2: the box is empty"),
    box("BoxWithIntExtremes", "1 -2147483648 -2147483648 2147483647 2147483647\n",
        "locations.txt:2: the box leaves the 400x210 image"),
    box("ImageNumberIntMax", "2147483647 0 0 200 80\n", "can't load image $D/2147483647.png"),
    box("NumberBeyondInt", "1 0 0 200 2147483648\n", "locations.txt:2: expected five integers"),
};

const std::vector<BadInput> kCounting{
    {"MissingFoundFile",
     'c',
     kCountAnswers,
     [](const QDir& dir) { write(dir, "right.txt", kGoodBox); },
     {"Error\nCounting Recall and Precision Completed\n",
      1,
      "can't open the found locations",
      {},
      {}}},
    {"EndlessDeviceAsFoundFile",
     'c',
     {"/dev/zero", "$D/right.txt"},
     [](const QDir& dir) { write(dir, "right.txt", kGoodBox); },
     {"Error\nCounting Recall and Precision Completed\n",
      1,
      "/dev/zero:1: the line is longer than 1048576 bytes",
      {},
      {}}},
    {"BoxesWithIntExtremes",
     'c',
     kCountAnswers,
     [](const QDir& dir) {
         write(dir, "found.txt", "1 0 -2147483648 200 2147483647\n");
         write(dir, "right.txt", "1 0 2147483647 200 -2147483648\n");
     },
     {"Recall = 0.000000, Precision = 0.000000 \nCounting Recall and Precision Completed\n",
      0,
      "",
      {},
      {}}},
    {"GarbageFiles",
     'c',
     kCountAnswers,
     [](const QDir& dir) {
         write(dir, "found.txt", garbage(2000));
         write(dir, "right.txt", QByteArray("\0\0\0", 3));
     },
     {"Recall = 0.000000, Precision = 0.000000 \nCounting Recall and Precision Completed\n",
      0,
      "found.txt:1: expected five integers",
      {},
      {}}},
};

// Every file and directory under dir, hidden ones too.
std::set<QString> filesUnder(const QDir& dir)
{
    std::set<QString> files;
    QDirIterator it(dir.path(), QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext())
        files.insert(dir.relativeFilePath(it.next()));
    return files;
}

// The bytes of every regular file under dir but the command's output.
std::map<QString, QByteArray> inputsUnder(const QDir& dir, const QString& output)
{
    std::map<QString, QByteArray> contents;
    for (const QString& name : filesUnder(dir)) {
        QFile file(dir.filePath(name));
        if (name != output && std::filesystem::is_regular_file(
                                  QFile::encodeName(file.fileName()).toStdString()) &&
            file.open(QIODevice::ReadOnly))
            contents[name] = file.readAll();
    }
    return contents;
}

// Test names and failures show the row's name, not its bytes.
void PrintTo(const BadInput& row, std::ostream* os)
{
    *os << row.name;
}

class BadInputTest : public testing::TestWithParam<BadInput>
{
};

TEST_P(BadInputTest, GetsItsReportExitCodeReasonAndFiles)
{
    const BadInput& row = GetParam();
    if (row.chmodProtects && geteuid() == 0)
        GTEST_SKIP() << "root writes to read-only files";
    QTemporaryDir tmp;
    const QDir dir(tmp.path());
    common(row.command, dir);
    if (row.prepare)
        row.prepare(dir);
    const std::set<QString> before = filesUnder(dir);
    const QString output = row.command == 't' ? "model.txt" : "out.txt";
    const std::map<QString, QByteArray> inputs = inputsUnder(dir, output);

    const QString answers = row.answers.join('\n').replace("$D", dir.path()) + '\n';
    const RunResult r =
        runProgram(ombrecPath(), {QString(QLatin1Char(row.command))}, answers.toLocal8Bit());

    EXPECT_FALSE(r.crashed);
    EXPECT_EQ(r.exitCode, row.outcome.exitCode);
    EXPECT_TRUE(r.out.endsWith(row.outcome.report)) << r.out.right(300).toStdString();
    const QByteArray reason = QString(row.outcome.reason).replace("$D", dir.path()).toLocal8Bit();
    if (reason.isEmpty())
        EXPECT_EQ(r.err, "");
    else
        EXPECT_TRUE(r.err.contains(reason)) << r.err.toStdString();

    std::set<QString> expected = before;
    expected.insert(row.outcome.created.begin(), row.outcome.created.end());
    EXPECT_EQ(filesUnder(dir), expected);
    EXPECT_EQ(inputsUnder(dir, output), inputs) << "a file the command reads has changed";
    if (!row.outcome.output.isNull()) {
        QFile out(dir.filePath("out.txt"));
        ASSERT_TRUE(out.open(QIODevice::ReadOnly));
        EXPECT_EQ(out.readAll(), row.outcome.output);
    }
}

std::string rowName(const testing::TestParamInfo<BadInput>& info)
{
    return info.param.name;
}

INSTANTIATE_TEST_SUITE_P(SingleImageSearch, BadInputTest, testing::ValuesIn(kImageSearch), rowName);
INSTANTIATE_TEST_SUITE_P(DirectorySearch, BadInputTest, testing::ValuesIn(kDirectorySearch),
                         rowName);
INSTANTIATE_TEST_SUITE_P(Training, BadInputTest, testing::ValuesIn(kTraining), rowName);
INSTANTIATE_TEST_SUITE_P(Counting, BadInputTest, testing::ValuesIn(kCounting), rowName);

} // namespace
