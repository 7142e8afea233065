#include "cutters/EasyCutterWindowcontroller.h"

#include "controls/PNQScrollView.h"
#include "cutters/EasyCutterExport.h"
#include "cutters/EasyCutterTimeRules.h"
#include "media/RDMoviePlayer.h"
#include "model/FileData.h"
#include "model/HelpClass.h"
#include "model/SimpleData.h"
#include "platform/FontAlias.h"
#include "platform/Log.h"
#include "platform/Panels.h"
#include "platform/PopUpButton.h"
#include "platform/Window.h"
#include "services/LanguageService.h"
#include "services/ResourceService.h"
#include "toolkit/OutputFolderChooser.h"
#include "toolkit/SourceProbe.h"
#include "toolkit/ToolWidgets.h"

#include <QDateTime>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLineEdit>
#include <QScrollBar>

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

const QColor kAccent(33, 176, 235);
const QColor kLightPanel(245, 245, 245);
constexpr double kCheckBoxGap = 6;

QImage image(const QString &name)
{
    return ResourceService::imageWithfileName(name);
}

QString loc(const char *key)
{
    return LanguageService::localizedStringForKey(QString::fromLatin1(key));
}

QFont systemFont(double size)
{
    return platform::FontAlias::systemFont(size);
}

TextLabel *label(platform::View *parent, const platform::Rect &frame, const QString &text,
                 const QColor &color, double size = 12)
{
    auto *l = new TextLabel(frame, parent);
    l->setText(text);
    l->setTextColor(color);
    l->setTextFont(systemFont(size));
    return l;
}

// An image button with the state images stem_Normal/_On/_Down/_Disable.png, the selected one `selected`.
PNQButton *imageButton(platform::View *parent, const platform::Rect &frame, const QString &stem,
                       const QString &selected = QString())
{
    auto *b = new PNQButton(frame, parent);
    b->setStateImages(stem);
    b->setSelectedImage(selected.isEmpty() ? b->downImage() : image(selected));
    return b;
}

void setShown(QWidget *w, bool on)
{
    if (w)
        w->setVisible(on);
}

void setEnabled(QWidget *w, bool on)
{
    if (w)
        w->setEnabled(on);
}

} // namespace

EasyCutterWindowcontroller::EasyCutterWindowcontroller(QObject *parent) : ToolWindowController(parent) {}

EasyCutterWindowcontroller::~EasyCutterWindowcontroller()
{
    if (m_cutprogressView)
        m_cutprogressView->setDelegate(nullptr);
    if (m_volumeSlider)
        m_volumeSlider->setDelegate(nullptr);
    for (const TimeFieldGroup *group : std::initializer_list<const TimeFieldGroup *>{
             &m_startGroup, &m_stopGroup, &m_column.startGroup(), &m_column.stopGroup()}) {
        for (platform::TextField *field : group->fields()) {
            if (!field)
                continue;
            field->setDelegate(nullptr);
            static_cast<RDTextField *>(field)->setMouseDelegate(nullptr);
        }
    }
}

std::unique_ptr<platform::Window> EasyCutterWindowcontroller::makeWindow()
{
    return std::make_unique<platform::Window>(platform::Size{windowWidth, windowHeight});
}

QString EasyCutterWindowcontroller::finishedMessageKey() const
{
    return QStringLiteral(VW_KEY("Cutterfinishedstring"));
}

QString EasyCutterWindowcontroller::outputPath() const
{
    return m_folderChooser ? m_folderChooser->outputPath() : QString();
}

double EasyCutterWindowcontroller::duration() const
{
    return m_preview.duration();
}

double EasyCutterWindowcontroller::currentTime() const
{
    return m_preview.currentTime();
}

double EasyCutterWindowcontroller::fractionOf(double seconds) const
{
    const double d = duration();
    return d > 0 ? seconds / d : 0.0;
}

void EasyCutterWindowcontroller::placeHandle(bool start, double seconds)
{
    (start ? m_placedStart : m_placedStop) = seconds;
    if (start)
        m_cutprogressView->setLowerValue(float(fractionOf(seconds)));
    else
        m_cutprogressView->setUpperValue(float(fractionOf(seconds)));
}

double EasyCutterWindowcontroller::handleTime(bool start, float fraction) const
{
    // A fraction in single precision is some microseconds off on a long source (64.15 s of 125.5 s comes
    // back as 64.1499985); a handle that a drag or a direct move put elsewhere is read from the bar.
    const double placed = start ? m_placedStart : m_placedStop;
    return fraction == float(fractionOf(placed)) ? placed : double(fraction) * duration();
}

double EasyCutterWindowcontroller::handleTime(bool start) const
{
    return handleTime(start, start ? m_cutprogressView->lowerValue() : m_cutprogressView->upperValue());
}

void EasyCutterWindowcontroller::seek(double seconds)
{
    m_preview.seek(seconds);
    // The elapsed time follows every seek, not only the playing tick.
    if (m_currentTimeLabel)
        m_currentTimeLabel->setText(HelpClass::returnTimeToStr(float(std::clamp(seconds, 0.0, duration()))));
}

void EasyCutterWindowcontroller::alert(const char *key)
{
    showSimpleAlert(loc(key), 2, false);
}

// ---------------------------------------------------------------------------------------------------
// Set-up

void EasyCutterWindowcontroller::windowDidLoad()
{
    platform::Window *win = window();
    win->setTitlebarAppearsTransparent(true);
    win->setBackgroundColor(kAccent);
    win->setFixedSize(int(windowWidth), int(windowHeight));
    if (win->title().isEmpty())
        setTitle(loc(VW_KEY("EasyCut_Title")));
    observeClose();

    buildViews();
    buildPlayerBottom();
    buildButtons();
    buildListColumn();
    buildOutputRow();
    buildNoFilePanel();

    m_cutprogressView->setDelegate(this);
    m_cutprogressView->setType(1);
    m_cutprogressView->setIsFanxuan(false);
    m_cutprogressView->setTickMark(false);
    m_cutprogressView->setTickHidden(false);
    m_volumeSlider->setDelegate(this);

    // The keys the hint panel names: space plays and pauses, the arrows nudge the current mark.
    win->installEventFilter(this);

    enableEditItemShow(false);
    m_folderChooser->outputPopUpBtnAction(m_folderChooser->popUpButton());
}

