#include "cutters/SplitWindowController.h"

#include "controls/NSProgressView.h"
#include "controls/PNQButton.h"
#include "controls/PNQImageView.h"
#include "controls/PNQView.h"
#include "controls/TextLabel.h"
#include "cutters/SplitExport.h"
#include "cutters/SplitPoints.h"
#include "cutters/SplitProgressView.h"
#include "media/RDMoviePlayer.h"
#include "model/FileData.h"
#include "model/HelpClass.h"
#include "model/SimpleData.h"
#include "platform/FontAlias.h"
#include "platform/Log.h"
#include "platform/NumberScan.h"
#include "platform/Panels.h"
#include "platform/PopUpButton.h"
#include "platform/Stepper.h"
#include "platform/Window.h"
#include "services/LanguageService.h"
#include "services/ResourceService.h"
#include "toolkit/OutputFolderChooser.h"
#include "toolkit/SourceProbe.h"
#include "toolkit/ToolWidgets.h"

#include <QFileInfo>

#include <cmath>

namespace {

const QColor kAccent(33, 176, 235);
const QColor kText(60, 60, 60);
constexpr double kWidth = 960;
constexpr double kHeight = 680;

QString localized(const char *key)
{
    return LanguageService::localizedStringForKey(QString::fromUtf8(key));
}

QImage image(const QString &name)
{
    return ResourceService::imageWithfileName(name);
}

TextLabel *label(const platform::Rect &frame, QWidget *parent, double size = 12, bool bold = false)
{
    auto *l = new TextLabel(frame, parent);
    l->setTextFont(platform::FontAlias::systemFont(size, bold));
    l->setTextColor(kText);
    return l;
}

// A button drawn from one image family: normal and hover "_1", pressed "_3", disabled "_4".
PNQButton *familyButton(const platform::Rect &frame, QWidget *parent, const QString &stem)
{
    auto *b = new PNQButton(frame, parent);
    b->setNormalImage(image(stem + "_1.bmp"));
    b->setOnImage(image(stem + "_1.bmp"));
    b->setDownImage(image(stem + "_3.bmp"));
    b->setSelectedImage(image(stem + "_3.bmp"));
    b->setDisAbleImage(image(stem + "_4.bmp"));
    return b;
}

void setEnabled(QWidget *w, bool on)
{
    if (w)
        w->setEnabled(on);
}

} // namespace

SplitWindowController::SplitWindowController(QObject *parent) : ToolWindowController(parent), m_run(*this) {}

SplitWindowController::~SplitWindowController()
{
    m_run.cancel();
    m_preview.close();
}

std::unique_ptr<platform::Window> SplitWindowController::makeWindow()
{
    return std::make_unique<platform::Window>(platform::Size{kWidth, kHeight});
}

void SplitWindowController::windowDidLoad()
{
    platform::Window *win = window();
    win->setTitlebarAppearsTransparent(true);
    win->setBackgroundColor(kAccent);
    win->setMinSize(platform::Size{kWidth, kHeight});
    win->setTitle(localized("SplitBtnstringValue"));
    observeClose();

    buildViews();
    buildModes();
    buildPlayerBar();
    buildOutputRow();
    hiddenPlayerView(true);
    enableEdit(false);
}

