#include "editor/EditVideoWindowController.h"

#include "app/LanguageService.h"
#include "app/ResourceService.h"
#include "controls/NSProgressView.h"
#include "controls/PNQButton.h"
#include "controls/PNQOpenAlert.h"
#include "controls/PNQView.h"
#include "controls/RDCutProgressView.h"
#include "controls/RDProgressSlider.h"
#include "controls/TextLabel.h"
#include "editor/EditorOutputSettings.h"
#include "editor/OutputFolderChooser.h"
#include "editor/OutputFormatChooser.h"
#include "editor/tools/RDUICliper.h"
#include "editor/tools/RDWaterView.h"
#include "model/FileData.h"
#include "model/MusicInfo.h"
#include "model/SimpleData.h"
#include "model/SubtitleParam.h"
#include "model/WaterParam.h"
#include "platform/Application.h"
#include "platform/Bundle.h"
#include "platform/Dispatch.h"
#include "platform/Log.h"
#include "platform/NotificationCenter.h"
#include "platform/Panels.h"
#include "platform/PopUpButton.h"
#include "platform/TextField.h"
#include "platform/Timer.h"
#include "platform/View.h"
#include "platform/Window.h"

#include <QFont>

#include <cmath>

namespace {

const QColor kAccent(33, 176, 235);
const QColor kLightPanel(245, 245, 245);
constexpr double kPanelWidth = 236;
constexpr double kPanelHeight = 400;
constexpr double kToolBarHeight = 50;

QString localized(const char *key) { return LanguageService::localizedStringForKey(key); }
QImage image(const QString &name) { return ResourceService::imageWithfileName(name); }

bool isQuarterTurn(int angle) { return angle == 90 || angle == 270 || angle == -90 || angle == -270; }

int even(double v) { return int(v - std::fmod(v, 2.0)); }

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

QFont systemFont(double size)
{
    QFont font;
    font.setPointSizeF(size);
    return font;
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
    {EditVideoWindowController::ToolTrim, "btnCut", "tool_trimItemTitle"},
    {EditVideoWindowController::ToolCrop, "btnCrop", "tool_cropItemTitle"},
    {EditVideoWindowController::ToolEffect, "btnEffect", "tool_effectItemTitle"},
    {EditVideoWindowController::ToolWatermark, "btnWaterMark", "tool_watermarkItemTitle"},
    {EditVideoWindowController::ToolSubtitle, "btnSubtitle", "tool_subtitleItemTitle"},
    {EditVideoWindowController::ToolRotate, "btnRotation", "tool_rotateItemTitle"},
    {EditVideoWindowController::ToolMusic, "btnMusic", "tool_musicItemTitle"},
};

} // namespace

EditVideoWindowController::EditVideoWindowController(QObject *parent)
    : platform::WindowController(parent)
{
    // The controller releases itself once its window has closed and its queued work has run.
    setReleasedWhenClosed(false);
}

EditVideoWindowController::~EditVideoWindowController()
{
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
          platform::NSWindowDidEnterFullScreenNotification, platform::NSWindowDidExitFullScreenNotification}) {
        center.addObserver(this, QString::fromLatin1(name), nullptr,
                           [this](const platform::Notification &n) { changesize(&n); });
    }
    center.addObserver(this, QString::fromLatin1(platform::NSWindowWillCloseNotification), nullptr,
                       [this](const platform::Notification &n) { closewindow(n); });

    m_volume = 1.0;
    m_brightness = m_contrast = m_saturation = 0;
    const QString effects = platform::Bundle::main().pathForResource("Settings.bundle/EffectList.plist");
    m_effectTypes = platform::Bundle::readPropertyList(effects).toList();

    buildViews();

    m_formatChooser = new OutputFormatChooser(ProfileLibrary::editor(), win->frame().width(), m_backGroundView);
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

    buildToolButtons();
    m_scrLabel->setTextColor(kAccent);
    m_scrLabel->setPlaceholderString(localized("scrlabelplaceholderString"));
    m_scrLabel->setEditable(false);

    initCropView();
    initTrimView();
    initEffectView();
    initWaterView();
    initSubtitleView();
    initAdjustView();
    initMusicView();

    buildOutputRow();
    m_startExportBtn->mouseDownAction = [this](PNQButton *b) {
        dispatchOnMain([this, b] { startExportAction(b); });
    };
    m_folderChooser = std::make_unique<OutputFolderChooser>(m_outputFolderValueBack);
    m_folderChooser->popUpButton()->action = [this](platform::PopUpButton &p) { outputPopUpBtnAction(&p); };

    layoutFrames(32);
    enableEdit(false);

    switch (m_toolItemType) {
    case ToolTrim: cutAction(m_cutButton); break;
    case ToolRotate: rotateAction(m_rotateButton); break;
    case ToolCrop: cropAction(m_cropButton); break;
    case ToolEffect: effectAction(m_effectButton); break;
    case ToolWatermark: watermarkAction(m_watermarkButton); break;
    case ToolSubtitle: subtitleAction(m_subtitleButton); break;
    case ToolMusic: addmusicAction(m_addmusicButton); break;
    default: cutAction(m_cutButton); break;
    }

    hiddenMusicViewPlay(true);
    outputPopUpBtnAction(nullptr);
    enableMusicEdit(false);
    m_removeOriginalmusicBtn->setEnabled(false);
    setText(m_setthemusicpositionLabel, localized("SetthemusicpositionString"));
    setText(m_startMusicTimeLabel, localized("StartFieldLabelstringValue"));
    setText(m_pruneStartLabel, localized("StartFieldLabelstringValue"));
    setText(m_endMusicTimeLabel, localized("stopFieldLabelstringValue"));
    setText(m_pruneEndLabel, localized("stopFieldLabelstringValue"));
    setText(m_musicPositionLabel, localized("MusicPositionLabelstringValue"));
    setText(m_pruneRangeMusicLabel, localized("PruneRangeMusicLabelstringValue"));
}

