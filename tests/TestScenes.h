#pragma once

#include <QImage>
#include <QString>

#include <vector>

// A light, slightly noisy strip with dark upright figures (head, body,
// legs; 80x200 at the given left columns) standing at the top edge.
QImage sceneWithFigures(int width, int height, const std::vector<int>& figureXs, unsigned seed);

// Saves image as PNG at path; false when it cannot.
bool savePng(const QImage& image, const QString& path);
