#include "editor/EditVideoWindowController.h"

#include "controls/ImageView.h"
#include "controls/NSProgressView.h"
#include "controls/PNQButton.h"
#include "controls/PNQOpenAlert.h"
#include "controls/PNQView.h"
#include "controls/RDCutProgressView.h"
#include "controls/RDProgressSlider.h"
#include "controls/RDTextField.h"
#include "controls/TextLabel.h"
#include "editor/EditorExportController.h"
#include "editor/PreviewEdits.h"
#include "editor/RenderCallbacks.h"
#include "editor/tools/RDUICliper.h"
#include "editor/tools/RDWaterView.h"
#include "editor/tools/ToolPanel.h"
#include "media/RDMoviePlayer.h"
#include "model/AudioStreamInfo.h"
#include "model/EngineRecords.h"
#include "model/FileData.h"
#include "model/HelpClass.h"
#include "model/MusicInfo.h"
#include "model/SimpleData.h"
#include "model/SubtitleParam.h"
#include "model/WaterParam.h"
#include "platform/Application.h"
#include "platform/Bundle.h"
#include "platform/Dispatch.h"
#include "platform/FontAlias.h"
#include "platform/Log.h"
#include "platform/NotificationCenter.h"
#include "platform/Panels.h"
#include "platform/PopUpButton.h"
#include "platform/Stepper.h"
#include "platform/TextField.h"
#include "platform/Timer.h"
#include "platform/View.h"
#include "platform/Window.h"
#include "services/LanguageService.h"
#include "services/ResourceService.h"
#include "toolkit/EditorOutputSettings.h"
#include "toolkit/FrameCapture.h"
#include "toolkit/OutputFolderChooser.h"
#include "toolkit/OutputFormatChooser.h"
#include "toolkit/SourceProbe.h"
#include "toolkit/TimeFieldRules.h"

#include <QDir>
#include <QCheckBox>
#include <QFile>
#include <QFileInfo>
#include <QFont>

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <new>
#include <vector>

namespace {

QImage image(const QString &name)
{
    return ResourceService::imageWithfileName(name);
}

bool isQuarterTurn(int angle)
{
    return angle == 90 || angle == 270 || angle == -90 || angle == -270;
}

void setEnabled(QWidget *w, bool on)
{
    if (w)
        w->setEnabled(on);
}

void setShown(QWidget *w, bool on)
{
    if (w)
        w->setVisible(on);
}

void setText(platform::TextField *field, const QString &text)
{
    if (field)
        field->setStringValue(text);
}

// The four integers of a time group (zeros for a group not built).
std::array<int, 4> fieldValues(const TimeFieldGroup &group)
{
    std::array<int, 4> values{0, 0, 0, 0};
    const QList<platform::TextField *> fields = group.fields();
    for (int i = 0; i < 4 && i < fields.size(); ++i)
        values[i] = fields[i] ? fields[i]->intValue() : 0;
    return values;
}

QFont systemFont(double size)
{
    return platform::FontAlias::systemFont(size);
}

// One row of the tool strip: bit, image stem, title key.
struct ToolInfo
{
    qint64 bit;
    const char *stem;
    const char *titleKey;
};
// In strip order.
constexpr ToolInfo kTools[] = {
    {EditVideoWindowController::ToolTrim, "btnCut", VW_KEY("tool_trimItemTitle")},
    {EditVideoWindowController::ToolCrop, "btnCrop", VW_KEY("tool_cropItemTitle")},
    {EditVideoWindowController::ToolEffect, "btnEffect", VW_KEY("tool_effectItemTitle")},
    {EditVideoWindowController::ToolWatermark, "btnWaterMark", VW_KEY("tool_watermarkItemTitle")},
    {EditVideoWindowController::ToolSubtitle, "btnSubtitle", VW_KEY("tool_subtitleItemTitle")},
    {EditVideoWindowController::ToolRotate, "btnRotation", VW_KEY("tool_rotateItemTitle")},
    {EditVideoWindowController::ToolMusic, "btnMusic", VW_KEY("tool_musicItemTitle")},
};

} // namespace

EditVideoWindowController::EditVideoWindowController(QObject *parent)
    : ToolWindowController(parent), m_exportController(std::make_unique<EditorExportController>(*this))
{
}

EditVideoWindowController::~EditVideoWindowController()
{
    // A job still running is stopped and dropped before anything it reports to goes.
    m_exportController.reset();
    platform::NotificationCenter::defaultCenter().removeObserver(this);
}

std::unique_ptr<platform::Window> EditVideoWindowController::makeWindow()
{
    return std::make_unique<platform::Window>(platform::Size{1100, 800});
}

void EditVideoWindowController::windowDidLoad()
{
    platform::Window *win = window();
    win->setTitlebarAppearsTransparent(true);
    win->setBackgroundColor(kAccent);

    auto &center = platform::NotificationCenter::defaultCenter();
    for (const char *name :
         {platform::NSWindowDidResizeNotification, platform::NSWindowWillStartLiveResizeNotification,
          platform::NSWindowDidEndLiveResizeNotification, platform::NSWindowWillEnterFullScreenNotification,
          platform::NSWindowDidEnterFullScreenNotification,
          platform::NSWindowDidExitFullScreenNotification}) {
        center.addObserver(this, QString::fromLatin1(name), nullptr,
                           [this](const platform::Notification &n) { changesize(&n); });
    }
    observeClose();
    m_trim.setPreview(&m_preview);

    const QString effects = platform::Bundle::main().pathForResource("Settings.bundle/EffectList.plist");
    m_effects.setEffectTypes(platform::Bundle::readPropertyList(effects).toList());

    buildViews(win);

    m_formatChooser =
        new OutputFormatChooser(ProfileLibrary::editor(), win->frame().width(), m_backGroundView);
    m_outputSettings = std::make_unique<EditorOutputSettings>(ProfileLibrary::editor());
    m_outputSettings->fileDataBlock = [this] { return m_fileData; };
    m_outputSettings->connectChooser(m_formatChooser);
    m_formatChooser->collapseChangedBlock = [this](bool collapsed) {
        platform::Window *w = window();
        platform::Rect frame = w->frame();
        frame.size.height += collapsed ? -140 : 140;
        // The minimum goes before the new frame: the window could not shrink below the expanded one.
        w->setMinSize(platform::Size{minWidth, collapsed ? minHeightCollapsed : minHeightExpanded});
        w->setFrame(frame);
        changesize(nullptr);
    };
    m_formatChooser->actionFunctionItem(nullptr);
    initPlayer();
    m_addfileButton->mouseDownAction = [this](PNQButton *) { dispatchOnMain([this] { addfileAction(); }); };

    buildToolButtons();
    m_scrLabel->setTextColor(kAccent);
    m_scrLabel->setPlaceholderString(LanguageService::localizedStringForKey("scrlabelplaceholderString"));
    m_scrLabel->setEditable(false);

    m_crop.initCropView(m_cropView);
    initTrimView();
    m_effects.initEffectView(m_kxfxView);
    initWaterView();
    initSubtitleView();
    m_rotate.initAdjustView(m_adjustView);
    initMusicView();

    buildOutputRow(win->frame().width());
    m_scrFolderBtn->mouseDownAction = [this](PNQButton *) {
        dispatchOnMain([this] {
            platform::log("%s", "-[EditVideoWindowController openScrFolderAction:]");
            m_folderChooser->revealOutputPath();
        });
    };
    m_startExportBtn->mouseDownAction = [this](PNQButton *b) {
        dispatchOnMain([this, b] { startExportAction(b); });
    };
    m_folderChooser = std::make_unique<OutputFolderChooser>(m_outputFolderValueBack);
    m_folderChooser->popUpButton()->action = [this](platform::PopUpButton &p) { outputPopUpBtnAction(&p); };

    layoutFrames(32);
    // A screen too short for the whole window (up to 780 points) opens it with the chooser folded, so
    // the output row and Start are in sight.
    if (m_formatChooser->mainScreenHeight() <= OutputFormatChooser::CollapsibleScreenHeight) {
        m_formatChooser->setCollapsed(true);
        m_formatChooser->collapseChangedBlock(true);
    }
    enableEdit(false);

    openCurrentTool();

    hiddenMusicViewPlay(true);
    outputPopUpBtnAction(nullptr);
    enableMusicEdit(false);
    m_removeOriginalmusicBtn->setEnabled(false);
}

