#include "Figure.h"

#include "Palette.h"
#include "Random.h"
#include "Settings.h"

#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <array>
#include <cmath>

namespace
{

constexpr double kDegree = 3.141592653589793 / 180.0;

QPointF lerp(QPointF a, QPointF b, double t)
{
    return a + (b - a) * t;
}

// A limb segment from a to b, widthA wide at a and widthB wide at b, with a
// round joint at b so that the next segment bends smoothly.
QPainterPath limb(QPointF a, QPointF b, double widthA, double widthB)
{
    const QPointF d = b - a;
    const double length = std::max(std::hypot(d.x(), d.y()), 1e-6);
    const QPointF normal(-d.y() / length, d.x() / length);
    QPainterPath segment;
    segment.addPolygon(QPolygonF({a + normal * (widthA / 2), b + normal * (widthB / 2),
                                  b - normal * (widthB / 2), a - normal * (widthA / 2)}));
    segment.closeSubpath();
    QPainterPath joint;
    joint.addEllipse(b, widthB / 2, widthB / 2);
    return segment.united(joint);
}

QPainterPath ellipse(QPointF centre, double rx, double ry)
{
    QPainterPath path;
    path.addEllipse(centre, rx, ry);
    return path;
}

// Where one arm of a figure goes: shoulder joint, elbow and hand.
struct Arm {
    QPointF shoulder;
    QPointF elbow;
    QPointF hand;
};

// The pixel geometry of a figure, worked out once from its look.
class Body
{
public:
    explicit Body(const FigureLook& look);

    void paint(QPainter& painter) const;

private:
    // Fills a part as a rounded surface lit from the figure's light side.
    void fill(QPainter& painter, const QPainterPath& part, const QColor& colour) const;

    Arm arm(int side, double reach, double bend) const;
    QPainterPath torso() const;
    void paintShadow(QPainter& painter) const;
    void paintLegs(QPainter& painter) const;
    void paintArm(QPainter& painter, const Arm& arm) const;
    void paintHead(QPainter& painter) const;

