#pragma once
// The editor window's view tree: the blue background, the tool strip's back, the add-file button and path
// label, the left column with the six tool panels, the music area, the preview area with its picture and
// bar hosts, and the output row (folder label and box, reveal button, progress bar and start button).
// buildViews() makes them with their looks and the frames that stay; the window's layout
// (EditVideoWindowController::changesize) sets the others. The editor window is built on it and
// coordinates what the views show. Main thread only.
#include "controls/NSProgressView.h"
#include "controls/PNQButton.h"
#include "controls/PNQView.h"
#include "controls/TextLabel.h"
#include "platform/TextField.h"
#include "platform/View.h"

#include <QColor>
#include <QPointer>

namespace platform {
class Window;
}

class EditorWindowViews
{
public:
    static inline const QColor kAccent{33, 176, 235};
    static inline const QColor kLightPanel{245, 245, 245};
    static constexpr double kPanelWidth = 236;
    static constexpr double kPanelHeight = 400;
    static constexpr double kMusicPanelHeight = 408;
    static constexpr double kLeftColumnWidth = 240; // the tool panels' column at the left of the preview
    static constexpr double kToolBarHeight = 50;

    // Builds the views into `window`'s content, laid out for its size; the tool panels start empty.
    void buildViews(platform::Window *window);
    // The output row along the bottom of a window `width` wide.
    void buildOutputRow(double width);
    // Shows the music area's no-file hint (hidden = true) or its player area.
    void hiddenMusicViewPlay(bool hidden);

protected:
    QPointer<PNQView> m_backGroundView;
    QPointer<PNQView> m_contentBackGroundView;
    QPointer<platform::View> m_contentLeftView;
    QPointer<platform::View> m_contentRightView;
    QPointer<PNQView> m_funItemBackView;
    QPointer<PNQView> m_funItemContentView;
    QPointer<PNQButton> m_addfileButton;
    QPointer<platform::TextField> m_scrLabel;
    QPointer<PNQView> m_trimView, m_cropView, m_kxfxView, m_waterView, m_captionView, m_adjustView;
    QPointer<PNQView> m_musicContentView;
    QPointer<PNQView> m_musicRightView;
    QPointer<platform::View> m_musicRightPlayerView;
    QPointer<platform::View> m_musicRightBottomView;
    QPointer<PNQView> m_toolMusicNofileView;
    QPointer<platform::View> m_playerBackView;
    QPointer<PNQView> m_playerView;
    QPointer<platform::View> m_playerBottomView;
    QPointer<platform::View> m_playerBottomChildView;
    QPointer<TextLabel> m_outputFolderLabel;
    QPointer<TextLabel> m_exprogressLabel;
    QPointer<PNQView> m_outputFolderValueBack;
    QPointer<PNQButton> m_scrFolderBtn;
    QPointer<PNQButton> m_startExportBtn;
    QPointer<NSProgressView> m_exportProgressView;
};
