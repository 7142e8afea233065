#include "cutters/BatchCutterWindowController.h"

#include "controls/NSProgressView.h"
#include "controls/PNQButton.h"
#include "controls/PNQView.h"
#include "controls/TextLabel.h"
#include "cutters/BatchCutterExport.h"
#include "media/RDMoviePlayer.h"
#include "model/FileData.h"
#include "model/HelpClass.h"
#include "model/SimpleData.h"
#include "platform/CMTime.h"
#include "platform/FontAlias.h"
#include "platform/Format.h"
#include "platform/Log.h"
#include "platform/Panels.h"
#include "platform/PopUpButton.h"
#include "platform/Stepper.h"
#include "platform/View.h"
#include "platform/Window.h"
#include "platform/Workspace.h"
#include "services/LanguageService.h"
#include "services/ResourceService.h"
#include "toolkit/FrameCapture.h"
#include "toolkit/JoinnerTableView.h"
#include "toolkit/OutputFolderChooser.h"
#include "toolkit/SourceProbe.h"
#include "toolkit/ToolWidgets.h"

#include <QFileInfo>
#include <QLabel>
#include <QUrl>

#include <algorithm>
#include <cmath>

namespace {

const QColor kAccent(33, 176, 235);
constexpr double kWidth = 1000;
constexpr double kHeight = 670;

QString text(const char *key)
{
    return LanguageService::localizedStringForKey(key);
}

QImage image(const QString &name)
{
    return ResourceService::imageWithfileName(name);
}

// To the nearest microsecond: the preview's duration is the engine's microseconds over 1e6, which a
// truncation can take one short.
int64_t microseconds(double seconds)
{
    return std::llround(seconds * 1000000.0);
}

} // namespace

BatchCutterWindowController::BatchCutterWindowController(QObject *parent) : ToolWindowController(parent) {}

BatchCutterWindowController::~BatchCutterWindowController()
{
    // A running batch is stopped before anything it reports to goes.
    m_run.reset();
}

std::unique_ptr<platform::Window> BatchCutterWindowController::makeWindow()
{
    return std::make_unique<platform::Window>(platform::Size{kWidth, kHeight});
}

void BatchCutterWindowController::windowDidLoad()
{
    platform::Window *win = window();
    win->setTitlebarAppearsTransparent(true);
    win->setBackgroundColor(kAccent);
    win->setTitle(text("BatchCut_Title"));
    observeClose();

    m_run = std::make_unique<ExportRunController>(*this);
    buildViews();
    m_trim.setPreview(&m_preview);
    m_trim.setBar(m_cutProgressView);
    m_folderChooser->outputPopUpBtnAction(nullptr);
    fileListViewHidden(true);
}

PNQButton *BatchCutterWindowController::makeButton(const platform::Rect &frame, QWidget *parent,
                                                   const QString &title, std::function<void()> action)
{
    PNQButton *button = ToolWidgets::listButton(frame, title, parent);
    button->setFont(platform::FontAlias::systemFont(12));
    // Every button hands its action to the main queue, one turn after the click.
    button->mouseDownAction = [this, action = std::move(action)](PNQButton *) { dispatchOnMain(action); };
    return button;
}

