#pragma once

#include <QString>
#include <QStringList>

#include <vector>

// A photograph to search: where it is, and the name its rows carry.
struct PhotoFile {
    QString path;
    QString name;
};

// The PNG and JPEG files (.png, .jpg, .jpeg in any case) of folder and its
// subfolders, named relative to it ("street/0041.jpg") as the annotations of
// ombre-prepare --photos name them, sorted by those names. Empty when there
// are none, or no such folder.
std::vector<PhotoFile> photosInFolder(const QString& folder);

// The photographs the arguments name, in their order: a file as given, under
// its name as given; a directory's photographs as photosInFolder
// names them, which is what their rows carry. When there is more than one argument,
// those names start with the directory's own name ("photos/street/0041.jpg").
// An argument that names nothing, or a directory without such files, adds a
// line to problems that names it.
std::vector<PhotoFile> listPhotos(const QStringList& arguments, QStringList& problems);

// Why the rows of two of the photographs could not be told apart: two
// different files under one name (x.png of two directories both called
// "photos"), naming both; an empty text when every name is its own file's.
QString sharedName(const std::vector<PhotoFile>& photos);
