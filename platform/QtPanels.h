#pragma once
// The Panels of the running application: modal Qt dialogs.
#include "platform/Panels.h"

class QFileDialog;

namespace platform {

class QtPanels : public Panels
{
public:
    AlertResult runAlert(const AlertRequest &request) override;
    QStringList runOpenPanel(const OpenPanelRequest &request) override;
    QString runFolderPanel(const FolderPanelRequest &request) override;
    std::optional<QColor> runColorPanel(const QColor &initial) override;
    std::optional<QFont> runFontPanel(const QFont &initial) override;

    // Sets `dialog` up as runOpenPanel() shows it: the allowed extensions listed plainly ("*.mp4 *.mov")
    // in the type list, and matched ignoring case ("clip.MOV" is shown for "mov").
    static void setUpOpenDialog(QFileDialog &dialog, const OpenPanelRequest &request);
};

} // namespace platform
