#pragma once
// A private UTF-8 copy of an ass or ssa subtitle file written in a legacy character set. libavcodec
// recodes only such a script's cues, not its header, so a title or a style named outside ASCII would not
// match its cues; the copy holds the whole script as the engine reads it (MediaGetSubtitleText), and the
// preview and the export are both given the copy. It lives in the user's cache folder, readable by the
// user alone, and is removed when it is replaced, cleared or destroyed (the editor closing). Main thread
// only.
#include <QString>

class SubtitleCopy
{
public:
    SubtitleCopy() = default;
    ~SubtitleCopy() { clear(); }
    SubtitleCopy(const SubtitleCopy &) = delete;
    SubtitleCopy &operator=(const SubtitleCopy &) = delete;

    // The folder the copies are written to: "subtitles" in the user's cache folder.
    static QString folder();
    // Whether a file named `path` read in `charset` (iconv's name) needs a copy: an ass or ssa file in a
    // character set other than UTF-8 and UTF-16.
    static bool needed(const QString &path, const QByteArray &charset);

    // Replaces the copy with one holding `utf8`, named with `original`'s extension; the new copy's path,
    // or empty when it cannot be written (the old copy is then kept).
    QString write(const QString &original, const QByteArray &utf8);
    // Removes the copy, if any.
    void clear();
    // The current copy's path; empty without one.
    QString path() const { return m_path; }

private:
    QString m_path;
};