bool EasyCutterWindowcontroller::eventFilter(QObject *watched, QEvent *event)
{
    // Keys a text field does not take come up to the window.
    if (event->type() == QEvent::KeyPress && isWindowLoaded() && watched == window() && m_fileData &&
        m_playpauseBtn && m_playpauseBtn->isEnabled()) {
        switch (static_cast<QKeyEvent *>(event)->key()) {
        case Qt::Key_Space:
            playOrPauseVideo();
            return true;
        case Qt::Key_Left:
            kuaituiAction();
            return true;
        case Qt::Key_Right:
            kuaijinAction();
            return true;
        default:
            break;
        }
    }
    return ToolWindowController::eventFilter(watched, event);
}

void EasyCutterWindowcontroller::buildViews()
{
    platform::View *content = window()->contentView();
    const double W = windowWidth;
    const double H = windowHeight;

    m_updateFileAddBtn = new PNQButton(platform::makeRect(16, H - 62, 28, 28), content);
    m_updateFileAddBtn->setStateBackgroundImages("About/btnAddFile_Small");
    m_updateFileAddBtn->setCornerRadius(3);
    m_updateFileAddBtn->setFont(systemFont(13));
    m_scrLabel = new platform::TextField(platform::makeRect(52, H - 59, W - 68, 22), content);
    m_scrLabel->setEditable(false);
    m_scrLabel->setTextColor(kAccent);
    m_scrLabel->setBordered(false);

    m_contentBackgroundView = new PNQView(platform::makeRect(8, 64, W - 16, H - 132), content);
    m_contentBackgroundView->setBackGroundColor(Qt::white);
    m_contentBackgroundView->setCornerRadius(5);

    m_playerView = new PNQView(platform::makeRect(12, 200, 640, 360), m_contentBackgroundView);
    m_playerView->setBackGroundColor(Qt::black);
    m_playerView->setAutoresizesSubviews(false);

    m_cutprogressView = new RDCutProgressView(platform::makeRect(12, 172, 640, 24), m_contentBackgroundView);

    m_keybordTishiView = new PNQView(platform::makeRect(12, 8, 640, 40), m_contentBackgroundView);
    m_keybordTishiView->setBackGroundColor(kLightPanel);
    m_keybordTishiView->setCornerRadius(5);
    m_controlkeybordLabel = label(m_keybordTishiView, platform::makeRect(10, 11, 84, 18),
                                  loc(VW_KEY("controlkeybordLabelstringValue")), Qt::darkGray);
    m_playpauseLabel = label(m_keybordTishiView, platform::makeRect(96, 11, 150, 18),
                             loc(VW_KEY("playpauseLabelstringValue")), Qt::black);
    m_playpauseBtn = new PNQButton(platform::makeRect(246, 8, 80, 24), m_keybordTishiView);
    m_playpauseBtn->setContentTitle(loc(VW_KEY("playpauseBtnstringValue")));
    m_controlmarksLabel = label(m_keybordTishiView, platform::makeRect(334, 11, 232, 18),
                                loc(VW_KEY("controlmarksLabelstringValue")), Qt::black);
    m_kuaituiBtn = new PNQButton(platform::makeRect(570, 8, 30, 24), m_keybordTishiView);
    m_kuaituiBtn->setContentTitle(QStringLiteral("\u2190"));
    m_kuaijinBtn = new PNQButton(platform::makeRect(604, 8, 30, 24), m_keybordTishiView);
    m_kuaijinBtn->setContentTitle(QStringLiteral("\u2192"));
    for (PNQButton *b : {m_playpauseBtn.data(), m_kuaituiBtn.data(), m_kuaijinBtn.data()}) {
        b->setBackGroundColor(kAccent);
        b->setDisAblebackGroundColor(QColor(200, 200, 200));
        b->setContentColor(Qt::white);
        b->setCornerRadius(3);
        b->setFont(systemFont(12));
    }
}

void EasyCutterWindowcontroller::buildButtons()
{
    platform::View *back = m_contentBackgroundView;
    m_playOrpauseBtn =
        imageButton(back, platform::makeRect(12, 136, 28, 28), "Cut/btnPlay", "Cut/btnPause_Normal.png");
    m_playOrpauseBtn->setDisAbleImage(image("Cut/btnPlay_Disable.png"));
    m_playOrpauseSelectBtn =
        imageButton(back, platform::makeRect(44, 136, 28, 28), "Cut/btnPreview", "Cut/btnStop_Normal.png");
    m_playOrpauseSelectBtn->setOnImage(image("Cut/btnPreview_Normal.png"));
    m_playOrpauseSelectBtn->setDisAbleImage(image("Cut/btnPlay_Disable.png"));
    m_selectedLeftBtn = imageButton(back, platform::makeRect(80, 136, 28, 28), "Cut/btnSetStartTime");
    m_selectedRightBtn = imageButton(back, platform::makeRect(112, 136, 28, 28), "Cut/btnSetEndTime");

    m_currentTimeLabel =
        label(back, platform::makeRect(148, 141, 78, 18), HelpClass::returnTimeToStr(0), Qt::black);
    m_totalDurationLabel = label(back, platform::makeRect(226, 141, 96, 18), QString(), Qt::darkGray);

    m_volumeBtn = new PNQButton(platform::makeRect(330, 136, 28, 28), back);
    m_volumeBtn->setNormalImage(image("Cut/btnOpenVolume_Normal.png"));
    m_volumeBtn->setSelectedImage(image("Cut/btnCloseVolume_Normal.png"));
    m_volumeSlider = new RDProgressSlider(platform::makeRect(360, 140, 120, 20), back);

    m_cutStartBtn = new PNQButton(platform::makeRect(532, 134, 120, 32), back);
    m_cutStartBtn->setStateBackgroundImages("Cut/btnCut");
    m_cutStartBtn->setLeftIconWidth(20);
    m_cutStartBtn->setContentColor(Qt::white);
    m_cutStartBtn->setContentTitle(loc(VW_KEY("tool_trimItemTitle")));
    m_cutStartBtn->setFont(systemFont(13));

    m_volumeBtn->mouseDownAction = [this](PNQButton *) { dispatchOnMain([this] { muteAction(); }); };
    m_playOrpauseBtn->mouseDownAction = [this](PNQButton *) { playOrPauseAction(); };
    m_playOrpauseSelectBtn->mouseDownAction = [this](PNQButton *) { previewRangeAction(); };
    m_selectedLeftBtn->mouseDownAction = [this](PNQButton *) { setStartAtPlayheadAction(); };
    m_selectedRightBtn->mouseDownAction = [this](PNQButton *) { setEndAtPlayheadAction(); };
    m_cutStartBtn->mouseDownAction = [this](PNQButton *) { dispatchOnMain([this] { cutAction(); }); };
    m_playpauseBtn->mouseDownAction = [this](PNQButton *) { dispatchOnMain([this] { playOrPauseVideo(); }); };
    m_kuaituiBtn->mouseDownAction = [this](PNQButton *) { dispatchOnMain([this] { kuaituiAction(); }); };
    m_kuaijinBtn->mouseDownAction = [this](PNQButton *) { dispatchOnMain([this] { kuaijinAction(); }); };
    m_updateFileAddBtn->mouseDownAction = [this](PNQButton *) {
        dispatchOnMain([this] { addFileAction(); });
    };
}

