#pragma once
// The one way every tool names an output file without touching an existing one: "base.ext" in the folder,
// else "base(2).ext", "base(3).ext", ... — the first candidate at which nothing exists yet (a file, a
// folder or a dangling link). There is no upper bound; the first numbered name carries (2), so an output
// folder equal to the source's folder never overwrites the source. Any thread.
#include <QString>

class OutputNaming
{
public:
    // The first free path in `folder` for `baseName` and `extension` (given without its dot; an empty
    // extension gives names without a dot). A trailing slash on `folder` is allowed.
    static QString availablePath(const QString &folder, const QString &baseName, const QString &extension);

    // Whether anything at all exists at `path`, a dangling symbolic link included.
    static bool exists(const QString &path);
};