void EditVideoWindowController::buildToolButtons()
{
    int position = 0;
    for (const ToolInfo &tool : kTools) {
        const QString stem = QStringLiteral("SubFun/") + QString::fromLatin1(tool.stem);
        auto *button = new PNQButton(platform::makeRect(1 + 125 * position, 0, 124, kToolBarHeight));
        button->setNormalImage(image(stem + "_Normal.bmp"));
        button->setDownImage(image(stem + "_Down.bmp"));
        button->setSelectedImage(image(stem + "_Down.bmp"));
        button->setOnImage(image(stem + "_On.bmp"));
        button->setDisAbleImage(image(stem + "_Disable.bmp"));
        // Our tool images are icons beside the title, not whole button faces, so a white title would
        // vanish on the white tool bar: the title takes the accent colour.
        button->setContentColor(kAccent);
        button->setLeftIconWidth(10); // a 5-point gap, leaving the longer titles room beside the icon
        button->setContentImagePosition(0);
        button->setContentTitle(LanguageService::localizedStringForKey(tool.titleKey));
        button->setFont(systemFont(12));
        button->setCornerRadius(1);
        button->setBorderWidth(0);
        button->setEnabled(false);
        const qint64 bit = tool.bit;
        button->mouseDownAction = [this, bit](PNQButton *) { dispatchOnMain([this, bit] { openTool(bit); }); };
        buttonSlot(bit) = button;
        m_funItemContentView->addSubview(button);
        ++position;
    }
}

// initPlayer() and the player bar live with the preview below.

void EditVideoWindowController::initWaterView()
{
    m_watermark.initWaterView(m_waterView);
}
void EditVideoWindowController::initSubtitleView()
{
    m_subtitle.initSubtitleView(m_captionView);
    m_subtitle_popUpBtn = m_subtitle.subtitlePopUpBtn();
    m_subtitleFont_popUpBtn = m_subtitle.fontPopUpBtn();
    m_colorWell = m_subtitle.colorWell();
    m_subtitleAlphSlider = m_subtitle.positionSlider();
}

void EditVideoWindowController::initMusicView()
{
    // Two of its controls the export reads: "remove original music" (drop the clip's own sound) and the
    // audio-track pop-up under the video (the stream the preview plays as well).
    m_music.initMusicView(m_musicContentView, m_musicRightBottomView);
    m_music.pauseVideoPreview = [this] { pause(); };
    m_loadmusicBtn = m_music.loadButton();
    m_audiochanelPopBtn = m_music.audiochanelPopBtn();
    m_removeOriginalmusicBtn = m_music.removeOriginalBox();
}

void EditVideoWindowController::initPlayerCliper()
{
    if (!m_fileData || !m_fileData->sourceData())
        return;
    // The record's turn is the rotate tool's (the two agree after refreshPlayerView).
    m_rotate.setPlayerRotateAngle(m_fileData->convertRateAngle());
    const platform::Rect videoRect = platform::aspectFitRect(videoSize(), m_playerView->bounds());
    platform::log("videoRect: %lf %lf %lf %lf", videoRect.minX(), videoRect.minY(), videoRect.width(),
                  videoRect.height());
    delete m_cliper;
    m_cliper = new RDUICliper(videoRect, m_playerView);
    m_cliper->setVideoSize(videoSize());
    m_cliper->setClipRect(m_cliper->bounds());
    m_cliper->setVisible(m_toolItemType == ToolCrop);
    m_crop.attachCliper(m_cliper);
}

void EditVideoWindowController::initWatermarkView()
{
    const platform::Size size = videoSize();
    const platform::Rect videoRect = platform::aspectFitRect(size, m_playerView->bounds());
    delete m_watermarkView;
    m_watermarkView = new RDWaterView(videoRect, m_playerView);
    m_watermarkView->setVideoSize(size);
    if (const WaterParam *edited = m_watermark.editedItem()) {
        const WaterParam &water = *edited;
        const QString family =
            water.waterFontName().isEmpty() ? QStringLiteral("Tahoma") : water.waterFontName();
        QFont font(family);
        if (water.waterFontSize() > 0)
            platform::FontAlias::setPlatformSize(font, water.waterFontSize());
        m_watermarkView->setWaterMarkFont(font);
        m_watermarkView->setWaterMarkColor(water.waterFontColor());
        m_watermarkView->setMarkWaterType(int(water.waterType()));
        m_watermarkView->setWaterMarkString(water.waterText());
        m_watermarkView->setWaterMark(water.waterImage());
        if (!water.waterRect().isEmpty())
            m_watermarkView->setClipRect(water.waterRect());
    }
    m_watermarkView->setVisible(m_toolItemType == ToolWatermark);
    m_watermark.attachOverlay(m_watermarkView);
}

void EditVideoWindowController::enableMusicEdit(bool enable)
{
    m_music.enableEdit(enable);
    setEnabled(m_b_volumeBtn, enable);
    setEnabled(m_b_volumeSlider, true);
    setEnabled(m_removeOriginalmusicBtn, true);
}

void EditVideoWindowController::enableWaterChildView(bool enable)
{
    m_watermark.enableWaterChildView(enable);
}

ExportEditState EditVideoWindowController::editState() const
{
    ExportEditState state;
    state.startFields = fieldValues(m_trim.startGroup());
    state.stopFields = fieldValues(m_trim.stopGroup());
    state.deleteSection = m_cutProgressView && m_cutProgressView->isFanxuan();
    state.captionColor = m_captionColor;
    state.subtitleParam = m_subtitleParam;
    state.keepAspectratio = m_keepAspectratio;
    m_crop.exportInto(state);
    m_rotate.exportInto(state);
    m_effects.exportInto(state);
    return state;
}