    const FigureLook& look;
    double cx, top, sole, span;
    double headHeight, headWidth, headX;
    double shoulderY, shoulderHalf, shoulderDrop, neckWidth;
    double waistY, waistHalf, hipY, hipHalf;
    double armWidth, wristWidth, upperArm, forearm, handRadius;
    double thighWidth, kneeWidth, ankleWidth, ankleY, shoeLength, shoeHeight;
};

// Proportions are shares of the figure's height and span, close to an
// adult's with the limbs a little thick, so that they stay clear after blur.
Body::Body(const FigureLook& figure) : look(figure)
{
    const double h = look.height;
    const double w = look.span;
    cx = look.centreX;
    top = look.top;
    sole = look.top + h;
    span = w;

    headHeight = 0.14 * h;
    headWidth = 0.75 * headHeight;
    headX = cx + 0.8 * look.facing;
    shoulderY = top + headHeight + 0.02 * h;
    shoulderHalf = std::min(0.29 * w * look.build, 0.32 * w);
    shoulderDrop = 0.045 * h;
    neckWidth = 0.42 * headWidth;
    waistY = top + 0.49 * h;
    waistHalf = 0.74 * shoulderHalf;
    hipY = top + 0.555 * h;
    hipHalf = 0.82 * shoulderHalf;

    armWidth = 0.125 * w * look.build;
    wristWidth = 0.085 * w;
    upperArm = 0.165 * h;
    forearm = 0.15 * h;
    handRadius = 0.5 * wristWidth + 1.2;

    thighWidth = 0.2 * w * look.build;
    kneeWidth = 0.14 * w * look.build;
    ankleWidth = 0.095 * w;
    shoeHeight = 0.04 * h;
    shoeLength = 0.17 * w;
    ankleY = sole - shoeHeight - 0.005 * h;
}

void Body::fill(QPainter& painter, const QPainterPath& part, const QColor& colour) const
{
    const QRectF box = part.boundingRect();
    painter.fillPath(part, Palette::rounded(colour, box.left(), box.right(), look.light));
}

// Places the hand at the wanted reach: the upper arm's angle from the
// vertical is found by bisection, the forearm bent by a fixed angle beyond it.
// The hand is the palm's centre, a little beyond the end of the forearm.
Arm Body::arm(int side, double reach, double bend) const
{
    Arm result;
    const double inset = shoulderHalf - 0.45 * armWidth;
    result.shoulder = QPointF(cx + side * inset, shoulderY + shoulderDrop + 0.01 * look.height);
    const double hand = forearm + 0.8 * handRadius;
    const double target = reach * (span / 2 - handRadius - 0.5);
    const auto handOffset = [&](double angle) {
        return inset + upperArm * std::sin(angle) + hand * std::sin(angle + bend);
    };
    double low = -5 * kDegree;
    double high = 45 * kDegree;
    for (int i = 0; i < 40; ++i) {
        const double middle = (low + high) / 2;
        (handOffset(middle) < target ? low : high) = middle;
    }
    const double angle = low;
    result.elbow =
        result.shoulder + QPointF(side * upperArm * std::sin(angle), upperArm * std::cos(angle));
    result.hand =
        result.elbow + QPointF(side * hand * std::sin(angle + bend), hand * std::cos(angle + bend));
    return result;
}

QPainterPath Body::torso() const
{
    // Left outline from the neck down; the right one mirrors it.
    const auto outline = [&](int side) {
        return std::array<QPointF, 7>{
            QPointF(cx + side * 0.5 * neckWidth, shoulderY),
            QPointF(cx + side * 0.7 * shoulderHalf, shoulderY + 0.25 * shoulderDrop),
            QPointF(cx + side * shoulderHalf, shoulderY + shoulderDrop),
            QPointF(cx + side * (shoulderHalf + 1.5), shoulderY + shoulderDrop + 4),
            QPointF(cx + side * 0.86 * shoulderHalf, shoulderY + 0.16 * look.height),
            QPointF(cx + side * waistHalf, waistY),
            QPointF(cx + side * hipHalf, hipY)};
    };
    const auto left = outline(-1);
    const auto right = outline(1);
    QPainterPath path(left[0]);
    path.quadTo(left[1], left[2]);
    path.quadTo(left[3], left[4]);
    path.lineTo(left[5]);
    path.lineTo(left[6]);
    path.lineTo(right[6]);
    path.lineTo(right[5]);
    path.lineTo(right[4]);
    path.quadTo(right[3], right[2]);
    path.quadTo(right[1], right[0]);
    path.closeSubpath();
    return path;
}

void Body::paintShadow(QPainter& painter) const
{
    painter.fillPath(ellipse(QPointF(cx, sole - 1.5), 0.45 * span, 2.0), QColor(0, 0, 0, 70));
}

void Body::paintLegs(QPainter& painter) const
{
    const int f = look.facing;
    const double reach = look.stride * (span / 2 - 0.6 * shoeLength);
    const double legTopY = top + 0.54 * look.height;
    // Trailing leg first, so that the leading one stands in front of it.
    for (const int side : {-f, f}) {
        const bool leading = side == f;
        const QPointF hip(cx + side * 0.48 * hipHalf, legTopY);
        const QPointF ankle(cx + side * reach * (leading ? 1.0 : 0.9), ankleY);
        const double bendShare = look.walking ? (leading ? 0.01 : 0.07) : 0.0;
        const QPointF knee = lerp(hip, ankle, 0.5) + QPointF(f * bendShare * span, 0);

        const QPainterPath thigh = limb(hip, knee, thighWidth, kneeWidth);
        const QPainterPath shin = limb(knee, ankle, kneeWidth, ankleWidth);
        const bool bareShin = look.lowerStyle != FigureLook::Lower::Trousers;
        fill(painter, shin, bareShin ? look.skin : look.lower);
        fill(painter, thigh, look.lowerStyle == FigureLook::Lower::Skirt ? look.skin : look.lower);

        QPainterPath shoe;
        shoe.addRoundedRect(QRectF(ankle.x() - (f > 0 ? 0.4 : 0.6) * shoeLength, sole - shoeHeight,
                                   shoeLength, shoeHeight),
                            0.45 * shoeHeight, 0.45 * shoeHeight);
        fill(painter, shoe, look.shoes);
    }

    QPainterPath pelvis;
    if (look.lowerStyle == FigureLook::Lower::Skirt) {
        const double hem = top + 0.72 * look.height;
        pelvis.addPolygon(
            QPolygonF({QPointF(cx - waistHalf, waistY), QPointF(cx + waistHalf, waistY),
                       QPointF(cx + 1.35 * hipHalf, hem), QPointF(cx - 1.35 * hipHalf, hem)}));
    } else {
        pelvis.addPolygon(
            QPolygonF({QPointF(cx - waistHalf, waistY), QPointF(cx + waistHalf, waistY),
                       QPointF(cx + hipHalf, hipY), QPointF(cx, top + 0.6 * look.height),
                       QPointF(cx - hipHalf, hipY)}));
    }
    pelvis.closeSubpath();
    fill(painter, pelvis, look.lower);
}

void Body::paintArm(QPainter& painter, const Arm& a) const
{
    const QColor sleeve = Palette::scaled(look.shirt, 0.9);
    const QPainterPath upper = limb(a.shoulder, a.elbow, armWidth, 0.85 * armWidth)
                                   .united(ellipse(a.shoulder, armWidth / 2, armWidth / 2));
    const QPointF wrist = lerp(a.elbow, a.hand, forearm / (forearm + 0.8 * handRadius));
    const QPainterPath lowerArm = limb(a.elbow, wrist, 0.85 * armWidth, wristWidth);
    fill(painter, ellipse(a.hand, handRadius, 1.3 * handRadius), look.skin);
    if (look.longSleeves) {
        fill(painter, upper.united(lowerArm), sleeve);
    } else {
        fill(painter, lowerArm, look.skin);
        fill(painter,
             limb(a.shoulder, lerp(a.shoulder, a.elbow, 0.7), armWidth, 0.9 * armWidth)
                 .united(ellipse(a.shoulder, armWidth / 2, armWidth / 2)),
             sleeve);
    }
}

void Body::paintHead(QPainter& painter) const
{
    const double rx = headWidth / 2;
    const QPointF centre(headX, top + headHeight / 2);
    const QRectF crown(headX - rx - 0.8, top - 0.3, headWidth + 1.6, 0.75 * headHeight);

    if (look.hairStyle == FigureLook::Hair::Long) {
        QPainterPath back;
        back.addRoundedRect(QRectF(headX - rx - 2.5, top + 0.2 * headHeight, headWidth + 5,
                                   0.95 * headHeight + 0.04 * look.height),
                            5, 5);
        fill(painter, back, look.hair);
    }

    QPainterPath neck;
    neck.addRect(QRectF(headX - neckWidth / 2, top + 0.8 * headHeight, neckWidth,
                        shoulderY + 2 - (top + 0.8 * headHeight)));
    fill(painter, neck, Palette::scaled(look.skin, 0.85));
    fill(painter, ellipse(centre, rx, headHeight / 2), look.skin);

    if (look.hairStyle == FigureLook::Hair::Bald)
        return;
    QPainterPath hair;
    hair.arcMoveTo(crown, -15);
    hair.arcTo(crown, -15, 210);
    hair.closeSubpath();
    fill(painter, hair, look.hair);
    if (look.hairStyle == FigureLook::Hair::Cap) {
        QPainterPath cap;
        const QRectF dome(headX - rx - 1, top - 1, headWidth + 2, 0.6 * headHeight);
        cap.arcMoveTo(dome, 0);
        cap.arcTo(dome, 0, 180);
        cap.closeSubpath();
        cap.addEllipse(QPointF(headX + look.facing * 0.45 * headWidth, top + 0.28 * headHeight),
                       0.35 * headWidth, 1.6);
        fill(painter, cap, look.inner);
    }
}

void Body::paint(QPainter& painter) const
{
    paintShadow(painter);
    paintLegs(painter);

    const QPainterPath chest = torso();
    fill(painter, chest, look.shirt);
    if (look.openJacket) {
        QPainterPath front;
        front.addPolygon(QPolygonF({QPointF(cx - 0.6 * neckWidth, shoulderY),
                                    QPointF(cx + 0.6 * neckWidth, shoulderY),
                                    QPointF(cx + 0.22 * shoulderHalf, waistY + 3),
                                    QPointF(cx - 0.22 * shoulderHalf, waistY + 3)}));
        front.closeSubpath();
        fill(painter, front, look.inner);
    }

    const int f = look.facing;
    const double leadBend = look.walking ? 18 * kDegree : 8 * kDegree;
    const double trailBend = look.walking ? 6 * kDegree : 8 * kDegree;
    paintArm(painter, arm(-f, look.trailReach, trailBend));
    paintArm(painter, arm(f, look.leadReach, leadBend));

    paintHead(painter);
}

} // namespace