void BatchCutterWindowController::buildViews()
{
    platform::View *content = window()->contentView();

    // Below the header strip that stands in for the title bar.
    m_addfileBtn = ToolWidgets::addFileButton(
        platform::makeRect(10, kHeight - platform::Window::titlebarHeight - 40, 140, 28), content);
    m_addfileBtn->setFont(platform::FontAlias::systemFont(13));
    m_addfileBtn->mouseDownAction = [this](PNQButton *) { dispatchOnMain([this] { addFileAction(); }); };

    auto *background = new PNQView(platform::makeRect(8, 64, kWidth - 16, kHeight - 142), content);
    background->setBackGroundColor(QColor(245, 245, 245));
    background->setBordColor(QColor(245, 245, 245));
    background->setCornerRadius(5);
    background->setBorderWidth(2);
    const double bgHeight = background->frame().height();

    auto *left = new platform::View(platform::makeRect(0, 0, 400, bgHeight), background);
    auto *list = new JoinnerTableView(platform::makeRect(8, 44, 384, bgHeight - 52), left);
    m_list.setTableView(list);
    list->selectItemBlock = [this](const std::shared_ptr<SimpleData> &) {
        dispatchOnMain([this] { initPlayer(); });
    };
    initContentNoFileView(left);

    auto *right = new platform::View(platform::makeRect(408, 0, kWidth - 16 - 416, bgHeight), background);
    m_playerView = new PNQView(platform::makeRect(0, 230, right->frame().width(), bgHeight - 238), right);
    m_playerView->setBackGroundColor(Qt::black);
    m_cutProgressView = new RDCutProgressView(platform::makeRect(0, 194, right->frame().width(), 30), right);
    m_cutProgressView->setDelegate(this);
    m_cutProgressView->setTickMark(true);
    initContentRightBottomView(right);

    // The output row.
    ToolWidgets::label(platform::makeRect(10, 20, 134, 22), text("outputFolderLabelstringValue"), content, 13,
                       Qt::white);
    auto *folderHost = new platform::View(platform::makeRect(146, 18, 200, 26), content);
    m_folderChooser = std::make_unique<OutputFolderChooser>(folderHost);
    m_folderChooser->popUpButton()->action = [this](platform::PopUpButton &p) {
        m_folderChooser->outputPopUpBtnAction(&p);
    };
    m_openOutputFolderBtn = new PNQButton(platform::makeRect(352, 18, 28, 26), content);
    m_openOutputFolderBtn->setNormalImage(image("SubFun/btnBrowse_Down.png"));
    m_openOutputFolderBtn->mouseDownAction = [this](PNQButton *) {
        dispatchOnMain([this] { m_folderChooser->revealOutputPath(); });
    };
    ToolWidgets::label(platform::makeRect(392, 20, 100, 22), text("progressLabelStringValue"), content, 13,
                       Qt::white);
    m_joinnerProgressView = new NSProgressView(platform::makeRect(494, 25, 290, 12), content);

    m_startJoinnerBtn = ToolWidgets::startButton(platform::makeRect(kWidth - 200, 10, 190, 44), content);
    m_startJoinnerBtn->setFont(platform::FontAlias::systemFont(18));
    m_startJoinnerBtn->setLeftIconWidth(20);
    m_startJoinnerBtn->setContentImagePosition(0);
    m_startJoinnerBtn->mouseDownAction = [this](PNQButton *) {
        dispatchOnMain([this] { startBachCutterAction(); });
    };
}

void BatchCutterWindowController::initContentNoFileView(platform::View *left)
{
    const platform::Rect listFrame = fileListTableView()->frame();
    auto *help = new PNQView(listFrame, left);
    help->setBackGroundColor(Qt::white);
    help->setBordColor(QColor(214, 212, 212));
    help->setCornerRadius(5);
    help->setBorderWidth(2);
    m_contentNoFileView = help;
    m_list.setEmptyHint(help);
    const double w = listFrame.width();
    const double h = listFrame.height();

    // One text that wraps and stacks itself: some languages need two lines for a step or the heading.
    auto *steps = new platform::View(platform::makeRect(16, 60, w - 32, h - 76), help);
    auto *label = new QLabel(steps);
    label->setTextFormat(Qt::RichText);
    label->setWordWrap(true);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label->setFont(platform::FontAlias::systemFont(14));
    label->setStyleSheet(QStringLiteral("color: #333333"));
    label->setText(QStringLiteral("<p style='font-size:18pt; font-weight:bold'>%1</p><p>1. %2</p><p>2. %3</p>"
                                  "<p>3. %4</p>")
                       .arg(text("batch_desc").toHtmlEscaped(), text("batch_desc1").toHtmlEscaped(),
                            text("batch_desc2").toHtmlEscaped(), text("batch_desc3").toHtmlEscaped()));
    label->setGeometry(0, 0, int(w - 32), int(h - 76));

    ToolWidgets::emailButton(platform::makeRect(16, 18, 24, 24), help);
    ToolWidgets::label(platform::makeRect(46, 18, w - 62, 24), text("email_address"), help, 13);

    const double bw = (w - 24) / 4;
    std::array<platform::Rect, 4> frames;
    for (int i = 0; i < 4; ++i)
        frames[i] = platform::makeRect(8 + i * (8 + bw), 8, bw, 28);
    // Every list button hands its action to the main queue, one turn after the click.
    m_list.buildButtons(left, frames,
                        {[this] { dispatchOnMain([this] { removeAction(); }); },
                         [this] { dispatchOnMain([this] { clearAction(); }); },
                         [this] { dispatchOnMain([this] { upAction(); }); },
                         [this] { dispatchOnMain([this] { downAction(); }); }});
    for (PNQButton *button : m_list.buttons())
        button->setFont(platform::FontAlias::systemFont(12));
}

