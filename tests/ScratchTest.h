#pragma once

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>
#include <gtest/gtest.h>

// A test with a temporary directory of its own, removed after it.
class ScratchTest : public testing::Test
{
protected:
    QTemporaryDir dir;

    QString path(const QString& name) const { return dir.filePath(name); }

    // Writes content to the file name in the directory; returns its path.
    QString write(const QString& name, const QByteArray& content) const;

    // The content of the file name, or an empty text when it cannot be read.
    QByteArray read(const QString& name) const;
};