void EasyCutterWindowcontroller::buildPlayerBottom()
{
    platform::View *back = m_contentBackgroundView;
    const QImage field = image("Resources/trim_textfield.png");
    m_startTimeLabel =
        label(back, platform::makeRect(12, 63, 60, 18), loc(VW_KEY("StartFieldLabelstringValue")), Qt::black);
    m_startGroup =
        EasyCutterCutColumn::buildTimeRow(back, platform::makeRect(72, 59, 151, 26), field, 26,
                                          m_startStepper, [this] { touchUpStartStepper(); }, {this, this});
    m_startTrimFieldBackV = m_startGroup.fields().first()->superview();
    m_endTimeLabel =
        label(back, platform::makeRect(252, 63, 60, 18), loc(VW_KEY("stopFieldLabelstringValue")), Qt::black);
    m_stopGroup =
        EasyCutterCutColumn::buildTimeRow(back, platform::makeRect(312, 59, 151, 26), field, 26,
                                          m_stopStepper, [this] { touchUpStopStepper(); }, {this, this});
    m_stopTrimFieldBackV = m_stopGroup.fields().first()->superview();
    m_durationLabel = label(back, platform::makeRect(492, 63, 70, 18),
                            loc(VW_KEY("cutDurationLabelstringValue")), Qt::black);
    m_durationValueLabel =
        label(back, platform::makeRect(564, 63, 88, 18), HelpClass::returnTimeToStr(0), kAccent);
}

void EasyCutterWindowcontroller::buildOutputRow()
{
    platform::View *content = window()->contentView();
    const double W = windowWidth;
    m_outputLabel = label(content, platform::makeRect(16, 22, 120, 18),
                          loc(VW_KEY("outputFolderLabelstringValue")), Qt::white);
    m_outputFolderHost = new platform::View(platform::makeRect(136, 16, 223, 30), content);
    m_folderChooser = std::make_unique<OutputFolderChooser>(m_outputFolderHost);
    m_folderChooser->popUpButton()->action = [this](platform::PopUpButton &p) {
        m_folderChooser->outputPopUpBtnAction(&p);
    };
    m_openOutputFolderBtn = new PNQButton(platform::makeRect(364, 20, 22, 22), content);
    m_openOutputFolderBtn->setNormalImage(image("SubFun/btnBrowse_Down.png"));
    m_openOutputFolderBtn->mouseDownAction = [this](PNQButton *) { openOutputFolderAction(); };

    // The box and its text are two buttons, so that a gap lies between them; either click ticks it.
    m_merageBtn = new PNQButton(platform::makeRect(400, 34, 24, 24), content);
    m_merageBtn->setNormalImage(image("Join/CheckBox_NoCheck.bmp"));
    m_merageBtn->setSelectedImage(image("Join/CheckBox_Checked.bmp"));
    m_merageBtn->mouseDownAction = [this](PNQButton *) { dispatchOnMain([this] { merageAction(); }); };
    m_merageTitleBtn = new PNQButton(platform::makeRect(400 + 24 + kCheckBoxGap, 34, 260, 24), content);
    m_merageTitleBtn->setTitlePosition(PNQPosition{0, 0, 0, 0});
    m_merageTitleBtn->setContentColor(Qt::white);
    m_merageTitleBtn->setFont(systemFont(12));
    m_merageTitleBtn->setContentTitle(loc(VW_KEY("MerageBtnstringValue")));
    m_merageTitleBtn->mouseDownAction = [this](PNQButton *) { dispatchOnMain([this] { merageAction(); }); };

    m_progressLabel = label(content, platform::makeRect(400, 8, 110, 18),
                            loc(VW_KEY("progressLabelStringValue")), Qt::white);
    m_exportProgressView = new NSProgressView(platform::makeRect(512, 12, 170, 10), content);

    m_startExportBtn = new PNQButton(platform::makeRect(W - 196, 12, 180, 40), content);
    m_startExportBtn->setStateBackgroundImages("SubFun/btnStart");
    m_startExportBtn->setLeftIconWidth(20);
    m_startExportBtn->setContentColor(Qt::white);
    m_startExportBtn->setFont(systemFont(18));
    m_startExportBtn->setContentTitle(loc(VW_KEY("StartExportTitle")));
    m_startExportBtn->mouseDownAction = [this](PNQButton *b) {
        dispatchOnMain([this, b] { startExportAction(b); });
    };
}