void SplitWindowController::buildViews()
{
    platform::View *content = window()->contentView();
    const double W = kWidth, H = kHeight;

    m_contentBackGroundView = new PNQView(platform::makeRect(6, 6, W - 12, H - 90), content);
    m_contentBackGroundView->setBackGroundColor(Qt::white);
    m_contentBackGroundView->setCornerRadius(5);

    m_addfileBtn = new PNQButton(platform::makeRect(10, H - 78, 130, 28), content);
    m_addfileBtn->setNormalBackgroundImage(image("About/btnAddFile_Normal.bmp"));
    m_addfileBtn->setOnBackgroundImage(image("About/btnAddFile_On.bmp"));
    m_addfileBtn->setDownBackgroundImage(image("About/btnAddFile_Down.bmp"));
    m_addfileBtn->setDisAbleBackgroundImage(image("About/btnAddFile_Disable.bmp"));
    m_addfileBtn->setContentTitle(localized("AddFileBtnTitle"));
    m_addfileBtn->setContentColor(Qt::white);
    m_addfileBtn->setFont(platform::FontAlias::systemFont(13));
    m_addfileBtn->mouseDownAction = [this](PNQButton *) { dispatchOnMain([this] { addFileAction(); }); };

    m_scrLabel = new platform::TextField(platform::makeRect(150, H - 76, W - 160, 24), content);
    m_scrLabel->setPlaceholderString(localized("scrlabelplaceholderString"));
    m_scrLabel->setEditable(false);

    QWidget *panel = m_contentBackGroundView;
    m_playerView = new PNQView(platform::makeRect(10, 194, 600, 380), panel);
    m_playerView->setBackGroundColor(Qt::black);
    m_nofileBackView = new PNQView(platform::makeRect(10, 194, 600, 380), panel);
    m_nofileBackView->setBackGroundColor(QColor(240, 248, 252));
    m_nofileBackView->setCornerRadius(4);
    m_gettingstartedLabel = label(platform::makeRect(24, 310, 560, 28), m_nofileBackView, 16, true);
    m_gettingstartedLabel->setText(localized("splitdescLabelstringValue"));
    const char *descKeys[4] = {VW_KEY("splitdescLabel1stringValue"), VW_KEY("splitdescLabel2stringValue"),
                               VW_KEY("splitdescLabel3stringValue"), VW_KEY("splitdescLabel4stringValue")};
    for (int i = 0; i < 4; ++i) {
        m_descLabels[i] = label(platform::makeRect(24, 250 - 36 * i, 560, 24), m_nofileBackView, 13);
        m_descLabels[i]->setText(LanguageService::localizedStringForKey(descKeys[i]));
    }
    TextLabel::shareDrawnFont({m_descLabels[0], m_descLabels[1], m_descLabels[2], m_descLabels[3]});

    m_playerSlider = new SplitProgressView(platform::makeRect(10, 132, 600, 56), panel);
    m_playerSlider->setHiddenTick(false);
    m_playerSlider->setProgress(0);
    m_playerSlider->MouseDownForSliderBlock = [this](float p) {
        seekToFraction(p);
        if (m_isPlaying && m_preview.player() && m_preview.player()->playerStatus() == 1) {
            m_preview.stopTick();
            m_preview.player()->pause();
        }
    };
    m_playerSlider->ProgressForSliderBlock = [this](float p) {
        seekToFraction(p);
        m_playerCurrentTimeLabel->setText(HelpClass::returnTimeToStr(float(m_preview.currentTime())));
    };
    m_playerSlider->MouseUpForSliderBlock = [this](float p) {
        seekToFraction(p);
        if (m_isPlaying)
            playAction();
    };

    // The source's facts, top right.
    const double x = 624, vx = 780;
    m_sourceInformationLabel = label(platform::makeRect(x, 550, 310, 22), panel, 14, true);
    m_sourceInformationLabel->setText(localized("sourceInformationLabelStringVlaue"));
    const char *factKeys[3] = {VW_KEY("resolutionLabelStringValue"), VW_KEY("FileSizeLabelStringValue"),
                               VW_KEY("TotalTimeLabelStringValue")};
    TextLabel **values[3] = {&m_resolutionValueLabel, &m_resoucefilesizeValueLabel,
                             &m_resouceTotaltimeValueLabel};
    for (int i = 0; i < 3; ++i) {
        label(platform::makeRect(x, 522 - 26 * i, vx - x - 4, 22), panel)
            ->setText(LanguageService::localizedStringForKey(factKeys[i]));
        *values[i] = label(platform::makeRect(vx, 522 - 26 * i, 160, 22), panel);
    }
    m_resoucefilesizeValueLabel->setText(QStringLiteral("0.0 ") + localized("MBValue"));
    m_resouceTotaltimeValueLabel->setText(QStringLiteral("00:00:00.000"));
}

