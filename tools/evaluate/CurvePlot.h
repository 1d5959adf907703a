#pragma once

#include "Metrics.h"

#include <QImage>
#include <QString>

// Two panels side by side: precision against recall, with the area of the
// average precision shaded, and the miss rate against false positives per
// image on log-log axes, with the range and the nine points of the
// log-average shown. Axes are labelled; each legend gives its measure.
// Text needs fonts: requires a QGuiApplication.
QImage plotCurves(const Evaluation& e);

// Writes plotCurves(e) as a PNG, as writeOutput writes. Otherwise returns
// false with error naming path.
bool writePlot(const QString& path, const Evaluation& e, QString& error);