// The window layout: the frames that changesize() keeps are set here once, with autoresizing masks for
// the ones pinned to the top.
void EditVideoWindowController::buildViews()
{
    platform::Window *win = window();
    const double W = win->frame().width();
    const double H = win->frame().height();
    platform::View *content = win->contentView();

    m_backGroundView = new PNQView(content->bounds(), content);
    m_backGroundView->setAutoresizingMask(platform::View::WidthSizable | platform::View::HeightSizable);
    m_backGroundView->setBackGroundColor(kAccent);
    m_backGroundView->setBordColor(kAccent);
    m_backGroundView->setCornerRadius(5);
    m_backGroundView->setBorderWidth(2);

    m_contentBackGroundView = new PNQView(platform::Rect{}, m_backGroundView);
    m_contentBackGroundView->setBackGroundColor(Qt::white);
    m_contentBackGroundView->setBordColor(Qt::white);
    m_contentBackGroundView->setCornerRadius(5);
    m_contentBackGroundView->setBorderWidth(2);
    m_contentBackGroundView->setAutoresizesSubviews(false);

    m_funItemBackView = new PNQView(platform::makeRect(8, H - 88, W - 16, kToolBarHeight + 2), m_backGroundView);
    m_funItemBackView->setBackGroundColor(kAccent);
    const double stripWidth = 1 + 125 * 7;
    m_funItemContentView =
        new PNQView(platform::makeRect((W - 16 - stripWidth) / 2, 1, stripWidth, kToolBarHeight), m_funItemBackView);
    m_funItemContentView->setBackGroundColor(Qt::white);
    m_funItemContentView->setAutoresizingMask(platform::View::MinXMargin | platform::View::MaxXMargin);

    m_addfileButton = new PNQButton(platform::makeRect(8, H - 117, 130, 26), m_backGroundView);
    m_addfileButton->setBackGroundColor(QColor(90, 216, 238));
    m_addfileButton->setContentColor(Qt::white);
    m_addfileButton->setNormalBackgroundImage(image("About/btnAddFile_Normal.bmp"));
    m_addfileButton->setOnBackgroundImage(image("About/btnAddFile_On.bmp"));
    m_addfileButton->setDownBackgroundImage(image("About/btnAddFile_Down.bmp"));
    m_addfileButton->setDisAbleBackgroundImage(image("About/btnAddFile_Disable.bmp"));
    m_addfileButton->setContentTitle(localized("AddFileBtnTitle"));
    m_addfileButton->setFont(systemFont(13));
    m_addfileButton->setCornerRadius(3);
    m_addfileButton->setBorderWidth(2);
    m_scrLabel = new platform::TextField(platform::makeRect(146, H - 115, W - 158, 22), m_backGroundView);

    m_contentLeftView = new platform::View(m_backGroundView);
    m_contentLeftView->setAutoresizesSubviews(false);
    m_contentRightView = new platform::View(m_backGroundView);
    m_musicRightView = new PNQView(platform::Rect{}, m_backGroundView);
    m_musicRightView->setBackGroundColor(kLightPanel);
    m_musicRightView->setAutoresizesSubviews(false);
    m_musicRightPlayerView = new platform::View(m_musicRightView);
    m_musicRightBottomView = new platform::View(m_musicRightView);
    m_toolMusicNofileView = new PNQView(platform::Rect{}, m_musicRightView);

    m_playerBackView = new platform::View(m_backGroundView);
    m_playerBackView->setAutoresizesSubviews(false);
    m_playerView = new PNQView(platform::Rect{}, m_playerBackView);
    m_playerView->setBackGroundColor(Qt::black);
    m_playerView->setAutoresizesSubviews(false);
    m_playerBottomView = new platform::View(m_playerBackView);
    m_playerBottomView->setAutoresizesSubviews(false);
    m_playerBottomChildView = new platform::View(platform::makeRect(0, 5, 360, 36), m_playerBottomView);

    auto panel = [this](platform::View *parent) {
        auto *view = new PNQView(platform::makeRect(2, 0, kPanelWidth, kPanelHeight), parent);
        view->setBackGroundColor(kLightPanel);
        view->setCornerRadius(4);
        return view;
    };
    m_trimView = panel(m_contentLeftView);
    m_cropView = panel(m_contentLeftView);
    m_kxfxView = panel(m_contentLeftView);
    m_waterView = panel(m_contentLeftView);
    m_captionView = panel(m_contentLeftView);
    m_adjustView = panel(m_contentLeftView);
    m_musicContentView = panel(m_backGroundView);
    m_musicContentView->setFrameOrigin(platform::Point{10, 0});

    // Later views go on top of the white content background.
    for (QWidget *top : std::initializer_list<QWidget *>{m_funItemBackView, m_addfileButton, m_scrLabel})
        top->raise();
    for (QWidget *pinned : std::initializer_list<QWidget *>{m_funItemBackView, m_addfileButton})
        static_cast<platform::View *>(pinned)->setAutoresizingMask(platform::View::MinYMargin);
    m_funItemBackView->setAutoresizingMask(platform::View::MinYMargin | platform::View::WidthSizable);
    m_scrLabel->setAutoresizingMask(platform::View::MinYMargin | platform::View::WidthSizable);
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
        button->setContentColor(Qt::white);
        button->setLeftIconWidth(30);
        button->setContentImagePosition(0);
        button->setContentTitle(localized(tool.titleKey));
        button->setFont(systemFont(12));
        button->setCornerRadius(1);
        button->setBorderWidth(0);
        button->setEnabled(false);
        const qint64 bit = tool.bit;
        button->mouseDownAction = [this, bit](PNQButton *b) {
            dispatchOnMain([this, bit, b] {
                switch (bit) {
                case ToolTrim: cutAction(b); break;
                case ToolCrop: cropAction(b); break;
                case ToolEffect: effectAction(b); break;
                case ToolWatermark: watermarkAction(b); break;
                case ToolSubtitle: subtitleAction(b); break;
                case ToolRotate: rotateAction(b); break;
                default: addmusicAction(b); break;
                }
            });
        };
        QPointer<PNQButton> *slot = nullptr;
        switch (tool.bit) {
        case ToolTrim: slot = &m_cutButton; break;
        case ToolCrop: slot = &m_cropButton; break;
        case ToolEffect: slot = &m_effectButton; break;
        case ToolWatermark: slot = &m_watermarkButton; break;
        case ToolSubtitle: slot = &m_subtitleButton; break;
        case ToolRotate: slot = &m_rotateButton; break;
        default: slot = &m_addmusicButton; break;
        }
        *slot = button;
        m_funItemContentView->addSubview(button);
        ++position;
    }
}

