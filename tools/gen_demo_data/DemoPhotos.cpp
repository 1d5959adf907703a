#include "DemoPhotos.h"

#include "Background.h"
#include "Camera.h"
#include "Clutter.h"
#include "Figure.h"
#include "OutputTarget.h"
#include "Palette.h"
#include "Random.h"
#include "Settings.h"

#include <QDir>
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
    HardPeoplePhotos,
    HardEmptyPhotos,
};

// The demo backgrounds are drawn around figures about this high; a
// photograph's background is drawn at that scale and enlarged to its people.
constexpr double kStripFigure = 190;
// The wall or sky of a background: its ground starts at row 150 or below.
constexpr int kWallRows = 140;
// drawBackground wants at least this many rows.
constexpr int kBackgroundRows = 200;

// A lookalike or a screen in front of the background, standing on the
// bottom row of its extent.
struct Prop {
    QRectF extent;
    bool screen = false;
    Screen kind = Screen::Wall;
};

// Where a photograph's background goes: drawn at 1 / scale, its row 0 put on
// the photograph's row top, and the rows above that filled. Then the people,
// at their extents, and the props, nearer ones over farther ones.
struct Layout {
    int width = 0;
    int height = 0;
    double scale = 1;
    double top = 0;
    // The people's boxes, their figures and where those are drawn: past the
    // edges for a person cut off.
    std::vector<PhotoPerson> people;
    std::vector<PhotoFigure> figures;
    std::vector<PhotoPerson> extents;
    std::vector<Prop> props;
    // The side the props' light comes from, as in Scene.
    double light = 0;
    // The chance that the background is a street rather than a room.
    double outdoorShare = ClutterSettings().outdoorShare;
    CameraSettings camera;
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
    layout.extents = layout.people;
    return layout;
}

// ---- The hard setting ----

// Where people stand on the ground: a person whose soles are on row y is
// (y - horizon) / eye rows high, eye being the share of a person's height
// below the camera's eyes.
struct Ground {
    double horizon = 0;
    double eye = 0.9;
    // The farthest soles, at the foot of the background's wall.
    int farSole = 0;

    double heightAt(double sole) const { return (sole - horizon) / eye; }
};

double area(const QRectF& box)
{
    return box.isEmpty() ? 0 : box.width() * box.height();
}

QRectF rectOf(const PhotoPerson& box)
{
    return QRectF(box.xmin, box.ymin, box.xmax - box.xmin, box.ymax - box.ymin);
}

// Whether nearer people and props hide more of someone's box than the
// settings allow. Of two people on one row each counts as hiding the other.
bool hidesTooMuch(const Layout& layout, double maxHidden)
{
    for (std::size_t i = 0; i < layout.people.size(); ++i) {
        const QRectF box = rectOf(layout.people[i]);
        const int sole = layout.extents[i].ymax;
        double hidden = 0;
        for (std::size_t j = 0; j < layout.people.size(); ++j)
            if (j != i && layout.extents[j].ymax >= sole)
                hidden += area(box & rectOf(layout.people[j]));
        for (const Prop& prop : layout.props)
            if (prop.extent.bottom() >= sole)
                hidden += area(box & prop.extent);
        if (hidden > maxHidden * area(box))
            return true;
    }
    return false;
}

// Adds the prop unless it hides too much of someone.
bool tryProp(Layout& layout, const Prop& prop, const HardPhotoSettings& hard)
{
    layout.props.push_back(prop);
    if (!hidesTooMuch(layout, hard.maxHidden))
        return true;
    layout.props.pop_back();
    return false;
}

// A screen of the kind, its top on row top and its foot on row sole,
// covering the columns from centre - reach to centre + reach and more.
Prop screenAt(Random& random, Screen kind, double centre, double reach, double top, double sole)
{
    const double high = sole - top;
    double length = 0;
    if (kind == Screen::Car)
        length = high * random.real(2.2, 2.8);
    else if (kind == Screen::Table)
        length = 2 * reach * random.real(1.3, 2.4);
    else
        length = 2 * reach * random.real(1.5, 6);
    length = std::max(length, 2 * reach);
    const double shift = random.real(-0.5, 0.5) * (length - 2 * reach);
    return {QRectF(centre + shift - length / 2, top, length, high), true, kind};
}