void BatchCutterWindowController::initContentRightBottomView(platform::View *right)
{
    const double w = right->frame().width();
    auto timeLabel = [right](double x, Qt::Alignment alignment) {
        auto *l = new TextLabel(platform::makeRect(x, 160, 100, 22), right);
        l->setText(HelpClass::returnTimeToStr(0));
        l->setTextFont(platform::FontAlias::systemFont(12));
        l->setAlignment(alignment);
        return l;
    };
    m_leftTimeLabel = timeLabel(0, Qt::AlignLeft);
    m_rightTimeLabel = timeLabel(w - 100, Qt::AlignRight);

    auto iconButton = [this, right](double x, const QString &stem, std::function<void()> action) {
        auto *b = new PNQButton(platform::makeRect(x, 157, 28, 28), right);
        b->setStateImages(stem);
        b->mouseDownAction = [this, action = std::move(action)](PNQButton *) { dispatchOnMain(action); };
        return b;
    };
    m_playBtn = iconButton(120, QStringLiteral("Join/btnPlay"),
                           [this] { m_transport.isPlaying() ? pause() : play(); });
    m_playBtn->setSelectedImage(image("Join/btnPause_Normal.png"));
    m_stopBtn = iconButton(152, QStringLiteral("Join/btnStop"), [this] { stop(); });
    m_cutCoverBtn = iconButton(194, QStringLiteral("Join/btnCapture"), [this] { actionCarameraBtn(); });
    m_cutcoverStyleBtn = iconButton(226, QStringLiteral("Join/btnCaptureSet"), [this] {
        if (m_preview.player())
            m_capturePopUp.toggle();
    });
    m_volumeBtn = iconButton(268, QStringLiteral("Cut/btnOpenVolume"), [this] {
        if (!fileList()->isEmpty())
            m_transport.setMuted(!m_transport.isMuted());
    });
    m_volumeSlider = new RDProgressSlider(platform::makeRect(300, 162, 120, 18), right);
    m_volumeSlider->setDelegate(this);
    m_volumeSlider->setProgress(0.5f);
    m_capturePopUp.build(m_cutcoverStyleBtn, m_volumeBtn, m_volumeSlider);
    m_capturePopUp.choiceBlock = [this](int index) { coverstyleAction(index); };
    m_transport.setControls({m_playBtn, nullptr, m_cutProgressView, m_leftTimeLabel, m_rightTimeLabel,
                             m_volumeBtn, m_volumeSlider});

    auto radio = [this, right](double x, const char *key) {
        auto *r = new RDRadioButton(platform::makeRect(x, 124, 200, 24), right);
        r->setTitle(text(key));
        r->setFont(platform::FontAlias::systemFont(13));
        r->setNormalColor(Qt::black);
        r->setSelectedColor(Qt::black);
        r->setDelegate(this);
        r->setSelected(false);
        return r;
    };
    m_selectTimeBtn = radio(0, VW_KEY("SelectTimeBtnTitle"));
    m_unSelectTimeBtn = radio(220, VW_KEY("UnSelectTimeBtnTitle"));
    setRadios(false);

    auto *fields = new platform::View(platform::makeRect(0, 52, w, 56), right);
    m_trim.buildGroupRow(fields, 2, this, this);
    m_trim.setStepperMaxima(60, 100);
    // The panel's steppers keep the range in the trim panel; the selected file follows each step.
    for (bool start : {true, false}) {
        platform::Stepper *stepper = start ? m_trim.startStepper() : m_trim.stopStepper();
        stepper->action = [this, start](platform::Stepper &s) {
            if (start)
                m_trim.startStepperTouched(&s);
            else
                m_trim.stopStepperTouched(&s);
            storeRange();
            showSteppedRange();
            m_list.reloadKeepingSelection();
        };
    }

    m_startCutTimeBtn =
        makeButton(platform::makeRect(0, 10, 36, 28), right, text("["), [this] { setStartTrimBtnTouchUp(); });
    m_stopCutTimeBtn =
        makeButton(platform::makeRect(42, 10, 36, 28), right, text("]"), [this] { setStopTrimBtnTouchUp(); });
    ToolWidgets::label(platform::makeRect(88, 13, 90, 22), text("cutDurationLabelstringValue"), right);
    m_cutDurationValueLabel =
        ToolWidgets::label(platform::makeRect(178, 13, 90, 22), HelpClass::returnTimeToStr(0), right);
    m_resetCutterBtn = makeButton(platform::makeRect(w - 300, 10, 140, 28), right, text("ResetBtnTitle"),
                                  [this] { resetCutterItemAction(); });
    m_applytoallBtn = makeButton(platform::makeRect(w - 150, 10, 150, 28), right, text("ApplytoallBtnTitle"),
                                 [this] { applytoallItemAction(); });
}