void SplitWindowController::buildModes()
{
    QWidget *panel = m_contentBackGroundView;
    const double x = 624;
    auto radio = [&](double y, const char *key) {
        auto *r = new RDRadioButton(platform::makeRect(x, y, 180, 24), panel);
        r->setTitle(LanguageService::localizedStringForKey(key));
        r->setFont(platform::FontAlias::systemFont(12));
        r->setDelegate(this);
        r->setSelected(false);
        return r;
    };
    m_split_timeBtn = radio(440, VW_KEY("LimiteachSegmentToBtnTitle"));
    m_split_sizeBtn = radio(404, VW_KEY("LimiteachSegmentToBtnTitle"));
    m_split_averageBtn = radio(368, VW_KEY("AverageSplitBtnTitle"));
    m_split_manuallyBtn = radio(332, VW_KEY("ManuallySplitBtnTitle"));

    auto popUp = [&](double y, const QStringList &numbers, const char *unitKey) {
        auto *p = new platform::PopUpButton(platform::makeRect(808, y - 1, 126, 26), false, panel);
        for (const QString &n : numbers)
            p->addItemWithTitle(n + LanguageService::localizedStringForKey(unitKey));
        p->addItemWithTitle(localized("CustomStringValue"));
        p->selectItemAtIndex(0);
        return p;
    };
    m_split_timepopBtn = popUp(440, {"5", "10", "20", "30", "60"}, VW_KEY("SecsValue"));
    m_split_timepopBtn->action = [this](platform::PopUpButton &p) { split_timepopAction(p); };
    m_split_sizepopBtn = popUp(404, {"1", "2", "3", "5", "8", "10", "20"}, VW_KEY("MBValue"));
    m_split_sizepopBtn->action = [this](platform::PopUpButton &p) { split_sizepopAction(p); };

    m_averageTextField = new platform::TextField(platform::makeRect(808, 368, 70, 24), panel);
    m_averageTextField->setDelegate(this);
    m_averagestepper = new platform::Stepper(platform::makeRect(882, 366, 19, 27), panel);
    m_averagestepper->setMinValue(2);
    m_averagestepper->setMaxValue(100);
    m_averagestepper->setValueWraps(false);
    m_averagestepper->setIntValue(2);
    m_averagestepper->action = [this](platform::Stepper &) { averagesplitStepperAction(); };
    m_averageTextField->setIntValue(m_averagestepper->intValue());

    // Manual mode's buttons and the split button share the place under the radios.
    const double by = 288;
    m_splitItemBtn = familyButton(platform::makeRect(x + 16, by, 28, 28), panel, "Split/btnHandSplit");
    m_leftMoveBtn = familyButton(platform::makeRect(x + 56, by, 28, 28), panel, "Split/btnLastPoint");
    m_rightMoveBtn = familyButton(platform::makeRect(x + 96, by, 28, 28), panel, "Split/btnNextPoint");
    m_deletedItemBtn = familyButton(platform::makeRect(x + 136, by, 28, 28), panel, "Split/btnRemovePoint");
    m_splitItemBtn->mouseDownAction = [this](PNQButton *) { dispatchOnMain([this] { splitItemAction(); }); };
    m_leftMoveBtn->mouseDownAction = [this](PNQButton *) { dispatchOnMain([this] { leftMoveAction(); }); };
    m_rightMoveBtn->mouseDownAction = [this](PNQButton *) { dispatchOnMain([this] { rightMoveAction(); }); };
    m_deletedItemBtn->mouseDownAction = [this](PNQButton *) {
        dispatchOnMain([this] { deletedItemAction(); });
    };
    for (PNQButton *b : {m_splitItemBtn, m_leftMoveBtn, m_rightMoveBtn, m_deletedItemBtn})
        b->setHidden(true);

    m_splitBtn = new PNQButton(platform::makeRect(x + 16, by - 2, 290, 32), panel);
    m_splitBtn->setBackGroundColor(kAccent);
    m_splitBtn->setDisAblebackGroundColor(QColor::fromRgbF(0.8667, 0.8667, 0.8667));
    m_splitBtn->setContentColor(Qt::white);
    m_splitBtn->setCornerRadius(4);
    m_splitBtn->setFont(platform::FontAlias::systemFont(14));
    m_splitBtn->setContentTitle(localized("SplitBtnstringValue"));
    m_splitBtn->setEnabled(false);
    m_splitBtn->mouseDownAction = [this](PNQButton *) { dispatchOnMain([this] { splitAction(); }); };

    for (QWidget *w : std::initializer_list<QWidget *>{m_split_timepopBtn, m_split_sizepopBtn,
                                                       m_averageTextField, m_averagestepper})
        w->setEnabled(false);
}

