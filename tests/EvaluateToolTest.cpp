#include "Matching.h"
#include "Metrics.h"
#include "Programs.h"
#include "ScratchTest.h"

#include <QDir>
#include <QImage>
#include <gtest/gtest.h>

#include <vector>

namespace
{

struct TruthRow {
    int photo;
    TruthBox box;
};

struct DetectionRow {
    int photo;
    double xmin, ymin, xmax, ymax, score;
};

// What a case's detections come to, worked out by hand in its comment; the
// operating point, none where f1 is left 0.
struct Expected {
    long long tp, fp, ignored;
    double ap, ap11, missRate;
    double score = 0, f1 = 0, precision = 0, recall = 0;
};

struct Case {
    const char* name;
    MatchRule rule;
    int photographs;
    double ignoreBelow;
    std::vector<TruthRow> truth;
    std::vector<DetectionRow> detections; // in file order
    Expected expected;
};

// People 0 (columns 0-100) and 1 (40-140) of photograph 0, 200 high, and
// person 2 of photograph 1. .7 (15-115) overlaps person 0 by 85/115 = 0.74
// and person 1 by 75/125 = 0.6; .5 overlaps person 2 by 80x180 / 80x200.
const std::vector<TruthRow> kThreePeople = {
    {0, {0, 0, 100, 200}}, {0, {40, 0, 140, 200}}, {1, {10, 10, 90, 210}}};
const std::vector<DetectionRow> kFiveDetections = {{1, 10, 10, 90, 190, .5},
                                                   {0, 15, 0, 115, 200, .7},
                                                   {0, 0, 0, 100, 200, .9},
                                                   {0, 300, 0, 380, 200, .6},
                                                   {1, 200, 0, 280, 200, .8}};

// Person A (0-100) and a difficult person D (40-140), both 200 high: one
// person. .9 (30-130) overlaps A by 70/130 = 0.54, D by 90/110 = 0.82;
// .8 is D (A by 60/140 = 0.43); .7 is on nobody; .6 is A (D by 0.43).
const std::vector<TruthRow> kADifficultPerson = {{0, {0, 0, 100, 200}},
                                                 {0, {40, 0, 140, 200, true}}};
const std::vector<DetectionRow> kFourDetections = {{0, 30, 0, 130, 200, .9},
                                                   {0, 40, 0, 140, 200, .8},
                                                   {0, 300, 0, 380, 200, .7},
                                                   {0, 0, 0, 100, 200, .6}};

// Miss rates are read at 10^-2, 10^-1.75, ..., 10^0 false positives per image.
// F1 = 2PR / (P + R) = 2 tp / (tp + fp + people) after each detection.
const Case kCases[] = {
    // The unclaimed person: .9 tp (person 0), .8 fp, .7 tp (person 1, person 0
    // being claimed), .6 fp, .5 tp. Recall 1/3 1/3 2/3 2/3 1, precision 1 1/2
    // 2/3 1/2 3/5.
    // AP = 1/3 * 1 + 1/3 * 2/3 + 1/3 * 3/5 = 34/45 = 0.7556.
    // 11-point: recall 0-0.3 have 1, 0.4-0.6 have 2/3, 0.7-1 have 3/5: 8.4/11.
    // Over 2 photographs: miss rate 2/3 up to 10^-0.5, 1/3 at 10^-0.25, 0 (as
    // 1e-10) at 1: exp((7 ln 2/3 + ln 1/3 + ln 1e-10) / 9) = 0.0500.
    // F1 2/4 2/5 4/6 4/7 6/8: best at .5, precision 3/5, recall 1.
    {"FiveDetectionsOverThreePeopleUnclaimed",
     MatchRule::Unclaimed,
     2,
     0,
     kThreePeople,
     kFiveDetections,
     {3, 2, 0, 0.7556, 0.7636, 0.0500, .5, .75, .6, 1}},
    // VOC: .7 takes person 0, which it overlaps most, claimed already: a fp.
    // .9 tp, .8 fp, .7 fp, .6 fp, .5 tp: recall 1/3 1/3 1/3 1/3 2/3,
    // precision 1 1/2 1/3 1/4 2/5.
    // AP = 1/3 * 1 + 1/3 * 2/5 = 7/15 = 0.4667.
    // 11-point: recall 0-0.3 have 1, 0.4-0.6 have 2/5, 0.7-1 none: 5.2/11.
    // False positives per image 0 .5 1 1.5 1.5: at every reference up to 1
    // the miss rate is 2/3, and so is the log-average.
    // F1 2/4 2/5 2/6 2/7 4/8: .9 and .5 tie, the first is kept.
    {"FiveDetectionsOverThreePeopleVoc",
     MatchRule::Voc,
     2,
     0,
     kThreePeople,
     kFiveDetections,
     {2, 3, 0, 0.4667, 0.4727, 0.6667, .9, .5, 1, 1 / 3.0}},
    // VOC: .9 takes D, ignored; .8 ignored; .7 fp; .6 tp. Recall 0 1,
    // precision 0 1/2: AP 1/2, 11-point 1/2. Miss rate 1 until the fp, 0 at
    // 1 fppi: exp(ln 1e-10 / 9) = 10^(-10/9) = 0.0774. F1 at .6: 2/3.
    {"ADifficultPersonVoc",
     MatchRule::Voc,
     1,
     0,
     kADifficultPerson,
     kFourDetections,
     {1, 1, 2, 0.5, 0.5, 0.0774, .6, 2 / 3.0, .5, 1}},
    // Unclaimed: D is tried after A. .9 takes A, tp; .8 is on D only,
    // ignored; .7 fp; .6 finds A claimed and D under 0.5, fp. Recall 1 from
    // the first, precision 1 1/2 1/3: AP and 11-point 1, miss rate 0; F1 1
    // at .9.
    {"ADifficultPersonUnclaimed",
     MatchRule::Unclaimed,
     1,
     0,
     kADifficultPerson,
     kFourDetections,
     {1, 2, 1, 1, 1, 0, .9, 1, 1, 1}},
    // .9 overlaps person 0 by exactly 0.5 and claims it; .8 overlaps it
    // wholly but comes second: a false positive. Person 1 is missed.
    // Recall 1/2 1/2, precision 1 1/2: AP = 1/2; 11-point 6/11; miss rate 1/2.
    // F1 2/3 2/4: best at .9.
    {"ASecondDetectionOfOnePerson",
     MatchRule::Voc,
     1,
     0,
     {{0, {0, 0, 100, 200}}, {0, {300, 0, 400, 200}}},
     {{0, 0, 0, 100, 100, .9}, {0, 0, 0, 100, 200, .8}},
     {1, 1, 0, 0.5, 0.5455, 0.5, .9, 2 / 3.0, 1, .5}},
    // Boxes 95 and 60 high are ignore regions. .9 is on one; .8 overlaps the
    // low box by 0.79 but the person by 0.6: people come first, a tp; .7 is on
    // the low box again, the person being claimed; .6 is a fp. As above; F1
    // 0 2/3 2/3 2/4, best at .8 (counting the ignored .9 would give 2/4).
    {"IgnoreRegions",
     MatchRule::Voc,
     1,
     100,
     {{0, {0, 0, 100, 200}}, {0, {0, 0, 100, 95}}, {0, {400, 0, 480, 200}}, {0, {300, 0, 330, 60}}},
     {{0, 300, 0, 330, 60, .9},
      {0, 0, 0, 100, 120, .8},
      {0, 0, 0, 100, 95, .7},
      {0, 600, 0, 680, 200, .6}},
     {1, 1, 2, 0.5, 0.5455, 0.5, .8, 2 / 3.0, 1, .5}},
    // One false positive in 100 photographs is 10^-2 per image: the first
    // reference sees the tp after it. Recall 0 1/2, precision 0 1/2: AP 1/4,
    // 11-point 6 * 1/2 / 11; miss rate 1/2 everywhere. F1 0 2/4.
    {"AFalsePositivePerHundredPhotographs",
     MatchRule::Voc,
     100,
     0,
     {{0, {0, 0, 80, 200}}, {0, {200, 0, 280, 200}}},
     {{1, 0, 0, 80, 200, .9}, {0, 0, 0, 80, 200, .8}},
     {1, 1, 0, 0.25, 0.2727, 0.5, .8, .5, .5, .5}},
    // .9 fp, .8 tp, .8 fp (file order): F1 0 2/3 2/4, but no threshold keeps
    // the first .8 without the second: best at .8 with 2/4, precision 1/3.
    // Recall 0 1 1: AP and 11-point 1/2; miss rate 1, then 0 at 1 fppi: 0.0774.
    {"EqualScores",
     MatchRule::Voc,
     1,
     0,
     {{0, {0, 0, 80, 200}}},
     {{0, 300, 0, 380, 200, .9}, {0, 0, 0, 80, 200, .8}, {0, 100, 0, 180, 200, .8}},
     {1, 2, 0, 0.5, 0.5, 0.0774, .8, .5, 1 / 3.0, 1}},
    {"NoDetections", MatchRule::Voc, 1, 0, {{0, {0, 0, 80, 200}}}, {}, {0, 0, 0, 0, 0, 1}},
    // Nothing to find: AP 0 and miss rate 1 by definition.
    {"NoPeople",
     MatchRule::Voc,
     1,
     0,
     {},
     {{0, 0, 0, 80, 200, 1}, {0, 90, 0, 170, 200, 2}},
     {0, 2, 0, 0, 0, 1}},
};

void PrintTo(const Case& c, std::ostream* out)
{
    *out << c.name;
}

class MeasuresTest : public testing::TestWithParam<Case>
{
};

TEST_P(MeasuresTest, GivesTheHandWorkedMeasures)
{
    const Case& c = GetParam();
    std::vector<std::vector<TruthBox>> truth(c.photographs);
    for (const TruthRow& t : c.truth)
        truth[t.photo].push_back(t.box);
    std::vector<FoundBox> detections;
    for (const DetectionRow& d : c.detections)
        detections.push_back(FoundBox{{d.xmin, d.ymin, d.xmax, d.ymax}, d.photo, d.score, 0});

    const Evaluation e =
        measure(matchDetections(truth, detections, 0.5, c.ignoreBelow, c.rule), c.photographs);
    ASSERT_EQ(e.curve.size(), c.detections.size());
    const long long tp = e.curve.empty() ? 0 : e.curve.back().tp;
    const long long fp = e.curve.empty() ? 0 : e.curve.back().fp;
    EXPECT_EQ(tp, c.expected.tp);
    EXPECT_EQ(fp, c.expected.fp);
    EXPECT_EQ(e.ignoredDetections, c.expected.ignored);
    EXPECT_NEAR(e.ap, c.expected.ap, 5e-5);
    EXPECT_NEAR(e.ap11, c.expected.ap11, 5e-5);
    EXPECT_NEAR(e.logAverageMissRate, c.expected.missRate, 5e-5);
    const OperatingPoint op = e.operatingPoint.value_or(OperatingPoint{});
    EXPECT_EQ(op.score, c.expected.score);
    EXPECT_NEAR(op.f1, c.expected.f1, 1e-12);
    EXPECT_NEAR(op.precision, c.expected.precision, 1e-12);
    EXPECT_NEAR(op.recall, c.expected.recall, 1e-12);
    for (size_t k = 1; k < e.curve.size(); ++k)
        EXPECT_GE(detections[e.curve[k - 1].at.detection].score,
                  detections[e.curve[k].at.detection].score);
}

INSTANTIATE_TEST_SUITE_P(Cases, MeasuresTest, testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

// Runs the evaluation tool on files in the scratch directory.
class EvaluateToolTest : public ScratchTest
{
protected:
    RunResult evaluate(const QStringList& args, const QStringList& environment = {})
    {
        return runProgram(QStringLiteral(EVALUATE_PATH), args, QByteArray(), environment);
    }

    static QByteArray vocFile(const char* photo, const char* object, const char* box)
    {
        return QByteArray("<annotation><filename>") + photo + "</filename><object><name>" + object +
               "</name><bndbox>" + box + "</bndbox></object></annotation>\n";
    }
};

TEST_F(EvaluateToolTest, TakesVocBoxesCountedFromOneAndWritesItsOutputs)
{
    ASSERT_TRUE(QDir(dir.path()).mkpath("voc"));
    // VOC's columns 1 to 100 and rows 1 to 200 are 0 to 100 and 0 to 200 here.
    write("voc/a.xml", vocFile("a.jpg", "person",
                               "<xmin>1</xmin><ymin>1</ymin><xmax>100</xmax><ymax>200</ymax>"));
    write("voc/b.xml",
          vocFile("b.jpg", "car", "<xmin>1</xmin><ymin>1</ymin><xmax>50</xmax><ymax>50</ymax>"));
    write("voc/c.xml", "<annotation><filename>c.jpg</filename><object><name>person</name>"
                       "<difficult>1</difficult><bndbox><xmin>1</xmin><ymin>1</ymin>"
                       "<xmax>100</xmax><ymax>200</ymax></bndbox></object></annotation>\n");
    write("found.csv", "photo,xmin,ymin,xmax,ymax,score\n"
                       "a.jpg,0,0,100,200,2.5\n"
                       "b.jpg,0,0,50,50,1.5\n"
                       "c.jpg,0,0,100,200,0.5\n");
    // Only an exact conversion overlaps wholly; the car's photograph counts;
    // the difficult person is neither a person nor found.
    const RunResult r = evaluate({"--voc", path("voc"), "--detections", path("found.csv"), "--iou",
                                  "1", "--curve", path("curve.csv"), "--plot", path("plot.png")},
                                 {"LC_ALL=de_DE.UTF-8", "LANG=de_DE.UTF-8"});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(r.out.toStdString(),
              "AP = 1.0000, 11-point AP = 1.0000, log-average miss rate = 0.0000\n"
              "match = voc\n"
              "operating point: score >= 2.5 (best F1 = 1.0000, precision = 1.0000, recall = "
              "1.0000)\n"
              "people = 1\n"
              "ignored truth boxes = 1\n"
              "detections = 3\n"
              "true positives = 1\n"
              "false positives = 1\n"
              "detections on ignored boxes = 1\n"
              "photographs = 3\n"
              "recall = 1.0000\n"
              "precision = 0.5000\n");
    EXPECT_EQ(read("curve.csv").toStdString(),
              "rank,photo,line,score,outcome,tp,fp,recall,precision,fppi,miss_rate\n"
              "1,a.jpg,2,2.5,tp,1,0,1,1,0,0\n"
              "2,b.jpg,3,1.5,fp,1,1,1,0.5,0.3333333333333333,0\n"
              "3,c.jpg,4,0.5,ignored,1,1,1,0.5,0.3333333333333333,0\n");
    EXPECT_EQ(QImage(path("plot.png")).size(), QSize(1200, 560));
    // No temporary file is left beside the outputs.
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Hidden | QDir::Files).filter(".png"),
              QStringList{"plot.png"});

