#pragma once

class QString;

// Whether the two paths name one existing file, however they are spelled:
// through links, dots or another path to the same directory.
bool sameFile(const QString& a, const QString& b);