void SplitWindowController::buildPlayerBar()
{
    QWidget *panel = m_contentBackGroundView;
    const double y = 96;
    m_playBtn = new PNQButton(platform::makeRect(10, y, 28, 28), panel);
    m_playBtn->setNormalImage(image("Join/btnPlay_Normal.png"));
    m_playBtn->setDisAbleImage(image("Join/btnPlay_Disable.png"));
    m_playBtn->setSelectedImage(image("Join/btnPause_Normal.png"));
    m_playBtn->mouseDownAction = [this](PNQButton *b) {
        dispatchOnMain([this, b] {
            b->setSelected(!b->selected());
            if (b->selected())
                playAction();
            else
                pauseAction();
        });
    };
    m_pauseBtn = new PNQButton(platform::makeRect(44, y, 28, 28), panel);
    m_pauseBtn->setNormalImage(image("Join/btnStop_Normal.png"));
    m_pauseBtn->setDisAbleImage(image("Join/btnStop_Disable.png"));
    m_pauseBtn->mouseDownAction = [this](PNQButton *) { dispatchOnMain([this] { stopAction(); }); };

    m_playerCurrentTimeLabel = label(platform::makeRect(80, y + 4, 96, 20), panel);
    m_playerCurrentTimeLabel->setText(HelpClass::returnTimeToStr(0));
    m_splitTimeLabel = label(platform::makeRect(180, y + 4, 96, 20), panel);
    m_splitTimeLabel->setTextColor(kAccent);
    m_splitTimeLabel->setHidden(true);
    m_totalTimeLabel = label(platform::makeRect(280, y + 4, 120, 20), panel);

    m_volumeBtn = new PNQButton(platform::makeRect(470, y, 28, 28), panel);
    m_volumeBtn->setNormalImage(image("Cut/btnOpenVolume_Normal.png"));
    m_volumeBtn->setSelectedImage(image("Cut/btnCloseVolume_Down.png"));
    m_volumeBtn->mouseDownAction = [this](PNQButton *) { dispatchOnMain([this] { muteAction(); }); };
    m_volumeSlider = new RDProgressSlider(platform::makeRect(504, y + 5, 106, 17), panel);
    m_volumeSlider->setDelegate(this);
    m_volumeSlider->setProgress(0);
    m_volumeSlider->setDisable(true);
    m_playerSlider->setDisable(true);
}

void SplitWindowController::buildOutputRow()
{
    QWidget *panel = m_contentBackGroundView;
    m_outputLabel = label(platform::makeRect(10, 52, 150, 22), panel);
    m_outputLabel->setText(localized("outputFolderLabelstringValue"));
    m_outputPopHost = new platform::View(platform::makeRect(164, 50, 300, 26), panel);
    m_folderChooser = std::make_unique<OutputFolderChooser>(m_outputPopHost);
    m_folderChooser->popUpButton()->action = [this](platform::PopUpButton &p) {
        m_folderChooser->outputPopUpBtnAction(&p);
    };
    m_openOutputBtn = new PNQButton(platform::makeRect(470, 51, 24, 24), panel);
    const QImage browse = image("SubFun/btnBrowse_Down.png");
    m_openOutputBtn->setNormalImage(browse);
    m_openOutputBtn->setOnImage(browse);
    m_openOutputBtn->setDownImage(browse);
    m_openOutputBtn->setDisAbleImage(browse);
    m_openOutputBtn->mouseDownAction = [this](PNQButton *) {
        dispatchOnMain([this] { m_folderChooser->revealOutputPath(); });
    };

    m_exportProgresslabel = label(platform::makeRect(10, 16, 150, 22), panel);
    m_exportProgresslabel->setText(localized("progressLabelStringValue"));
    m_exportProgressView = new NSProgressView(platform::makeRect(164, 22, 330, 10), panel);
    m_exportProgressView->setProgress(0);

    m_startExportBtn = new PNQButton(platform::makeRect(kWidth - 12 - 200, 14, 180, 40), panel);
    m_startExportBtn->setNormalBackgroundImage(image("SubFun/btnStart_Normal.bmp"));
    m_startExportBtn->setOnBackgroundImage(image("SubFun/btnStart_On.bmp"));
    m_startExportBtn->setDownBackgroundImage(image("SubFun/btnStart_Down.bmp"));
    m_startExportBtn->setSelectedBackgroundImage(image("SubFun/btnStart_Down.bmp"));
    m_startExportBtn->setDisAbleBackgroundImage(image("SubFun/btnStart_Disable.bmp"));
    m_startExportBtn->setContentColor(Qt::white);
    m_startExportBtn->setFont(platform::FontAlias::systemFont(15));
    m_startExportBtn->setContentTitle(localized("StartExportTitle"));
    m_startExportBtn->mouseDownAction = [this](PNQButton *) {
        dispatchOnMain([this] { startExportAction(); });
    };

    m_folderChooser->outputPopUpBtnAction(nullptr);
}

