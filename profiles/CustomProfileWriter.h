#pragma once
// Writes the user's custom output profiles: "<name>.pf" in the custom folder
// (ProfileLibrary::customFolder()), one text per line, each ended by a line feed. Main thread only.
#include <QString>
#include <QStringList>

class CustomProfileWriter
{
public:
    // Writes `lines` as the profile `name`, creating the custom folder when needed. A profile of the
    // same name is replaced, all at once: a failed write leaves the former file (or none) in place.
    // Refuses a blank name or one holding "/" or a NUL, so nothing lands outside the custom folder.
    // Every outcome is logged; returns whether the profile was written.
    static bool saveSettingForpf(const QStringList &lines, const QString &name);
};
