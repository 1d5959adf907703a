#include "ImageLoader.h"

#include <QImageReader>

bool loadImage(const QString& path, QImage& image, QString& why)
{
    QImageReader reader(path);
    if (!reader.read(&image)) {
        why = reader.errorString();
        image = QImage();
        return false;
    }
    const QImage::Format wanted =
        image.hasAlphaChannel() ? QImage::Format_ARGB32 : QImage::Format_RGB32;
    if (image.format() != wanted)
        image.convertTo(wanted);
    if (image.isNull()) {
        why = QStringLiteral("not enough memory to convert the image");
        return false;
    }
    return true;
}
