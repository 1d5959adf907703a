#pragma once

#include <QString>

#include <vector>

// A person's box in photo pixels, counted from 0 at the top-left corner:
// columns xmin to xmax - 1 and rows ymin to ymax - 1 (the maxima are
// exclusive, as in a location file).
struct PersonBox {
    int xmin = 0;
    int ymin = 0;
    int xmax = 0;
    int ymax = 0;
    // The annotation that gave the box, "FILE:LINE", for messages.
    QString where;
    // VOC's <difficult>1</difficult>: ombre-evaluate counts such a person
    // neither found nor missed.
    bool difficult = false;
};

// One photograph and the people marked in it.
struct AnnotatedPhoto {
    // The photograph's name as the annotation gives it, relative to the
    // directory of photographs.
    QString name;
    // Where the photograph is first named, "FILE:LINE", for messages.
    QString where;
    std::vector<PersonBox> people;
};
