#pragma once
// One tool's output profiles: the category list "pf.dat" and one sub-folder of ".pf" profiles per
// category, inside the application's resources ("Settings.bundle/functionFolder" for the editor,
// "Settings.bundle/pf_join" for the joiner), plus the user's custom profiles, which form the category
// "Custom" and live in $XDG_DATA_HOME/video-workshop/Custom. Main thread only; every call reads the
// files afresh.
#include <QString>
#include <QStringList>

class ProfileLibrary
{
public:
    static constexpr const char *CustomCategory = "Custom";
    static constexpr const char *KeepOriginal = "Keep Original";

    // `folder`: the tool's profile folder relative to the main bundle's resources.
    explicit ProfileLibrary(const QString &folder);
    static ProfileLibrary editor();
    static ProfileLibrary joiner();

    QString folder() const;

    // What the user sees for a category or profile name: the shipped categories ("Video", "Audio",
    // "Custom") and "Keep Original" in the chosen language; any other name (a format such as
    // "mp4(H.264)", a custom profile's name) as it stands. Folders, files and stored settings keep
    // the names themselves.
    static QString displayName(const QString &name);

    // The category names of "pf.dat" (section "frmFormat": "Count", then "Type1".."TypeCount"), blanks
    // trimmed, in file order. Count is bounded at 1000 and blank entries are skipped; a missing file
    // gives an empty list.
    QStringList getFunctionList() const;
    // The categories the user sees: "Custom" first when the custom folder holds any entry, then
    // getFunctionList().
    QStringList displayedFunctionList() const;

    // The profile names (file names without ".pf") of `category`, "Keep Original" first, the others by
    // name; "Custom" lists the custom folder. A missing folder gives an empty list.
    QStringList getFunctionItemChildList(const QString &category) const;

    // The file of profile `name` in `category` (for "Custom", the custom folder's file when it exists);
    // empty when missing.
    QString profilePath(const QString &category, const QString &name) const;
    // The picture of profile `name` ("<name>.png" beside the profiles; for custom profiles other than
    // "Keep Original", "<name>.png" in the custom folder); empty when missing.
    QString iconPath(const QString &category, const QString &name) const;
    // "Video/mkv(HEVC).pf" of the tool's folder; empty when missing.
    QString defaultProfilePath() const;

    // $XDG_DATA_HOME/video-workshop/Custom (it may not exist yet).
    static QString customFolder();
    // Whether the custom folder exists and holds at least one entry of any kind.
    static bool customFolderHasEntries();

private:
    QString m_folder;
};
