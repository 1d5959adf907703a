#include "DemoPhotos.h"

#include "Background.h"
#include "Camera.h"
#include "Figure.h"
#include "Palette.h"
#include "Random.h"
#include "Settings.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QXmlStreamWriter>

#include <algorithm>
#include <cmath>

namespace
{

// Apart from the demo set's streams, so that a seed shared with it draws
// other pictures.
enum Stream : std::uint32_t {
    PeoplePhotos = 101,
    EmptyPhotos,
};

// The demo backgrounds are drawn around figures about this high; a
// photograph's background is drawn at that scale and enlarged to its people.
constexpr double kStripFigure = 190;
// The wall or sky of a background: its ground starts at row 150 or below.
constexpr int kWallRows = 140;
// drawBackground wants at least this many rows.
constexpr int kBackgroundRows = 200;

// Where a photograph's background goes: drawn at 1 / scale, its row 0 put on
// the photograph's row top, and the rows above that filled.
struct Layout {
    int width = 0;
    int height = 0;
    double scale = 1;
    double top = 0;
    std::vector<PhotoPerson> people;
    std::vector<PhotoFigure> figures;
};

// The box of the pixels that look paints, found by painting it.
PhotoPerson paintedBox(const FigureLook& look)
{
    constexpr int margin = 8;
    const int width = int(std::ceil(look.centreX + look.span / 2)) + 2 * margin;
    const int height = int(std::ceil(look.top + look.height)) + 2 * margin;
    QImage image(width, height, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    {
        QPainter painter(&image);
        painter.translate(margin, margin);
        drawFigure(painter, look);
    }
    PhotoPerson box{width, height, 0, 0};
    for (int y = 0; y < height; ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < width; ++x)
            if (qAlpha(line[x]) != 0) {
                box = {std::min(box.xmin, x), std::min(box.ymin, y), std::max(box.xmax, x + 1),
                       std::max(box.ymax, y + 1)};
            }
    }
    return {box.xmin - margin, box.ymin - margin, box.xmax - margin, box.ymax - margin};
}

// Up to maxPeople random figures of about one height, as many as fit side by
// side; their boxes still at column and row 0.
void chooseFigures(Layout& layout, Random& random, const DemoPhotoOptions& options, int base,
                   int tallest)
{
    const FigureSettings settings;
    const int lowest = std::min(options.minPersonHeight, tallest);
    const int wanted = random.uniform(1, std::max(options.maxPeople, 1));
    int used = -options.minGap;
    for (int i = 0; i < wanted; ++i) {
        const FigureLook look = randomFigure(random, settings, 0);
        const double spread = random.real(0.9, 1.1);
        const int height = std::clamp(int(std::lround(base * spread)), lowest, tallest);
        const PhotoFigure figure = figureOfHeight(look, height);
        const int width = figure.box.xmax - figure.box.xmin;
        const int painted = figure.box.ymax - figure.box.ymin;
        if (used + options.minGap + width > layout.width)
            break;
        used += options.minGap + width;
        layout.people.push_back({0, 0, width, painted});
        layout.figures.push_back(figure);
    }
}

// Spreads the people across the photograph, in order and apart by minGap.
void placeAcross(Layout& layout, Random& random, const DemoPhotoOptions& options, bool inCorner)
{
    int used = -options.minGap;
    for (const PhotoPerson& person : layout.people)
        used += options.minGap + person.xmax;
    std::vector<int> offsets;
    for (std::size_t i = 0; i < layout.people.size(); ++i) {
        const int offset = random.uniform(0, layout.width - used);
        offsets.push_back(offset);
    }
    std::sort(offsets.begin(), offsets.end());
    if (inCorner && !offsets.empty())
        offsets[0] = 0;
    int left = 0;
    for (std::size_t i = 0; i < layout.people.size(); ++i) {
        PhotoPerson& person = layout.people[i];
        const int width = person.xmax;
        person.xmin = left + offsets[i];
        person.xmax = person.xmin + width;
        left += width + options.minGap;
    }
}

// Puts the background so that the people's soles fall on the rows where the
// demo strips have them, with the lowest possible sole on row ground.
void placeDown(Layout& layout, Random& random, bool inCorner)
{
    // The rows of the demo strips' soles.
    const FigureSettings figure;
    int tallest = 0;
    for (const PhotoPerson& person : layout.people)
        tallest = std::max(tallest, person.ymax);
    const int spread = int(std::ceil((figure.lowestSole - figure.highestSole) * layout.scale));
    const int highest = std::min(tallest + spread, layout.height);
    const int ground = inCorner ? layout.height : random.uniform(highest, layout.height);
    layout.top = ground - figure.lowestSole * layout.scale;
    for (std::size_t i = 0; i < layout.people.size(); ++i) {
        PhotoPerson& person = layout.people[i];
        const int height = person.ymax;
        const int sole = random.uniform(figure.highestSole, figure.lowestSole);
        const int row = int(std::lround(layout.top + sole * layout.scale));
        const bool corner = inCorner && i == 0;
        person.ymax = corner ? layout.height : std::clamp(row, height, layout.height);
        person.ymin = person.ymax - height;
    }
}

Layout planPhoto(Random& random, const DemoPhotoOptions& options, bool withPeople, bool inCorner)
{
    Layout layout;
    layout.width = random.uniform(options.minWidth, options.maxWidth);
    layout.height = random.uniform(options.minHeight, options.maxHeight);
    const int tallest = std::min(options.maxPersonHeight, layout.height);
    const int base = random.uniform(std::min(options.minPersonHeight, tallest), tallest);
    layout.scale = base / kStripFigure;
    const bool empty = !withPeople || random.chance(options.emptyShare);
    if (!empty || inCorner)
        chooseFigures(layout, random, options, base, tallest);
    placeAcross(layout, random, options, inCorner);
    placeDown(layout, random, inCorner);
    return layout;
}

QImage backgroundImage(int width, int height, Random& random, bool outdoor)
{
    ClutterSettings clutter;
    clutter.outdoorShare = outdoor ? 1 : 0;
    QImage image(width, std::max(height, kBackgroundRows), QImage::Format_RGB32);
    image.fill(Qt::black);
    drawBackground(image, random, clutter);
    return image;
}

// Above a room's wall, more walls: the storeys of a building, each with a
// ledge along its foot that hides where its clutter is cut off.
void paintStoreys(QPainter& painter, Random& random, const Layout& layout, int width)
{
    const double rows = kWallRows * layout.scale;
    for (double bottom = layout.top; bottom > 0; bottom -= rows) {
        const QImage wall = backgroundImage(width, kBackgroundRows, random, false);
        painter.drawImage(QRectF(0, bottom - rows, width * layout.scale, rows), wall,
                          QRectF(0, 0, width, kWallRows));
        const QColor stone = Palette::scaled(Palette::wall(random), 0.75);
        const double ledge = 7 * layout.scale;
        painter.fillRect(QRectF(0, bottom - ledge, layout.width, ledge), stone);
        painter.fillRect(QRectF(0, bottom, layout.width, 2 * layout.scale),
                         Palette::scaled(stone, 0.6));
    }
}

// The colour most of a row has: a street's sky, which is even across.
QColor commonColour(const QImage& image, int row)
{
    const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(row));
    std::vector<QRgb> colours(line, line + image.width());
    std::sort(colours.begin(), colours.end());
    QRgb best = colours.front();
    std::size_t bestRun = 0;
    for (std::size_t i = 0; i < colours.size();) {
        std::size_t end = i;
        while (end < colours.size() && colours[end] == colours[i])
            ++end;
        if (end - i > bestRun) {
            best = colours[i];
            bestRun = end - i;
        }
        i = end;
    }
    return QColor(best);
}

