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
#include "services/AudioTrackTitle.h"
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

const QColor kAccent(33, 176, 235);
const QColor kLightPanel(245, 245, 245);
constexpr double kPanelWidth = 236;
constexpr double kPanelHeight = 400;
constexpr double kLeftColumnWidth = 240; // the tool panels' column at the left of the preview
constexpr double kToolBarHeight = 50;

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

    buildViews();

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

    buildOutputRow();
    m_startExportBtn->mouseDownAction = [this](PNQButton *b) {
        dispatchOnMain([this, b] { startExportAction(b); });
    };
    m_folderChooser = std::make_unique<OutputFolderChooser>(m_outputFolderValueBack);
    m_folderChooser->popUpButton()->action = [this](platform::PopUpButton &p) { outputPopUpBtnAction(&p); };

    layoutFrames(32);
    enableEdit(false);

    openCurrentTool();

    hiddenMusicViewPlay(true);
    outputPopUpBtnAction(nullptr);
    enableMusicEdit(false);
    m_removeOriginalmusicBtn->setEnabled(false);
    setText(m_setthemusicpositionLabel, LanguageService::localizedStringForKey("SetthemusicpositionString"));
    setText(m_startMusicTimeLabel, LanguageService::localizedStringForKey("StartFieldLabelstringValue"));
    setText(m_pruneStartLabel, LanguageService::localizedStringForKey("StartFieldLabelstringValue"));
    setText(m_endMusicTimeLabel, LanguageService::localizedStringForKey("stopFieldLabelstringValue"));
    setText(m_pruneEndLabel, LanguageService::localizedStringForKey("stopFieldLabelstringValue"));
    setText(m_musicPositionLabel, LanguageService::localizedStringForKey("MusicPositionLabelstringValue"));
    setText(m_pruneRangeMusicLabel,
            LanguageService::localizedStringForKey("PruneRangeMusicLabelstringValue"));
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

    m_funItemBackView =
        new PNQView(platform::makeRect(8, H - 88, W - 16, kToolBarHeight + 2), m_backGroundView);
    m_funItemBackView->setBackGroundColor(kAccent);
    const double stripWidth = 1 + 125 * 7;
    m_funItemContentView = new PNQView(
        platform::makeRect((W - 16 - stripWidth) / 2, 1, stripWidth, kToolBarHeight), m_funItemBackView);
    m_funItemContentView->setBackGroundColor(Qt::white);
    m_funItemContentView->setAutoresizingMask(platform::View::MinXMargin | platform::View::MaxXMargin);

    m_addfileButton = new PNQButton(platform::makeRect(8, H - 117, 130, 26), m_backGroundView);
    m_addfileButton->setBackGroundColor(QColor(90, 216, 238));
    m_addfileButton->setContentColor(Qt::white);
    m_addfileButton->setNormalBackgroundImage(image("About/btnAddFile_Normal.bmp"));
    m_addfileButton->setOnBackgroundImage(image("About/btnAddFile_On.bmp"));
    m_addfileButton->setDownBackgroundImage(image("About/btnAddFile_Down.bmp"));
    m_addfileButton->setDisAbleBackgroundImage(image("About/btnAddFile_Disable.bmp"));
    m_addfileButton->setContentTitle(LanguageService::localizedStringForKey("AddFileBtnTitle"));
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
        button->mouseDownAction = [this, bit](PNQButton *b) {
            dispatchOnMain([this, bit, b] {
                switch (bit) {
                case ToolTrim:
                    cutAction(b);
                    break;
                case ToolCrop:
                    cropAction(b);
                    break;
                case ToolEffect:
                    effectAction(b);
                    break;
                case ToolWatermark:
                    watermarkAction(b);
                    break;
                case ToolSubtitle:
                    subtitleAction(b);
                    break;
                case ToolRotate:
                    rotateAction(b);
                    break;
                default:
                    addmusicAction(b);
                    break;
                }
            });
        };
        QPointer<PNQButton> *slot = nullptr;
        switch (tool.bit) {
        case ToolTrim:
            slot = &m_cutButton;
            break;
        case ToolCrop:
            slot = &m_cropButton;
            break;
        case ToolEffect:
            slot = &m_effectButton;
            break;
        case ToolWatermark:
            slot = &m_watermarkButton;
            break;
        case ToolSubtitle:
            slot = &m_subtitleButton;
            break;
        case ToolRotate:
            slot = &m_rotateButton;
            break;
        default:
            slot = &m_addmusicButton;
            break;
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
    m_outputFolderLabel->setText(LanguageService::localizedStringForKey("outputFolderLabelstringValue"));
    m_outputFolderLabel->setTextColor(Qt::white);
    m_exprogressLabel = new TextLabel(platform::makeRect(10, 5, 120, 18), m_backGroundView);
    m_exprogressLabel->setText(LanguageService::localizedStringForKey("progressLabelStringValue"));
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

    m_exportProgressView =
        new NSProgressView(platform::makeRect(134, 9, W - 158 - 134, 10), m_backGroundView);

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
    m_startExportBtn->setContentTitle(LanguageService::localizedStringForKey("StartExportTitle"));
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
    // The one music control the export reads: selected = drop the clip's own sound.
    m_music.initMusicView(m_musicContentView, m_musicRightBottomView);
    m_music.pauseVideoPreview = [this] { pause(); };
    m_loadmusicBtn = m_music.loadButton();
    m_removeOriginalmusicBtn = m_music.removeOriginalBox();
}

