#include "VocAnnotations.h"

#include "AnnotationReading.h"

#include <QDir>
#include <QFileInfo>
#include <QXmlStreamReader>

namespace
{

const char* const kCorners[4] = {"xmin", "ymin", "xmax", "ymax"};

// What one <object> says, kept to its end since <name> may follow <bndbox>.
// A line of 0 means the element is not there.
struct VocObject {
    qint64 line = 0;
    QString name;
    qint64 nameLine = 0;
    qint64 boxLine = 0;
    QString corners[4];
    qint64 cornerLines[4] = {};
    bool difficult = false;
};

bool fail(const QString& path, qint64 line, const QString& what, QString& error)
{
    error = QStringLiteral("%1:%2: %3").arg(path).arg(line).arg(what);
    return false;
}

// Reads the text of the element just started, which its parent may hold only
// once; line is where it was seen first.
bool readOnce(QXmlStreamReader& xml, const QString& path, qint64& line, QString& text,
              QString& error)
{
    if (line != 0)
        return fail(
            path, xml.lineNumber(),
            QStringLiteral("second <%1>, the first is at line %2").arg(xml.name()).arg(line),
            error);
    line = xml.lineNumber();
    // Markup inside the text stops the reader; the caller reports it.
    text = xml.readElementText();
    return true;
}

// Reads the <object> just started. Only its own <name> and <bndbox> count:
// the <bndbox> of a <part> (a head, a hand) is not the person's.
bool readObject(QXmlStreamReader& xml, const QString& path, VocObject& object, QString& error)
{
    object.line = xml.lineNumber();
    while (xml.readNextStartElement()) {
        if (xml.name() == QLatin1String("name")) {
            if (!readOnce(xml, path, object.nameLine, object.name, error))
                return false;
        } else if (xml.name() == QLatin1String("bndbox")) {
            if (object.boxLine != 0)
                return fail(
                    path, xml.lineNumber(),
                    QStringLiteral("second <bndbox> in the <object> of line %1").arg(object.line),
                    error);
            object.boxLine = xml.lineNumber();
            while (xml.readNextStartElement()) {
                int k = 0;
                while (k < 4 && xml.name() != QLatin1String(kCorners[k]))
                    ++k;
                if (k == 4)
                    xml.skipCurrentElement();
                else if (!readOnce(xml, path, object.cornerLines[k], object.corners[k], error))
                    return false;
            }
        } else if (xml.name() == QLatin1String("difficult")) {
            // Child elements are skipped, as any other element's are.
            object.difficult = xml.readElementText(QXmlStreamReader::SkipChildElements).trimmed() ==
                               QLatin1String("1");
        } else {
            xml.skipCurrentElement();
        }
    }
    return true;
}

// The person's box, from VOC's pixels counted from 1 with inclusive maxima.
bool personBox(const VocObject& object, const QString& path, PersonBox& box, QString& error)
{
    if (object.boxLine == 0)
        return fail(path, object.line, QStringLiteral("<object> \"person\" has no <bndbox>"),
                    error);
    int v[4];
    for (int k = 0; k < 4; ++k) {
        const QString corner = QStringLiteral("<%1>").arg(QLatin1String(kCorners[k]));
        if (object.cornerLines[k] == 0)
            return fail(path, object.boxLine,
                        QStringLiteral("<bndbox> of \"person\" has no %1").arg(corner), error);
        QString why;
        if (!readCoordinate(object.corners[k], corner, v[k], why))
            return fail(path, object.cornerLines[k], why, error);
    }
    if (v[2] < v[0])
        return fail(path, object.boxLine,
                    QStringLiteral("empty box: <xmax> %1 is left of <xmin> %2").arg(v[2]).arg(v[0]),
                    error);
    if (v[3] < v[1])
        return fail(path, object.boxLine,
                    QStringLiteral("empty box: <ymax> %1 is above <ymin> %2").arg(v[3]).arg(v[1]),
                    error);
    box = PersonBox{v[0] - 1, v[1] - 1, v[2], v[3],
                    QStringLiteral("%1:%2").arg(path).arg(object.line)};
    box.difficult = object.difficult;
    return true;
}

bool readVocFile(const QString& path, PhotoCollector& photos, QString& error)
{
    QByteArray bytes;
    if (!readAnnotationFile(path, bytes, error))
        return false;
    QXmlStreamReader xml(bytes);
    if (xml.readNextStartElement() && xml.name() != QLatin1String("annotation"))
        return fail(
            path, xml.lineNumber(),
            QStringLiteral("the root element is <%1>, expected <annotation>").arg(xml.name()),
            error);

    QString filename;
    qint64 filenameLine = 0;
    std::vector<PersonBox> people;
    while (xml.readNextStartElement()) {
        if (xml.name() == QLatin1String("filename")) {
            if (!readOnce(xml, path, filenameLine, filename, error))
                return false;
        } else if (xml.name() == QLatin1String("object")) {
            VocObject object;
            if (!readObject(xml, path, object, error))
                return false;
            // Broken XML inside the object is reported below, not as a missing box.
            if (xml.hasError() || object.name.trimmed() != QLatin1String("person"))
                continue;
            PersonBox box;
            if (!personBox(object, path, box, error))
                return false;
            people.push_back(box);
        } else {
            xml.skipCurrentElement();
        }
    }
    // Read on to the end, so that a fault after the root is found too.
    while (!xml.atEnd())
        xml.readNext();
    if (xml.hasError())
        return fail(path, xml.lineNumber(), QStringLiteral("bad XML: ") + xml.errorString(), error);

    if (filenameLine == 0) {
        error = path + QLatin1String(": no <filename>");
        return false;
    }
    filename = filename.trimmed();
    if (filename.isEmpty())
        return fail(path, filenameLine, QStringLiteral("empty <filename>"), error);
    AnnotatedPhoto& photo =
        photos.photo(filename, QStringLiteral("%1:%2").arg(path).arg(filenameLine));
    photo.people.insert(photo.people.end(), people.begin(), people.end());
    return true;
}

} // namespace

bool readVocAnnotations(const QString& dir, std::vector<AnnotatedPhoto>& photos, QString& error)
{
    const QFileInfo info(dir);
    if (!info.exists()) {
        error = dir + QLatin1String(": no such directory");
        return false;
    }
    if (!info.isDir()) {
        error = dir + QLatin1String(": not a directory");
        return false;
    }
    if (!info.isReadable()) {
        error = dir + QLatin1String(": cannot open: permission denied");
        return false;
    }
    // Without QDir::CaseSensitive the filter takes "A.XML" too.
    const QDir folder(dir);
    const QStringList names = folder.entryList({QStringLiteral("*.xml")}, QDir::Files, QDir::Name);
    if (names.isEmpty()) {
        error = dir + QLatin1String(": holds no *.xml files");
        return false;
    }
    PhotoCollector collector(photos);
    for (const QString& name : names) {
        if (!readVocFile(folder.filePath(name), collector, error))
            return false;
    }
    photos = collector.take();
    return true;
}