void EditVideoWindowController::editsChanged()
{
    const auto &player = m_preview.player();
    if (!player)
        return;
    // The crop and watermark overlays are laid over the whole picture: there the preview is not cropped.
    const bool overlays = m_toolItemType == ToolCrop || m_toolItemType == ToolWatermark;
    PreviewEdits::apply(*player, editState(), !overlays);
    // While paused on the watermark tab the edited watermark is the overlay the user drags.
    m_watermark.refreshPlayerWaterMark(m_toolItemType == ToolWatermark && !m_isPlaying);
    if (!m_isPlaying)
        player->Refresh();
}

CropMapping::Orientation EditVideoWindowController::orientation() const
{
    return CropMapping::Orientation{m_rotate.playerRotateAngle(), m_rotate.hFlip(), m_rotate.vFlip()};
}

void EditVideoWindowController::outputPopUpBtnAction(platform::PopUpButton *sender)
{
    if (m_folderChooser)
        m_folderChooser->outputPopUpBtnAction(sender);
}

QString EditVideoWindowController::outputPath() const
{
    return m_folderChooser ? m_folderChooser->outputPath() : QString();
}

QStringList EditVideoWindowController::outputPathTitles() const
{
    return m_folderChooser ? m_folderChooser->outputPathTitles() : QStringList();
}

QStringList EditVideoWindowController::functionList() const
{
    return m_formatChooser ? m_formatChooser->functionList() : QStringList();
}

bool EditVideoWindowController::isChooserCollapsed() const
{
    return m_formatChooser && m_formatChooser->isCollapsed();
}

platform::View *EditVideoWindowController::backGroundView() const
{
    return m_backGroundView;
}

QList<PNQButton *> EditVideoWindowController::toolButtons() const
{
    return {m_cutButton,      m_cropButton,   m_effectButton,  m_watermarkButton,
            m_subtitleButton, m_rotateButton, m_addmusicButton};
}

QPointer<PNQButton> &EditVideoWindowController::buttonSlot(qint64 tool)
{
    switch (tool) {
    case ToolTrim:
        return m_cutButton;
    case ToolCrop:
        return m_cropButton;
    case ToolEffect:
        return m_effectButton;
    case ToolWatermark:
        return m_watermarkButton;
    case ToolSubtitle:
        return m_subtitleButton;
    case ToolRotate:
        return m_rotateButton;
    default:
        return m_addmusicButton;
    }
}

PNQButton *EditVideoWindowController::toolButton(qint64 tool) const
{
    for (const ToolInfo &info : kTools)
        if (info.bit == tool)
            return const_cast<EditVideoWindowController *>(this)->buttonSlot(tool);
    return nullptr;
}

platform::View *EditVideoWindowController::panelView(qint64 tool) const
{
    switch (tool) {
    case ToolTrim:
        return m_trimView;
    case ToolCrop:
        return m_cropView;
    case ToolEffect:
        return m_kxfxView;
    case ToolWatermark:
        return m_waterView;
    case ToolSubtitle:
        return m_captionView;
    case ToolRotate:
        return m_adjustView;
    case ToolMusic:
        return m_musicContentView;
    default:
        return nullptr;
    }
}

// ---- tool switching ----

QWidget *EditVideoWindowController::playerHostView() const
{
    return m_preview.view() ? m_preview.view() : static_cast<QWidget *>(m_playerView.data());
}

void EditVideoWindowController::movePlayerInto(platform::View *host, platform::View *barHost)
{
    m_preview.fitInto(host);
    if (m_playerBottomChildView->parentWidget())
        m_playerBottomChildView->removeFromSuperview();
    barHost->addSubview(m_playerBottomChildView);
}

void EditVideoWindowController::switchTool(qint64 tool, const char *logName)
{
    m_toolItemType = tool;
    if (m_oldToolItemType == ToolMusic) {
        movePlayerInto(m_playerView, m_playerBottomView);
        changesize(nullptr);
    } else if (!m_playerBottomChildView->parentWidget()) {
        m_playerBottomView->addSubview(m_playerBottomChildView);
    }
    m_oldToolItemType = m_toolItemType;
    if (logName)
        platform::log("%s", logName);
    applyVisibility(tool);
}

void EditVideoWindowController::openCurrentTool()
{
    openTool(m_toolItemType);
}

void EditVideoWindowController::openTool(qint64 tool)
{
    switch (tool) {
    case ToolRotate:
        rotateAction(m_rotateButton);
        break;
    case ToolCrop:
        cropAction(m_cropButton);
        break;
    case ToolEffect:
        effectAction(m_effectButton);
        break;
    case ToolWatermark:
        watermarkAction(m_watermarkButton);
        break;
    case ToolSubtitle:
        subtitleAction(m_subtitleButton);
        break;
    case ToolMusic:
        addmusicAction(m_addmusicButton);
        break;
    default: // trim, and every value that names no tool
        cutAction(m_cutButton);
        break;
    }
}

void EditVideoWindowController::applyVisibility(qint64 tool)
{
    const bool music = tool == ToolMusic;
    setShown(m_trimView, tool == ToolTrim);
    setShown(m_cropView, tool == ToolCrop);
    setShown(m_kxfxView, tool == ToolEffect);
    setShown(m_waterView, tool == ToolWatermark);
    setShown(m_captionView, tool == ToolSubtitle);
    setShown(m_adjustView, tool == ToolRotate);
    setShown(m_musicContentView, music);
    setShown(m_musicRightView, music);
    setShown(m_playerBackView, !music);
    setShown(m_watermarkView, tool == ToolWatermark);
    setShown(m_cliper, tool == ToolCrop);
    if (!music) {
        setShown(m_progressSlider, tool != ToolTrim);
        setShown(m_cutProgressView, tool == ToolTrim);
    }
    for (const ToolInfo &info : kTools) {
        if (PNQButton *button = toolButton(info.bit))
            button->setSelected(info.bit == tool);
    }
    // The crop shows in the picture on every tab but the two whose overlays need the whole picture.
    editsChanged();
}

void EditVideoWindowController::cutAction(PNQButton *)
{
    switchTool(ToolTrim, "-[EditVideoWindowController cutAction:]");
}

void EditVideoWindowController::cropAction(PNQButton *)
{
    m_toolItemType = ToolCrop;
    if (m_cliper) {
        m_cliper->show();
        if (m_preview.view() && m_cliper->parentWidget() != m_preview.view()) {
            m_cliper->setParent(m_preview.view());
            m_cliper->show();
        }
    }
    switchTool(ToolCrop, "-[EditVideoWindowController cropAction:]");
    m_crop.toolOpened();
}

void EditVideoWindowController::effectAction(PNQButton *)
{
    switchTool(ToolEffect, "-[EditVideoWindowController effectAction:]");
}

void EditVideoWindowController::watermarkAction(PNQButton *)
{
    if (m_watermarkView && m_preview.view() && !m_watermarkView->parentWidget())
        m_watermarkView->setParent(m_preview.view());
    switchTool(ToolWatermark, "-[EditVideoWindowController watermarkAction:]");
}

void EditVideoWindowController::subtitleAction(PNQButton *)
{
    switchTool(ToolSubtitle, "-[EditVideoWindowController subtitleAction:]");
}

