#pragma once

#include <QString>

#include <vector>

// A file or directory of a command line, and the option or argument that
// names it ("--model", "PHOTO_OR_DIR"). An empty path stands for one not given.
struct NamedPath {
    QString what;
    QString path;
};

// Why the outputs may not be written, or an empty text: the first output that
// is one of the inputs, or lies inside an input directory, would overwrite
// the user's files or mix with them. Files are compared, not their spellings.
QString outputOverInput(const std::vector<NamedPath>& outputs,
                        const std::vector<NamedPath>& inputs);