    const RunResult unclaimed =
        evaluate({"--voc", path("voc"), "--detections", path("found.csv"), "--match", "unclaimed"});
    ASSERT_EQ(unclaimed.exitCode, 0) << unclaimed.err.toStdString();
    EXPECT_TRUE(unclaimed.out.startsWith(
        "AP = 1.0000, 11-point AP = 1.0000, log-average miss rate = 0.0000\nmatch = unclaimed\n"))
        << unclaimed.out.toStdString();

    // A person lower than the ignore height is no person: nothing to find.
    const RunResult none = evaluate(
        {"--voc", path("voc"), "--detections", path("found.csv"), "--ignore-below", "300"});
    EXPECT_TRUE(none.out.startsWith("AP = 0.0000, 11-point AP = 0.0000, log-average miss rate = "
                                    "1.0000\nmatch = voc\noperating point: none (no true "
                                    "positive)\n"))
        << none.out.toStdString();
}

TEST_F(EvaluateToolTest, RefusesWrongCommandLinesAndBadInput)
{
    const QString truth = write("truth.csv", "a.png,0,0,80,200\n");
    const QString found =
        write("found.csv", "photo,xmin,ymin,xmax,ymax,score\na.png,0,0,80,200,1\n");
    const QString broken = write("broken.csv", "photo,xmin,ymin,xmax,ymax,score\n\na.png,0,0,80\n");
    const QString elsewhere = write("elsewhere.csv", "a.png,0,0,80,200,1\nb.png,0,0,80,200,1\n");
    ASSERT_TRUE(QDir(dir.path()).mkpath("photos"));
    write("photos/a.png", "");
    // A box partly outside its photograph, 100 x 100 pixels, is taken; one
    // wholly outside is not.
    ASSERT_TRUE(QDir(dir.path()).mkpath("small"));
    ASSERT_TRUE(QImage(100, 100, QImage::Format_RGB32).save(path("small/a.png")));
    const QString outside = write("outside.csv", "a.png,90,0,170,200\na.png,100,0,180,200\n");
    const struct {
        QStringList args;
        int exitCode;
        const char* message;
    } rows[] = {
        {{}, 2, "either --truth or --voc"},
        {{"--truth", truth}, 2, "--detections is needed"},
        {{"--truth", truth, "--voc", dir.path(), "--detections", found}, 2, "either"},
        {{"--truth", truth, "--detections", found, "--iou", "0"}, 2, "--iou takes"},
        {{"--truth", truth, "--detections", found, "--iou"}, 2, "--iou needs a value"},
        {{"--truth", truth, "--detections", found, "--match", "pascal"},
         2,
         "--match takes voc or unclaimed, not pascal"},
        {{"--truth", truth, "--detections", found, "extra"}, 2, "unexpected argument extra"},
        {{"--truth", truth, "--detections", found, "--curve", found}, 2, "would be overwritten"},
        {{"--truth", truth, "--detections", broken}, 1, "broken.csv:3: expected 6 fields"},
        {{"--truth", truth, "--detections", path("none.csv")}, 1, "none.csv: cannot open"},
        // A detection in a photograph that was not searched; the directory
        // given relative to the working directory.
        {{"--truth", truth, "--detections", elsewhere, "--photos",
          QDir::current().relativeFilePath(path("photos"))},
         1,
         "elsewhere.csv:2: the photograph \"b.png\" is not among"},
        {{"--truth", outside, "--detections", found, "--photos", path("small")},
         1,
         "outside.csv:2: the box 100,0,180,200 leaves the photograph a.png, which is 100 x 100 "
         "pixels"},
    };
    for (const auto& row : rows) {
        const RunResult r = evaluate(row.args);
        EXPECT_EQ(r.exitCode, row.exitCode) << row.args.join(' ').toStdString();
        EXPECT_TRUE(r.err.contains(row.message)) << r.err.toStdString();
        EXPECT_TRUE(r.out.isEmpty()) << r.out.toStdString();
        if (row.exitCode == 2) {
            EXPECT_TRUE(r.err.contains("usage: ombre-evaluate")) << r.err.toStdString();
        }
    }
    const RunResult help = evaluate({"--help"});
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_TRUE(help.out.startsWith("usage: ombre-evaluate"));
}

} // namespace