void EditVideoWindowController::rotateAction(PNQButton *)
{
    switchTool(ToolRotate, nullptr);
}

void EditVideoWindowController::addmusicAction(PNQButton *)
{
    m_toolItemType = ToolMusic;
    if (m_oldToolItemType != ToolMusic) {
        movePlayerInto(m_musicRightPlayerView, m_musicRightBottomView);
        changesize(nullptr);
    } else if (!m_playerBottomChildView->parentWidget()) {
        m_musicRightBottomView->addSubview(m_playerBottomChildView);
    }
    m_oldToolItemType = m_toolItemType;
    platform::log("%s", "-[EditVideoWindowController addmusicAction:]");
    applyVisibility(ToolMusic);
    // Nothing comes back on while an export runs.
    enableMusicEdit(hasMusic() && !convertstart());
    enableEdit(!convertstart());
}

// ---- layout ----

void EditVideoWindowController::changesize(const platform::Notification *n)
{
    platform::Window *win = window();
    const bool collapsed = isChooserCollapsed();
    win->setMinSize(platform::Size{minWidth, collapsed ? minHeightCollapsed : minHeightExpanded});
    if (n && n->object != win)
        return;
    const QString name = n ? n->name : QString();
    if (name == QLatin1String(platform::NSWindowWillEnterFullScreenNotification))
        platform::Application::shared().stopModal();
    if (name == QLatin1String(platform::NSWindowDidExitFullScreenNotification))
        return;
    const bool enteredFullScreen = name == QLatin1String(platform::NSWindowDidEnterFullScreenNotification);
    layoutFrames(enteredFullScreen ? 8 : 32);
    if (!n || enteredFullScreen || name == QLatin1String(platform::NSWindowDidResizeNotification))
        refitOverlays();
}

void EditVideoWindowController::layoutFrames(double t)
{
    using platform::makeRect;
    const double W = window()->frame().width();
    const double H = window()->frame().height();
    const bool c = isChooserCollapsed();
    const double y0 = c ? 85 : 236;
    const double y1 = c ? 90 : 240;
    const double h1 = c ? H - 209 : H - 359;

    m_contentBackGroundView->setFrame(makeRect(4, y0, W - 8, H - t - y0));
    m_contentLeftView->setFrame(makeRect(8, y1, kLeftColumnWidth, h1));
    m_contentRightView->setFrame(makeRect(248, y1, W - 252, h1));
    m_musicRightView->setFrame(makeRect(253, y1, W - 264, h1 - 6));
    m_playerBackView->setFrame(makeRect(253, y1, W - 264, h1 - 6));
    const platform::Rect back = m_playerBackView->frame();
    m_playerView->setFrame(makeRect(0, 80, back.width(), back.height() - 112));
    m_playerBottomView->setFrame(makeRect(0, 0, back.width(), 81));
    const platform::Rect music = m_musicRightView->frame();
    m_musicRightPlayerView->setFrame(makeRect(14, 90, music.width() - 26, music.height() - 90));
    m_musicRightBottomView->setFrame(makeRect(0, 0, music.width(), 91));
    m_music.layoutUnderVideo(music.width());
    m_toolMusicNofileView->setFrame(makeRect(0, 0, music.width(), music.height()));
    const double leftHeight = m_contentLeftView->frame().height();
    for (platform::View *panel : {m_trimView.data(), m_cropView.data(), m_adjustView.data(),
                                  m_kxfxView.data(), m_waterView.data(), m_captionView.data()}) {
        panel->setFrameOrigin(
            platform::Point{panel->frame().minX(), leftHeight - panel->frame().height() - 5});
    }
    m_musicContentView->setFrameOrigin(platform::Point{
        m_musicContentView->frame().minX(), y1 + leftHeight - m_musicContentView->frame().height() - 5});
    m_preview.fitInto(m_toolItemType == ToolMusic ? m_musicRightPlayerView.data() : m_playerView.data());
    const platform::Rect bar = m_playerBottomView->frame();
    if (m_progressSlider)
        m_progressSlider->setFrame(makeRect(95, (bar.height() - 17) / 2 + 10, bar.width() - 190, 17));
    if (m_cutProgressView)
        m_cutProgressView->setFrame(makeRect(95, (bar.height() - 30) / 2 + 10, bar.width() - 190, 30));
    if (m_currentTimeLabel)
        m_currentTimeLabel->setFrame(makeRect(15, (bar.height() - 26) / 2 + 6, 80, 26));
    if (m_totalTimeLabel)
        m_totalTimeLabel->setFrame(makeRect(bar.width() - 90, (bar.height() - 26) / 2 + 6, 80, 26));
    if (m_formatChooser)
        m_formatChooser->layoutForWindow(platform::Size{W, H}, m_backGroundView->frame().width());
    // Its x is its own: the strip keeps the middle of its bar by its flexible margins.
    m_playerBottomChildView->setFrameOrigin(platform::Point{m_playerBottomChildView->frame().minX(), 5});
    const platform::Rect progress = m_exportProgressView->frame();
    m_exportProgressView->setFrame(
        makeRect(progress.minX(), progress.minY(), W - 158 - progress.minX(), progress.height()));
}

// The picture's rectangle inside the preview, in its points.
platform::Rect EditVideoWindowController::pictureRect() const
{
    QWidget *host = playerHostView();
    return platform::aspectFitRect(videoSize(), platform::makeRect(0, 0, host->width(), host->height()));
}

// The overlays follow the picture: the crop (held in pixels) and the watermarks (held as fractions of the
// picture) keep their place on it.
void EditVideoWindowController::refitOverlays()
{
    const platform::Rect r = pictureRect();
    if (m_cliper)
        m_crop.layOverlay(r);
    if (m_watermarkView) {
        m_watermarkView->setFrameRect(r);
        m_watermarkView->setVideoSize(videoSize());
        m_watermark.refreshWaterTime();
    }
    editsChanged();
}

// ---- enabling ----

void EditVideoWindowController::enableEdit(bool e)
{
    if (m_progressSlider)
        m_progressSlider->setDisable(!e);
    if (m_cutProgressView)
        m_cutProgressView->setDisable(!e);
    setEnabled(m_b_coverStylePopBtn, e);
    if (m_b_volumeSlider)
        m_b_volumeSlider->setDisable(!e);
    for (QWidget *w : std::initializer_list<QWidget *>{
             m_b_volumeBtn.data(), m_b_cameraBtn.data(), m_b_stopBtn.data(), m_b_playPauseBtn.data(),
             m_trim.setStartTrimBtn().data(), m_trim.setStopTrimBtn().data(), m_trim.playTrimBtn().data(),
             m_trim.resetTrimBtn().data(), m_trim.preferenceBtn().data(), m_trim.startStepper().data(),
             m_trim.stopStepper().data(), m_cliper.data()})
        setEnabled(w, e);
    for (platform::TextField *field : m_trim.startGroup().fields() + m_trim.stopGroup().fields())
        setEnabled(field, e);
    m_crop.enableEdit(e);
    m_rotate.enableEdit(e);
    m_effects.enableEdit(e);
    const bool player = m_preview.player() != nullptr;
    setEnabled(m_loadmusicBtn, e && player);
    setEnabled(m_removeOriginalmusicBtn, e && player);
    setEnabled(m_music.originalLevelSlider(), e && player);
    setEnabled(m_music.originalVolumeButton(), e && player);
    setEnabled(m_audiochanelPopBtn, e);
    m_subtitle.enableEdit(e);
    if (m_watermarkView)
        m_watermarkView->setEnabled(e);
    enableWaterChildView(e);

    if (m_fileData) {
        if (m_progressSlider)
            m_progressSlider->setProgress(0);
        if (m_cutProgressView)
            m_cutProgressView->setProgress(0);
        // The player's length; before a player exists, the clip's own (the preview plays the same file).
        const double duration = m_preview.player()
                                    ? m_preview.duration()
                                    : (m_fileData->sourceData() ? m_fileData->sourceData()->duration() : 0);
        if (m_trim.range().stop == 0)
            m_trim.range().stop = duration * 1000000.0;
        if (duration > 0 && m_cutProgressView) {
            m_cutProgressView->setUpperValue(float(m_trim.range().stop / 1000000.0 / duration));
            m_cutProgressView->setLowerValue(float(m_trim.range().start / 1000000.0 / duration));
        }
        m_trim.showRange();
    }
}