// ---- the list ----

std::shared_ptr<SimpleData> BatchCutterWindowController::selectedClip() const
{
    return m_list.selectedClip();
}

void BatchCutterWindowController::addFileAction()
{
    const QStringList urls = chooseMediaFiles(SourceProbe::allowedFileTypes(), true);
    if (!urls.isEmpty())
        addFiles(urls);
}

void BatchCutterWindowController::addFiles(const QStringList &paths)
{
    const SourceProbe::Batch batch = SourceProbe::probeAll(paths, std::nullopt);
    const QString refused = m_list.append(batch.accepted, batch.refused, [](SimpleData &clip) {
        // The range starts as the whole file, kept.
        clip.setCutTimeRange_stop(microseconds(double(clip.sourceData()->duration())));
    });
    if (!refused.isEmpty())
        showSimpleAlert(refused, 2);
    if (fileList()->isEmpty())
        return;
    // While a batch runs, its rows stay as shown: the file started last selected, every running one's bar.
    const ChainedExportJob *chain = runningChain();
    const int64_t row = chain ? chain->currentStep() : 0;
    JoinnerTableView *list = fileListTableView();
    list->setItems(fileList());
    list->setRowHeight(60);
    if (chain) {
        list->setSelectedRow(row);
        list->setDisabelSelectBlock(true);
    }
    list->reloadData();
    if (chain)
        showExportRows(row);
    fileListViewHidden(false);
    // Files may be added while a batch runs; the editing controls stay locked until it ends.
    if (chain)
        enableEdit(false);
}

void BatchCutterWindowController::removeAction()
{
    if (!m_list.removeSelected())
        return;
    fileListViewHidden(fileList()->isEmpty());
    // The preview and the range controls go to the file now selected (none for an empty list).
    initPlayer();
}

void BatchCutterWindowController::clearAction()
{
    m_list.clear();
    fileListViewHidden(true);
    initPlayer();
}

void BatchCutterWindowController::upAction()
{
    m_list.moveSelectedUp();
}

void BatchCutterWindowController::downAction()
{
    m_list.moveSelectedDown();
}

void BatchCutterWindowController::fileListViewHidden(bool hidden)
{
    m_list.setHintShown(hidden);
    for (QWidget *w : std::initializer_list<QWidget *>{m_startCutTimeBtn, m_stopCutTimeBtn, m_resetCutterBtn,
                                                       m_applytoallBtn, m_cutCoverBtn, m_cutcoverStyleBtn})
        w->setEnabled(!hidden);
    m_selectTimeBtn->setEnabled(!hidden);
    m_unSelectTimeBtn->setEnabled(!hidden);
    for (platform::TextField *field : m_trim.startGroup().fields() + m_trim.stopGroup().fields())
        field->setEnabled(!hidden);
    m_volumeSlider->setDisable(hidden);
    m_cutProgressView->setDisable(hidden);
    if (!hidden)
        return;
    m_trim.showEmpty();
    for (TextLabel *label : {m_cutDurationValueLabel.data(), m_leftTimeLabel.data(), m_rightTimeLabel.data()})
        label->setText(HelpClass::returnTimeToStr(0));
}