// ---- state of the controls ----

void SplitWindowController::enableEdit(bool on)
{
    for (RDRadioButton *r : {m_split_timeBtn, m_split_sizeBtn, m_split_averageBtn, m_split_manuallyBtn})
        if (r)
            r->setEnabled(on);
    for (QWidget *w : std::initializer_list<QWidget *>{
             m_split_timepopBtn, m_split_sizepopBtn, m_averageTextField, m_averagestepper, m_splitBtn,
             m_playBtn, m_pauseBtn, m_volumeBtn, m_splitItemBtn, m_leftMoveBtn, m_rightMoveBtn,
             m_deletedItemBtn, m_folderChooser ? m_folderChooser->popUpButton() : nullptr, m_openOutputBtn})
        setEnabled(w, on);
    if (m_playerSlider)
        m_playerSlider->setDisable(!on);
    if (m_volumeSlider)
        m_volumeSlider->setDisable(!on);
}

void SplitWindowController::enableControlsForExport(bool enable)
{
    enableEdit(enable);
    setEnabled(m_addfileBtn, enable);
}

void SplitWindowController::hiddenPlayerView(bool hidden)
{
    m_playerView->setHidden(hidden);
    m_nofileBackView->setHidden(!hidden);
}

RDRadioButton *SplitWindowController::modeButton(Mode m) const
{
    switch (m) {
    case Mode::Time:
        return m_split_timeBtn;
    case Mode::Size:
        return m_split_sizeBtn;
    case Mode::Average:
        return m_split_averageBtn;
    case Mode::Manual:
        break;
    }
    return m_split_manuallyBtn;
}

SplitWindowController::Mode SplitWindowController::mode() const
{
    if (m_split_timeBtn->selected())
        return Mode::Time;
    if (m_split_sizeBtn->selected())
        return Mode::Size;
    if (m_split_averageBtn->selected())
        return Mode::Average;
    return Mode::Manual;
}

// ---- loading ----

void SplitWindowController::addFileAction()
{
    // Several files may be chosen; the window takes the first.
    const QStringList paths = chooseMediaFiles(SourceProbe::allowedFileTypes(), true);
    if (paths.isEmpty())
        return;
    loadFile(paths.first());
}

bool SplitWindowController::loadFile(const QString &path)
{
    // The old preview goes first, whatever the new file turns out to be.
    m_preview.close();
    m_isPlaying = false;
    m_playBtn->setSelected(false);
    m_fileData = SourceProbe::probe(path, std::nullopt);
    m_scrLabel->setStringValue(m_fileData ? m_fileData->path() : QString());
    if (m_fileData) {
        const auto &source = m_fileData->sourceData();
        enableEdit(true);
        hiddenPlayerView(false);
        m_resolutionValueLabel->setText(QStringLiteral("%1x%2").arg(source->width()).arg(source->height()));
        m_resoucefilesizeValueLabel->setText(QString::asprintf("%.2f MB", double(source->fileSize())));
        m_resouceTotaltimeValueLabel->setText(HelpClass::returnTimeToStr(source->duration()));
        m_volumeSlider->setProgress(float(m_fileData->volume() * 0.5));
        initPlayer();
        m_split_timepopBtn->selectItemAtIndex(0);
    } else {
        enableEdit(false);
        hiddenPlayerView(true);
        m_resolutionValueLabel->setText(QString());
    }
    limiteachTimeSegmentAction();
    return m_fileData != nullptr;
}

// ---- modes ----

void SplitWindowController::actionMouseUpForRDRadioButtonBlock(RDRadioButton *button)
{
    if (button == m_split_timeBtn)
        limiteachTimeSegmentAction();
    else if (button == m_split_sizeBtn)
        limiteachFilesizeSegmentAction();
    else if (button == m_split_averageBtn)
        limiteachAverageSegmentAction();
    else if (button == m_split_manuallyBtn)
        limiteachManuallySegmentAction();
}

