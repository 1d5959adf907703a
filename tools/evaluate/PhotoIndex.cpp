#include "PhotoIndex.h"

#include <QDir>

int PhotoIndex::id(const QString& name)
{
    const QString clean = QDir::cleanPath(name);
    const auto found = ids.constFind(clean);
    if (found != ids.constEnd())
        return *found;
    if (closed)
        return -1;
    ids.insert(clean, size());
    names.append(clean);
    return size() - 1;
}
