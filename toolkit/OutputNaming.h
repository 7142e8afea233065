#pragma once
// The one way every tool names an output file without touching an existing one: "base.ext" in the folder,
// else "base(2).ext", "base(3).ext", ... — the first candidate at which nothing exists yet (a file, a
// folder or a dangling link). There is no upper bound; the first numbered name carries (2), so an output
// folder equal to the source's folder never overwrites the source. Any thread.
//
// Jobs running side by side write their files only when they end (the engine writes a hidden temporary
// file and renames it): a run that names several outputs passes its set of `reserved` paths, which are
// skipped as if they existed, and the path returned is added to it.
#include <QSet>
#include <QString>

class OutputNaming
{
public:
    // The first free path in `folder` for `baseName` and `extension` (given without its dot; an empty
    // extension gives names without a dot). A trailing slash on `folder` is allowed.
    static QString availablePath(const QString &folder, const QString &baseName, const QString &extension,
                                 QSet<QString> *reserved = nullptr);

    // The numbered form: "base1.ext", "base2.ext", ... — the first free one after the highest number
    // already in the folder, so a second run into the same folder continues after the first, gaps left
    // by a cancelled run included (the splitter's "<name>-split<n>.<ext>").
    static QString availableNumberedPath(const QString &folder, const QString &baseName,
                                         const QString &extension, QSet<QString> *reserved = nullptr);

    // Whether anything at all exists at `path`, a dangling symbolic link included.
    static bool exists(const QString &path);
};
