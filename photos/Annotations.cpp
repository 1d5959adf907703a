#include "Annotations.h"

#include "CsvAnnotations.h"
#include "VocAnnotations.h"

bool readAnnotations(const QString& csvFile, const QString& vocDir,
                     std::vector<AnnotatedPhoto>& photos, QString& error)
{
    return csvFile.isEmpty() ? readVocAnnotations(vocDir, photos, error)
                             : readCsvAnnotations(csvFile, photos, error);
}