void BatchCutterWindowController::enableEdit(bool enable)
{
    for (QWidget *w : std::initializer_list<QWidget *>{
             removeBtn(), clearBtn(), upBtn(), downBtn(), m_playBtn, m_stopBtn, m_startCutTimeBtn,
             m_stopCutTimeBtn, m_resetCutterBtn, m_applytoallBtn, m_cutCoverBtn, m_cutcoverStyleBtn})
        w->setEnabled(enable);
    m_selectTimeBtn->setEnabled(enable);
    m_unSelectTimeBtn->setEnabled(enable);
    for (platform::TextField *field : m_trim.startGroup().fields() + m_trim.stopGroup().fields())
        field->setEnabled(enable);
    m_trim.startStepper()->setEnabled(enable);
    m_trim.stopStepper()->setEnabled(enable);
    fileListTableView()->setEnabele(enable);
    m_cutProgressView->setDisable(!enable);
}

// ---- range commands ----

void BatchCutterWindowController::applytoallItemAction()
{
    const std::shared_ptr<SimpleData> selected = selectedClip();
    if (!selected)
        return;
    // The range as the bar shows it.
    m_list.applyRangeToOthers(*selected, m_cutProgressView->lowerValue(), m_cutProgressView->upperValue());
    m_list.reloadKeepingSelection();
}

void BatchCutterWindowController::resetCutterItemAction()
{
    const std::shared_ptr<SimpleData> clip = selectedClip();
    if (!clip)
        return;
    clip->setCutTimeRange_start(0);
    clip->setCutTimeRange_stop(microseconds(double(clip->sourceData()->duration())));
    clip->setIsTrimFanxuan(false);
    // The radios, the bar's look and the fields follow the file.
    setRadios(false);
    m_cutProgressView->setIsFanxuan(false);
    m_preview.seek(0);
    m_cutProgressView->setUpperValue(1.0f);
    m_cutProgressView->setLowerValue(0.0f);
    m_trim.range() = {0, double(clip->cutTimeRange_stop())};
    m_trim.showRange();
    showDurationLabel();
    m_list.reloadKeepingSelection();
}

void BatchCutterWindowController::setRadios(bool remove)
{
    m_selectTimeBtn->setSelected(!remove);
    m_unSelectTimeBtn->setSelected(remove);
}

// The mode changes the bar's look and the file's flag only: the handles, the position and the preview stay.
void BatchCutterWindowController::selectCurrentTimeRadioAction()
{
    setRadios(false);
    m_cutProgressView->setIsFanxuan(false);
    if (const auto clip = selectedClip())
        clip->setIsTrimFanxuan(false);
}

void BatchCutterWindowController::unSelectCurrentTimeRadioAction()
{
    setRadios(true);
    m_cutProgressView->setIsFanxuan(true);
    if (const auto clip = selectedClip())
        clip->setIsTrimFanxuan(true);
}

void BatchCutterWindowController::actionMouseUpForRDRadioButtonBlock(RDRadioButton *button)
{
    if (button == m_selectTimeBtn)
        selectCurrentTimeRadioAction();
    else if (button == m_unSelectTimeBtn)
        unSelectCurrentTimeRadioAction();
}

void BatchCutterWindowController::storeRange()
{
    if (const auto clip = selectedClip()) {
        clip->setCutTimeRange_start(int64_t(m_trim.range().start));
        clip->setCutTimeRange_stop(int64_t(m_trim.range().stop));
    }
}

void BatchCutterWindowController::showDurationLabel()
{
    if (const auto clip = selectedClip())
        m_cutDurationValueLabel->setText(HelpClass::returnTimeToStr(
            float(double(clip->cutTimeRange_stop() - clip->cutTimeRange_start()) / 1000000.0)));
}