void EasyCutterWindowcontroller::buildNoFilePanel()
{
    m_nofileBordView = new PNQView(platform::makeRect(12, 58, 640, 500), m_contentBackgroundView);
    m_nofileBordView->setBackGroundColor(kLightPanel);
    m_nofileBordView->setBordColor(QColor(220, 220, 220));
    m_nofileBordView->setBorderWidth(1);
    m_nofileBordView->setCornerRadius(5);
    m_gettingStartedLabel = label(m_nofileBordView, platform::makeRect(40, 420, 560, 30),
                                  loc(VW_KEY("EasyCut_Title")), kAccent, 20);
    m_addfileBtn = new PNQButton(platform::makeRect(260, 340, 120, 32), m_nofileBordView);
    m_addfileBtn->setStateBackgroundImages("About/btnAddFile");
    m_addfileBtn->setCornerRadius(3);
    m_addfileBtn->setContentColor(Qt::white);
    m_addfileBtn->setFont(systemFont(13));
    m_addfileBtn->setContentTitle(loc(VW_KEY("AddFileBtnTitle")));
    m_addfileBtn->mouseDownAction = [this](PNQButton *) { dispatchOnMain([this] { addFileAction(); }); };
    const char *keys[] = {VW_KEY("easydesclabelTitle1"), VW_KEY("easydesclabelTitle2"),
                          VW_KEY("easydesclabelTitle3"), VW_KEY("easydesclabelTitle4")};
    for (int i = 0; i < 4; ++i) {
        m_descLabels.append(label(m_nofileBordView, platform::makeRect(40, 270 - 36 * i, 580, 24),
                                  QStringLiteral("%1. ").arg(i + 1) + loc(keys[i]), Qt::black, 16));
    }
    TextLabel::shareDrawnFont(QList<TextLabel *>(m_descLabels.begin(), m_descLabels.end()));
}

// ---------------------------------------------------------------------------------------------------
// Loading and preview

void EasyCutterWindowcontroller::addFileAction()
{
    if (m_run.isRunning())
        return; // the running export keeps its source
    const QStringList urls = chooseMediaFiles(SourceProbe::allowedFileTypes(), true);
    if (urls.isEmpty())
        return;
    m_fileData = SourceProbe::probe(urls.first(), std::nullopt);
    if (!m_fileData) {
        enableEditItemShow(false);
        showSimpleAlert(loc(VW_KEY("EasyCutterRefusedFileString")) + QFileInfo(urls.first()).fileName(), 2,
                        false);
        return;
    }
    removeTimer();
    m_preview.close();
    m_isPlaying = false;
    m_isPlaySelectedCut = false;
    setPlayButtonPlaying(false);
    m_cutList.clear();
    m_cutList.setSelectedCutIndex(0);
    m_cutList.setModifyMode(false);
    refresFileListView();
    initPlayer();
    m_scrLabel->setStringValue(m_fileData->path());
    enableEditItemShow(true);
}

void EasyCutterWindowcontroller::initPlayer()
{
    if (!m_fileData || m_fileData->path().isEmpty())
        return;
    QPointer<EasyCutterWindowcontroller> self(this);
    m_preview.open(m_fileData->path(), m_playerView, [self] {
        if (self)
            self->dispatchOnMain([self] { self->playerDidEnd(); });
    });
    if (const auto &player = m_preview.player())
        player->SetVolume(m_fileData->volume());
    const double end = m_fileData->sourceData() ? double(m_fileData->sourceData()->duration()) : 0.0;
    m_durationValueLabel->setText(HelpClass::returnTimeToStr(float(end)));
    m_currentTimeLabel->setText(HelpClass::returnTimeToStr(0));
    m_totalDurationLabel->setText(QStringLiteral("/  ") + HelpClass::returnTimeToStr(float(duration())));
    m_selectStartPlayTime = 0;
    m_volumeSlider->setProgress(0.5f);
    placeHandle(false, duration());
    placeHandle(true, 0);
    m_startGroup.show(0);
    m_stopGroup.show(end);
    disableSetButtons();
}

void EasyCutterWindowcontroller::playerDidEnd()
{
    if (const auto &player = m_preview.player())
        player->pause();
    m_playOrpauseSelectBtn->setOnImage(image("Cut/btnPreview_Normal.png"));
    m_playOrpauseSelectBtn->setDownImage(image("Cut/btnPreview_Down.png"));
    m_playOrpauseSelectBtn->setSelected(false);
    setPlayButtonPlaying(false);
    m_isPlaying = false;
    m_isPlaySelectedCut = false;
    m_cutprogressView->setTickMark(false);
    removeTimer();
    m_playOrpauseBtn->setEnabled(true);
    m_playOrpauseSelectBtn->setEnabled(true);
    m_cutprogressView->setProgress(0);
    seek(0);
}

void EasyCutterWindowcontroller::addTimer()
{
    QPointer<EasyCutterWindowcontroller> self(this);
    m_preview.startTick([self] {
        if (self)
            self->changePlayerSlider();
    });
}

void EasyCutterWindowcontroller::removeTimer()
{
    m_preview.stopTick();
}

void EasyCutterWindowcontroller::changePlayerSlider()
{
    const float p = float(m_preview.fraction());
    m_cutprogressView->setProgress(p);
    m_currentTimeLabel->setText(HelpClass::returnTimeToStr(float(currentTime())));
    m_cutprogressView->setTickMark(true);
    m_cutprogressView->setTickHidden(false);
    const float lower = m_cutprogressView->lowerValue();
    const float upper = m_cutprogressView->upperValue();
    m_selectedLeftBtn->setEnabled(p <= lower || p < upper);
    m_selectedRightBtn->setEnabled(p > lower);
    if (m_isPlaySelectedCut && p >= upper)
        seek(handleTime(true));
}

QImage EasyCutterWindowcontroller::getCurrentThumbImage()
{
    const auto source = m_fileData ? m_fileData->sourceData() : nullptr;
    const auto &player = m_preview.player();
    if (!source || source->width() <= 0 || source->height() <= 0 || !player)
        return image("Cut/musicIconB.png");
    int w = SourceProbe::thumbnailWidth(source->width(), source->height());
    int h = SourceProbe::thumbnailHeight;
    std::vector<uchar> buffer(size_t(w) * size_t(h) * 4);
    if (!player->Snapshot(&w, &h, buffer.data()))
        return image("Cut/musicIconB.png");
    return SourceProbe::imageFromBgra(buffer.data(), w, h);
}