void EditVideoWindowController::buildOutputRow()
{
    const double W = window()->frame().width();
    m_outputFolderLabel = new TextLabel(platform::makeRect(10, 27, 120, 18), m_backGroundView);
    m_outputFolderLabel->setText(localized("outputFolderLabelstringValue"));
    m_outputFolderLabel->setTextColor(Qt::white);
    m_exprogressLabel = new TextLabel(platform::makeRect(10, 5, 120, 18), m_backGroundView);
    m_exprogressLabel->setText(localized("progressLabelStringValue"));
    m_exprogressLabel->setTextColor(Qt::white);

    m_outputFolderValueBack = new PNQView(platform::makeRect(134, 25, 280, 22), m_backGroundView);
    m_outputFolderValueBack->setCornerRadius(4);
    m_outputFolderValueBack->setBackGroundColor(kAccent);

    m_scrFolderBtn = new PNQButton(platform::makeRect(420, 25, 22, 22), m_backGroundView);
    m_scrFolderBtn->setNormalImage(image("SubFun/btnBrowse_Down.png"));
    m_scrFolderBtn->mouseDownAction = [this](PNQButton *) {
        dispatchOnMain([this] {
            platform::log("%s", "-[EditVideoWindowController openScrFolderAction:]");
            m_folderChooser->revealOutputPath();
        });
    };

    m_exportProgressView = new NSProgressView(platform::makeRect(134, 9, W - 158 - 134, 10), m_backGroundView);

    // These pictures are whole button faces, so they are drawn stretched over the button.
    m_startExportBtn = new PNQButton(platform::makeRect(W - 148, 5, 140, 40), m_backGroundView);
    m_startExportBtn->setAutoresizingMask(platform::View::MinXMargin);
    m_startExportBtn->setNormalBackgroundImage(image("SubFun/btnStart_Normal.bmp"));
    m_startExportBtn->setOnBackgroundImage(image("SubFun/btnStart_On.bmp"));
    m_startExportBtn->setDownBackgroundImage(image("SubFun/btnStart_Down.bmp"));
    m_startExportBtn->setSelectedBackgroundImage(image("SubFun/btnStart_Down.bmp"));
    m_startExportBtn->setDisAbleBackgroundImage(image("SubFun/btnStart_Disable.bmp"));
    m_startExportBtn->setFont(systemFont(18));
    m_startExportBtn->setContentColor(Qt::white);
    m_startExportBtn->setLeftIconWidth(20);
    m_startExportBtn->setContentImagePosition(0);
    m_startExportBtn->setContentTitle(localized("StartExportTitle"));
}