// ---- closing, alerts ----

void EditVideoWindowController::windowWillClose()
{
    if (convertstart())
        startExportAction(m_startExportBtn);
    // Only a playing preview is stopped and dropped here; a paused one goes with the controller.
    if (m_isPlaying && m_preview.player())
        m_preview.close();
    m_isPlaying = false;
    m_music.windowWillClose();
    m_subtitle.windowWillClose();
}

QString EditVideoWindowController::finishedMessageKey() const
{
    return QStringLiteral(VW_KEY("Editfinishedstring"));
}

void EditVideoWindowController::startExportAction(PNQButton *sender)
{
    if (m_fileData && !convertstart()) {
        // The range as typed; the trim display is redrawn from these when the controls come back.
        m_trim.range().start = EditorExportController::fieldsToMicroseconds(fieldValues(m_trim.startGroup()));
        m_trim.range().stop = EditorExportController::fieldsToMicroseconds(fieldValues(m_trim.stopGroup()));
    }
    m_exportController->startExportAction(sender);
}

bool EditVideoWindowController::convertstart() const
{
    return m_exportController && m_exportController->convertstart();
}

ExportSources EditVideoWindowController::exportSources() const
{
    ExportSources sources;
    sources.outputFolder = outputPath();
    sources.audioItemIndex = m_audiochanelPopBtn ? m_audiochanelPopBtn->indexOfSelectedItem() : -1;
    sources.mainAudioVolume = m_volumeModel.mainLevel();
    sources.removeOriginalAudio = m_music.removeOriginalMusic();
    sources.waterMarkList = m_watermark.waterMarkList();
    sources.watermarkViewWidth = m_watermarkView ? m_watermarkView->frame().width() : 0.0;
    sources.videoSize = videoSize();
    sources.musicSelecteds = m_music.musicSelecteds();
    return sources;
}

void EditVideoWindowController::setRemoveOriginalMusicEnabled(bool enable)
{
    setEnabled(m_removeOriginalmusicBtn, enable);
}

// ---- loading ----

QStringList EditVideoWindowController::allowedFileTypes()
{
    return SourceProbe::allowedFileTypes();
}

void EditVideoWindowController::addfileAction(QObject *)
{
    if (convertstart())
        return;
    const QStringList urls = chooseMediaFiles(allowedFileTypes(), true);
    if (!urls.isEmpty())
        loadFile(urls.first());
}

std::shared_ptr<SimpleData> EditVideoWindowController::probeSource(const QString &path)
{
    std::shared_ptr<SimpleData> record = SourceProbe::probe(path, SourceProbe::storedTitles());
    if (record && record->sourceData() && record->sourceData()->exist() == 0)
        record->setThumbImage(ResourceService::imageWithfileName("Resources/defaultMusicZoom.png"));
    return record;
}

namespace {
// The probe's record when the file has a picture; null otherwise (refused, audio only, no streams).
std::shared_ptr<SimpleData> probeWithPicture(const QString &path)
{
    std::shared_ptr<SimpleData> record = EditVideoWindowController::probeSource(path);
    const bool picture = record && record->sourceData() && record->sourceData()->width() >= 1 &&
                         record->sourceData()->height() > 0;
    return picture ? record : nullptr;
}
} // namespace

bool EditVideoWindowController::loadFile(const QString &path)
{
    // Probed before anything changes: a refused file must not cost the user the loaded clip or its music.
    std::shared_ptr<SimpleData> record = probeWithPicture(path);
    if (!record) {
        showSimpleAlert(LanguageService::localizedStringForKey("Pleaseselectedvideo'sfilestring"), 2);
        return false;
    }
    setText(m_scrLabel, path);
    if (m_formatChooser)
        m_formatChooser->actionFunctionItem(nullptr);
    m_music.sourceLoaded();

    // The titles are read again: the chooser's reset has just rewritten them.
    SourceProbe::fillTarget(*record, SourceProbe::storedTitles());
    adoptRecord(record);

    for (platform::TextField *field : m_trim.startGroup().fields() + m_trim.stopGroup().fields()) {
        if (field) {
            field->setStringValue(QStringLiteral("00"));
            field->setEnabled(true);
        }
    }
    // The old clip's subtitle, watermarks, crop, colours and effects do not belong to this picture: the
    // tools are neutral before the new player gets their state.
    clearSubtitle();
    m_subtitle.sourceLoaded();
    m_watermark.clear();
    m_crop.setEditVideoClipRect(platform::Rect{});
    m_effects.sourceLoaded();
    refreshPlayerView();

    for (PNQButton *button : toolButtons())
        button->setEnabled(true);
    if (m_progressSlider)
        m_progressSlider->setDisable(false);
    enableEdit(true);
    hiddenMusicViewPlay(false);
    openCurrentTool();
    return true;
}

bool EditVideoWindowController::addFile(const QString &path)
{
    std::shared_ptr<SimpleData> record = probeWithPicture(path);
    if (!record)
        return false;
    adoptRecord(record);
    return true;
}

void EditVideoWindowController::adoptRecord(const std::shared_ptr<SimpleData> &record)
{
    m_fileData = record;
    m_filePath = record->path();
    const SourceProbe::Titles titles = SourceProbe::storedTitles();
    m_loadedTitles = QStringList(titles.begin(), titles.end());
    m_waterParam = record->waterParam() ? record->waterParam()->copy() : nullptr;
    m_subtitleParam = record->subtitleParam() ? record->subtitleParam()->copy() : nullptr;
    const FileData &source = *record->sourceData();
    m_crop.showSourceSize(source.width(), source.height());
}

// ---- preview ----

