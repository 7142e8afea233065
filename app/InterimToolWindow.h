#pragma once
// A stand-in for a tool window that is not built yet: an empty window that the launcher can open, title
// and close, registered under the tool's class name ("EditVideoWindowController",
// "JoinnerWindowController", "EasyCutterWindowcontroller", "BatchCutterWindowController",
// "SplitWindowController"). Like the real tool windows it keeps itself alive while its window is open and
// posts "WillCloseNotification" (no object) when its window closes. The editor's starting tool is taken
// through the Qt property "toolItemType", which the real editor window must offer as well. Main thread only.
#include "platform/WindowController.h"
#include "toolkit/ToolWindowController.h"

class InterimToolWindow : public platform::WindowController
{
    Q_OBJECT
    Q_PROPERTY(qint64 toolItemType READ toolItemType WRITE setToolItemType)

public:
    static constexpr const char *WillCloseNotification = ToolWindowController::WillCloseNotification;

    explicit InterimToolWindow(QObject *parent = nullptr);
    ~InterimToolWindow() override;

    // Registers the stand-in under every tool class name that has no registration yet, so a real tool
    // window registered before or after this call wins.
    static void registerMissingToolWindows();

    qint64 toolItemType() const { return m_toolItemType; }
    void setToolItemType(qint64 type) { m_toolItemType = type; }

protected:
    std::unique_ptr<platform::Window> makeWindow() override;
    void windowDidLoad() override;

private:
    qint64 m_toolItemType = 0;
};