void EditVideoWindowController::initPlayer()
{
    // The bar's position slider and trim bar; the player itself is made when a clip is loaded.
    if (!m_progressSlider)
        m_progressSlider = new RDProgressSlider(platform::Rect{}, m_playerBottomView);
    if (!m_cutProgressView) {
        m_cutProgressView = new RDCutProgressView(platform::Rect{}, m_playerBottomView);
        m_cutProgressView->setIsFanxuan(false);
    }
}

void EditVideoWindowController::initCropView() {}
void EditVideoWindowController::initTrimView() {}
void EditVideoWindowController::initEffectView() {}
void EditVideoWindowController::initWaterView() {}
void EditVideoWindowController::initSubtitleView() {}
void EditVideoWindowController::initAdjustView() {}

void EditVideoWindowController::initMusicView()
{
    // The one music control the export reads: selected = drop the clip's own sound.
    m_removeOriginalmusicBtn = new PNQButton(platform::makeRect(10, 10, 24, 24), m_musicContentView);
    m_removeOriginalmusicBtn->setIsCheckType(true);
}

void EditVideoWindowController::initPlayerCliper()
{
    if (!m_fileData || !m_fileData->sourceData())
        return;
    const FileData &source = *m_fileData->sourceData();
    m_videoSize = isQuarterTurn(m_fileData->convertRateAngle())
                      ? platform::Size{double(source.height()), double(source.width())}
                      : platform::Size{double(source.width()), double(source.height())};
    m_editVideoClipRect = platform::Rect{platform::Point{}, m_videoSize};
    const platform::Rect videoRect = platform::aspectFitRect(m_videoSize, m_playerView->bounds());
    platform::log("videoRect: %lf %lf %lf %lf", videoRect.minX(), videoRect.minY(), videoRect.width(),
                  videoRect.height());
    delete m_cliper;
    m_cliper = new RDUICliper(videoRect, m_playerView);
    m_cliper->setVideoSize(m_videoSize);
    m_cliper->setClipRect(m_cliper->bounds());
    m_cliper->setVisible(m_toolItemType == ToolCrop);
}

void EditVideoWindowController::initWatermarkView()
{
    const platform::Size size = m_fileData && m_fileData->sourceData()
                                    ? m_videoSize
                                    : platform::Size{};
    const platform::Rect videoRect = platform::aspectFitRect(size, m_playerView->bounds());
    delete m_watermarkView;
    m_watermarkView = new RDWaterView(videoRect, m_playerView);
    m_watermarkView->setVideoSize(size);
    if (m_selectedWaterMarkIndex >= 0 && m_selectedWaterMarkIndex < m_waterMarkList.size()) {
        const WaterParam &water = *m_waterMarkList.at(m_selectedWaterMarkIndex);
        const QString family = water.waterFontName().isEmpty() ? QStringLiteral("Tahoma") : water.waterFontName();
        QFont font(family);
        if (water.waterFontSize() > 0)
            font.setPointSizeF(water.waterFontSize());
        m_watermarkView->setWaterMarkFont(font);
        m_watermarkView->setWaterMarkColor(water.waterFontColor());
        m_watermarkView->setMarkWaterType(int(water.waterType()));
        m_watermarkView->setWaterMarkString(water.waterText());
        m_watermarkView->setWaterMark(water.waterImage());
        if (!water.waterRect().isEmpty())
            m_watermarkView->setClipRect(water.waterRect());
    }
    m_watermarkView->setVisible(m_toolItemType == ToolWatermark);
}

void EditVideoWindowController::hiddenMusicViewPlay(bool hidden)
{
    setShown(m_musicRightPlayerView, !hidden);
    setShown(m_musicRightBottomView, !hidden);
    setShown(m_toolMusicNofileView, hidden);
    if (!hidden || !m_toolMusicNofileView)
        return;
    m_toolMusicNofileView->setCornerRadius(5);
    m_toolMusicNofileView->setBorderWidth(2);
    m_toolMusicNofileView->setBordColor(kAccent);
    if (!m_toolMusicNofileView->findChildren<TextLabel *>().isEmpty())
        return;
    const char *keys[] = {"toolMusicNofileDescLabelstringValue", "toolMusicNofileDescLabel1stringValue",
                          "toolMusicNofileDescLabel2stringValue", "toolMusicNofileDescLabel3stringValue",
                          "toolMusicNofileDescLabel4stringValue"};
    // From the top down, pinned there when the area resizes.
    double y = m_toolMusicNofileView->frame().height() - 80;
    for (const char *key : keys) {
        auto *label = new TextLabel(platform::makeRect(40, y, 600, 26), m_toolMusicNofileView);
        label->setAutoresizingMask(platform::View::MinYMargin);
        label->setText(localized(key));
        label->setTextFont(systemFont(16));
        label->setTextColor(Qt::darkGray);
        y -= 34;
    }
}

