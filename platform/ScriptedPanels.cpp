#include "platform/ScriptedPanels.h"

#include "platform/Log.h"

namespace platform {

ScriptedPanels::ScriptedPanels()
    : m_unansweredHandler([](const QString &what) { logWarning("ScriptedPanels: unanswered %@", what); })
{
}

void ScriptedPanels::answerAlert(int buttonIndex, const QString &text)
{
    answerAlertWith([buttonIndex, text](const AlertRequest &request) {
        return AlertResult{buttonIndex, text.isEmpty() ? request.textFieldText : text};
    });
}

void ScriptedPanels::answerAlertWith(AlertAnswer answer)
{
    m_alertAnswers.push_back(std::move(answer));
}

void ScriptedPanels::answerOpenPanel(const QStringList &paths)
{
    answerOpenPanelWith([paths](const OpenPanelRequest &) { return paths; });
}

void ScriptedPanels::answerOpenPanelWith(OpenPanelAnswer answer)
{
    m_openPanelAnswers.push_back(std::move(answer));
}

void ScriptedPanels::answerFolderPanel(const QString &path)
{
    answerFolderPanelWith([path](const FolderPanelRequest &) { return path; });
}

void ScriptedPanels::answerFolderPanelWith(FolderPanelAnswer answer)
{
    m_folderPanelAnswers.push_back(std::move(answer));
}

void ScriptedPanels::answerColorPanel(std::optional<QColor> color)
{
    m_colorAnswers.push_back(color);
}

void ScriptedPanels::answerFontPanel(std::optional<QFont> font)
{
    m_fontAnswers.push_back(font);
}

int ScriptedPanels::pendingAnswers() const
{
    return static_cast<int>(m_alertAnswers.size() + m_openPanelAnswers.size() + m_folderPanelAnswers.size() +
                            m_colorAnswers.size() + m_fontAnswers.size());
}

void ScriptedPanels::reset()
{
    m_alertAnswers.clear();
    m_openPanelAnswers.clear();
    m_folderPanelAnswers.clear();
    m_colorAnswers.clear();
    m_fontAnswers.clear();
    m_alerts.clear();
    m_openPanels.clear();
    m_folderPanels.clear();
    m_colorPanels.clear();
    m_fontPanels.clear();
    m_unanswered = 0;
}

void ScriptedPanels::setUnansweredHandler(std::function<void(const QString &)> handler)
{
    m_unansweredHandler = std::move(handler);
}

void ScriptedPanels::unanswered(const QString &what)
{
    ++m_unanswered;
    if (m_unansweredHandler)
        m_unansweredHandler(what);
}

AlertResult ScriptedPanels::runAlert(const AlertRequest &request)
{
    m_alerts.append(request);
    if (m_alertAnswers.empty()) {
        unanswered(QStringLiteral("alert \"%1\" / \"%2\"").arg(request.messageText, request.informativeText));
        return AlertResult{-1, request.textFieldText};
    }
    const AlertAnswer answer = std::move(m_alertAnswers.front());
    m_alertAnswers.pop_front();
    return answer(request);
}

QStringList ScriptedPanels::runOpenPanel(const OpenPanelRequest &request)
{
    m_openPanels.append(request);
    if (m_openPanelAnswers.empty()) {
        unanswered(QStringLiteral("open panel \"%1\"").arg(request.message));
        return {};
    }
    const OpenPanelAnswer answer = std::move(m_openPanelAnswers.front());
    m_openPanelAnswers.pop_front();
    QStringList chosen;
    for (const QString &path : answer(request)) {
        if (request.canChooseFiles && !request.canChooseDirectories && !request.allowsOtherFileTypes &&
            !hasAllowedExtension(path, request.allowedExtensions))
            continue;
        chosen.append(path);
        if (!request.allowsMultipleSelection)
            break;
    }
    return chosen;
}

QString ScriptedPanels::runFolderPanel(const FolderPanelRequest &request)
{
    m_folderPanels.append(request);
    if (m_folderPanelAnswers.empty()) {
        unanswered(QStringLiteral("folder panel \"%1\"").arg(request.message));
        return {};
    }
    const FolderPanelAnswer answer = std::move(m_folderPanelAnswers.front());
    m_folderPanelAnswers.pop_front();
    return answer(request);
}

std::optional<QColor> ScriptedPanels::runColorPanel(const QColor &initial)
{
    m_colorPanels.append(initial);
    if (m_colorAnswers.empty()) {
        unanswered(QStringLiteral("colour panel"));
        return std::nullopt;
    }
    const auto answer = m_colorAnswers.front();
    m_colorAnswers.pop_front();
    return answer;
}

std::optional<QFont> ScriptedPanels::runFontPanel(const QFont &initial)
{
    m_fontPanels.append(initial);
    if (m_fontAnswers.empty()) {
        unanswered(QStringLiteral("font panel"));
        return std::nullopt;
    }
    const auto answer = m_fontAnswers.front();
    m_fontAnswers.pop_front();
    return answer;
}

} // namespace platform
