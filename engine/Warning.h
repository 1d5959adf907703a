#pragma once

class QString;

// Writes one line to standard error. The engine reports why something failed
// here; the user-facing report stays the short one the front end shows.
void warn(const QString& text);