void EditVideoWindowController::enableMusicEdit(bool enable)
{
    setEnabled(m_b_volumeBtn, enable);
    setEnabled(m_b_volumeSlider, true);
    setEnabled(m_removeOriginalmusicBtn, true);
}

void EditVideoWindowController::enableWaterChildView(bool enable)
{
    const bool player = m_rdPlayer != nullptr;
    setEnabled(m_textmarkBtn, player);
    setEnabled(m_imagemarkBtn, player);
    setEnabled(m_deletedmarkBtn, player);
    setEnabled(m_keepAspectBtn, enable);
}

void EditVideoWindowController::refreshPlayerWaterMark(bool)
{
    // The watermark tool puts its entries into the preview; without a player there is nothing to show.
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

platform::View *EditVideoWindowController::backGroundView() const { return m_backGroundView; }

QList<PNQButton *> EditVideoWindowController::toolButtons() const
{
    return {m_cutButton, m_cropButton, m_effectButton, m_watermarkButton, m_subtitleButton, m_rotateButton,
            m_addmusicButton};
}

PNQButton *EditVideoWindowController::toolButton(qint64 tool) const
{
    switch (tool) {
    case ToolTrim: return m_cutButton;
    case ToolCrop: return m_cropButton;
    case ToolEffect: return m_effectButton;
    case ToolWatermark: return m_watermarkButton;
    case ToolSubtitle: return m_subtitleButton;
    case ToolRotate: return m_rotateButton;
    case ToolMusic: return m_addmusicButton;
    default: return nullptr;
    }
}

platform::View *EditVideoWindowController::panelView(qint64 tool) const
{
    switch (tool) {
    case ToolTrim: return m_trimView;
    case ToolCrop: return m_cropView;
    case ToolEffect: return m_kxfxView;
    case ToolWatermark: return m_waterView;
    case ToolSubtitle: return m_captionView;
    case ToolRotate: return m_adjustView;
    case ToolMusic: return m_musicContentView;
    default: return nullptr;
    }
}

// ---- tool switching ----

QWidget *EditVideoWindowController::playerHostView() const
{
    return m_previewView ? m_previewView.data() : static_cast<QWidget *>(m_playerView.data());
}

void EditVideoWindowController::movePlayerInto(platform::View *host, platform::View *barHost)
{
    if (m_previewView) {
        m_previewView->setParent(host);
        if (auto *view = qobject_cast<platform::View *>(m_previewView.data()))
            view->setFrame(host->bounds());
        else
            m_previewView->setGeometry(0, 0, int(host->bounds().width()), int(host->bounds().height()));
        m_previewView->show();
    }
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
        if (m_previewView && m_cliper->parentWidget() != m_previewView) {
            m_cliper->setParent(m_previewView);
            m_cliper->show();
        }
    }
    switchTool(ToolCrop, "-[EditVideoWindowController cropAction:]");
    if (m_fileData && m_fileData->sourceData()) {
        const FileData &source = *m_fileData->sourceData();
        const bool turned = isQuarterTurn(m_playerRotateAngle);
        setText(m_original_SizeLabel, QString::asprintf("%d x %d", turned ? source.height() : source.width(),
                                                        turned ? source.width() : source.height()));
    }
    if (m_cliper) {
        const platform::Rect r = m_cliper->getclipRect();
        setText(m_cropWidthField, QString::asprintf("%.f", r.width()));
        setText(m_cropHeightField, QString::asprintf("%.f", r.height()));
    }
}

void EditVideoWindowController::effectAction(PNQButton *)
{
    switchTool(ToolEffect, "-[EditVideoWindowController effectAction:]");
}

void EditVideoWindowController::watermarkAction(PNQButton *)
{
    if (m_watermarkView && m_previewView && !m_watermarkView->parentWidget())
        m_watermarkView->setParent(m_previewView);
    switchTool(ToolWatermark, "-[EditVideoWindowController watermarkAction:]");
}

void EditVideoWindowController::subtitleAction(PNQButton *)
{
    switchTool(ToolSubtitle, "-[EditVideoWindowController subtitleAction:]");
}

void EditVideoWindowController::rotateAction(PNQButton *)
{
    switchTool(ToolRotate, nullptr);
    deriveCropFromOverlay();
    if (!m_isPlaying)
        refreshPlayerWaterMark(false);
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
    enableMusicEdit(!m_musicList.isEmpty());
    enableEdit(true);
}

// ---- crop ----