// Above a street, the sky goes on, a little darker higher up.
void paintSky(QPainter& painter, const Layout& layout, const QColor& sky)
{
    QLinearGradient air(0, 0, 0, layout.top);
    air.setColorAt(0, Palette::scaled(sky, 0.88));
    air.setColorAt(1, sky);
    painter.fillRect(QRectF(0, 0, layout.width, layout.top + 1), air);
}

// The background at the people's scale, its ground reaching the bottom.
void paintScene(QImage& image, Random& random, const Layout& layout)
{
    const bool outdoor = random.chance(ClutterSettings().outdoorShare);
    const int width = int(std::ceil(layout.width / layout.scale)) + 2;
    const int height = int(std::ceil((layout.height - layout.top) / layout.scale)) + 2;
    const QImage scene = backgroundImage(width, height, random, outdoor);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    if (layout.top > 0 && outdoor)
        paintSky(painter, layout, commonColour(scene, 0));
    else if (layout.top > 0)
        paintStoreys(painter, random, layout, width);
    painter.drawImage(QRectF(0, layout.top, width * layout.scale, scene.height() * layout.scale),
                      scene);
}

QImage renderPhoto(const Layout& layout, Random& random)
{
    QImage image(layout.width, layout.height, QImage::Format_RGB32);
    image.fill(Qt::black);
    paintScene(image, random, layout);
    {
        QPainter painter(&image);
        for (std::size_t i = 0; i < layout.people.size(); ++i) {
            const PhotoPerson& at = layout.people[i];
            const PhotoFigure& figure = layout.figures[i];
            // Whole pixels only, so that the figure paints what was measured.
            painter.resetTransform();
            painter.translate(at.xmin - figure.box.xmin, at.ymin - figure.box.ymin);
            drawFigure(painter, figure.look);
        }
    }
    develop(image, random, CameraSettings());
    return image;
}