void EasyCutterWindowcontroller::enableEditItemShow(bool show)
{
    for (QWidget *w : std::initializer_list<QWidget *>{m_nofileBordView})
        setShown(w, !show);
    for (QWidget *w : std::initializer_list<QWidget *>{
             m_playerView,         m_updateFileAddBtn,  m_scrLabel,           m_startTimeLabel,
             m_endTimeLabel,       m_durationLabel,     m_durationValueLabel, m_volumeBtn,
             m_volumeSlider,       m_cutprogressView,   m_keybordTishiView,   m_playOrpauseBtn,
             m_selectedLeftBtn,    m_selectedRightBtn,  m_cutStartBtn,        m_startTrimFieldBackV,
             m_stopTrimFieldBackV, m_startStepper,      m_stopStepper,        m_playOrpauseSelectBtn,
             m_currentTimeLabel,   m_totalDurationLabel})
        setShown(w, show);
    for (const TimeFieldGroup *group : std::initializer_list<const TimeFieldGroup *>{
             &m_startGroup, &m_stopGroup, &m_column.startGroup(), &m_column.stopGroup()})
        for (platform::TextField *f : group->fields())
            setEnabled(f, show);
    m_cutprogressView->setDisable(!show);
    m_volumeSlider->setDisable(!show);
}

void EasyCutterWindowcontroller::enableEdit(bool enable)
{
    QList<QWidget *> controls = {
        m_merageBtn, m_merageTitleBtn, m_playpauseBtn, m_kuaituiBtn, m_kuaijinBtn, m_playOrpauseBtn,
        m_playOrpauseSelectBtn, m_cutStartBtn, m_selectedLeftBtn, m_selectedRightBtn, m_startStepper,
        m_stopStepper,
        // A new source during an export would change what the running export is shown against.
        m_addfileBtn, m_updateFileAddBtn};
    controls += m_column.editControls();
    for (QWidget *w : std::as_const(controls))
        setEnabled(w, enable);
    for (const TimeFieldGroup *group : std::initializer_list<const TimeFieldGroup *>{
             &m_startGroup, &m_stopGroup, &m_column.startGroup(), &m_column.stopGroup()})
        for (platform::TextField *f : group->fields())
            setEnabled(f, enable && m_fileData);
    for (const auto &row : m_column.rows())
        setEnabled(row, enable);
    m_volumeSlider->setDisable(!enable);
    m_cutprogressView->setDisable(!enable);
    if (enable)
        m_column.updateMoveButtons();
}

// ---------------------------------------------------------------------------------------------------
// The cut list

void EasyCutterWindowcontroller::buildListColumn()
{
    platform::View *back = m_contentBackgroundView;
    EasyCutterCutColumn::Actions actions;
    actions.copy = [this] { copyAction(); };
    actions.modify = [this] { modifyAction(); };
    actions.remove = [this] { deleteAction(); };
    actions.moveUp = [this] { moveUpAction(); };
    actions.moveDown = [this] { moveDownAction(); };
    actions.clear = [this] { clearAction(); };
    actions.startStepped = [this] { startStepperItemAction(); };
    actions.stopStepped = [this] { stopStepperItemAction(); };
    actions.rowClicked = [this](CutItemView *row) { fileItemAction(row); };
    actions.later = [this](std::function<void()> work) { dispatchOnMain(std::move(work)); };
    // The column keeps the same margin to the panel's right edge as the picture to its left edge.
    m_column.build(back, back->frame().width() - EasyCutterCutColumn::width - 12, actions, {this, this});
    // The column scrolling is its clip view's bounds changing.
    for (QScrollBar *bar :
         {m_column.scrollView()->verticalScrollBar(), m_column.scrollView()->horizontalScrollBar()})
        connect(bar, &QScrollBar::valueChanged, this, [this] { synchronizedViewContentBoundsDidChange(); });
}

void EasyCutterWindowcontroller::synchronizedViewContentBoundsDidChange()
{
    platform::log("%s", "-[EasyCutterWindowcontroller synchronizedViewContentBoundsDidChange:]");
}

void EasyCutterWindowcontroller::refresFileListView()
{
    m_column.reload(m_run.isRunning());
}

void EasyCutterWindowcontroller::scrollToSelectItem()
{
    m_column.scrollToSelectItem();
}

void EasyCutterWindowcontroller::cutAction()
{
    const double start = handleTime(true);
    const double end = handleTime(false);
    seek(start);
    m_cutList.cut(start, end, getCurrentThumbImage());
    refresFileListView();
}

void EasyCutterWindowcontroller::moveUpAction()
{
    if (!m_cutList.moveUp())
        return;
    refresFileListView();
}

void EasyCutterWindowcontroller::moveDownAction()
{
    if (!m_cutList.moveDown())
        return;
    refresFileListView();
}

void EasyCutterWindowcontroller::copyAction()
{
    m_column.modifyBtn()->setSelected(false);
    m_cutList.copy();
    refresFileListView();
}

void EasyCutterWindowcontroller::modifyAction()
{
    if (!m_cutList.cutAt(m_cutList.overlayIndex()))
        return;
    m_cutList.modify();
    refresSelectTrimTime(true, true);
    m_column.showModifyState();
}

void EasyCutterWindowcontroller::deleteAction()
{
    m_column.modifyBtn()->setSelected(false);
    m_cutList.remove();
    refresFileListView();
}

void EasyCutterWindowcontroller::clearAction()
{
    // Only the cuts and their rows go: the selection index, the move buttons, the Modify button and the
    // cut-time panel stay as they are (an index with no cut makes the list operations do nothing).
    m_cutList.clear();
    m_column.clearRows();
}

void EasyCutterWindowcontroller::fileItemAction(CutItemView *sender)
{
    if (!sender)
        return;
    m_cutList.select(sender->tag() - 1);
    m_column.modifyBtn()->setSelected(false);
    m_column.showSelection(sender);
    refresSelectTrimTime(true, true);
}

void EasyCutterWindowcontroller::rowEntered(CutItemView *row)
{
    m_column.rowEntered(row);
}

void EasyCutterWindowcontroller::rowExited(CutItemView *row)
{
    m_column.rowExited(row);
}

// ---------------------------------------------------------------------------------------------------
// Time editing

void EasyCutterWindowcontroller::disableSetButtons()
{
    m_selectedLeftBtn->setEnabled(false);
    m_selectedRightBtn->setEnabled(false);
}

void EasyCutterWindowcontroller::showRangeFromBar()
{
    const double s = handleTime(true);
    const double e = handleTime(false);
    m_startGroup.show(s);
    m_stopGroup.show(e);
    disableSetButtons();
    m_durationValueLabel->setText(HelpClass::returnTimeToStr(float(e - s)));
}