void BatchCutterWindowController::showRangeOf(const SimpleData &clip)
{
    setRadios(clip.isTrimFanxuan());
    m_cutProgressView->setIsFanxuan(clip.isTrimFanxuan());
    const double S = double(clip.cutTimeRange_start());
    const double E = double(clip.cutTimeRange_stop());
    const double Ds = double(clip.sourceData()->duration()) * 1000000.0;
    const double Dp = m_preview.duration();
    if (Ds > 0) {
        m_cutProgressView->setUpperValue(float(E / Ds));
        m_cutProgressView->setLowerValue(float(S / Ds));
    }
    m_cutProgressView->setProgress(Dp > 0 ? float(S / 1000000.0 / Dp) : 0.0f);
    m_preview.seek(S / 1000000.0);
    m_trim.range() = {S, E};
    m_trim.showRange();
    showDurationLabel();
}

// After a step or a typed time: the bar's handles and position and the preview at the range's start, and
// the length; the fields stay as the user left them (a stepper may show 60 seconds).
void BatchCutterWindowController::showSteppedRange()
{
    const auto clip = selectedClip();
    if (!clip)
        return;
    const double S = double(clip->cutTimeRange_start());
    const double E = double(clip->cutTimeRange_stop());
    const double Ds = double(clip->sourceData()->duration()) * 1000000.0;
    const double Dp = m_preview.duration();
    m_preview.seek(S / 1000000.0);
    m_cutProgressView->setProgress(Dp > 0 ? float(S / 1000000.0 / Dp) : 0.0f);
    if (Ds > 0) {
        m_cutProgressView->setUpperValue(float(E / Ds));
        m_cutProgressView->setLowerValue(float(S / Ds));
    }
    showDurationLabel();
}

void BatchCutterWindowController::setStartTrimBtnTouchUp()
{
    platform::log("%s", "-[BatchCutterWindowController setStartTrimBtnTouchUp:]");
    m_trim.setStartAtPlayhead();
    storeRange();
    showDurationLabel();
    m_list.reloadKeepingSelection();
}

void BatchCutterWindowController::setStopTrimBtnTouchUp()
{
    m_trim.setStopAtPlayhead();
    if (m_preview.duration() > 0)
        m_cutProgressView->setProgress(float(m_preview.fraction()));
    storeRange();
    showDurationLabel();
    m_list.reloadKeepingSelection();
}

void BatchCutterWindowController::actionMouseDownForTextFieldBlock(RDTextField *field)
{
    m_trim.primeStepper(field);
}

bool BatchCutterWindowController::controlTextShouldEndEditing(platform::TextField *field)
{
    const bool start = m_trim.startGroup().contains(field);
    const bool ours = start || m_trim.stopGroup().contains(field);
    const bool accepted =
        m_trim.fieldShouldEndEditing(field, [this](const char *key) { showSimpleAlert(text(key), 2); });
    if (ours && accepted) {
        // A typed time ends like a step to the typed value: the group's stepper takes the field's value,
        // the field reads it in two digits, and the preview goes to the range's start.
        platform::TextField *edited = m_trim.edittingField();
        if (platform::Stepper *stepper = start ? m_trim.startStepper() : m_trim.stopStepper();
            edited && stepper)
            stepper->setIntValue(edited->intValue());
        if (edited && m_trim.range().stop > m_trim.range().start)
            edited->setStringValue(QString::asprintf("%02d", edited->intValue()));
        storeRange();
        showSteppedRange();
        m_list.reloadKeepingSelection();
    }
    return accepted;
}

void BatchCutterWindowController::actionMouseDownForCutProgressViewBlock(RDCutProgressView *view, float)
{
    if (view == m_cutProgressView && m_transport.isPlaying())
        pause();
}

void BatchCutterWindowController::actionMouseMovedForCutProgressViewBlock(RDCutProgressView *view,
                                                                          float start, float stop,
                                                                          int64_t handleType)
{
    if (view != m_cutProgressView)
        return;
    m_trim.handlesMoved(start, stop, handleType);
    storeRange();
    showDurationLabel();
}