std::vector<DemoPhoto> writePhotos(const QString& dir, const DemoPhotoOptions& options,
                                   Stream stream, const QString& prefix)
{
    const bool withPeople = stream == PeoplePhotos;
    std::vector<DemoPhoto> photos;
    for (int i = 0; i < options.count; ++i) {
        Random random(options.seed, stream, std::uint32_t(i));
        const bool inCorner = withPeople && options.personInCorner && i == 0;
        const Layout layout = planPhoto(random, options, withPeople, inCorner);
        const bool png = i % 2 == 1;
        const QString name = QStringLiteral("%1-%2.%3").arg(prefix).arg(i).arg(png ? "png" : "jpg");
        const QImage image = renderPhoto(layout, random);
        // Light compression: noisy pictures barely shrink at the slow levels.
        if (!image.save(QDir(dir).filePath(name), png ? "PNG" : "JPG", png ? 80 : -1))
            return {};
        photos.push_back({name, layout.width, layout.height, layout.people});
    }
    return photos;
}

bool writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
           file.write(bytes) == bytes.size();
}

QByteArray vocAnnotation(const DemoPhoto& photo)
{
    QByteArray bytes;
    QXmlStreamWriter xml(&bytes);
    xml.setAutoFormatting(true);
    xml.writeStartDocument();
    xml.writeStartElement("annotation");
    xml.writeTextElement("folder", "photos");
    xml.writeTextElement("filename", photo.name);
    xml.writeStartElement("size");
    xml.writeTextElement("width", QString::number(photo.width));
    xml.writeTextElement("height", QString::number(photo.height));
    xml.writeTextElement("depth", "3");
    xml.writeEndElement();
    for (const PhotoPerson& person : photo.people) {
        xml.writeStartElement("object");
        xml.writeTextElement("name", "person");
        xml.writeTextElement("pose", "Unspecified");
        xml.writeTextElement("truncated", "0");
        xml.writeTextElement("difficult", "0");
        xml.writeStartElement("bndbox");
        xml.writeTextElement("xmin", QString::number(person.xmin + 1));
        xml.writeTextElement("ymin", QString::number(person.ymin + 1));
        xml.writeTextElement("xmax", QString::number(person.xmax));
        xml.writeTextElement("ymax", QString::number(person.ymax));
        xml.writeEndElement();
        xml.writeEndElement();
    }
    xml.writeEndDocument();
    return bytes;
}

} // namespace