void EditVideoWindowController::initPlayerCliper()
{
    if (!m_fileData || !m_fileData->sourceData())
        return;
    const FileData &source = *m_fileData->sourceData();
    m_videoSize = isQuarterTurn(m_fileData->convertRateAngle())
                      ? platform::Size{double(source.height()), double(source.width())}
                      : platform::Size{double(source.width()), double(source.height())};
    const platform::Rect videoRect = platform::aspectFitRect(m_videoSize, m_playerView->bounds());
    platform::log("videoRect: %lf %lf %lf %lf", videoRect.minX(), videoRect.minY(), videoRect.width(),
                  videoRect.height());
    delete m_cliper;
    m_cliper = new RDUICliper(videoRect, m_playerView);
    m_cliper->setVideoSize(m_videoSize);
    m_cliper->setClipRect(m_cliper->bounds());
    m_cliper->setVisible(m_toolItemType == ToolCrop);
    m_crop.attachCliper(m_cliper);
}

void EditVideoWindowController::initWatermarkView()
{
    const platform::Size size = m_fileData && m_fileData->sourceData() ? m_videoSize : platform::Size{};
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
    const char *keys[] = {
        VW_KEY("toolMusicNofileDescLabelstringValue"), VW_KEY("toolMusicNofileDescLabel1stringValue"),
        VW_KEY("toolMusicNofileDescLabel2stringValue"), VW_KEY("toolMusicNofileDescLabel3stringValue"),
        VW_KEY("toolMusicNofileDescLabel4stringValue")};
    // From the top down, pinned there when the area resizes.
    double y = m_toolMusicNofileView->frame().height() - 80;
    for (const char *key : keys) {
        auto *label = new TextLabel(platform::makeRect(40, y, 600, 26), m_toolMusicNofileView);
        label->setAutoresizingMask(platform::View::MinYMargin);
        label->setText(LanguageService::localizedStringForKey(key));
        label->setTextFont(systemFont(16));
        label->setTextColor(Qt::darkGray);
        y -= 34;
    }
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

void EditVideoWindowController::refreshPlayerWaterMark(bool editing)
{
    m_watermark.refreshPlayerWaterMark(editing);
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

PNQButton *EditVideoWindowController::toolButton(qint64 tool) const
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
    case ToolMusic:
        return m_addmusicButton;
    default:
        return nullptr;
    }
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
    switch (m_toolItemType) {
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
    // The crop as last shown goes with the picture into the rotate tool's view of it.
    if (m_cliper)
        m_crop.cropFromOverlayRect(m_cliper->getclipRectFrame());
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
    enableMusicEdit(hasMusic());
    enableEdit(true);
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
    if (MusicRangeSlider *range = m_music.rangeSlider())
        range->setFrame(makeRect(14, 50, music.width() - 28, 30));
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
        m_progressSlider->setFrame(makeRect(95, (bar.height() - 20) / 2 + 10, bar.width() - 190, 20));
    if (m_cutProgressView)
        m_cutProgressView->setFrame(makeRect(95, (bar.height() - 30) / 2 + 10, bar.width() - 190, 30));
    if (m_currentTimeLabel)
        m_currentTimeLabel->setFrame(makeRect(15, (bar.height() - 26) / 2 + 6, 80, 26));
    if (m_totalTimeLabel)
        m_totalTimeLabel->setFrame(makeRect(bar.width() - 95, (bar.height() - 26) / 2 + 6, 80, 26));
    if (m_audiochanelPopBtn && m_audiochanelPopBtn->parentWidget() == m_playerBottomView)
        m_audiochanelPopBtn->setFrame(makeRect(bar.width() - 175, 10, 160, 24));
    if (m_formatChooser)
        m_formatChooser->layoutForWindow(platform::Size{W, H}, m_backGroundView->frame().width());
    const platform::Rect child = m_playerBottomChildView->frame();
    m_playerBottomChildView->setFrameOrigin(platform::Point{child.minX(), 5});
    if (m_playerBottomChildView->parentWidget() == m_playerBottomView)
        m_playerBottomChildView->setFrameOrigin(platform::Point{(bar.width() - child.width()) / 2, 5});
    const platform::Rect progress = m_exportProgressView->frame();
    m_exportProgressView->setFrame(
        makeRect(progress.minX(), progress.minY(), W - 158 - progress.minX(), progress.height()));
}

void EditVideoWindowController::refitOverlays()
{
    const bool hadCrop = m_crop.hasCrop();
    m_videoSize = getVideoSizeForTrack();
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
        m_watermark.refreshWaterTime();
        refreshPlayerWaterMark(m_toolItemType == ToolWatermark && !m_isPlaying);
    }
    m_crop.overlayRefitted(hadCrop);
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
             m_trim.resetTrimBtn().data()})
        setEnabled(w, e);
    m_crop.enableEdit(e);
    m_rotate.enableEdit(e);
    m_effects.enableEdit(e);
    const bool player = m_preview.player() != nullptr;
    setEnabled(m_loadmusicBtn, e && player);
    setEnabled(m_removeOriginalmusicBtn, e && player);
    if (m_originalVolumeSlider)
        m_originalVolumeSlider->setDisable(!e || !player);
    setEnabled(m_music.originalLevelSlider(), e && player);
    setEnabled(m_music.originalVolumeButton(), e && player);
    setEnabled(m_audiochanelPopBtn, e);
    setEnabled(m_colorWell, e);
    setEnabled(m_subtitle_popUpBtn, e);
    const bool subtitleChosen = m_subtitle_popUpBtn && m_subtitle_popUpBtn->indexOfSelectedItem() != 0;
    setEnabled(m_subtitleFont_popUpBtn, e && subtitleChosen);
    setEnabled(m_subtitleAlphSlider, e && subtitleChosen);
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
                                    ? playerDuration()
                                    : (m_fileData->sourceData() ? m_fileData->sourceData()->duration() : 0);
        if (m_trim.range().stop == 0)
            m_trim.range().stop = duration * 1000000.0;
        if (duration > 0 && m_cutProgressView) {
            m_cutProgressView->setUpperValue(float(m_trim.range().stop / 1000000.0 / duration));
            m_cutProgressView->setLowerValue(float(m_trim.range().start / 1000000.0 / duration));
        }
        setTrimFields();
    }
}