void BatchCutterWindowController::actionMouseUpForCutProgressViewBlock(RDCutProgressView *view,
                                                                       float progress)
{
    if (view != m_cutProgressView)
        return;
    m_preview.seek(double(progress) * m_preview.duration());
    m_list.reloadKeepingSelection();
}

void BatchCutterWindowController::actionSeekToTimeForCutProgressViewBlock(RDCutProgressView *view,
                                                                          float progress)
{
    if (view != m_cutProgressView)
        return;
    const double t = double(progress) * m_preview.duration();
    m_preview.seek(t);
    platform::log("cureent:%f", t);
}

void BatchCutterWindowController::actionProgressForProgressSliderBlock(RDProgressSlider *, float progress)
{
    if (const auto clip = selectedClip())
        clip->setVolume(double(progress) * 2);
    if (m_preview.player())
        m_preview.player()->SetVolume(double(progress) * 2);
}

void BatchCutterWindowController::actionMouseUpForProgressSliderBlock(RDProgressSlider *, float progress)
{
    if (m_preview.player())
        m_preview.player()->SetVolume(double(progress) * 2);
}

// ---- preview ----

void BatchCutterWindowController::initPlayer()
{
    m_preview.close();
    m_transport.stopped();
    const std::shared_ptr<SimpleData> clip = selectedClip();
    if (!clip)
        return;
    QPointer<BatchCutterWindowController> self(this);
    if (m_preview.open(clip->path(), m_playerView, [self] {
            if (self && !self->isClosed())
                self->playerDidEnd();
        }))
        m_preview.player()->SetVolume(m_transport.isMuted() ? 0.0 : clip->volume());
    m_rightTimeLabel->setText(HelpClass::returnTimeToStr(float(m_preview.duration())));
    m_leftTimeLabel->setText(HelpClass::returnTimeToStr(0));
    if (clip->cutTimeRange_stop() == 0)
        clip->setCutTimeRange_stop(microseconds(m_preview.duration()));
    showRangeOf(*clip);
}

void BatchCutterWindowController::play()
{
    m_transport.play();
}

void BatchCutterWindowController::pause()
{
    m_transport.pause();
}

void BatchCutterWindowController::stop()
{
    if (fileList()->isEmpty() || !m_preview.player())
        return;
    const double at = m_preview.currentTime();
    m_transport.stopped();
    m_preview.player()->stop();
    // The player's stop goes back to the first frame; here the picture stays where the bar's mark and
    // the time label are.
    m_preview.seek(at);
}

void BatchCutterWindowController::playerDidEnd()
{
    m_transport.stopped();
    if (const auto clip = selectedClip(); clip && clip->cutTimeRange_stop() == 0) {
        clip->setCutTimeRange_start(0);
        clip->setCutTimeRange_stop(microseconds(m_preview.duration()));
    }
    m_preview.seek(0);
    m_cutProgressView->setProgress(0);
    m_leftTimeLabel->setText(HelpClass::retrnTimeToStr(0, 0, 0, 0));
    m_rightTimeLabel->setText(HelpClass::returnTimeToStr(float(m_preview.duration())));
}

void BatchCutterWindowController::coverstyleAction(int index)
{
    const QString style = FrameCapture::styleAt(index);
    if (style.isEmpty())
        return;
    m_coverStyle = style;
    m_capturePopUp.setShown(false);
}

QString BatchCutterWindowController::actionCarameraBtn()
{
    const std::shared_ptr<SimpleData> clip = selectedClip();
    if (!clip || !m_preview.player())
        return QString();
    const FileData &source = *clip->sourceData();
    const QString path = FrameCapture::capture(
        *m_preview.player(), platform::Size{double(source.width()), double(source.height())}, outputPath(),
        m_snapshotClock ? m_snapshotClock() : QDateTime::currentDateTime(), m_coverStyle);
    if (path.isEmpty())
        showSimpleAlert(text("snapshotSaveFailedString"), 2);
    return path;
}

// ---- export ----

QString BatchCutterWindowController::outputPath() const
{
    return m_folderChooser ? m_folderChooser->outputPath() : QString();
}