// Something in front of the person's lower body: its top from minShown to
// 75 percent of the way down them, its foot a little nearer.
void screenPerson(Layout& layout, Random& random, const PhotoPerson& extent,
                  const HardPhotoSettings& hard)
{
    const Screen kind = Screen(random.uniform(0, kScreenKinds - 1));
    const int height = extent.ymax - extent.ymin;
    const double shown = random.real(hard.minShown, 0.75);
    const double nearer = random.real(0.02, 0.1);
    tryProp(layout,
            screenAt(random, kind, (extent.xmin + extent.xmax) / 2.0,
                     (extent.xmax - extent.xmin) / 2.0, extent.ymin + shown * height,
                     extent.ymax + nearer * height),
            hard);
}

// Where a new person's extent starts: beside someone already placed, boxes
// overlapping; at a side edge, cut off; or anywhere across.
int chooseLeft(const Layout& layout, Random& random, int width, const HardPhotoSettings& hard)
{
    if (!layout.people.empty() && random.chance(hard.groupShare)) {
        const int index = random.uniform(0, int(layout.extents.size()) - 1);
        const PhotoPerson& other = layout.extents[std::size_t(index)];
        const double reach = (other.xmax - other.xmin + width) / 2.0 * random.real(0.45, 0.95);
        const bool right = random.chance(0.5);
        const double centre = (other.xmin + other.xmax) / 2.0 + (right ? reach : -reach);
        return int(std::lround(centre - width / 2.0));
    }
    if (random.chance(hard.edgeShare)) {
        const int cut = int(width * random.real(0.1, hard.maxCut));
        const bool right = random.chance(0.5);
        return right ? layout.width - width + cut : -cut;
    }
    return random.uniform(0, std::max(0, layout.width - width));
}

// Tries to add one person between the heights least and most, nearer ones
// lower; false when the place drawn cuts off or hides too much of someone.
bool tryPerson(Layout& layout, Random& random, const Ground& ground, int least, int most,
               const DemoPhotoOptions& options, const HardPhotoSettings& hard)
{
    // Squared: there are more people far away, small, than near.
    const double nearness = random.real(0, 1);
    const int height = least + int(std::lround((most - least) * nearness * nearness));
    const FigureLook look = randomFigure(random, FigureSettings(), 0);
    const PhotoFigure figure = figureOfHeight(look, height);
    const int width = figure.box.xmax - figure.box.xmin;
    const int left = chooseLeft(layout, random, width, hard);
    const int sole = int(std::lround(ground.horizon + ground.eye * height));
    const PhotoPerson extent{left, sole - height, left + width, sole};
    const PhotoPerson box{std::max(extent.xmin, 0), std::max(extent.ymin, 0),
                          std::min(extent.xmax, layout.width), std::min(extent.ymax, layout.height),
                          extent.xmin < 0 || extent.ymin < 0 || extent.xmax > layout.width ||
                              extent.ymax > layout.height};
    const double kept = 1 - hard.maxCut;
    if (box.xmax - box.xmin < kept * width || box.ymax - box.ymin < kept * height ||
        box.ymax - box.ymin < options.minPersonHeight)
        return false;
    layout.people.push_back(box);
    layout.figures.push_back(figure);
    layout.extents.push_back(extent);
    if (hidesTooMuch(layout, hard.maxHidden)) {
        layout.people.pop_back();
        layout.figures.pop_back();
        layout.extents.pop_back();
        return false;
    }
    // Someone cut off by an edge already shows little enough.
    if (!box.truncated && random.chance(hard.screenedShare))
        screenPerson(layout, random, extent, hard);
    return true;
}

