#pragma once

#include <QImage>
#include <QString>

// Loads the image at path, its format taken from the file, into image as
// 32-bit RGB (with alpha when the file has it), so that every pixel reads as
// the file's colour and green outlines show whatever the file's own format.
// On failure image is null and why says what went wrong.
bool loadImage(const QString& path, QImage& image, QString& why);