void SplitWindowController::limiteachTimeSegmentAction()
{
    setMode(Mode::Time);
}

void SplitWindowController::limiteachFilesizeSegmentAction()
{
    setMode(Mode::Size);
}

void SplitWindowController::limiteachAverageSegmentAction()
{
    setMode(Mode::Average);
}

void SplitWindowController::limiteachManuallySegmentAction()
{
    setMode(Mode::Manual);
}

void SplitWindowController::setMode(Mode m, bool clearMarkers)
{
    const bool wasManual = m_split_manuallyBtn->selected() && mode() == Mode::Manual;
    const bool hasFile = m_fileData != nullptr;
    for (Mode each : {Mode::Time, Mode::Size, Mode::Average, Mode::Manual})
        modeButton(each)->setSelected(each == m);
    const bool manual = m == Mode::Manual;
    m_splitTimeLabel->setHidden(!manual);
    m_split_timepopBtn->setEnabled(hasFile && m == Mode::Time);
    m_split_sizepopBtn->setEnabled(hasFile && m == Mode::Size);
    m_averageTextField->setEnabled(hasFile && m == Mode::Average);
    m_averagestepper->setEnabled(hasFile && m == Mode::Average);
    if (m == Mode::Average)
        m_averagestepper->setIntValue(m_averageTextField->intValue());
    for (PNQButton *b : {m_splitItemBtn, m_leftMoveBtn, m_rightMoveBtn, m_deletedItemBtn}) {
        b->setHidden(!manual);
        b->setEnabled(hasFile && manual);
    }
    m_splitBtn->setHidden(manual);
    m_splitBtn->setEnabled(!manual && m_preview.player() != nullptr);
    m_playerSlider->beginBtn()->setHidden(!manual || m_playerSlider->disable());
    // Choosing manual again keeps the markers placed by hand.
    if (clearMarkers && !(manual && wasManual))
        m_playerSlider->removeAllSplitItem();
    showTotalTime();
}

void SplitWindowController::showTotalTime()
{
    const QString total = HelpClass::returnTimeToStr(float(duration()));
    m_totalTimeLabel->setText(mode() == Mode::Manual ? QStringLiteral("/ ") + total : total);
}

// ---- values ----

double SplitWindowController::popUpValue(const platform::PopUpButton *popUp)
{
    return popUp ? platform::scanFirstNumber(popUp->title()) : 0.0;
}

void SplitWindowController::split_timepopAction(platform::PopUpButton &sender)
{
    customEntry(sender, QStringLiteral(VW_KEY("split_timepopTitleStringValue")),
                QStringLiteral(VW_KEY("SecsValue")), m_split_timepopTitle);
}

void SplitWindowController::split_sizepopAction(platform::PopUpButton &sender)
{
    customEntry(sender, QStringLiteral(VW_KEY("请输入分割片段大小(单位MB)")),
                QStringLiteral(VW_KEY("MBValue")), m_split_filesizepopTitle);
}

void SplitWindowController::customEntry(platform::PopUpButton &popUp, const QString &promptKey,
                                        const QString &unitKey, QString &lastValue)
{
    const int chosen = popUp.indexOfSelectedItem();
    if (chosen != popUp.numberOfItems() - 1)
        return;
    const std::optional<QString> answer = input(LanguageService::localizedStringForKey(promptKey), QString());
    const QString custom = localized("CustomStringValue");
    if (!answer) {
        // A cancelled entry keeps the value chosen before.
        const QString previous = lastValue.isEmpty()
                                     ? popUp.itemTitleAtIndex(0)
                                     : lastValue + LanguageService::localizedStringForKey(unitKey);
        popUp.selectItemWithTitle(previous);
        return;
    }
    lastValue = answer->trimmed();
    popUp.setTitle(lastValue + LanguageService::localizedStringForKey(unitKey));
    const QString title = popUp.title();
    popUp.removeItemAtIndex(popUp.indexOfItemWithTitle(custom));
    popUp.addItemWithTitle(custom);
    popUp.selectItemWithTitle(title);
}