FigureLook randomFigure(Random& random, const FigureSettings& settings, double centreX)
{
    FigureLook look;
    look.span = random.uniform(settings.minWidth, settings.maxWidth);
    const double slack = std::min(settings.maxShift, (settings.maxWidth - look.span) / 2);
    look.centreX = centreX + random.real(-slack, slack);
    const int headTop = random.uniform(0, settings.maxHeadTop);
    const int highest = std::max(settings.highestSole, headTop + settings.minHeight);
    const int lowest = std::min(settings.lowestSole, headTop + settings.maxHeight);
    const int sole = random.uniform(std::min(highest, lowest), lowest);
    look.top = headTop;
    look.height = sole - headTop;
    look.build = random.real(settings.minBuild, settings.maxBuild);

    look.walking = random.chance(settings.walkingShare);
    look.facing = random.chance(0.5) ? 1 : -1;
    if (look.walking) {
        look.stride = random.real(settings.minStride, settings.maxStride);
        look.leadReach = random.real(0.88, 1.0);
        look.trailReach = random.real(0.75, 0.95);
    } else {
        look.stride = random.real(settings.minStance, settings.maxStance);
        look.leadReach = random.real(0.75, 0.95);
        look.trailReach = random.real(0.75, 0.95);
    }
    look.light = random.real(-settings.maxShading, settings.maxShading);

    const int hair = random.uniform(0, 9);
    look.hairStyle = hair < 5   ? FigureLook::Hair::Short
                     : hair < 7 ? FigureLook::Hair::Long
                     : hair < 9 ? FigureLook::Hair::Cap
                                : FigureLook::Hair::Bald;
    const int lower = random.uniform(0, 9);
    look.lowerStyle = lower < 7   ? FigureLook::Lower::Trousers
                      : lower < 9 ? FigureLook::Lower::Shorts
                                  : FigureLook::Lower::Skirt;
    look.longSleeves = random.chance(0.6);
    look.openJacket = random.chance(0.3);

    look.skin = Palette::skin(random);
    look.hair = Palette::hair(random);
    look.shirt = Palette::clothing(random);
    look.inner = Palette::clothing(random);
    look.lower = Palette::clothing(random);
    look.shoes = Palette::shoes(random);
    return look;
}

void drawFigure(QPainter& painter, const FigureLook& look)
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    Body(look).paint(painter);
    painter.restore();
}