void BatchCutterWindowController::startBachCutterAction()
{
    if (m_transport.isPlaying())
        pause();
    if (convertstart()) {
        m_run->cancel();
        return;
    }
    if (fileList()->isEmpty())
        return;
    const QString folder = outputPath();
    // Failures by file index, so the alert lists them in the list's order whichever ended first.
    auto failures = std::make_shared<QMap<int, QString>>();
    auto reserved = std::make_shared<QSet<QString>>();
    auto chain = std::make_shared<const ChainedExportJob *>(nullptr);
    m_exportRows.clear();
    QPointer<BatchCutterWindowController> self(this);
    m_run->begin([self, folder, failures, reserved, chain](ExportRunController::Progress progress,
                                                           ExportRunController::Finish finish) {
        // Each file is asked for as the run reaches it, so files added meanwhile are exported too.
        auto supply = [self, folder, failures, reserved, chain, progress](int index, ChainedExportJob::Step &step) {
            if (!self || index >= self->fileList()->size())
                return false;
            const std::shared_ptr<SimpleData> clip = self->fileList()->at(index);
            step = BatchCutterExport::step(clip, folder, reserved);
            step.configure = [self, index, configure = step.configure](MEDIA_HANDLE h) {
                if (self) {
                    self->m_exportRows.insert(index, 0.0f);
                    JoinnerTableView *list = self->fileListTableView();
                    list->setSelectedRow(index);
                    list->setDisabelSelectBlock(true);
                    list->reloadData();
                    list->setDisabelSelectBlock(false);
                    self->showExportRows(index);
                }
                return configure(h);
            };
            const bool convert = step.kind == ChainedExportJob::Kind::Convert;
            step.progress = [self, index, chain, progress, convert](double percent) {
                if (!self || !*chain)
                    return;
                const float p = float(percent / 100.0);
                if (convert)
                    platform::log("progress:%f", p);
                // Files that ended count whole, the running ones by their part done.
                progress((*chain)->stepsDone() / double(self->fileList()->size()));
                if (self->m_exportRows.contains(index))
                    self->m_exportRows[index] = p;
                self->fileListTableView()->setExportProgress(index, p);
            };
            step.ended = [self, index, clip, failures, ended = step.ended](bool ok, int code) {
                ended(ok, code);
                if (self) {
                    self->m_exportRows.remove(index);
                    self->fileListTableView()->hiddenProgress(index);
                }
                if (!ok)
                    failures->insert(index, clip->name() + QStringLiteral(": ") + platform::qformat("error:%d", code));
            };
            return true;
        };
        auto job = std::make_unique<ChainedExportJob>(supply);
        *chain = job.get();
        return ExportRunController::startChain(
            std::move(job), [self, finish, failures, chain](const ChainedExportJob::Outcome &o) {
                platform::log("转换结束");
                *chain = nullptr;
                if (self)
                    self->m_exportRows.clear();
                ChainedExportJob::Outcome outcome = o;
                // One alert at the end names every file that failed.
                if (outcome.status == ChainedExportJob::Outcome::Failed && outcome.failures > 0)
                    outcome.message = text("batchFailedFilesString") + QLatin1Char('\n') +
                                      failures->values().join(QLatin1Char('\n'));
                finish(outcome);
            });
    });
}

void BatchCutterWindowController::showExportRows(int64_t current)
{
    JoinnerTableView *list = fileListTableView();
    for (auto row = m_exportRows.cbegin(); row != m_exportRows.cend(); ++row)
        list->setExportProgress(row.key(), row.value());
    // Last: the selection fires the list's handler, which shows this file in the preview.
    list->showProgress(current);
}

void BatchCutterWindowController::showSimpleAlert(const QString &message, int tag, bool fromExportEnd)
{
    ToolWindowController::showSimpleAlert(message, tag, fromExportEnd);
}

QString BatchCutterWindowController::startButtonTitleKey() const
{
    return QStringLiteral(VW_KEY("StartExportTitle"));
}

QString BatchCutterWindowController::finishedMessageKey() const
{
    return QStringLiteral(VW_KEY("Cutterfinishedstring"));
}

void BatchCutterWindowController::windowWillClose()
{
    if (convertstart())
        startBachCutterAction();
    m_preview.close();
    m_transport.stopped();
}