void EditVideoWindowController::setTrimFields()
{
    m_trim.showRange();
}

// ---- closing, alerts ----

void EditVideoWindowController::windowWillClose()
{
    if (convertstart())
        startExportAction(m_startExportBtn);
    // The players go whether they play or are paused; their pictures go with them.
    m_preview.close();
    m_isPlaying = false;
    m_musicPreview.close();
    m_music.stopItemPlayer();
    m_isaudioplaying = false;
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

ExportEditState EditVideoWindowController::exportEditState() const
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

ExportSources EditVideoWindowController::exportSources() const
{
    ExportSources sources;
    sources.outputFolder = outputPath();
    sources.audioItemIndex = m_audiochanelPopBtn ? m_audiochanelPopBtn->indexOfSelectedItem() : -1;
    sources.mainAudioVolume = m_volumeModel.mainLevel();
    sources.removeOriginalAudio = m_music.removeOriginalMusic();
    sources.waterMarkList = m_watermark.waterMarkList();
    sources.watermarkViewWidth = m_watermarkView ? m_watermarkView->frame().width() : 0.0;
    sources.videoSize = m_videoSize;
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
    const QStringList urls = chooseMediaFiles(allowedFileTypes(), true);
    if (!urls.isEmpty())
        loadFile(urls.first());
}

namespace {

// The probe's record when the file has a picture; null otherwise (refused, audio only, no streams).
std::shared_ptr<SimpleData> probeWithPicture(const QString &path)
{
    std::shared_ptr<SimpleData> record = SourceProbe::probe(path, SourceProbe::storedTitles());
    if (!record || !record->sourceData() || record->sourceData()->width() < 1 ||
        record->sourceData()->height() <= 0)
        return nullptr;
    return record;
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

    initPlayer();
    for (platform::TextField *field : m_trim.startGroup().fields() + m_trim.stopGroup().fields()) {
        if (field) {
            field->setStringValue(QStringLiteral("00"));
            field->setEnabled(true);
        }
    }
    if (m_subtitleParam)
        m_subtitleParam->setSubtitlePath(QString());
    m_subtitle.sourceLoaded();
    m_watermark.clear();
    // The old clip's crop, colours and effects do not belong to this picture.
    m_crop.setConvertCropSize(RECT{0, 0, 0, 0});
    m_crop.setEditVideoClipRect(platform::Rect{});
    refreshPlayerView();
    m_effects.sourceLoaded();

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

double EditVideoWindowController::playerDuration() const
{
    return m_preview.duration();
}

double EditVideoWindowController::playerCurrentTime() const
{
    return m_preview.currentTime();
}

void EditVideoWindowController::seekPlayer(double seconds)
{
    m_preview.seek(seconds);
}

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
    setText(m_mTotaldurationLabel, HelpClass::returnTimeToStr(float(playerDuration())));
}

void EditVideoWindowController::registerRenderCallbacks()
{
    if (m_preview.player())
        RenderCallbacks::registerWithPlayer(*m_preview.player());
}

void EditVideoWindowController::buildPlayerBar()
{
    auto images = [](PNQButton *b, const QString &stem) {
        b->setStateImages(stem);
        b->setSelectedImage(b->downImage());
        b->setBorderWidth(0);
    };
    auto make = [this](int i) {
        return new PNQButton(platform::makeRect(10 + 40 * i, 0, 36, 36), m_playerBottomChildView);
    };
    if (!m_b_playPauseBtn) {
        m_b_playPauseBtn = make(0);
        m_b_stopBtn = make(1);
        m_b_cameraBtn = make(2);
        m_b_picStyleBtn = make(3);
        m_b_volumeBtn = make(4);
        m_b_volumeBtn->setIsCheckType(true);
        m_b_volumeSlider = new RDProgressSlider(platform::makeRect(210, 8, 100, 20), m_playerBottomChildView);
        m_b_volumeSlider->setProgress(0.5f);
        m_audiochanelPopBtn = new platform::PopUpButton(platform::Rect{}, false, m_playerBottomView);
        m_audiochanelPopBtn->setFrame(
            platform::makeRect(m_playerBottomView->frame().width() - 175, 10, 160, 24));
    }
    images(m_b_playPauseBtn, QStringLiteral("Join/btnPlay"));
    // Selected means playing: the button then shows the pause images play() sets, not a pressed play.
    m_b_playPauseBtn->setSelectedImage(QImage());
    images(m_b_stopBtn, QStringLiteral("Join/btnStop"));
    images(m_b_cameraBtn, QStringLiteral("Join/btnCapture"));
    images(m_b_picStyleBtn, QStringLiteral("Join/btnCaptureSet"));
    images(m_b_volumeBtn, QStringLiteral("Cut/btnOpenVolume"));
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
    m_b_volumeSlider->setDelegate(this);
    m_b_volumeSlider->setDisable(false);

    delete m_b_coverStylePopBtn;
    const platform::Rect style = m_b_picStyleBtn->frame();
    m_b_coverStylePopBtn = new platform::PopUpButton(platform::makeRect(style.maxX(), style.minY(), 80, 20),
                                                     false, m_playerBottomChildView);
    for (const char *key : {VW_KEY("png"), VW_KEY("jpg"), VW_KEY("bmp")}) {
        const QString title = LanguageService::localizedStringForKey(key).remove(u'"');
        if (title.isEmpty())
            continue;
        m_b_coverStylePopBtn->addItemWithTitle(title);
        m_b_coverStylePopBtn->setItemStyledTitle(
            m_b_coverStylePopBtn->numberOfItems() - 1,
            platform::StyledTitle{title, systemFont(14), QColor(Qt::black)});
    }
    m_b_coverStylePopBtn->action = [this](platform::PopUpButton &p) {
        picstyleAction(p.indexOfSelectedItem());
    };
    m_b_coverStylePopBtn->setHidden(true);

    if (!m_mCurrentTimeLabel) {
        // The long forms of the position and the length, for layouts that show them apart from the bar.
        m_mCurrentTimeLabel = new platform::TextField(platform::Rect{}, m_playerBottomView);
        m_mTotaldurationLabel = new platform::TextField(platform::Rect{}, m_playerBottomView);
        m_mCurrentTimeLabel->setHidden(true);
        m_mTotaldurationLabel->setHidden(true);
    }
}

void EditVideoWindowController::placeVolumeControls(double afterX)
{
    platform::Rect volume = m_b_volumeBtn->frame();
    volume.origin.x = afterX;
    m_b_volumeBtn->setFrame(volume);
    platform::Rect slider = m_b_volumeSlider->frame();
    slider.origin.x = volume.maxX();
    m_b_volumeSlider->setFrame(slider);
}

void EditVideoWindowController::picStyleBtnAction()
{
    const bool show = m_b_coverStylePopBtn->isHidden();
    m_b_coverStylePopBtn->setHidden(!show);
    placeVolumeControls(show ? m_b_coverStylePopBtn->frame().maxX() : m_b_picStyleBtn->frame().maxX());
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
    if (m_isaudioplaying) {
        // The music preview and the clip never play together.
        m_isaudioplaying = false;
        if (m_musicPreview.player())
            m_musicPreview.player()->pause();
        removeAudioTimer();
    }
    m_music.stopItemPlayer();
    m_isPlaying = true;
    int index = m_audiochanelPopBtn ? m_audiochanelPopBtn->indexOfSelectedItem() : 0;
    const auto streams =
        m_fileData ? m_fileData->audioStreamInfos() : QList<std::shared_ptr<AudioStreamInfo>>();
    if (!streams.isEmpty())
        index = streams.at(index >= 0 && index < streams.size() ? index : 0)->index();
    m_preview.player()->SetAudioIndex(index);
    refreshPlayerWaterMark(false);
    setShown(m_watermarkView, false);
    addTimer();
    m_music.addDubbingWithPlayer();
    m_preview.player()->play();
    m_b_playPauseBtn->setNormalImage(image("Join/btnPause_Normal.png"));
    m_b_playPauseBtn->setOnImage(image("Join/btnPause_On.png"));
    m_b_playPauseBtn->setDownImage(image("Join/btnPause_Down.png"));
    m_b_playPauseBtn->setSelected(true);
    m_b_playPauseBtn->setContentTitle(QString());
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
    if (m_toolItemType == ToolWatermark)
        refreshPlayerWaterMark(true);
    enableWaterChildView(true);
    m_b_playPauseBtn->setNormalImage(image("Join/btnPlay_Normal.png"));
    m_b_playPauseBtn->setOnImage(image("Join/btnPlay_On.png"));
    m_b_playPauseBtn->setDownImage(image("Join/btnPlay_Down.png"));
    m_b_playPauseBtn->setSelected(false);
    m_b_playPauseBtn->setContentTitle(QString());
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
    if (m_toolItemType == ToolWatermark)
        m_preview.player()->ClearWatermask();
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

void EditVideoWindowController::addAudioTimer()
{
    QPointer<EditVideoWindowController> self(this);
    m_musicPreview.startTick([self] {
        if (self)
            self->changeMusicPlayerSlider();
    });
}

void EditVideoWindowController::removeAudioTimer()
{
    m_musicPreview.stopTick();
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
    const double cur = playerCurrentTime();
    const double dur = playerDuration();
    if (cur >= dur && cur > 0)
        removeTimer();
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

void EditVideoWindowController::changeMusicPlayerSlider()
{
    // The music tool's prune bar follows the music preview; the tool reads musicPlayerProgress itself.
    if (!m_musicPreview.player())
        return;
    const double d = platform::CMTimeGetSeconds(m_musicPreview.player()->duration());
    platform::log(
        "music_progress:%f",
        d > 0 ? double(float(platform::CMTimeGetSeconds(m_musicPreview.player()->currentTime()) / d)) : 0.0);
}

void EditVideoWindowController::playerDidEnd()
{
    pause();
    if (m_preview.player())
        m_preview.player()->stop();
    const double duration = playerDuration();
    if (m_trim.range().stop == 0) {
        m_trim.range().stop = duration * 1000000.0;
        m_trim.range().start = 0;
    }
    const float t = float(m_trim.range().start / 1000000.0);
    seekPlayer(t);
    if (m_progressSlider && duration > 0)
        m_progressSlider->setProgress(float(t / duration));
    m_music.followPreview(duration > 0 ? float(t / duration) : 0.0f);
    if (hasMusic()) {
        enableMusicEdit(true);
        setEnabled(m_loadmusicBtn, true);
        setEnabled(m_audiochanelPopBtn, true);
    }
}

void EditVideoWindowController::actionMouseDownForProgressSliderBlock(RDProgressSlider *slider, float p)
{
    if (slider == m_originalVolumeSlider || slider == m_b_volumeSlider) {
        actionProgressForProgressSliderBlock(slider, p);
        return;
    }
    if (m_preview.player())
        m_preview.player()->pause();
    removeTimer();
}

void EditVideoWindowController::actionProgressForProgressSliderBlock(RDProgressSlider *slider, float p)
{
    if (slider == m_originalVolumeSlider) {
        m_volumeModel.setOriginalLevel(p);
        if (m_preview.player())
            m_preview.player()->SetMainAudioVolume(m_volumeModel.mainLevel());
        return;
    }
    if (slider == m_b_volumeSlider) {
        if (m_preview.player())
            m_preview.player()->SetVolume(2.0 * p);
        return;
    }
    const double t = double(p) * playerDuration();
    seekPlayer(t);
    setText(m_currentTimeLabel, HelpClass::returnTimeToStr(float(t)));
}

void EditVideoWindowController::actionMouseUpForProgressSliderBlock(RDProgressSlider *slider, float p)
{
    if (slider == m_originalVolumeSlider || slider == m_b_volumeSlider) {
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

    // Record to editor.
    m_filePath = clip.path();
    m_trim.range().start = double(clip.cutTimeRange_start());
    m_trim.range().stop = double(clip.cutTimeRange_stop());
    m_rotate.setPlayerRotateAngle(clip.convertRateAngle());
    m_keepAspectratio = clip.keepAspectratio();
    m_rotate.setVFlip(clip.vFlip());
    m_rotate.setHFlip(clip.hFlip());
    if (clip.subtitleParam())
        m_subtitleParam = clip.subtitleParam()->copy();
    m_isTrimFanxuan = clip.isTrimFanxuan();

    initPlayer();
    delete m_cliper;
    initPlayerCliper();
    delete m_watermarkView;
    initWatermarkView();

    m_cutProgressView->setIsFanxuan(m_isTrimFanxuan);
    if (m_trim.preferenceBtn())
        m_trim.preferenceBtn()->selectItemAtIndex(m_isTrimFanxuan ? 1 : 0);
    const double duration = playerDuration();
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
    showTimeLabels(float(playerCurrentTime()), float(duration));

    if (m_subtitle_popUpBtn) {
        m_subtitle_popUpBtn->removeAllItems();
        for (const char *key : {VW_KEY("No_subtitleItemTitle"), VW_KEY("Load_otherItemTitle")}) {
            const QString title = LanguageService::localizedStringForKey(key);
            if (!title.isEmpty())
                m_subtitle_popUpBtn->addItemWithTitle(title);
        }
        m_subtitle_popUpBtn->setEnabled(true);
        setEnabled(m_subtitleFont_popUpBtn, false);
        setEnabled(m_subtitleAlphSlider, false);
    }
    m_rotate.applyToPlayer();
    m_effects.applyToPlayer();
    if (m_trim.range().stop == 0) {
        m_trim.range().stop = duration * 1000000.0;
        m_trim.range().start = 0;
    }
    const float start = float(m_trim.range().start / 1000000.0);
    seekPlayer(start);
    const double fraction = start / duration;
    if (!std::isnan(fraction)) {
        if (m_trimView && m_trimView->isHidden())
            m_progressSlider->setProgress(float(fraction));
        else
            m_cutProgressView->setProgress(float(fraction));
    }

    if (m_audiochanelPopBtn) {
        m_audiochanelPopBtn->removeAllItems();
        int number = 0;
        for (const auto &info : clip.audioStreamInfos())
            m_audiochanelPopBtn->addItemWithTitle(
                AudioTrackTitle::title(++number, info->title(), info->lang(), info->channel(), info->sample()));
        if (m_audiochanelPopBtn->numberOfItems() > 0)
            m_audiochanelPopBtn->selectItemAtIndex(0);
    }
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
    seekPlayer(t);
    const double d = playerDuration();
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
    const float t = p * float(playerDuration());
    platform::log("cureent:%f   -> %lf", double(t), double(p));
    seekPlayer(t);
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
    m_coverStyle = m_b_coverStylePopBtn->itemTitleAtIndex(index);
    m_b_coverStylePopBtn->setHidden(true);
    placeVolumeControls(m_b_picStyleBtn->frame().maxX());
    m_b_coverStylePopBtn->selectItemAtIndex(index);
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

// A quarter turn (or the rotate tool's reset): the picture has another shape, so the overlays are laid
// over it again and what was placed on the old shape goes: the crop, the watermark record and, for a
// reset, the watermark list, and the subtitle.
void EditVideoWindowController::pictureTurned(bool reset)
{
    m_videoSize = getVideoSizeForTrack();
    const platform::Rect r = platform::aspectFitRect(m_videoSize, m_playerView->bounds());
    if (!m_waterParam)
        m_waterParam = std::make_shared<WaterParam>();
    m_waterParam->setWaterType(1);
    m_waterParam->setWaterText(LanguageService::localizedStringForKey("watermarkstringValue"));
    if (m_watermarkView) {
        m_watermarkView->setVideoSize(m_videoSize);
        m_watermarkView->setWaterMark(QImage(m_waterParam->waterImagePath()));
        m_watermarkView->setWaterMarkString(m_waterParam->waterText());
        m_watermarkView->setFrameRect(r);
    }
    if (reset)
        m_watermark.clear();
    else
        m_watermark.refresWaterMarkListView();
    m_crop.resetToWholePicture(r);
    if (m_subtitleParam)
        m_subtitleParam->setSubtitlePath(QString());
    if (m_preview.player()) {
        SUBTITLE_PARAM subtitle{};
        if (m_subtitleParam)
            EngineRecords::fillSubtitle(subtitle, *m_subtitleParam);
        subtitle.path[0] = '\0';
        m_preview.player()->SetSubtitle(subtitle);
    }
}

void EditVideoWindowController::pictureMirrored()
{
    m_crop.resetToWholePicture(platform::aspectFitRect(m_videoSize, m_playerView->bounds()));
}