// The crop as the overlay shows it, in video pixels. An overlay rectangle that covers the whole picture
// (within a point, the width of its outline) is no crop at all, so no margins appear from it.
void EditVideoWindowController::deriveCropFromOverlay()
{
    const platform::Rect r = m_cliper ? m_cliper->getclipRectFrame() : platform::Rect{};
    if (m_cliper)
        m_cliper->setClipRect(r);
    setText(m_cropWidthField, QString::asprintf("%02.f", m_editVideoClipRect.width()));
    setText(m_cropHeightField, QString::asprintf("%02.f", m_editVideoClipRect.height()));
    if (!m_cliper)
        return;
    const platform::Rect F = m_cliper->frame();
    const double W = m_videoSize.width;
    const double H = m_videoSize.height;
    if (F.width() <= 0 || F.height() <= 0)
        return;
    const bool whole = r.minX() <= 1 && r.minY() <= 1 && r.maxX() >= F.width() - 1 && r.maxY() >= F.height() - 1;
    if (whole) {
        m_editVideoClipRect = platform::makeRect(0, 0, W, H);
    } else {
        const float fx = float(r.minX() / F.width());
        const float fy = float(r.minY() / F.height());
        const float fw = float(r.width() / F.width());
        const float fh = float(r.height() / F.height());
        m_editVideoClipRect = platform::makeRect(float(fx * W), float(fy * H), float(fw * W), float(fh * H));
    }
    const platform::Rect &c = m_editVideoClipRect;
    platform::log("v_x: %f v_y: %f v_w: %f v_h: %f", c.minX(), c.minY(), c.width(), c.height());
    setText(m_cropWidthField, QString::asprintf("%02.f", c.width()));
    setText(m_cropHeightField, QString::asprintf("%02.f", c.height()));
    m_convertCropSize = RECT{even(c.minX()), even(H - (c.minY() + c.height())), even(W - (c.minX() + c.width())),
                             even(c.minY())};
    setText(m_cropLeftField, QString::asprintf("%i", int(c.minX())));
    setText(m_cropTopField, QString::asprintf("%i", int(H - c.height() - c.minY())));
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
    m_contentLeftView->setFrame(makeRect(8, y1, 240, h1));
    m_contentRightView->setFrame(makeRect(248, y1, W - 252, h1));
    m_musicRightView->setFrame(makeRect(253, y1, W - 264, h1 - 6));
    m_playerBackView->setFrame(makeRect(253, y1, W - 264, h1 - 6));
    const platform::Rect back = m_playerBackView->frame();
    m_playerView->setFrame(makeRect(0, 80, back.width(), back.height() - 112));
    m_playerBottomView->setFrame(makeRect(0, 0, back.width(), 81));
    const platform::Rect music = m_musicRightView->frame();
    m_musicRightPlayerView->setFrame(makeRect(14, 90, music.width() - 26, music.height() - 90));
    m_musicRightBottomView->setFrame(makeRect(0, 0, music.width(), 91));
    m_toolMusicNofileView->setFrame(makeRect(0, 0, music.width(), music.height()));
    const double leftHeight = m_contentLeftView->frame().height();
    for (platform::View *panel : {m_trimView.data(), m_cropView.data(), m_adjustView.data(), m_kxfxView.data(),
                                  m_waterView.data(), m_captionView.data()}) {
        panel->setFrameOrigin(platform::Point{panel->frame().minX(), leftHeight - panel->frame().height() - 5});
    }
    m_musicContentView->setFrameOrigin(platform::Point{
        m_musicContentView->frame().minX(), y1 + leftHeight - m_musicContentView->frame().height() - 5});
    if (m_previewView) {
        platform::View *host = m_toolItemType == ToolMusic ? m_musicRightPlayerView.data() : m_playerView.data();
        if (auto *view = qobject_cast<platform::View *>(m_previewView.data()))
            view->setFrame(host->bounds());
        else
            m_previewView->setGeometry(0, 0, int(host->bounds().width()), int(host->bounds().height()));
    }
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
    const platform::Rect child = m_playerBottomChildView->frame();
    m_playerBottomChildView->setFrameOrigin(platform::Point{child.minX(), 5});
    if (m_playerBottomChildView->parentWidget() == m_playerBottomView)
        m_playerBottomChildView->setFrameOrigin(platform::Point{(bar.width() - child.width()) / 2, 5});
    const platform::Rect progress = m_exportProgressView->frame();
    m_exportProgressView->setFrame(makeRect(progress.minX(), progress.minY(), W - 158 - progress.minX(),
                                            progress.height()));
}