std::optional<QString> SplitWindowController::input(const QString &prompt, const QString &defaultValue)
{
    platform::AlertRequest request;
    request.messageText = prompt;
    request.buttonTitles = {localized("OKBtn"), localized("CancelBtn")};
    request.style = platform::AlertRequest::Style::Informational;
    request.hasTextField = true;
    request.textFieldText = defaultValue;
    request.parent = isWindowLoaded() ? window() : nullptr;
    const platform::AlertResult result = platform::Panels::instance().runAlert(request);
    if (result.response() != platform::AlertFirstButtonReturn)
        return std::nullopt;
    return result.textFieldText;
}

void SplitWindowController::controlTextDidChange(platform::TextField *field)
{
    // The edited control, as the platform describes an object: its class, address and text.
    platform::log("obj:%@", field ? QStringLiteral("<%1: %2> %3")
                                        .arg(QString::fromLatin1(field->metaObject()->className()))
                                        .arg(quintptr(field), 0, 16)
                                        .arg(field->stringValue())
                                  : QStringLiteral("(null)"));
    if (field != m_averageTextField)
        return;
    m_playerSlider->removeAllSplitItem();
    m_averagestepper->setIntValue(int(std::trunc(m_averageTextField->floatValue())));
}

void SplitWindowController::averagesplitStepperAction()
{
    m_playerSlider->removeAllSplitItem();
    m_averageTextField->setIntValue(m_averagestepper->intValue());
}

// ---- split points ----

void SplitWindowController::splitAction()
{
    const Mode m = mode();
    if (m == Mode::Manual)
        return;
    m_playerSlider->removeAllSplitItem();
    // The timeline cannot hold markers closer than half a marker's width.
    const double span = m_playerSlider->frame().width() - SplitProgressView::markerSize;
    const double minGap = span > 0 ? SplitProgressView::markerSize / 2 / span : 0.0;
    QList<double> points;
    if (m == Mode::Time)
        points = SplitPoints::byTime(popUpValue(m_split_timepopBtn), duration(), minGap);
    else if (m == Mode::Size)
        points = SplitPoints::bySize(popUpValue(m_split_sizepopBtn),
                                     m_fileData ? m_fileData->sourceData()->fileSize() : 0.0, minGap);
    else
        points = SplitPoints::byCount(m_averageTextField->floatValue(), minGap);
    for (double f : points)
        m_playerSlider->addSplitItemTime(f);
}

void SplitWindowController::splitItemAction()
{
    m_playerSlider->addSplitItemTime();
    m_splitTimeLabel->setText(HelpClass::returnTimeToStr(float(m_playerSlider->progress() * duration())));
}

void SplitWindowController::leftMoveAction()
{
    m_playerSlider->setSelectedSplitIndex(std::max<int64_t>(m_playerSlider->selectedSplitIndex() - 1, 0));
    showSelectedSplitTime(0);
}

void SplitWindowController::rightMoveAction()
{
    m_playerSlider->setSelectedSplitIndex(m_playerSlider->selectedSplitIndex() + 1);
    showSelectedSplitTime(0);
}

void SplitWindowController::showSelectedSplitTime(float)
{
    const int64_t index = m_playerSlider->selectedSplitIndex();
    if (index < 0 || index >= m_playerSlider->splitItemCount())
        return;
    const double p = m_playerSlider->getProgressForIndex(index);
    seekToFraction(p);
    m_splitTimeLabel->setText(HelpClass::returnTimeToStr(float(duration() * p)));
}

void SplitWindowController::deletedItemAction()
{
    m_playerSlider->removeSplitItemTAtIndex(m_playerSlider->selectedSplitIndex());
}

// ---- export ----

