#pragma once

#include <QHash>
#include <QString>
#include <QStringList>

// The photographs of an evaluation, numbered 0, 1, ... in the order they
// are first named. A name is cleaned first, so that "./a.png" and "a.png"
// are one photograph.
class PhotoIndex
{
public:
    // The number of the photograph called name, added when new, or -1 when
    // it is new and the index is closed.
    int id(const QString& name);

    // From now on no photograph is added.
    void close() { closed = true; }

    int size() const { return static_cast<int>(names.size()); }
    const QString& name(int id) const { return names[id]; }

private:
    QHash<QString, int> ids;
    QStringList names;
    bool closed = false;
};