void EditVideoWindowController::refitOverlays()
{
    const platform::Size oldVideoSize = m_videoSize;
    const bool hadCrop = m_convertCropSize.left || m_convertCropSize.top || m_convertCropSize.right ||
                         m_convertCropSize.bottom ||
                         (!m_editVideoClipRect.isZero() &&
                          m_editVideoClipRect != platform::Rect{platform::Point{}, oldVideoSize});
    m_videoSize = platform::Size{};
    if (m_fileData && m_fileData->sourceData()) {
        const FileData &source = *m_fileData->sourceData();
        m_videoSize = isQuarterTurn(m_playerRotateAngle)
                          ? platform::Size{double(source.height()), double(source.width())}
                          : platform::Size{double(source.width()), double(source.height())};
    }
    QWidget *host = playerHostView();
    const platform::Rect r =
        platform::aspectFitRect(m_videoSize, platform::makeRect(0, 0, host->width(), host->height()));

    if (m_cliper) {
        // The same part of the picture stays selected: the shown rectangle is carried over in proportion.
        const platform::Rect old = m_cliper->getclipRectFrame();
        const platform::Rect oldFrame = m_cliper->frame();
        m_cliper->setFrameRect(r);
        m_cliper->setVideoSize(m_videoSize);
        platform::Rect kept = old;
        if (oldFrame.width() > 0 && oldFrame.height() > 0) {
            const double sx = r.width() / oldFrame.width();
            const double sy = r.height() / oldFrame.height();
            kept = platform::makeRect(old.minX() * sx, old.minY() * sy, old.width() * sx, old.height() * sy);
        }
        m_cliper->setClipRect(kept);
    }
    if (m_watermarkView) {
        m_watermarkView->setFrameRect(r);
        m_watermarkView->setVideoSize(m_videoSize);
        if (m_waterParam)
            m_watermarkView->setWaterMarkAlph(int(m_waterParam->waterAlph()));
        refreshPlayerWaterMark(false);
    }
    if (m_cliper && hadCrop) {
        deriveCropFromOverlay();
    } else {
        m_convertCropSize = RECT{0, 0, 0, 0};
        m_editVideoClipRect = platform::Rect{platform::Point{}, m_videoSize};
    }
}

// ---- enabling ----

void EditVideoWindowController::enableEdit(bool e)
{
    setEnabled(m_textmarkBtn, e);
    setEnabled(m_imagemarkBtn, e);
    setEnabled(m_deletedmarkBtn, e);
    if (m_progressSlider)
        m_progressSlider->setDisable(!e);
    if (m_cutProgressView)
        m_cutProgressView->setDisable(!e);
    setEnabled(m_b_coverStylePopBtn, e);
    if (m_b_volumeSlider)
        m_b_volumeSlider->setDisable(!e);
    for (QWidget *w : {m_b_volumeBtn.data(), m_b_cameraBtn.data(), m_b_stopBtn.data(), m_b_playPauseBtn.data(),
                       m_setStartTrimBtn.data(), m_setStopTrimBtn.data(), m_playTrimBtn.data(),
                       m_resetTrimBtn.data(), m_volueSlider.data(), m_brightnessSlider.data(),
                       m_contrastSlider.data(), m_saturationSlider.data(), m_effectReset.data(),
                       m_edit_cropCancelBtn.data(), m_left_ratioBtn.data(), m_right_ratioBtn.data(),
                       m_vertical_mirrorBtn.data(), m_horizontal_mirrorBtn.data()})
        setEnabled(w, e);
    for (QWidget *w : {static_cast<QWidget *>(m_cropWidthField.data()), static_cast<QWidget *>(m_cropHeightField.data()),
                       static_cast<QWidget *>(m_cropTopField.data()), static_cast<QWidget *>(m_cropLeftField.data()),
                       m_resetRotateBtn.data()})
        setEnabled(w, e);
    const bool player = m_rdPlayer != nullptr;
    setEnabled(m_loadmusicBtn, e && player);
    setEnabled(m_removeOriginalmusicBtn, e && player);
    if (m_originalVolumeSlider)
        m_originalVolumeSlider->setDisable(!e || !player);
    setEnabled(m_audiochanelPopBtn, e);
    setEnabled(m_colorWell, e);
    setEnabled(m_subtitle_popUpBtn, e);
    const bool subtitleChosen = m_subtitle_popUpBtn && m_subtitle_popUpBtn->indexOfSelectedItem() != 0;
    setEnabled(m_subtitleFont_popUpBtn, e && subtitleChosen);
    setEnabled(m_subtitleAlphSlider, e && subtitleChosen);
    setEnabled(m_keepAspectBtn, e);
    if (m_watermarkView)
        m_watermarkView->setEnabled(e);
    enableWaterChildView(e && !m_waterMarkList.isEmpty());

    if (m_fileData) {
        for (QWidget *w : {m_noneCntentTypeBtn.data(), m_imageCntentTypeBtn.data(), m_textCntentTypeBtn.data(),
                           m_addWaterImageFilesBtn.data(), m_waterContentTextField.data()})
            setEnabled(w, e);
        if (m_progressSlider)
            m_progressSlider->setProgress(0);
        if (m_cutProgressView)
            m_cutProgressView->setProgress(0);
        // The clip's own length: the preview plays the same file.
        const double duration = m_fileData->sourceData() ? m_fileData->sourceData()->duration() : 0;
        if (m_cutTimeRange_stop == 0)
            m_cutTimeRange_stop = duration * 1000000.0;
        if (duration > 0 && m_cutProgressView) {
            m_cutProgressView->setUpperValue(float(m_cutTimeRange_stop / 1000000.0 / duration));
            m_cutProgressView->setLowerValue(float(m_cutTimeRange_start / 1000000.0 / duration));
        }
        setTrimFields();
    }
    for (const QPointer<QWidget> &cell : m_effectTableCells)
        setEnabled(cell, e);
}