void EditVideoWindowController::initPlayer()
{
    m_isPlaying = false;
    platform::View *host = m_toolItemType == ToolMusic ? m_musicRightPlayerView.data()
                                                       : static_cast<platform::View *>(m_playerView);
    QPointer<EditVideoWindowController> self(this);
    if (m_preview.open(m_filePath, host, [self] {
            if (self && !self->isClosed())
                self->playerDidEnd();
        }))
        registerRenderCallbacks();

    delete m_progressSlider;
    delete m_cutProgressView;
    const platform::Rect bar = m_playerBottomView->frame();
    const double W = bar.width();
    const double H = bar.height();
    m_progressSlider =
        new RDProgressSlider(platform::makeRect(95, (H - 20) / 2 + 10, W - 190, 20), m_playerBottomView);
    m_progressSlider->setDelegate(this);
    m_cutProgressView =
        new RDCutProgressView(platform::makeRect(95, (H - 30) / 2 + 10, W - 190, 30), m_playerBottomView);
    m_cutProgressView->setDelegate(this);
    m_cutProgressView->setIsFanxuan(false);
    m_trim.setBar(m_cutProgressView);
    const bool trimShown = m_trimView && !m_trimView->isHidden();
    m_progressSlider->setVisible(!trimShown);
    m_cutProgressView->setVisible(trimShown);

    if (!m_currentTimeLabel) {
        auto label = [this](const platform::Rect &frame) {
            auto *field = new platform::TextField(frame, m_playerBottomView);
            field->setStringValue(QStringLiteral("00:00:00"));
            field->setTextColor(Qt::black);
            field->setFieldFont(systemFont(12)); // "00:00:00.00" whole in 80 points
            field->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
            field->setBordered(false);
            field->setEditable(false);
            return field;
        };
        m_currentTimeLabel = label(platform::makeRect(15, (H - 26) / 2 + 6, 80, 26));
        m_totalTimeLabel = label(platform::makeRect(W - 95, (H - 26) / 2 + 6, 80, 26));
    }
    buildPlayerBar();
    setText(m_mCurrentTimeLabel, HelpClass::returnTimeToStr(0));
    setText(m_mTotaldurationLabel, HelpClass::returnTimeToStr(float(m_preview.duration())));
}

void EditVideoWindowController::registerRenderCallbacks()
{
    if (m_preview.player())
        RenderCallbacks::registerWithPlayer(*m_preview.player());
}

void EditVideoWindowController::buildPlayerBar()
{
    m_bar.build(m_playerBottomChildView, this);
    m_b_playPauseBtn = m_bar.playPauseBtn();
    m_b_stopBtn = m_bar.stopBtn();
    m_b_cameraBtn = m_bar.cameraBtn();
    m_b_picStyleBtn = m_bar.picStyleBtn();
    m_b_volumeBtn = m_bar.volumeBtn();
    m_b_volumeSlider = m_bar.volumeSlider();
    m_b_coverStylePopBtn = m_bar.coverStylePopBtn();
    m_b_playPauseBtn->mouseDownAction = [this](PNQButton *b) {
        dispatchOnMain([this, b] {
            action_playPauseBtn(b);
            enableMusicEdit(false);
            setEnabled(m_loadmusicBtn, false);
            setEnabled(m_audiochanelPopBtn, false);
        });
    };
    m_b_stopBtn->mouseDownAction = [this](PNQButton *) { dispatchOnMain([this] { stopBtnAction(); }); };
    m_b_cameraBtn->mouseDownAction = [this](PNQButton *b) {
        dispatchOnMain([this, b] {
            if (m_preview.player())
                actionCarameraBtn(b);
        });
    };
    m_b_picStyleBtn->mouseDownAction = [this](PNQButton *) {
        dispatchOnMain([this] {
            if (m_preview.player())
                picStyleBtnAction();
        });
    };
    m_b_volumeBtn->mouseDownAction = [this](PNQButton *) { dispatchOnMain([this] { muteAction(); }); };
    m_b_coverStylePopBtn->action = [this](platform::PopUpButton &p) {
        picstyleAction(p.indexOfSelectedItem());
    };
    if (!m_mCurrentTimeLabel) {
        // The long forms of the position and the length, for layouts that show them apart from the bar.
        m_mCurrentTimeLabel = new platform::TextField(platform::Rect{}, m_playerBottomView);
        m_mTotaldurationLabel = new platform::TextField(platform::Rect{}, m_playerBottomView);
        m_mCurrentTimeLabel->setHidden(true);
        m_mTotaldurationLabel->setHidden(true);
    }
}

void EditVideoWindowController::picStyleBtnAction()
{
    m_bar.toggleFormatPopUp();
}

void EditVideoWindowController::muteAction()
{
    m_b_volumeBtn->setSelected(!m_b_volumeBtn->selected());
    if (m_preview.player())
        m_preview.player()->SetVolume(m_b_volumeBtn->selected() ? 0.0 : 0.5);
}

void EditVideoWindowController::stopBtnAction()
{
    stop();
    m_music.previewStopped();
    enableMusicEdit(hasMusic());
    setEnabled(m_loadmusicBtn, true);
    setEnabled(m_audiochanelPopBtn, true);
}

void EditVideoWindowController::action_playPauseBtn(QObject *)
{
    if (m_isPlaying)
        pause();
    else
        play();
}

void EditVideoWindowController::play()
{
    if (!m_preview.player())
        return;
    // The music tool's item player and the clip never play together.
    m_music.stopItemPlayer();
    m_isPlaying = true;
    int index = m_audiochanelPopBtn ? m_audiochanelPopBtn->indexOfSelectedItem() : 0;
    const auto streams =
        m_fileData ? m_fileData->audioStreamInfos() : QList<std::shared_ptr<AudioStreamInfo>>();
    if (!streams.isEmpty())
        index = streams.at(index >= 0 && index < streams.size() ? index : 0)->index();
    m_preview.player()->SetAudioIndex(index);
    // Playing, the edited watermark goes into the picture; the overlay cannot follow it.
    setShown(m_watermarkView, false);
    editsChanged();
    addTimer();
    m_music.addDubbingWithPlayer();
    m_preview.player()->play();
    m_bar.showPlaying(true);
    if (m_trim.playTrimBtn())
        m_trim.playTrimBtn()->setSelected(true);
    enableWaterChildView(false);
    // No list edits while the picture moves.
    ToolPanel::setEnabled({m_watermark.textmarkBtn(), m_watermark.imagemarkBtn(), m_watermark.deletedmarkBtn()},
                          false);
}

void EditVideoWindowController::pause()
{
    if (!m_preview.player())
        return;
    m_isPlaying = false;
    removeTimer();
    m_preview.player()->pause();
    editsChanged();
    enableWaterChildView(!convertstart());
    m_bar.showPlaying(false);
    if (m_trim.playTrimBtn()) {
        m_trim.playTrimBtn()->setSelected(false);
        m_trim.playTrimBtn()->setContentTitle(QString());
    }
}

void EditVideoWindowController::stop()
{
    if (!m_preview.player())
        return;
    pause();
    m_preview.player()->stop();
    // Every tab's labels and slider show where the picture now is.
    showPreviewPosition();
}

void EditVideoWindowController::addTimer()
{
    QPointer<EditVideoWindowController> self(this);
    m_preview.startTick([self] {
        if (self)
            self->changePlayerSlider();
    });
}

