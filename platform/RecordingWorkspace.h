#pragma once
// The Workspace that tests install: records every request and opens nothing. Each call answers as the
// real one would for the same path (a missing file cannot be revealed).
#include "platform/Workspace.h"

#include <QList>

namespace platform {

class RecordingWorkspace : public Workspace
{
public:
    struct Call
    {
        enum class Kind { OpenUrl, OpenFolder, RevealFile };
        Kind kind;
        QString target; // the URL as text, or the path as given
    };

    bool openUrl(const QUrl &url) override;
    bool openFolder(const QString &path) override;
    bool revealFile(const QString &path) override;

    // Every call so far, oldest first.
    const QList<Call> &calls() const { return m_calls; }
    // The targets of the calls of one kind.
    QStringList targets(Call::Kind kind) const;
    QStringList revealedFiles() const { return targets(Call::Kind::RevealFile); }
    QStringList openedFolders() const { return targets(Call::Kind::OpenFolder); }
    QStringList openedUrls() const { return targets(Call::Kind::OpenUrl); }
    void clear() { m_calls.clear(); }

private:
    QList<Call> m_calls;
};

} // namespace platform
