#include "AnnotationReading.h"
#include "CsvAnnotations.h"
#include "ScratchTest.h"
#include "VocAnnotations.h"

#include <QDir>

#include <string>
#include <utility>
#include <vector>

namespace
{

// A reader's result, and what it gives as one text: a photograph a line,
// "NAME @WHERE: XMIN YMIN XMAX YMAX @WHERE; ...", the scratch directory left
// out of the places.
class ReaderTest : public ScratchTest
{
protected:
    std::vector<AnnotatedPhoto> photos;
    QString error;

    std::string described() const
    {
        QString text;
        for (const AnnotatedPhoto& photo : photos) {
            text += photo.name + " @" + photo.where + ":";
            for (const PersonBox& b : photo.people)
                text += QStringLiteral(" %1 %2 %3 %4 @%5;")
                            .arg(b.xmin)
                            .arg(b.ymin)
                            .arg(b.xmax)
                            .arg(b.ymax)
                            .arg(b.where);
            text += "\n";
        }
        return text.replace(dir.path() + "/", "").toStdString();
    }
};

class CsvAnnotationsTest : public ReaderTest
{
protected:
    bool readCsv(const QByteArray& text)
    {
        return readCsvAnnotations(write("boxes.csv", text), photos, error);
    }
};

TEST_F(CsvAnnotationsTest, ReadsHeaderBomQuotesCrlfBlankLinesAndDecimals)
{
    ASSERT_TRUE(readCsv("\xEF\xBB\xBFphoto,xmin,ymin,xmax,ymax\r\n"
                        "\r\n"
                        "  a.png , 10, 20, 50, 120\r\n"
                        " \t \r\n"
                        "\" b, \"\"2\"\".png\",1.5,-3.4,\" 40.5 \",8e1"))
        << error.toStdString();
    EXPECT_EQ(described(), "a.png @boxes.csv:3: 10 20 50 120 @boxes.csv:3;\n"
                           "b, \"2\".png @boxes.csv:5: 2 -3 41 80 @boxes.csv:5;\n");
}

TEST_F(CsvAnnotationsTest, CollectsTheRowsOfAPhotographInOrderOfFirstMention)
{
    ASSERT_TRUE(readCsv("b.png,1,1,5,5\na.png,2,2,6,6\nb.png,3,3,7,7\n")) << error.toStdString();
    EXPECT_EQ(described(), "b.png @boxes.csv:1: 1 1 5 5 @boxes.csv:1; 3 3 7 7 @boxes.csv:3;\n"
                           "a.png @boxes.csv:2: 2 2 6 6 @boxes.csv:2;\n");
}

TEST_F(CsvAnnotationsTest, AddsToAPhotographAlreadyListed)
{
    photos = {{"a.png", "old:1", {{1, 2, 3, 4, "old:1"}}}};
    ASSERT_TRUE(readCsv("a.png,5,5,9,9\n")) << error.toStdString();
    EXPECT_EQ(described(), "a.png @old:1: 1 2 3 4 @old:1; 5 5 9 9 @boxes.csv:1;\n");
}

TEST_F(CsvAnnotationsTest, TakesAHeaderOnlyFileAsNoPhotographs)
{
    EXPECT_TRUE(readCsv("image,x1,y1,x2,y2\n"));
    EXPECT_TRUE(photos.empty());
}

TEST_F(CsvAnnotationsTest, ReportsTheLineAndReasonOfABadRow)
{
    const std::pair<QByteArray, QString> cases[] = {
        {"a.png,1,2,3\n", "1: expected 5 fields \"photo,xmin,ymin,xmax,ymax\", found 4"},
        {"a.png,1,2,3,4\n\nb.png,1,2,3,4,\n",
         "3: expected 5 fields \"photo,xmin,ymin,xmax,ymax\", found 6"},
        {"photo,xmin,ymin,xmax,ymax\nb.png,12a,2,30,40\n", "2: xmin is not a number: \"12a\""},
        {"image,1,y1,x2,y2\n", "1: ymin is not a number: \"y1\""},
        {"a.png,1,2,3,4\nphoto,xmin,ymin,xmax,ymax\n", "2: xmin is not a number: \"xmin\""},
        {"a.png,1,2,inf,4\n", "1: xmax is not a number: \"inf\""},
        {"a.png,1,2,,4\n", "1: xmax is empty"},
        {"a.png,1,2,3,-2e9\n",
         "1: ymax is out of range: \"-2e9\", expected a number from -1000000000 to 1000000000"},
        {"a.png,40,2,40.4,9\n", "1: empty box: xmax 40 is not right of xmin 40"},
        {"a.png,1,9,30,9\n", "1: empty box: ymax 9 is not below ymin 9"},
        {" \"\" ,1,2,3,4\n", "1: empty photo name"},
        {"\"a.png,1,2,3,4\n", "1: field 1 opens a quote that the line does not close"},
        {"\"a\"b.png,1,2,3,4\n", "1: field 1 goes on after its closing quote"},
        {"a\xff.png,1,2,3,4\n", "1: not UTF-8 text"},
    };
    for (const auto& [text, reason] : cases) {
        SCOPED_TRACE(text.toStdString());
        EXPECT_FALSE(readCsv(text));
        EXPECT_EQ(error, path("boxes.csv:") + reason);
    }
}

TEST_F(CsvAnnotationsTest, LeavesThePhotographsAsTheyWereOnError)
{
    photos = {{"a.png", "old:1", {{1, 2, 3, 4, "old:1"}}}};
    EXPECT_FALSE(readCsv("a.png,5,5,9,9\nb.png,1,2,3\n"));
    EXPECT_EQ(described(), "a.png @old:1: 1 2 3 4 @old:1;\n");
}

TEST_F(CsvAnnotationsTest, RefusesAFileItCannotOpen)
{
    EXPECT_FALSE(readCsvAnnotations(path("none.csv"), photos, error));
    // Why is the system's to say, in the user's language.
    EXPECT_TRUE(error.startsWith(path("none.csv: cannot open: "))) << error.toStdString();
}

TEST_F(CsvAnnotationsTest, RefusesAFileAbove64MB)
{
    EXPECT_FALSE(readCsv(QByteArray(kMaxAnnotationBytes + 1, '\n')));
    EXPECT_EQ(error, path("boxes.csv: larger than 64 MB, too large for an annotation file"));
}

// VOC files in the directory "voc" of the scratch directory.
class VocAnnotationsTest : public ReaderTest
{
protected:
    bool readVoc() { return readVocAnnotations(path("voc"), photos, error); }