void SplitWindowController::startExportAction()
{
    if (!m_fileData) {
        showSimpleAlert(localized("scrlabelplaceholderString"), 2);
        return;
    }
    if (m_run.isRunning()) {
        m_run.cancel();
        m_exportProgressView->setProgress(0);
        return;
    }
    pauseAction();
    SplitExport::Plan plan;
    plan.sourcePath = m_fileData->path();
    plan.folder = m_folderChooser->outputPath();
    const QFileInfo info(m_fileData->path());
    plan.baseName = info.completeBaseName();
    plan.extension = info.suffix();
    plan.duration = std::llround(duration() * 1e6);
    plan.points = m_playerSlider->getTimeProgresses();
    if (mode() == Mode::Size)
        plan.sizeLimit = SplitExport::sizeLimitBytes(float(popUpValue(m_split_sizepopBtn)));
    m_run.begin([&plan](ExportRunController::Progress onProgress, ExportRunController::Finish onFinish) {
        return ExportRunController::startChain(
            SplitExport::makeChain(plan, onProgress), [onFinish](const ChainedExportJob::Outcome &outcome) {
                // A stopped run ends as not finished too.
                platform::log(outcome.status == ChainedExportJob::Outcome::Succeeded ? "转换完成"
                                                                                     : "转换失败");
                onFinish(outcome);
            });
    });
}

QString SplitWindowController::finishedMessageKey() const
{
    return QStringLiteral(VW_KEY("Splitfinishedstring"));
}

QString SplitWindowController::startButtonTitleKey() const
{
    return QStringLiteral(VW_KEY("StartExportTitle"));
}

QString SplitWindowController::outputFolder() const
{
    return m_folderChooser ? m_folderChooser->outputPath() : QString();
}

void SplitWindowController::windowWillClose()
{
    if (m_run.isRunning())
        m_run.cancel();
    m_preview.close();
    m_isPlaying = false;
}

// ---- preview ----

void SplitWindowController::initPlayer()
{
    if (!m_fileData || m_fileData->path().isEmpty())
        return;
    m_preview.open(m_fileData->path(), m_playerView, [this] {
        m_playBtn->setSelected(false);
        m_isPlaying = false;
        m_preview.stopTick();
        if (m_preview.player())
            m_preview.player()->stop();
        m_preview.seek(0);
        m_playerSlider->setProgress(0);
        m_playerCurrentTimeLabel->setText(HelpClass::returnTimeToStr(0));
    });
    if (m_preview.player())
        m_preview.player()->SetVolume(m_fileData->volume());
    showTotalTime();
}

void SplitWindowController::playAction()
{
    if (!m_preview.player())
        return;
    m_isPlaying = true;
    m_preview.player()->play();
    m_preview.startTick([this] { changePlaySlider(); });
}

void SplitWindowController::pauseAction()
{
    if (!m_preview.player())
        return;
    m_isPlaying = false;
    m_playBtn->setSelected(false);
    if (m_preview.player()->playerStatus() == 1) {
        m_preview.stopTick();
        m_preview.player()->pause();
    }
}

void SplitWindowController::stopAction()
{
    m_playBtn->setSelected(false);
    m_isPlaying = false;
    m_preview.stopTick();
    if (m_preview.player()) {
        m_preview.player()->stop();
        m_preview.seek(0);
    }
    m_playerSlider->setProgress(0);
}

void SplitWindowController::changePlaySlider()
{
    m_playerSlider->setProgress(float(m_preview.fraction()));
    m_playerCurrentTimeLabel->setText(HelpClass::returnTimeToStr(float(m_preview.currentTime())));
}

void SplitWindowController::seekToFraction(double fraction)
{
    if (m_preview.player())
        m_preview.seek(duration() * fraction);
}

void SplitWindowController::muteAction()
{
    m_volumeBtn->setSelected(!m_volumeBtn->selected());
    // Mute works whether the preview plays or is paused.
    if (!m_preview.player() || !m_fileData)
        return;
    if (m_volumeBtn->selected()) {
        m_preview.player()->SetVolume(0.0);
        m_volumeSlider->setProgress(0);
    } else {
        setClipVolume(1.0);
        m_volumeSlider->setProgress(float(m_fileData->volume() * 0.5));
    }
}

void SplitWindowController::setClipVolume(double volume)
{
    if (!m_fileData)
        return;
    m_fileData->setVolume(volume);
    if (m_preview.player())
        m_preview.player()->SetVolume(volume);
}

void SplitWindowController::actionMouseDownForProgressSliderBlock(RDProgressSlider *, float progress)
{
    setClipVolume(progress * 2.0);
}

void SplitWindowController::actionProgressForProgressSliderBlock(RDProgressSlider *, float progress)
{
    setClipVolume(progress * 2.0);
}

void SplitWindowController::actionMouseUpForProgressSliderBlock(RDProgressSlider *, float progress)
{
    setClipVolume(progress * 2.0);
}