void EasyCutterWindowcontroller::storeIntoCut(int64_t index, bool start, double seconds)
{
    const auto cut = m_cutList.cutAt(index);
    if (!cut)
        return;
    (start ? cut->startTime : cut->endTime) = seconds;
    m_column.refreshRow(index);
}

void EasyCutterWindowcontroller::refresSelectTrimTime(bool changeStart, bool changeEnd)
{
    double a = handleTime(true);
    double b = handleTime(false);
    if (const auto cut = m_cutList.selectedCut()) {
        a = cut->startTime;
        b = cut->endTime;
        if (m_cutList.modifyMode())
            m_column.refreshRow(m_cutList.selectedCutIndex());
    }
    seek(a);
    m_column.startGroup().show(a);
    m_column.stopGroup().show(b);
    disableSetButtons();
    if (!changeStart && !changeEnd)
        return;
    m_cutprogressView->setProgress(float(fractionOf(a)));
    if (changeStart && changeEnd) {
        seek(a);
        placeHandle(false, b);
        placeHandle(true, a);
    } else if (changeEnd) {
        seek(b);
        placeHandle(false, b);
    } else {
        seek(a);
        placeHandle(true, a);
    }
    m_startGroup.show(a);
    m_stopGroup.show(b);
    disableSetButtons();
    m_durationValueLabel->setText(HelpClass::returnTimeToStr(float(b - a)));
}

double EasyCutterWindowcontroller::applyStartChecks(const TimeFieldGroup &start, const TimeFieldGroup &stop,
                                                    platform::TextField *edited)
{
    const auto corrections = EasyCutterTimeRules::checkStart(start.seconds(), stop.seconds());
    for (const auto &c : corrections)
        alert(c.alertKey);
    if (!corrections.isEmpty())
        EasyCutterTimeRules::correct(edited, start, corrections.last());
    return start.seconds();
}

double EasyCutterWindowcontroller::applyStopChecks(const TimeFieldGroup &start, const TimeFieldGroup &stop,
                                                   platform::TextField *edited)
{
    const auto corrections = EasyCutterTimeRules::checkStop(start.seconds(), stop.seconds(), duration());
    for (const auto &c : corrections)
        alert(c.alertKey);
    if (!corrections.isEmpty())
        EasyCutterTimeRules::correct(edited, stop, corrections.last());
    return stop.seconds();
}

void EasyCutterWindowcontroller::actionMouseDownForTextFieldBlock(RDTextField *field)
{
    platform::Stepper *stepper = nullptr;
    if (m_startGroup.contains(field) || m_stopGroup.contains(field)) {
        m_edittingField = field;
        stepper = m_startGroup.contains(field) ? m_startStepper : m_stopStepper;
    } else if (m_column.startGroup().contains(field) || m_column.stopGroup().contains(field)) {
        m_edittingItemField = field;
        stepper = m_column.startGroup().contains(field) ? m_column.startStepper() : m_column.stopStepper();
    }
    if (!stepper)
        return;
    stepper->setIntValue(field->intValue());
    // The click does not start editing by itself; the field takes the keyboard so the user can type.
    if (field->lineEdit())
        field->lineEdit()->setFocus(Qt::MouseFocusReason);
}

void EasyCutterWindowcontroller::touchUpStartStepper()
{
    if (m_edittingField)
        m_edittingField->setStringValue(QString::asprintf("%02ld", long(m_startStepper->intValue())));
    placeHandle(true, applyStartChecks(m_startGroup, m_stopGroup, m_edittingField));
}

void EasyCutterWindowcontroller::touchUpStopStepper()
{
    if (m_edittingField)
        m_edittingField->setStringValue(QString::asprintf("%02ld", long(m_stopStepper->intValue())));
    placeHandle(false, applyStopChecks(m_startGroup, m_stopGroup, m_edittingField));
}

void EasyCutterWindowcontroller::startStepperItemAction()
{
    if (m_edittingItemField)
        m_edittingItemField->setStringValue(
            QString::asprintf("%02ld", long(m_column.startStepper()->intValue())));
    const double start = applyStartChecks(m_column.startGroup(), m_column.stopGroup(), m_edittingItemField);
    storeIntoCut(m_cutList.selectedCutIndex(), true, start);
}

void EasyCutterWindowcontroller::stopStepperItemAction()
{
    if (m_edittingItemField)
        m_edittingItemField->setStringValue(
            QString::asprintf("%02ld", long(m_column.stopStepper()->intValue())));
    const double stop = applyStopChecks(m_column.startGroup(), m_column.stopGroup(), m_edittingItemField);
    storeIntoCut(m_cutList.selectedCutIndex(), false, stop);
}

bool EasyCutterWindowcontroller::controlTextShouldEndEditing(platform::TextField *field)
{
    const bool rangeStart = m_startGroup.contains(field);
    const bool rangeStop = m_stopGroup.contains(field);
    const bool cutStart = m_column.startGroup().contains(field);
    const bool cutStop = m_column.stopGroup().contains(field);
    if (!rangeStart && !rangeStop && !cutStart && !cutStop)
        return true;
    const TimeFieldGroup &start = (rangeStart || rangeStop) ? m_startGroup : m_column.startGroup();
    const TimeFieldGroup &stop = (rangeStart || rangeStop) ? m_stopGroup : m_column.stopGroup();
    const bool isStart = rangeStart || cutStart;
    if (isStart) {
        if (const char *refusal = EasyCutterTimeRules::refuseStart(start.seconds())) {
            alert(refusal);
            return false;
        }
    }
    const double value = isStart ? applyStartChecks(start, stop, field) : applyStopChecks(start, stop, field);
    platform::Stepper *itemStepper = isStart ? m_column.startStepper() : m_column.stopStepper();
    const bool modify = m_column.modifyBtn()->selected();
    if (rangeStart || rangeStop) {
        if (modify) {
            // In modify mode the range fields edit the cut whose buttons the overlay shows.
            storeIntoCut(m_cutList.overlayIndex(), isStart, value);
            itemStepper->setDoubleValue(field->floatValue());
            refresSelectTrimTime(isStart, !isStart);
        } else {
            placeHandle(isStart, value);
            (isStart ? m_startStepper : m_stopStepper)->setDoubleValue(field->floatValue());
            showRangeFromBar();
        }
    } else {
        storeIntoCut(m_cutList.selectedCutIndex(), isStart, value);
        itemStepper->setDoubleValue(field->floatValue());
        refresSelectTrimTime(isStart, !isStart);
    }
    return true;
}