    QString writeVoc(const QString& name, const QByteArray& text)
    {
        QDir(dir.path()).mkpath("voc");
        return write("voc/" + name, text);
    }

    // An annotation of a.jpg holding xml.
    static QByteArray ofA(const QByteArray& xml)
    {
        return "<annotation><filename>a.jpg</filename>" + xml + "</annotation>";
    }

    // A person object whose box is "XMIN YMIN XMAX YMAX".
    static QByteArray person(const QByteArray& box)
    {
        const QList<QByteArray> v = box.split(' ');
        return "<object><name>person</name><bndbox><xmin>" + v[0] + "</xmin><ymin>" + v[1] +
               "</ymin><xmax>" + v[2] + "</xmax><ymax>" + v[3] + "</ymax></bndbox></object>";
    }
};

TEST_F(VocAnnotationsTest, TakesTheBoxOfEachPersonButNotOfItsHeadOrOfOtherClasses)
{
    writeVoc("a.xml",
             "<annotation>\n"
             "  <filename> 0001.jpg </filename>\n"
             "  <object><name>dog</name><bndbox><xmin>5</xmin></bndbox></object>\n"
             "  <object>\n"
             "    <part><name>head</name>\n"
             "      <bndbox><xmin>40</xmin><ymin>1</ymin></bndbox>\n"
             "    </part>\n"
             "    <bndbox><ymax>200.5</ymax><xmin>11</xmin><ymin>21</ymin><xmax>70</xmax>\n"
             "    </bndbox>\n"
             "    <name> person </name>\n"
             "  </object>\n"
             "  <object><name>Person</name></object>\n"
             "  <extra><object><name>person</name></object></extra>\n"
             "</annotation>\n");
    ASSERT_TRUE(readVoc()) << error.toStdString();
    EXPECT_EQ(described(), "0001.jpg @voc/a.xml:2: 10 20 70 201 @voc/a.xml:4;\n");
}

TEST_F(VocAnnotationsTest, MarksThePeopleWhoseObjectSaysDifficult)
{
    // What a person's <object> holds before its <bndbox>.
    const std::pair<QByteArray, bool> rows[] = {
        {"<difficult>1</difficult>", true},
        {"<difficult> 1 </difficult>", true},
        {"<difficult>0</difficult>", false},
        {"", false},
        {"<part><difficult>1</difficult></part>", false},
    };
    QByteArray objects;
    for (const auto& row : rows)
        objects += "\n" + person("1 1 9 9").replace("<bndbox>", row.first + "<bndbox>");
    writeVoc("a.xml", ofA(objects));
    ASSERT_TRUE(readVoc()) << error.toStdString();
    ASSERT_EQ(photos.size(), 1u);
    ASSERT_EQ(photos[0].people.size(), std::size(rows));
    for (size_t k = 0; k < std::size(rows); ++k)
        EXPECT_EQ(photos[0].people[k].difficult, rows[k].second) << rows[k].first.toStdString();
}

TEST_F(VocAnnotationsTest, ConvertsFromPixelsCountedFromOneWithInclusiveMaxima)
{
    writeVoc("a.xml", ofA(person("1 1 100 1")));
    ASSERT_TRUE(readVoc()) << error.toStdString();
    EXPECT_EQ(described(), "a.jpg @voc/a.xml:1: 0 0 100 1 @voc/a.xml:1;\n");
}

TEST_F(VocAnnotationsTest, ReadsTheFilesInNameOrderAndCollectsARepeatedPhotograph)
{
    writeVoc("c.xml", ofA(person("1 1 9 9")));
    writeVoc("a.XML", "<annotation><filename>y.jpg</filename></annotation>");
    writeVoc("b.xml",
             "<annotation>\n<filename>a.jpg</filename>\n" + person("2 2 8 8") + "</annotation>");
    writeVoc("d.txt", "not read");
    ASSERT_TRUE(readVoc()) << error.toStdString();
    EXPECT_EQ(described(), "y.jpg @voc/a.XML:1:\n"
                           "a.jpg @voc/b.xml:2: 1 1 8 8 @voc/b.xml:3; 0 0 9 9 @voc/c.xml:1;\n");
}

TEST_F(VocAnnotationsTest, ReportsTheLineAndReasonOfABadFile)
{
    const std::pair<QByteArray, QString> cases[] = {
        {ofA("\n<object>\n"), ":3: bad XML: "},
        {"", ":1: bad XML: "},
        {"<annotation>" + QByteArray("<a>").repeated(100000), ":1: bad XML: "},
        {"<pascal/>", ":1: the root element is <pascal>, expected <annotation>"},
        {"<annotation><folder>a.jpg</folder></annotation>", ": no <filename>"},
        {"<annotation><filename> </filename></annotation>", ":1: empty <filename>"},
        {ofA("\n<filename>b.jpg</filename>"), ":2: second <filename>, the first is at line 1"},
        {ofA("\n<object><name>person</name></object>"), ":2: <object> \"person\" has no <bndbox>"},
        {ofA("\n" + person("1 1 9 9").replace("ymax", "ymin")),
         ":2: second <ymin>, the first is at line 2"},
        {ofA("\n" + person("1 1 9 9").replace("ymax", "width")),
         ":2: <bndbox> of \"person\" has no <ymax>"},
        {ofA("\n" + person("1 ten 9 9")), ":2: <ymin> is not a number: \"ten\""},
        {ofA("\n" + person("40 1 30 9")), ":2: empty box: <xmax> 30 is left of <xmin> 40"},
    };
    for (const auto& [text, reason] : cases) {
        SCOPED_TRACE(text.left(200).toStdString());
        const QString file = writeVoc("a.xml", text);
        EXPECT_FALSE(readVoc());
        // Qt words what is wrong with the XML, and words it anew in other versions.
        if (reason.endsWith("bad XML: "))
            EXPECT_TRUE(error.startsWith(file + reason)) << error.toStdString();
        else
            EXPECT_EQ(error, file + reason);
    }
}

TEST_F(VocAnnotationsTest, RefusesADirectoryWithoutXmlFiles)
{
    writeVoc("a.txt", "");
    EXPECT_FALSE(readVoc());
    EXPECT_EQ(error, path("voc: holds no *.xml files"));
}

TEST_F(VocAnnotationsTest, RefusesAMissingDirectory)
{
    EXPECT_FALSE(readVoc());
    EXPECT_EQ(error, path("voc: no such directory"));
}

TEST_F(VocAnnotationsTest, LeavesThePhotographsAsTheyWereOnError)
{
    photos = {{"old.jpg", "old:1", {}}};
    writeVoc("a.xml", ofA(person("1 1 9 9")));
    writeVoc("b.xml", "<annotation>");
    EXPECT_FALSE(readVoc());
    EXPECT_EQ(described(), "old.jpg @old:1:\n");
}

} // namespace
