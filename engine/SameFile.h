#pragma once

class QString;

// Whether the two paths name one existing file, however they are spelled:
// through links, dots or another path to the same directory.
bool sameFile(const QString& a, const QString& b);

// Whether path, which need not exist yet, lies somewhere below the existing
// directory dir, however either is spelled: links and dots are followed as
// far as path exists.
bool liesInside(const QString& path, const QString& dir);