std::vector<DemoPhoto> writeDemoPhotos(const QString& dir, const DemoPhotoOptions& options)
{
    return writePhotos(dir, options, PeoplePhotos, QStringLiteral("photo"));
}

std::vector<DemoPhoto> writeEmptyPhotos(const QString& dir, int count, std::uint32_t seed)
{
    DemoPhotoOptions options;
    options.seed = seed;
    options.count = count;
    return writePhotos(dir, options, EmptyPhotos, QStringLiteral("empty"));
}

bool writeCsvAnnotations(const QString& path, const std::vector<DemoPhoto>& photos)
{
    QByteArray bytes = "photo,xmin,ymin,xmax,ymax\n";
    for (const DemoPhoto& photo : photos)
        for (const PhotoPerson& p : photo.people)
            bytes += QStringLiteral("%1,%2,%3,%4,%5\n")
                         .arg(photo.name)
                         .arg(p.xmin)
                         .arg(p.ymin)
                         .arg(p.xmax)
                         .arg(p.ymax)
                         .toUtf8();
    return writeFile(path, bytes);
}

bool writeVocAnnotations(const QString& dir, const std::vector<DemoPhoto>& photos)
{
    for (const DemoPhoto& photo : photos) {
        const QString name = QFileInfo(photo.name).completeBaseName() + QStringLiteral(".xml");
        if (!writeFile(QDir(dir).filePath(name), vocAnnotation(photo)))
            return false;
    }
    return true;
}

DemoPhotoSet writeDemoPhotoSet(const QString& outDir, int count, std::uint32_t seed)
{
    DemoPhotoSet set;
    const QDir root(outDir);
    for (const char* sub : {"photos", "voc", "empty"}) {
        const QDir dir(root.filePath(sub));
        if (dir.exists() && !dir.isEmpty()) {
            set.error =
                QStringLiteral("%1 already holds files; give a new directory").arg(dir.path());
            return set;
        }
        if (!root.mkpath(sub)) {
            set.error = QStringLiteral("cannot create %1").arg(dir.path());
            return set;
        }
    }
    DemoPhotoOptions options;
    options.seed = seed;
    options.count = count;
    set.photos = writeDemoPhotos(root.filePath("photos"), options);
    if (set.photos.empty()) {
        set.error =
            QStringLiteral("cannot write the photographs into %1").arg(root.filePath("photos"));
        return set;
    }
    if (!writeCsvAnnotations(root.filePath("boxes.csv"), set.photos)) {
        set.error = QStringLiteral("cannot write %1").arg(root.filePath("boxes.csv"));
        return set;
    }
    if (!writeVocAnnotations(root.filePath("voc"), set.photos)) {
        set.error = QStringLiteral("cannot write the VOC files into %1").arg(root.filePath("voc"));
        return set;
    }
    // Their own stream already keeps them apart from the photographs of people.
    set.empty = writeEmptyPhotos(root.filePath("empty"), std::max(1, count / 5), seed);
    if (set.empty.empty())
        set.error =
            QStringLiteral("cannot write the photographs into %1").arg(root.filePath("empty"));
    return set;
}

PhotoFigure figureOfHeight(const FigureLook& look, int height)
{
    // The head and the shadow reach a row or so beyond the figure's own
    // rows, whatever its size: measure, and take the difference off.
    PhotoFigure figure{look, {}};
    double rows = height;
    for (int attempt = 0; attempt < 4; ++attempt) {
        figure.look.height = rows;
        figure.look.span = look.span * rows / look.height;
        figure.look.top = 0;
        figure.look.centreX = figure.look.span / 2;
        figure.box = paintedBox(figure.look);
        const int missing = height - (figure.box.ymax - figure.box.ymin);
        if (missing == 0)
            break;
        rows += missing;
    }
    return figure;
}