void EasyCutterWindowcontroller::actionMouseDownForCutProgressViewBlock(RDCutProgressView *, float)
{
    if (const auto &player = m_preview.player())
        player->pause();
    removeTimer();
}

void EasyCutterWindowcontroller::actionMouseUpForCutProgressViewBlock(RDCutProgressView *, float)
{
    if (!m_isPlaying)
        return;
    if (const auto &player = m_preview.player())
        player->play();
    addTimer();
    m_playOrpauseBtn->setEnabled(!m_isPlaySelectedCut);
    m_playOrpauseSelectBtn->setEnabled(m_isPlaySelectedCut);
}

void EasyCutterWindowcontroller::actionSeekToTimeForCutProgressViewBlock(RDCutProgressView *, float p)
{
    seek(double(p) * duration());
    if (m_cutprogressView->lowerValue() >= p) {
        m_selectedLeftBtn->setEnabled(true);
        m_selectedRightBtn->setEnabled(false);
    } else {
        m_selectedLeftBtn->setEnabled(p < m_cutprogressView->upperValue());
        m_selectedRightBtn->setEnabled(true);
    }
}

void EasyCutterWindowcontroller::actionMouseMovedForCutProgressViewBlock(RDCutProgressView *,
                                                                         float startValue, float stopValue,
                                                                         int64_t handleType)
{
    // The handle that did not move keeps its exact time.
    const double start = handleTime(true, startValue);
    const double stop = handleTime(false, stopValue);
    if (handleType == 1) {
        m_selectStartPlayTime = start;
        seek(start);
    } else if (handleType == 2) {
        m_selectStartPlayTime = stop;
        seek(stop);
    }
    if (m_column.modifyBtn()->selected()) {
        if (const auto cut = m_cutList.selectedCut()) {
            cut->startTime = start;
            cut->endTime = stop;
            if (handleType == 1 || handleType == 2)
                refresSelectTrimTime(handleType == 1, handleType == 2);
        }
    } else {
        m_startGroup.show(start);
        m_stopGroup.show(stop);
        disableSetButtons();
    }
    m_durationValueLabel->setText(HelpClass::returnTimeToStr(float(stop - start)));
    m_currentTimeLabel->setText(HelpClass::returnTimeToStr(float(currentTime())));
}

void EasyCutterWindowcontroller::actionProgressForProgressSliderBlock(RDProgressSlider *, float progress)
{
    if (const auto &player = m_preview.player())
        player->SetVolume(double(progress) * 2.0);
}

void EasyCutterWindowcontroller::nudge(double step)
{
    const auto &player = m_preview.player();
    if (!player)
        return;
    if (m_isPlaying)
        player->pause();
    const double d = duration();
    const bool stopHandle = m_cutprogressView->handleType() == 2;
    const auto cut = m_cutList.selectedCut();
    if (m_column.modifyBtn()->selected() && cut) {
        double value;
        if (!stopHandle) {
            value = std::min(std::max(0.0, cut->startTime + step), cut->endTime);
            cut->startTime = value;
            refresSelectTrimTime(true, false);
        } else {
            value = std::min(std::max(cut->startTime, cut->endTime + step), d);
            cut->endTime = value;
            refresSelectTrimTime(false, true);
        }
        seek(value);
    } else {
        const double c = currentTime();
        double t;
        if (!stopHandle) {
            t = std::min(std::max(0.0, c + step), handleTime(false));
            placeHandle(true, t);
        } else {
            t = std::min(std::max(handleTime(true), c + step), d);
            placeHandle(false, t);
        }
        seek(t);
        m_cutprogressView->setProgress(float(fractionOf(t)));
        showRangeFromBar();
        if (m_isPlaying) {
            player->play();
            addTimer();
        }
    }
    if (step < 0)
        return;
    const double ahead = std::min(currentTime() + 0.1, d);
    seek(ahead);
    m_cutprogressView->setProgress(float(fractionOf(ahead)));
    if (m_isPlaying) {
        player->play();
        addTimer();
    }
}

// ---------------------------------------------------------------------------------------------------
// Transport

void EasyCutterWindowcontroller::setPlayButtonPlaying(bool playing)
{
    m_playOrpauseBtn->setOnImage(image(playing ? "Cut/btnPause_On.png" : "Cut/btnPlay_On.png"));
    m_playOrpauseBtn->setDownImage(image(playing ? "Cut/btnPause_Down.png" : "Cut/btnPlay_Down.png"));
    m_playOrpauseBtn->setSelected(playing);
}

void EasyCutterWindowcontroller::setPlaying(bool playing)
{
    const auto &player = m_preview.player();
    if (!player)
        return;
    if (playing) {
        player->play();
        addTimer();
    } else {
        player->pause();
        removeTimer();
    }
    m_isPlaying = playing;
    m_cutprogressView->setTickMark(playing);
}

void EasyCutterWindowcontroller::playOrPauseVideo()
{
    if (!m_preview.player())
        return;
    const bool play = !m_isPlaying;
    setPlayButtonPlaying(play);
    setPlaying(play);
    if (!play) {
        m_playOrpauseBtn->setEnabled(true);
        m_playOrpauseSelectBtn->setEnabled(true);
    }
}

void EasyCutterWindowcontroller::playOrPauseAction()
{
    m_isPlaySelectedCut = false;
    m_playOrpauseBtn->setSelected(!m_playOrpauseBtn->selected());
    dispatchOnMain([this] {
        const auto &player = m_preview.player();
        if (!player)
            return;
        const bool playing = m_playOrpauseBtn->selected();
        setPlayButtonPlaying(playing);
        if (playing) {
            setPlaying(true);
            m_playOrpauseBtn->setEnabled(true);
            m_playOrpauseSelectBtn->setEnabled(false);
        } else {
            setPlaying(false);
            m_playOrpauseBtn->setEnabled(true);
            m_playOrpauseSelectBtn->setEnabled(true);
        }
    });
}

