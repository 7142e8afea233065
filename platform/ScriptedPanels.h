#pragma once
// The Panels that tests install: every dialog is answered from a queue the test fills beforehand, and
// every request is recorded so the test can check what was asked. A request with no answer queued never
// blocks: it reports a failure through the unanswered handler (the test main turns it into a failed
// test) and answers "cancelled".
#include "platform/Panels.h"

#include <QList>

#include <deque>
#include <functional>

namespace platform {

class ScriptedPanels : public Panels
{
public:
    using AlertAnswer = std::function<AlertResult(const AlertRequest &)>;
    using OpenPanelAnswer = std::function<QStringList(const OpenPanelRequest &)>;
    using FolderPanelAnswer = std::function<QString(const FolderPanelRequest &)>;

    ScriptedPanels();

    // Queues the answer to the next alert: the button at `buttonIndex` (first = 0), with `text` in the
    // text field if it has one (empty keeps the field's initial text).
    void answerAlert(int buttonIndex, const QString &text = {});
    // Queues a function that answers the next alert (to look at the application while it is "shown").
    void answerAlertWith(AlertAnswer answer);
    // Queues the files chosen in the next open panel (empty = cancelled). Files with an extension the
    // request does not allow are dropped, as the real panel would not offer them.
    void answerOpenPanel(const QStringList &paths);
    void answerOpenPanelWith(OpenPanelAnswer answer);
    // Queues the folder chosen in the next folder panel (empty = cancelled).
    void answerFolderPanel(const QString &path);
    void answerFolderPanelWith(FolderPanelAnswer answer);
    // Queues the colour or font chosen next (nullopt = cancelled).
    void answerColorPanel(std::optional<QColor> color);
    void answerFontPanel(std::optional<QFont> font);

    // The requests received so far, oldest first.
    const QList<AlertRequest> &alerts() const { return m_alerts; }
    const QList<OpenPanelRequest> &openPanels() const { return m_openPanels; }
    const QList<FolderPanelRequest> &folderPanels() const { return m_folderPanels; }
    const QList<QColor> &colorPanels() const { return m_colorPanels; }
    const QList<QFont> &fontPanels() const { return m_fontPanels; }

    // Answers queued but not yet used.
    int pendingAnswers() const;
    // Requests that arrived with no answer queued.
    int unansweredCount() const { return m_unanswered; }
    // Forgets all answers and requests.
    void reset();

    // Called with a description of each unanswered request. The default logs it.
    void setUnansweredHandler(std::function<void(const QString &)> handler);

    AlertResult runAlert(const AlertRequest &request) override;
    QStringList runOpenPanel(const OpenPanelRequest &request) override;
    QString runFolderPanel(const FolderPanelRequest &request) override;
    std::optional<QColor> runColorPanel(const QColor &initial) override;
    std::optional<QFont> runFontPanel(const QFont &initial) override;

private:
    void unanswered(const QString &what);

    std::deque<AlertAnswer> m_alertAnswers;
    std::deque<OpenPanelAnswer> m_openPanelAnswers;
    std::deque<FolderPanelAnswer> m_folderPanelAnswers;
    std::deque<std::optional<QColor>> m_colorAnswers;
    std::deque<std::optional<QFont>> m_fontAnswers;
    QList<AlertRequest> m_alerts;
    QList<OpenPanelRequest> m_openPanels;
    QList<FolderPanelRequest> m_folderPanels;
    QList<QColor> m_colorPanels;
    QList<QFont> m_fontPanels;
    int m_unanswered = 0;
    std::function<void(const QString &)> m_unansweredHandler;
};

} // namespace platform