void EditVideoWindowController::removeTimer()
{
    m_preview.stopTick();
}

void EditVideoWindowController::showTimeLabels(float current, float duration)
{
    auto text = [](float x) {
        int h, m, sec, cc;
        TimeFieldGroup::split(x, h, m, sec, cc);
        return HelpClass::retrnTimeToStr(h, m, sec, cc);
    };
    setText(m_currentTimeLabel, text(current));
    setText(m_totalTimeLabel, text(duration));
}

void EditVideoWindowController::changePlayerSlider()
{
    if (m_preview.currentTime() >= m_preview.duration() && m_preview.currentTime() > 0)
        removeTimer();
    showPreviewPosition();
}

void EditVideoWindowController::showPreviewPosition()
{
    const double cur = m_preview.currentTime();
    const double dur = m_preview.duration();
    const float p = dur > 0 ? float(cur / dur) : 0.0f;
    platform::log("player_progress:%f", double(p));
    if (m_trimView && m_trimView->isHidden()) {
        if (m_progressSlider)
            m_progressSlider->setProgress(p);
    } else if (m_cutProgressView) {
        m_cutProgressView->setProgress(p);
    }
    m_music.followPreview(p);
    showTimeLabels(float(cur), float(dur));
    setText(m_mCurrentTimeLabel, HelpClass::returnTimeToStr(float(cur)));
}

void EditVideoWindowController::playerDidEnd()
{
    pause();
    if (m_preview.player())
        m_preview.player()->stop();
    const double duration = m_preview.duration();
    if (m_trim.range().stop == 0) {
        m_trim.range().stop = duration * 1000000.0;
        m_trim.range().start = 0;
    }
    const float t = float(m_trim.range().start / 1000000.0);
    m_preview.seek(t);
    if (m_progressSlider && duration > 0)
        m_progressSlider->setProgress(float(t / duration));
    showPreviewPosition();
    if (hasMusic()) {
        enableMusicEdit(true);
        setEnabled(m_loadmusicBtn, true);
        setEnabled(m_audiochanelPopBtn, true);
    }
}

void EditVideoWindowController::actionMouseDownForProgressSliderBlock(RDProgressSlider *slider, float p)
{
    if (slider == m_b_volumeSlider) {
        actionProgressForProgressSliderBlock(slider, p);
        return;
    }
    if (m_preview.player())
        m_preview.player()->pause();
    removeTimer();
}

void EditVideoWindowController::actionProgressForProgressSliderBlock(RDProgressSlider *slider, float p)
{
    if (slider == m_b_volumeSlider) {
        if (m_preview.player())
            m_preview.player()->SetVolume(2.0 * p);
        return;
    }
    const double t = double(p) * m_preview.duration();
    m_preview.seek(t);
    setText(m_currentTimeLabel, HelpClass::returnTimeToStr(float(t)));
}

void EditVideoWindowController::actionMouseUpForProgressSliderBlock(RDProgressSlider *slider, float p)
{
    if (slider == m_b_volumeSlider) {
        actionProgressForProgressSliderBlock(slider, p);
        return;
    }
    if (m_isPlaying && m_preview.player()) {
        m_preview.player()->DisableMainAudio(m_music.removeOriginalMusic());
        m_preview.player()->play();
        addTimer();
    }
}

// ---- panel and model ----

platform::Size EditVideoWindowController::getVideoSizeForTrack() const
{
    if (!m_fileData || !m_fileData->sourceData())
        return platform::Size{};
    const FileData &source = *m_fileData->sourceData();
    return isQuarterTurn(m_rotate.playerRotateAngle())
               ? platform::Size{double(source.height()), double(source.width())}
               : platform::Size{double(source.width()), double(source.height())};
}

void EditVideoWindowController::refreshPlayerView()
{
    platform::log("%s", "-[EditVideoWindowController refreshPlayerView]");
    if (!m_fileData)
        return;
    if (WaterParam *edited = m_watermark.editedItem())
        edited->setWaterViewFrameWidth(float(m_waterView->frame().width()));

    // Editor to record.
    m_trim.range().start = double(m_trim.startGroup().seconds()) * 1000000.0;
    m_trim.range().stop = double(m_trim.stopGroup().seconds()) * 1000000.0;
    SimpleData &clip = *m_fileData;
    clip.setCutTimeRange_start(qint64(m_trim.range().start));
    clip.setCutTimeRange_stop(qint64(m_trim.range().stop));
    clip.setClipRect(m_crop.editVideoClipRect());
    clip.setConvertCropSize(m_crop.convertCropSize());
    clip.setConvertRateAngle(m_rotate.playerRotateAngle());
    clip.setKeepAspectratio(m_keepAspectratio);
    clip.setVFlip(m_rotate.vFlip());
    clip.setHFlip(m_rotate.hFlip());
    if (m_subtitleParam)
        clip.setSubtitleParam(m_subtitleParam->copy());
    clip.setIsTrimFanxuan(m_cutProgressView && m_cutProgressView->isFanxuan());

    // Record to editor: the rest reads back what was just written.
    m_filePath = clip.path();
    m_trim.range().start = double(clip.cutTimeRange_start());
    m_trim.range().stop = double(clip.cutTimeRange_stop());
    m_isTrimFanxuan = clip.isTrimFanxuan();

    initPlayer();
    delete m_cliper;
    initPlayerCliper();
    delete m_watermarkView;
    initWatermarkView();

    m_cutProgressView->setIsFanxuan(m_isTrimFanxuan);
    if (m_trim.preferenceBtn())
        m_trim.preferenceBtn()->selectItemAtIndex(m_isTrimFanxuan ? 1 : 0);
    const double duration = m_preview.duration();
    if (m_trim.range().stop == 0) {
        m_trim.range().stop = duration * 1000000.0;
        m_trim.range().start = 0;
    }
    const float s0 = float(m_trim.range().start / 1000000.0);
    const float s1 = float(m_trim.range().stop / 1000000.0);
    if (duration > 0) {
        m_cutProgressView->setUpperValue(float(s1 / duration));
        m_cutProgressView->setLowerValue(float(s0 / duration));
    }
    m_trim.startGroup().show(s0);
    m_trim.stopGroup().show(s1);
    showTimeLabels(float(m_preview.currentTime()), float(duration));

    m_subtitle.sourceShown();
    m_watermark.refreshWaterTime();
    m_effects.applyToPlayer();
    editsChanged();
    const float start = float(m_trim.range().start / 1000000.0);
    m_preview.seek(start);
    const double fraction = start / duration;
    if (!std::isnan(fraction)) {
        if (m_trimView && m_trimView->isHidden())
            m_progressSlider->setProgress(float(fraction));
        else
            m_cutProgressView->setProgress(float(fraction));
    }

    m_music.showAudioStreams(clip.audioStreamInfos());
}

// ---- trim panel ----