// Person-like things, and now and then a screen with nobody behind it,
// anywhere on the ground, as tall as a person standing where they stand.
void placeProps(Layout& layout, Random& random, const Ground& ground, const HardPhotoSettings& hard)
{
    const int lookalikes = random.uniform(hard.minLookalikes, hard.maxLookalikes);
    for (int i = 0; i < lookalikes; ++i) {
        const double sole = random.real(ground.farSole, layout.height);
        const double person = ground.heightAt(sole);
        const double height = person * random.real(0.75, 1.2);
        const double width = person * random.real(0.15, 0.4);
        const double centre = random.real(0, layout.width);
        tryProp(layout, {QRectF(centre - width / 2, sole - height, width, height)}, hard);
    }
    if (random.chance(0.3)) {
        const Screen kind = Screen(random.uniform(0, kScreenKinds - 1));
        const double sole = random.real(ground.farSole, layout.height);
        const double person = ground.heightAt(sole);
        const double top = sole - person * random.real(0.35, 0.6);
        const double centre = random.real(0, layout.width);
        tryProp(layout, screenAt(random, kind, centre, 0.2 * person, top, sole), hard);
    }
}

Layout planHardPhoto(Random& random, const DemoPhotoOptions& options, bool withPeople)
{
    const HardPhotoSettings hard;
    Layout layout;
    layout.width = random.uniform(options.minWidth, options.maxWidth);
    layout.height = random.uniform(options.minHeight, options.maxHeight);
    layout.light = random.real(-0.3, 0.3);
    layout.camera = hard.camera;
    const int tallest = std::min(options.maxPersonHeight, layout.height);
    const int least = std::min(options.minPersonHeight, tallest);
    // The farthest people are at most half the photograph high, so that
    // nearer ones have room to be larger; squared, so that most photographs
    // look far down a street or a hall.
    const int farLimit = std::max(least, std::min(hard.maxFarHeight, tallest / 2));
    const double spread = random.real(0, 1);
    const int far = least + int(std::lround((farLimit - least) * spread * spread));
    layout.scale = far / kStripFigure;
    Ground ground;
    const int lowestSole = layout.height * 3 / 4;
    ground.farSole = random.uniform(std::min(far + layout.height / 8, lowestSole), lowestSole);
    ground.eye = random.real(0.82, 0.97);
    ground.horizon = ground.farSole - ground.eye * far;
    layout.top = ground.farSole - FigureSettings().lowestSole * layout.scale;
    // Far people make for a long view: a street under the sky, not a room
    // with many storeys above it.
    if (far < hard.leastIndoorHeight)
        layout.outdoorShare = 1;
    // The nearest people: no taller than allowed, their heads inside the
    // photograph, and at most maxCut of them below its bottom.
    const double cutLimit = (layout.height - ground.horizon) / (ground.eye - hard.maxCut);
    const double headLimit = ground.horizon / (1 - ground.eye);
    const int most = std::max(far, int(std::min({double(tallest), cutLimit, headLimit})));
    if (withPeople) {
        const int wanted = random.uniform(1, std::max(options.maxPeople, 1));
        for (int i = 0; i < wanted; ++i)
            for (int attempt = 0; attempt < 10; ++attempt)
                if (tryPerson(layout, random, ground, far, most, options, hard))
                    break;
    }
    placeProps(layout, random, ground, hard);
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
    const bool outdoor = random.chance(layout.outdoorShare);
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
    // Farther first: what stands lower is nearer and hides it. People go
    // before props on the same row, so a person's screen is drawn over them.
    std::vector<std::pair<double, std::size_t>> order;
    for (std::size_t i = 0; i < layout.extents.size(); ++i)
        order.emplace_back(layout.extents[i].ymax, i);
    for (std::size_t i = 0; i < layout.props.size(); ++i)
        order.emplace_back(layout.props[i].extent.bottom(), layout.extents.size() + i);
    std::stable_sort(order.begin(), order.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    {
        QPainter painter(&image);
        for (const auto& [sole, index] : order) {
            painter.resetTransform();
            if (index >= layout.extents.size()) {
                const Prop& prop = layout.props[index - layout.extents.size()];
                if (prop.screen)
                    drawScreen(painter, random, prop.kind, prop.extent, layout.light);
                else
                    drawLookalike(painter, random, prop.extent, layout.light);
                continue;
            }
            const PhotoPerson& at = layout.extents[index];
            const PhotoFigure& figure = layout.figures[index];
            // Whole pixels only, so that the figure paints what was measured.
            painter.translate(at.xmin - figure.box.xmin, at.ymin - figure.box.ymin);
            drawFigure(painter, figure.look);
        }
    }
    develop(image, random, layout.camera);
    return image;
}

std::vector<DemoPhoto> writePhotos(const QString& dir, const DemoPhotoOptions& options,
                                   Stream stream, const QString& prefix)
{
    const bool withPeople = stream == PeoplePhotos || stream == HardPeoplePhotos;
    std::vector<DemoPhoto> photos;
    for (int i = 0; i < options.count; ++i) {
        Random random(options.seed, stream, std::uint32_t(i));
        const bool inCorner = withPeople && options.personInCorner && i == 0;
        const Layout layout = options.hard ? planHardPhoto(random, options, withPeople)
                                           : planPhoto(random, options, withPeople, inCorner);
        const bool png = i % 2 == 1;
        const QString name = QStringLiteral("%1-%2.%3").arg(prefix).arg(i).arg(png ? "png" : "jpg");
        const QImage image = renderPhoto(layout, random);
        // Light compression: noisy pictures barely shrink at the slow levels.
        const auto save = [&](QIODevice& file) {
            return image.save(&file, png ? "PNG" : "JPG", png ? 80 : -1);
        };
        QString why;
        if (!writeOutput(QDir(dir).filePath(name), save, why))
            return {};
        std::vector<PhotoPerson> people = layout.people;
        std::stable_sort(
            people.begin(), people.end(),
            [](const PhotoPerson& a, const PhotoPerson& b) { return a.xmin < b.xmin; });
        photos.push_back({name, layout.width, layout.height, people});
    }
    return photos;
}

bool writeFile(const QString& path, const QByteArray& bytes)
{
    QString why;
    return writeOutput(
        path, [&](QIODevice& file) { return file.write(bytes) == bytes.size(); }, why);
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
        xml.writeTextElement("truncated", person.truncated ? "1" : "0");
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

DemoPhotoOptions hardPhotoOptions(std::uint32_t seed, int count)
{
    DemoPhotoOptions options;
    options.seed = seed;
    options.count = count;
    options.minWidth = 480;
    options.maxWidth = 1280;
    options.minHeight = 360;
    options.maxHeight = 960;
    options.minPersonHeight = 60;
    options.maxPersonHeight = 700;
    options.maxPeople = 6;
    options.hard = true;
    return options;
}

std::vector<DemoPhoto> writeDemoPhotos(const QString& dir, const DemoPhotoOptions& options)
{
    return writePhotos(dir, options, options.hard ? HardPeoplePhotos : PeoplePhotos,
                       QStringLiteral("photo"));
}

std::vector<DemoPhoto> writeEmptyPhotos(const QString& dir, int count, std::uint32_t seed,
                                        bool hard)
{
    DemoPhotoOptions options = hard ? hardPhotoOptions(seed, count) : DemoPhotoOptions();
    options.seed = seed;
    options.count = count;
    return writePhotos(dir, options, hard ? HardEmptyPhotos : EmptyPhotos, QStringLiteral("empty"));
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

DemoPhotoSet writeDemoPhotoSet(const QString& outDir, int count, std::uint32_t seed, bool hard)
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
    DemoPhotoOptions options = hard ? hardPhotoOptions(seed, count) : DemoPhotoOptions();
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
    set.empty = writeEmptyPhotos(root.filePath("empty"), std::max(1, count / 5), seed, hard);
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
