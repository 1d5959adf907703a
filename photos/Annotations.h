#pragma once

#include "Annotation.h"

#include <QString>

#include <vector>

// Reads the annotations a command line names: the CSV file csvFile, or
// when that is empty the Pascal VOC files of vocDir, as readCsvAnnotations
// and readVocAnnotations read them.
bool readAnnotations(const QString& csvFile, const QString& vocDir,
                     std::vector<AnnotatedPhoto>& photos, QString& error);
