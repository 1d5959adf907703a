#pragma once

#include <QImage>
#include <QString>

// Loads the image at path, its format taken from the file, into image as
// 32-bit RGB (with alpha when the file has it), so that every pixel reads as
// the file's colour and green outlines show whatever the file's own format.
// On failure image is null and why says what went wrong: why the file could
// not be opened ("Permission denied"), that its data is damaged (a file cut
// short included), or what the image library found. Nothing the image
// library says reaches standard error.
bool loadImage(const QString& path, QImage& image, QString& why);

// The size the header of the image at path gives, without reading the
// pixels; an invalid size when it gives none. Says nothing on standard error.
QSize imageHeaderSize(const QString& path);
