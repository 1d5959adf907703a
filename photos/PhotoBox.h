#pragma once

// A box in photograph pixels counted from 0 at the top-left corner, maxima
// exclusive: a person marked in an annotation, or one found in a scaled
// level, and so not always on whole pixels.
struct PhotoBox {
    double xmin = 0;
    double ymin = 0;
    double xmax = 0;
    double ymax = 0;
};

// A box further inside another than this share of its own area is taken for
// a part of the same person.
constexpr double kMostlyInside = 0.7;

double area(const PhotoBox& a);

// The area the two boxes share; 0 when they do not meet.
double intersection(const PhotoBox& a, const PhotoBox& b);

// The area the two boxes share over the area they cover together; 0 when
// they do not meet.
double intersectionOverUnion(const PhotoBox& a, const PhotoBox& b);

// Whether the intersection over union exceeds most, worked out without a
// division so that a tie is decided the same way on every machine.
bool overlapsMoreThan(const PhotoBox& a, const PhotoBox& b, double most);

// Whether more than kMostlyInside of a's area lies inside b.
bool mostlyInside(const PhotoBox& a, const PhotoBox& b);
