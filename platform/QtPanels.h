#pragma once
// The Panels of the running application: modal Qt dialogs.
#include "platform/Panels.h"

namespace platform {

class QtPanels : public Panels
{
public:
    AlertResult runAlert(const AlertRequest &request) override;
    QStringList runOpenPanel(const OpenPanelRequest &request) override;
    QString runFolderPanel(const FolderPanelRequest &request) override;
    std::optional<QColor> runColorPanel(const QColor &initial) override;
    std::optional<QFont> runFontPanel(const QFont &initial) override;
};

} // namespace platform