void EasyCutterWindowcontroller::previewRangeAction()
{
    const double t = handleTime(true);
    m_playOrpauseSelectBtn->setSelected(!m_playOrpauseSelectBtn->selected());
    dispatchOnMain([this, t] {
        const auto &player = m_preview.player();
        if (!player)
            return;
        seek(t);
        m_cutprogressView->setProgress(float(fractionOf(m_selectStartPlayTime)));
        if (m_playOrpauseSelectBtn->selected()) {
            m_isPlaySelectedCut = true;
            m_playOrpauseSelectBtn->setOnImage(image("Cut/btnStop__On.png"));
            m_playOrpauseSelectBtn->setDownImage(image("Cut/btnStop__Down.png"));
            setPlaying(true);
            m_playOrpauseBtn->setEnabled(false);
        } else {
            m_isPlaySelectedCut = false;
            m_playOrpauseSelectBtn->setOnImage(image("Cut/btnPreview_On.png"));
            m_playOrpauseSelectBtn->setDownImage(image("Cut/btnPreview_Down.png"));
            setPlaying(false);
            m_playOrpauseBtn->setEnabled(true);
        }
    });
}

void EasyCutterWindowcontroller::setStartAtPlayheadAction()
{
    setHandleAtPlayhead(true);
}

void EasyCutterWindowcontroller::setEndAtPlayheadAction()
{
    setHandleAtPlayhead(false);
}

void EasyCutterWindowcontroller::setHandleAtPlayhead(bool start)
{
    // The playhead is read at the click; the rest runs a turn later.
    const double t = currentTime();
    dispatchOnMain([this, t, start] {
        seek(t);
        m_cutprogressView->setProgress(float(fractionOf(t)));
        placeHandle(start, t);
        if (m_column.timePanel()->isVisible())
            storeIntoCut(m_cutList.selectedCutIndex(), start, t);
        const double s = handleTime(true);
        const double e = handleTime(false);
        (start ? m_startGroup : m_stopGroup).show(start ? s : e);
        disableSetButtons();
        m_durationValueLabel->setText(HelpClass::returnTimeToStr(float(e - s)));
    });
}

void EasyCutterWindowcontroller::muteAction()
{
    m_volumeBtn->setSelected(!m_volumeBtn->selected());
    const bool muted = m_volumeBtn->selected();
    m_volumeSlider->setProgress(muted ? 0.0f : 0.5f);
    if (const auto &player = m_preview.player())
        player->SetVolume(muted ? 0.0 : 1.0);
}

void EasyCutterWindowcontroller::merageAction()
{
    m_merageBtn->setSelected(!m_merageBtn->selected());
}

void EasyCutterWindowcontroller::openOutputFolderAction()
{
    if (m_folderChooser)
        m_folderChooser->revealOutputPath();
}

// ---------------------------------------------------------------------------------------------------
// Export

void EasyCutterWindowcontroller::startExportAction(QObject *)
{
    if (m_merageBtn->selected()) {
        joinnerVideo();
        return;
    }
    if (m_run.isRunning()) {
        m_run.cancel();
        m_exportProgressView->setProgress(0);
        return;
    }
    if (m_cutList.count() == 0 || !m_fileData)
        return;
    beginPerCut();
}

void EasyCutterWindowcontroller::joinnerVideo()
{
    if (m_cutList.count() == 0 || !m_fileData)
        return;
    if (m_run.isRunning()) {
        m_run.cancel();
        m_exportProgressView->setProgress(0);
        return;
    }
    pausePreviewForExport();
    beginMerged();
}

void EasyCutterWindowcontroller::pausePreviewForExport()
{
    const auto &player = m_preview.player();
    if (!player)
        return;
    setPlayButtonPlaying(false);
    m_playOrpauseSelectBtn->setOnImage(image("Cut/btnPreview_On.png"));
    m_playOrpauseSelectBtn->setDownImage(image("Cut/btnPreview_Down.png"));
    m_playOrpauseSelectBtn->setSelected(false);
    player->pause();
    m_isPlaying = false;
    m_isPlaySelectedCut = false;
    removeTimer();
}

namespace {

QList<EasyCutterExport::Range> rangesOf(const EasyCutterCutList &list)
{
    QList<EasyCutterExport::Range> ranges;
    for (const auto &cut : list.cutItems())
        ranges.append({cut->startTime, cut->endTime});
    return ranges;
}

} // namespace

void EasyCutterWindowcontroller::beginPerCut()
{
    const QString source = m_fileData->path();
    const QList<EasyCutterExport::Range> cuts = rangesOf(m_cutList);
    const QString folder = outputPath();
    QPointer<EasyCutterWindowcontroller> self(this);
    m_run.begin([&](ExportRunController::Progress onProgress, ExportRunController::Finish onFinish) {
        auto cutStarts = [self](int index) {
            if (!self)
                return;
            // The list shows the cut being exported as selected.
            self->m_cutList.setSelectedCutIndex(index);
            self->dispatchOnMain([self, index] {
                if (index < self->m_column.rows().size())
                    self->fileItemAction(self->m_column.rows().at(index));
                self->refresFileListView();
            });
        };
        return ExportRunController::startChain(
            EasyCutterExport::perCut(source, cuts, folder, cutStarts, onProgress), onFinish);
    });
}

void EasyCutterWindowcontroller::beginMerged()
{
    const QString source = m_fileData->path();
    const QList<EasyCutterExport::Range> cuts = rangesOf(m_cutList);
    const QString folder = outputPath();
    // The slider's middle is the normal level: the clip volume is a factor, 0 silent to 2 double.
    const double volume = double(m_volumeSlider->progress()) * 2.0;
    m_run.begin([&](ExportRunController::Progress onProgress, ExportRunController::Finish onFinish) {
        return ExportRunController::startChain(
            EasyCutterExport::merged(source, cuts, folder, volume, QDateTime::currentDateTime(), onProgress),
            [onFinish](const ChainedExportJob::Outcome &outcome) {
                platform::log("合并完成");
                onFinish(outcome);
            });
    });
}

void EasyCutterWindowcontroller::windowWillClose()
{
    if (m_run.isRunning())
        startExportAction(m_startExportBtn);
    if (m_isPlaying) {
        removeTimer();
        m_preview.close();
        m_isPlaying = false;
    }
}
