#include "BoxOutsidePhoto.h"

BoxOutside boxOutside(const PersonBox& b, QSize size)
{
    if (b.xmax <= 0 || b.ymax <= 0 || b.xmin >= size.width() || b.ymin >= size.height())
        return BoxOutside::Whole;
    if (b.xmin < 0 || b.ymin < 0 || b.xmax > size.width() || b.ymax > size.height())
        return BoxOutside::Part;
    return BoxOutside::Nothing;
}

QString boxLeavesPhotoError(const PersonBox& b, const QString& photo, QSize size)
{
    return QStringLiteral("%1: the box %2,%3,%4,%5 leaves the photograph %6, which is %7 x %8 "
                          "pixels")
        .arg(b.where)
        .arg(b.xmin)
        .arg(b.ymin)
        .arg(b.xmax)
        .arg(b.ymax)
        .arg(photo)
        .arg(size.width())
        .arg(size.height());
}