void EditVideoWindowController::initTrimView()
{
    // The panel takes the left column's size less 10; before the first layout the column has no size
    // yet, so take the width the layout gives it.
    const platform::Rect left = m_contentLeftView->frame();
    const double leftWidth = left.width() > 10 ? left.width() : kLeftColumnWidth;
    m_trimView->setFrame(platform::makeRect(5, 5, leftWidth - 10, std::max(left.height() - 10, 400.0)));
    QPointer<EditVideoWindowController> self(this);
    auto call = [self](void (EditVideoWindowController::*fn)(QObject *)) {
        return [self, fn] {
            if (self)
                (self.data()->*fn)(nullptr);
        };
    };
    m_trim.build(m_trimView, this, this,
                 TrimPanel::Actions{call(&EditVideoWindowController::setStartTrimBtnTouchUp),
                                    call(&EditVideoWindowController::setStopTrimBtnTouchUp),
                                    call(&EditVideoWindowController::playTrimBtnTouchUp),
                                    call(&EditVideoWindowController::resetTrimBtnTouchUp), [self](int index) {
                                        if (self)
                                            self->actionPreferencesBtn(index);
                                    }});
    m_trimView->setHidden(true);
}

void EditVideoWindowController::setStartTrimBtnTouchUp(QObject *)
{
    if (!m_preview.player())
        return;
    platform::log("%s", "-[EditVideoWindowController setStartTrimBtnTouchUp:]");
    m_trim.setStartAtPlayhead();
    if (m_fileData) {
        m_fileData->setCutTimeRange_start(qint64(m_trim.range().start));
        m_fileData->setCutTimeRange_stop(qint64(m_trim.range().stop));
    }
}

void EditVideoWindowController::setStopTrimBtnTouchUp(QObject *)
{
    if (!m_preview.player())
        return;
    if (m_trim.setStopAtPlayhead() && m_fileData)
        m_fileData->setCutTimeRange_start(0);
    if (m_fileData)
        m_fileData->setCutTimeRange_stop(qint64(m_trim.range().stop));
}

void EditVideoWindowController::playTrimBtnTouchUp(QObject *)
{
    if (m_preview.player())
        m_preview.player()->pause();
    action_playPauseBtn(nullptr);
}

void EditVideoWindowController::resetTrimBtnTouchUp(QObject *)
{
    m_trim.reset();
}

void EditVideoWindowController::actionPreferencesBtn(int index)
{
    if (m_trim.preferenceBtn())
        m_trim.preferenceBtn()->selectItemAtIndex(index);
    m_isPlaying = false;
    play();
    m_trim.setDeleteMode(index != 0);
}

void EditVideoWindowController::changeCureentTime(float t)
{
    m_trim.changeStart(t);
    m_preview.seek(t);
    const double d = m_preview.duration();
    if (m_cutProgressView)
        m_cutProgressView->setProgress(d > 0 ? float(t / d) : 0.0f);
}

void EditVideoWindowController::actionMouseDownForCutProgressViewBlock(RDCutProgressView *bar, float)
{
    if (bar == m_cutProgressView && m_isPlaying)
        pause();
}

void EditVideoWindowController::actionMouseUpForCutProgressViewBlock(RDCutProgressView *bar, float)
{
    if (bar != m_cutProgressView || !m_isPlaying)
        return;
    if (m_preview.player())
        m_preview.player()->pause();
    removeTimer();
    play();
}

void EditVideoWindowController::actionSeekToTimeForCutProgressViewBlock(RDCutProgressView *bar, float p)
{
    if (bar != m_cutProgressView)
        return;
    p = std::clamp(p, 0.0f, 1.0f);
    const float t = p * float(m_preview.duration());
    platform::log("cureent:%f   -> %lf", double(t), double(p));
    m_preview.seek(t);
    int h, m, sec, cc;
    TimeFieldGroup::split(t, h, m, sec, cc);
    setText(m_currentTimeLabel, HelpClass::retrnTimeToStr(h, m, sec, cc));
}

void EditVideoWindowController::actionMouseMovedForCutProgressViewBlock(RDCutProgressView *bar, float lower,
                                                                        float upper, int64_t handleType)
{
    if (bar == m_cutProgressView)
        m_trim.handlesMoved(lower, upper, handleType);
}

// ---- time and crop fields ----

bool EditVideoWindowController::controlTextShouldEndEditing(platform::TextField *field)
{
    // The edit tools check their own fields; the window keeps only the trim panel's.
    if (m_trim.startGroup().contains(field) || m_trim.stopGroup().contains(field))
        return m_trim.fieldShouldEndEditing(field, [this](const char *key) {
            showSimpleAlert(LanguageService::localizedStringForKey(key), 2);
        });
    return true;
}

void EditVideoWindowController::actionMouseDownForTextFieldBlock(RDTextField *field)
{
    m_trim.primeStepper(field);
}

void EditVideoWindowController::touchUpStartStepper(platform::Stepper *stepper)
{
    m_trim.startStepperTouched(stepper);
}

void EditVideoWindowController::touchUpStopStepper(platform::Stepper *stepper)
{
    m_trim.stopStepperTouched(stepper);
}

// ---- snapshot ----

void EditVideoWindowController::picstyleAction(int index)
{
    m_coverStyle = m_bar.chooseFormat(index);
}

QString EditVideoWindowController::actionCarameraBtn(QObject *)
{
    if (!m_preview.player())
        return QString();
    const QString path = FrameCapture::capture(
        *m_preview.player(), getVideoSizeForTrack(), outputPath(),
        m_snapshotClock ? m_snapshotClock() : QDateTime::currentDateTime(), m_coverStyle);
    if (path.isEmpty())
        showSimpleAlert(LanguageService::localizedStringForKey("snapshotSaveFailedString"), 2);
    return path;
}

// ---- rotate panel ----

void EditVideoWindowController::resetRotateTouchUp(QObject *)
{
    m_rotate.resetRotateTouchUp();
}

// A turn or a mirror moves the picture: the crop (held in source pixels) and the watermarks (held as
// fractions) keep their place on it and the overlays are laid out again. The reset also removes the crop,
// the watermarks and the subtitle, from the panels as from the preview.
void EditVideoWindowController::pictureTurned(bool reset)
{
    const platform::Rect r = pictureRect();
    if (reset) {
        if (!m_waterParam)
            m_waterParam = std::make_shared<WaterParam>();
        m_waterParam->setWaterType(1);
        m_waterParam->setWaterText(LanguageService::localizedStringForKey("watermarkstringValue"));
        m_watermark.clear();
        if (platform::TextField *field = m_watermark.waterContentTextField())
            field->setStringValue(m_waterParam->waterText());
        clearSubtitle();
        m_crop.resetToWholePicture(r);
    } else {
        m_crop.layOverlay(r);
    }
    if (m_watermarkView) {
        m_watermarkView->setVideoSize(videoSize());
        m_watermarkView->setFrameRect(r);
        m_watermark.refreshWaterTime();
    }
}

// No subtitle: the record, the pop-up on its first item and the controls that follow it.
void EditVideoWindowController::clearSubtitle()
{
    if (m_subtitleParam)
        m_subtitleParam->setSubtitlePath(QString());
    if (m_subtitle_popUpBtn && m_subtitle_popUpBtn->numberOfItems() > 0) {
        m_subtitle_popUpBtn->selectItemAtIndex(0);
        m_subtitle.actionSubtitle_popUpBtn();
    }
}