void EditVideoWindowController::setTrimFields()
{
    auto show = [](double us, platform::TextField *h, platform::TextField *m, platform::TextField *s,
                   platform::TextField *hs) {
        const float t = float(us / 1000000.0);
        const int hours = int(std::floor(t)) / 3600;
        const int minutes = int(std::floor(t - 3600.0f * hours)) / 60;
        const int seconds = int(std::floor(t - 3600.0f * hours - 60.0f * minutes));
        const int hundredths = int((t - std::floor(t)) * 100);
        setText(h, QString::asprintf("%02i", hours));
        setText(m, QString::asprintf("%02i", minutes));
        setText(s, QString::asprintf("%02i", seconds));
        setText(hs, QString::asprintf("%02i", hundredths));
    };
    show(m_cutTimeRange_start, m_startHourField, m_startMinuteField, m_startSecondsField, m_startMioSecondsField);
    show(m_cutTimeRange_stop, m_stopHourField, m_stopMinuteField, m_stopSecondsField, m_stopMioSecondsField);
}

// ---- closing, alerts ----

void EditVideoWindowController::closewindow(const platform::Notification &n)
{
    if (!isWindowLoaded() || n.object != window() || m_closed)
        return;
    m_closed = true;
    if (m_convertstart)
        startExportAction(m_startExportBtn);
    if (m_rdPlayer && m_isPlaying) {
        if (m_timer)
            m_timer->invalidate();
        m_timer.reset();
        // Dropping the player stops it and takes its picture away.
        m_rdPlayer.reset();
        m_isPlaying = false;
    }
    if (m_rdmusicPlayer && m_isaudioplaying) {
        if (m_audioTimer)
            m_audioTimer->invalidate();
        m_audioTimer.reset();
        m_rdmusicPlayer.reset();
        m_isaudioplaying = false;
    }
    platform::NotificationCenter::defaultCenter().post(QString::fromLatin1(WillCloseNotification));
    releaseWhenDone();
}

void EditVideoWindowController::closeAction(QObject *)
{
    close();
    platform::Application::shared().stopModal();
}

void EditVideoWindowController::showSimpleAlert(const QString &message, int tag, bool fromExportEnd)
{
    // A message that arrives while an export runs (a field check, say) must not disarm that export.
    if (!m_convertstart || fromExportEnd) {
        if (m_startExportBtn)
            m_startExportBtn->setContentTitle(localized("StartExportTitle"));
        if (m_exportTimer) {
            m_exportTimer->invalidate();
            m_exportTimer.reset();
        }
    }
    platform::Window *win = isWindowLoaded() ? window() : nullptr;
    if (tag == 1) {
        PNQOpenAlert::showFinished(win, QStringLiteral("Editfinishedstring"), outputPath());
        return;
    }
    platform::AlertRequest request;
    request.buttonTitles = {localized("OKBtnTitle")};
    request.messageText = win ? LanguageService::localizedStringForKey(win->title()) : QString();
    request.informativeText = message;
    request.style = platform::AlertRequest::Style::Warning;
    request.parent = win;
    platform::Panels::instance().runAlert(request);
}

void EditVideoWindowController::startExportAction(PNQButton *)
{
    if (!m_convertstart)
        return;
    // A cancel: the running flag goes first, so the job's completion reports nothing.
    m_convertstart = false;
    for (std::shared_ptr<platform::Timer> *t : {&m_exportTimer, &m_exportJoinTimer}) {
        if (*t)
            (*t)->invalidate();
        t->reset();
    }
    if (m_startExportBtn)
        m_startExportBtn->setContentTitle(localized("StartExportTitle"));
    if (!m_closed)
        enableEdit(true);
}

// ---- queued work ----

void EditVideoWindowController::dispatchOnMain(std::function<void()> fn)
{
    ++m_pendingMainWork;
    QPointer<EditVideoWindowController> self(this);
    platform::dispatchMain([self, fn = std::move(fn)] {
        if (!self)
            return;
        --self->m_pendingMainWork;
        if (!self->m_closed)
            fn();
        self->releaseWhenDone();
    });
}

void EditVideoWindowController::releaseWhenDone()
{
    if (m_closed && m_pendingMainWork == 0)
        deleteLater();
}
