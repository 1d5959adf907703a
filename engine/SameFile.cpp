#include "SameFile.h"

#include <QFile>
#include <QString>

#include <filesystem>
#include <system_error>

bool sameFile(const QString& a, const QString& b)
{
    std::error_code error;
    return std::filesystem::equivalent(QFile::encodeName(a).toStdString(),
                                       QFile::encodeName(b).toStdString(), error) &&
           !error;
}
