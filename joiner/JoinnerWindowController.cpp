#include "joiner/JoinnerWindowController.h"

#include "controls/NSProgressView.h"
#include "controls/PNQButton.h"
#include "controls/PNQImageView.h"
#include "controls/PNQView.h"
#include "controls/TextLabel.h"
#include "media/RDMoviePlayer.h"
#include "model/FileData.h"
#include "model/HelpClass.h"
#include "model/SimpleData.h"
#include "platform/CMTime.h"
#include "platform/Dispatch.h"
#include "platform/FontAlias.h"
#include "platform/Log.h"
#include "platform/Panels.h"
#include "platform/PopUpButton.h"
#include "platform/Stepper.h"
#include "platform/View.h"
#include "platform/Window.h"
#include "platform/Workspace.h"
#include "services/LanguageService.h"
#include "services/ResourceService.h"
#include "toolkit/ChainedExportJob.h"
#include "toolkit/EditorOutputSettings.h"
#include "toolkit/ExportRunController.h"
#include "toolkit/FrameCapture.h"
#include "toolkit/JoinPlan.h"
#include "toolkit/OutputFolderChooser.h"
#include "toolkit/OutputFormatChooser.h"
#include "toolkit/OutputNaming.h"
#include "toolkit/SourceProbe.h"
#include "toolkit/ToolWidgets.h"

#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QScreen>
#include <QUrl>

#include <algorithm>
#include <cmath>

namespace {

constexpr double kMargin = 4;
constexpr double kBottomHeight = 44;
constexpr double kChooserTop = 50 + 180; // the chooser lies at y 50, 180 high
// Folded, the window is this much lower and the list and preview panels sit on the chooser's header.
constexpr double kFoldHeight = 140;
constexpr double kFoldedPanelBottom = 92;
// Room kept above the window for a window manager's title bar while the frame does not include one.
constexpr int kTitleBarRoom = 40;
// Rows this wide keep the format box (240 points at the right end) clear of the file's facts.
constexpr double kLeftWidth = 612;
constexpr double kRowHeight = 60;

QString text(const char *key)
{
    return LanguageService::localizedStringForKey(key);
}

QImage image(const QString &name)
{
    return ResourceService::imageWithfileName(name);
}

int64_t micros(double seconds)
{
    return seconds > 0 ? static_cast<int64_t>(std::min(seconds * 1e6, 9.0e18)) : 0;
}

} // namespace

JoinnerWindowController::JoinnerWindowController(QObject *parent) : ToolWindowController(parent) {}

JoinnerWindowController::~JoinnerWindowController()
{
    // The run's callbacks must not outlive the views they touch.
    m_exportRun.reset();
    m_preview.close();
}

std::unique_ptr<platform::Window> JoinnerWindowController::makeWindow()
{
    return std::make_unique<platform::Window>(platform::Size{windowWidth, windowHeight});
}

QString JoinnerWindowController::finishedMessageKey() const
{
    return QStringLiteral(VW_KEY("Joinnerfinishedstring"));
}

void JoinnerWindowController::windowDidLoad()
{
    observeClose();
    platform::Window *win = window();
    win->setTitlebarAppearsTransparent(true);
    win->setTitle(text("Joinner_Title"));
    win->setFixedSize(int(windowWidth), int(windowHeight));
    win->setBackgroundColor(QColor(33, 176, 235));
    m_content = win->contentView();
    m_content->setBackgroundColor(QColor(33, 176, 235));

    m_outputSettings = std::make_unique<EditorOutputSettings>(ProfileLibrary::joiner(),
                                                              EditorOutputSettings::KeyFamily::Joiner);
    m_outputSettings->clipsBlock = [this] { return *fileList(); };
    // The rows show what the settings window changed; the selection and the preview stay.
    m_outputSettings->settingsAppliedBlock = [this] { m_list.reloadKeepingSelection(); };
    m_exportRun = std::make_unique<ExportRunController>(*this);

    initListView();
    initContentNoFileView();
    initContentRightView();
    initBottomView();

    m_formatChooser = new OutputFormatChooser(ProfileLibrary::joiner(), windowWidth, m_content);
    m_formatChooser->setArrowInset(36);
    m_formatChooser->layoutForWindow(platform::Size{windowWidth, contentHeight()}, windowWidth);
    m_outputSettings->connectChooser(m_formatChooser);
    m_formatChooser->restoreSavedChoice();
    m_formatChooser->collapseChangedBlock = [this](bool folded) { foldChooser(folded); };
    // A screen too short for the whole window (up to 780 points) opens it folded, Start in sight.
    if (m_formatChooser->mainScreenHeight() <= OutputFormatChooser::CollapsibleScreenHeight) {
        m_formatChooser->setCollapsed(true);
        foldChooser(true);
    }

    m_folderChooser->outputPopUpBtnAction(nullptr);
    fileListViewHidden(true);
}

void JoinnerWindowController::foldChooser(bool folded)
{
    platform::Window *win = window();
    // The part of the screen the window's frame may take: the screen less its panels, and less room for
    // a window manager's title bar while the frame does not show one.
    const QScreen *screen = win->screen() ? win->screen() : QGuiApplication::primaryScreen();
    QRect area = screen ? screen->availableGeometry() : win->frameGeometry();
    const int decoration = win->frameGeometry().height() - win->geometry().height();
    area.setTop(area.top() + (decoration > 0 ? 0 : kTitleBarRoom));
    // A screen too short for the whole unfolded window: it grows as far as the screen allows, and the
    // list and the preview give up the rest.
    const double height =
        std::max(std::min(windowHeight - (folded ? kFoldHeight : 0), double(area.height() - decoration)),
                 windowHeight - kFoldHeight);
    // The window keeps its bottom-left corner, so the output row and Start stay where they were, unless
    // that would take it off the screen.
    platform::Rect frame = win->frame();
    frame.size.height = height;
    win->setFixedSize(int(windowWidth), int(height));
    win->setFrame(frame);
    const QRect now = win->frameGeometry();
    const int top = std::max(area.top(), std::min(now.top(), area.bottom() - now.height() + 1));
    if (top != now.top())
        win->move(win->pos() + QPoint(0, top - now.top()));

    m_formatChooser->layoutForWindow(platform::Size{windowWidth, contentHeight()}, windowWidth);
    const double bottom = folded ? kFoldedPanelBottom : kChooserTop + 6;
    for (platform::View *panel : {m_listPanel.data(), m_contentRightView.data()})
        panel->setFrame(platform::makeRect(panel->frame().minX(), bottom, panel->frame().width(),
                                           contentHeight() - kMargin - bottom));
    m_preview.fitInto(m_playerView);
}

double JoinnerWindowController::contentHeight() const
{
    return m_content ? m_content->frame().height() : windowHeight;
}

void JoinnerWindowController::initListView()
{
    const double top = contentHeight() - kMargin;
    auto *panel = new PNQView(platform::makeRect(kMargin, kChooserTop + 6, kLeftWidth, top - kChooserTop - 6),
                              m_content);
    panel->setBackGroundColor(Qt::white);
    panel->setCornerRadius(5);
    m_listPanel = panel;
    const double h = panel->frame().height();

    m_addfileBtn = ToolWidgets::addFileButton(platform::makeRect(8, h - 40, 130, 32), panel);
    // A shorter panel (the window unfolded on a short screen) shortens the list; the buttons stay on top.
    m_addfileBtn->setAutoresizingMask(platform::View::MinYMargin);
    m_addfileBtn->mouseDownAction = [this](PNQButton *) { queue(&JoinnerWindowController::addFileAction); };

    std::array<platform::Rect, 4> frames;
    for (int i = 0; i < 4; ++i)
        frames[i] = platform::makeRect(144 + 84 * i, h - 38, 80, 28);
    m_list.buildButtons(panel, frames,
                        {[this] { queue(&JoinnerWindowController::removeAction); },
                         [this] { queue(&JoinnerWindowController::clearAction); },
                         [this] { queue(&JoinnerWindowController::upAction); },
                         [this] { queue(&JoinnerWindowController::downAction); }});
    for (PNQButton *button : m_list.buttons()) {
        button->setFont(platform::FontAlias::systemFont(12));
        button->setAutoresizingMask(platform::View::MinYMargin);
    }
    // Sorting the clips, shown with the list: a pull-down whose title stays "Sort".
    m_sortBtn = new platform::PopUpButton(platform::makeRect(486, h - 38, kLeftWidth - 494, 28), true, panel);
    m_sortBtn->addItemsWithTitles(
        {text("SortBtnTitle"), text("SortByNameItemTitle"), text("SortByDurationItemTitle")});
    m_sortBtn->action = [this](platform::PopUpButton &p) {
        const int by = p.indexOfSelectedItem();
        dispatchOnMain([this, by] { sortAction(by); });
    };
    m_sortBtn->setAutoresizingMask(platform::View::MinYMargin);
    m_sortBtn->setHidden(true);

    auto *list = new JoinnerTableView(platform::makeRect(6, 6, kLeftWidth - 12, h - 52), panel);
    list->setAutoresizingMask(platform::View::HeightSizable);
    m_list.setTableView(list);
    list->setRowHeight(kRowHeight);
    list->setItems(m_list.items());
    list->selectDefaultOutputFormatBlock = [this](const std::shared_ptr<SimpleData> &clip) {
        dispatchOnMain([this, clip] { setdefaultFormat(clip); });
    };
    list->selectItemBlock = [this](const std::shared_ptr<SimpleData> &) {
        dispatchOnMain([this] { initPlayer(); });
    };
    list->selectTranstionEffectBlock = [this](int64_t row, int code) {
        dispatchOnMain([this, row, code] {
            if (row >= 0 && row < fileList()->size())
                fileList()->at(row)->setTransitionEffect(code);
        });
    };
}

void JoinnerWindowController::initContentNoFileView()
{
    platform::View *panel = fileListTableView()->superview();
    const platform::Rect f = fileListTableView()->frame();
    auto *hint = new PNQImageView(f, panel);
    hint->setBorderColor(QColor(214, 212, 212));
    hint->setCornerRadius(5);
    hint->setBorderWidth(2);
    hint->setAutoresizingMask(platform::View::HeightSizable);
    m_contentNoFileView = hint;
    m_list.setEmptyHint(hint);
    const double h = f.height();
    ToolWidgets::label(platform::makeRect(30, h - 70, f.width() - 60, 30), text("joinner_desc"), hint, 20)
        ->setAutoresizingMask(platform::View::MinYMargin);
    const char *steps[] = {VW_KEY("joinner_desc1"), VW_KEY("joinner_desc2"), VW_KEY("joinner_desc3"),
                           VW_KEY("joinner_desc4")};
    QList<TextLabel *> stepLabels;
    for (int i = 0; i < 4; ++i) {
        stepLabels << ToolWidgets::label(
            platform::makeRect(40, h - 120 - 40 * i, f.width() - 70, 30),
            QStringLiteral("%1.").arg(i + 1) + LanguageService::localizedStringForKey(steps[i]), hint, 16);
    }
    for (TextLabel *step : std::as_const(stepLabels))
        step->setAutoresizingMask(platform::View::MinYMargin);
    TextLabel::shareDrawnFont(stepLabels);
    m_emailIconView = ToolWidgets::emailButton(platform::makeRect(40, 24, 24, 24), hint);
    ToolWidgets::label(platform::makeRect(72, 28, 300, 18), text("email_address"), hint, 13,
                       QColor(33, 120, 200));
}

void JoinnerWindowController::initContentRightView()
{
    const double x = kMargin + kLeftWidth + 6;
    const double width = windowWidth - x - kMargin;
    const double bottom = kChooserTop + 6;
    auto *panel =
        new PNQView(platform::makeRect(x, bottom, width, contentHeight() - kMargin - bottom), m_content);
    panel->setBackGroundColor(Qt::white);
    panel->setCornerRadius(5);
    m_contentRightView = panel;
    const double h = panel->frame().height();

    constexpr double playerHeight = 200;
    m_playerView = new PNQView(platform::makeRect(6, h - 6 - playerHeight, width - 12, playerHeight), panel);
    m_playerView->setBackGroundColor(Qt::black);
    // The picture is what gives way when the panel is shorter.
    m_playerView->setAutoresizingMask(platform::View::HeightSizable);

    // The trim bar with the time labels at its ends.
    const double barY = h - 6 - playerHeight - 34;
    m_leftTimeLabel =
        ToolWidgets::label(platform::makeRect(6, barY + 6, 72, 16), HelpClass::returnTimeToStr(0), panel, 11);
    m_rightTimeLabel = ToolWidgets::label(platform::makeRect(width - 78, barY + 6, 72, 16),
                                          HelpClass::returnTimeToStr(0), panel, 11);
    m_cutProgressView = new RDCutProgressView(platform::makeRect(80, barY, width - 160, 28), panel);
    m_cutProgressView->setDelegate(this);
    m_trim.setBar(m_cutProgressView);
    m_trim.setPreview(&m_preview);

    // The player buttons.
    const double rowY = barY - 34;
    auto iconButton = [panel, rowY](double x, const QString &stem) {
        auto *b = new PNQButton(platform::makeRect(x, rowY, 28, 28), panel);
        b->setStateImages(stem);
        return b;
    };
    m_playBtn = iconButton(6, QStringLiteral("Join/btnPlay"));
    m_playBtn->setSelectedImage(image(QStringLiteral("Join/btnPause_Normal.png")));
    m_playBtn->mouseDownAction = [this](PNQButton *) {
        dispatchOnMain([this] { m_transport.isPlaying() ? pause() : play(); });
    };
    m_stopBtn = iconButton(40, QStringLiteral("Join/btnStop"));
    m_stopBtn->mouseDownAction = [this](PNQButton *) { queue(&JoinnerWindowController::stop); };
    m_cutCoverBtn = iconButton(84, QStringLiteral("Join/btnCapture"));
    m_cutCoverBtn->mouseDownAction = [this](PNQButton *) { dispatchOnMain([this] { actionCarameraBtn(); }); };
    m_cutcoverStyleBtn = iconButton(116, QStringLiteral("Join/btnCaptureSet"));
    m_cutcoverStyleBtn->mouseDownAction = [this](PNQButton *) {
        dispatchOnMain([this] {
            if (m_preview.player())
                m_capturePopUp.toggle();
        });
    };
    m_volumeBtn = iconButton(width - 150, QStringLiteral("Cut/btnOpenVolume"));
    m_volumeBtn->mouseDownAction = [this](PNQButton *) { muteAction(); };
    m_volumeSlider = new RDProgressSlider(platform::makeRect(width - 118, rowY + 6, 110, 16), panel);
    m_volumeSlider->setDelegate(this);
    m_volumeSlider->setProgress(0.5f);
    m_capturePopUp.build(m_cutcoverStyleBtn, m_volumeBtn, m_volumeSlider);
    m_capturePopUp.choiceBlock = [this](int index) { coverstyleAction(index); };

    // Keep or remove the range.
    auto radio = [this, panel](double x, double y, const char *key) {
        auto *r = new RDRadioButton(platform::makeRect(x, y, 230, 24), panel);
        r->setTitle(text(key));
        r->setFont(platform::FontAlias::systemFont(13));
        r->setNormalColor(Qt::black);
        r->setSelectedColor(Qt::black);
        r->setDelegate(this);
        return r;
    };
    m_selectTimeBtn = radio(6, rowY - 34, VW_KEY("SelectTimeBtnTitle"));
    m_unSelectTimeBtn = radio(250, rowY - 34, VW_KEY("UnSelectTimeBtnTitle"));
    setRadios(false);

    // The time fields: the start at the left, the end at the right, each group with its stepper.
    m_trimView = new platform::View(platform::makeRect(0, rowY - 96, width, 56), panel);
    m_trim.buildGroupRow(m_trimView, 2, this, this, QColor(Qt::red));
    m_trim.setStepperMaxima(60, 100);
    // A step edits the selected clip, not only the panel's copy of the range.
    m_trim.startStepper()->action = [this](platform::Stepper &s) { touchUpStartStepper(&s); };
    m_trim.stopStepper()->action = [this](platform::Stepper &s) { touchUpStopStepper(&s); };
    m_transport.setControls({m_playBtn, nullptr, m_cutProgressView, m_leftTimeLabel, m_rightTimeLabel,
                             m_volumeBtn, m_volumeSlider, false});

    // Start and end at the playhead, the range's length, reset and apply to all.
    const double commandsY = rowY - 136;
    auto command = [panel](const platform::Rect &frame, const QString &title, std::function<void()> act) {
        PNQButton *b = ToolWidgets::listButton(frame, title, panel);
        b->setFont(platform::FontAlias::systemFont(12));
        b->setEnabled(false);
        b->mouseDownAction = [act = std::move(act)](PNQButton *) { act(); };
        return b;
    };
    m_startCutTimeBtn = command(platform::makeRect(10, commandsY, 36, 28), text("["),
                                [this] { queue(&JoinnerWindowController::setStartTrimBtnTouchUp); });
    m_stopCutTimeBtn = command(platform::makeRect(52, commandsY, 36, 28), text("]"),
                               [this] { queue(&JoinnerWindowController::setStopTrimBtnTouchUp); });
    ToolWidgets::label(platform::makeRect(98, commandsY + 4, 100, 20), text("cutDurationLabelstringValue"),
                       panel, 11);
    m_cutDurationValueLabel = ToolWidgets::label(platform::makeRect(98, commandsY - 16, 100, 20),
                                                 HelpClass::returnTimeToStr(0), panel, 11);
    m_resetCutterBtn = command(platform::makeRect(width - 316, commandsY, 140, 28), text("ResetBtnTitle"),
                               [this] { resetCutterAction(); });
    m_applytoallBtn = command(platform::makeRect(width - 166, commandsY, 156, 28), text("ApplytoallBtnTitle"),
                              [this] { applytoallAction(); });
}

void JoinnerWindowController::initBottomView()
{
    auto *bottom = new PNQView(
        platform::makeRect(kMargin, kMargin, windowWidth - 2 * kMargin, kBottomHeight - kMargin), m_content);
    bottom->setBackGroundColor(Qt::white);
    bottom->setBordColor(Qt::white);
    bottom->setCornerRadius(5);
    bottom->setBorderWidth(2);
    ToolWidgets::label(platform::makeRect(8, 10, 110, 18), text("outputFolderLabelstringValue"), bottom, 13);
    auto *folderHost = new platform::View(platform::makeRect(120, 4, 223, 32), bottom);
    m_folderChooser = std::make_unique<OutputFolderChooser>(folderHost);
    m_openOutputFolderBtn = new PNQButton(platform::makeRect(350, 6, 28, 28), bottom);
    m_openOutputFolderBtn->setNormalImage(image(QStringLiteral("SubFun/btnBrowse_Down.png")));
    m_openOutputFolderBtn->mouseDownAction = [this](PNQButton *) {
        if (!outputPath().isEmpty())
            m_folderChooser->revealOutputPath();
    };
    ToolWidgets::label(platform::makeRect(396, 10, 90, 18), text("progressLabelStringValue"), bottom, 13);
    m_joinnerProgressView = new NSProgressView(platform::makeRect(490, 14, 340, 10), bottom);
    m_startJoinnerBtn =
        ToolWidgets::startButton(platform::makeRect(bottom->frame().width() - 186, 2, 180, 34), bottom);
    m_startJoinnerBtn->setFont(platform::FontAlias::systemFont(18));
    // One main-queue turn after the click, like the other buttons.
    QPointer<JoinnerWindowController> self(this);
    m_startJoinnerBtn->mouseDownAction = [self](PNQButton *) {
        platform::dispatchMain([self] {
            if (self && !self->isClosed())
                self->startJoinnerAction();
        });
    };
}

void JoinnerWindowController::queue(void (JoinnerWindowController::*action)())
{
    dispatchOnMain([this, action] { (this->*action)(); });
}

// ---- clips ----

QStringList JoinnerWindowController::allowedFileTypes()
{
    return SourceProbe::allowedFileTypes();
}

void JoinnerWindowController::addFileAction()
{
    const QStringList urls = chooseMediaFiles(allowedFileTypes(), true);
    if (!urls.isEmpty())
        addFiles(urls);
}

void JoinnerWindowController::addFiles(const QStringList &paths)
{
    if (convertstart())
        return;
    const SourceProbe::Batch batch = SourceProbe::probeAll(paths, std::nullopt);
    const QString refused = m_list.append(batch.accepted, batch.refused, [](SimpleData &clip) {
        clip.setVolume(1.0);
        // The range starts as the whole clip, so every row shows its length.
        if (clip.cutTimeRange_stop() == 0 && clip.sourceData())
            clip.setCutTimeRange_stop(micros(clip.sourceData()->duration()));
    });
    if (!refused.isEmpty())
        showSimpleAlert(refused, 2);
    if (fileList()->isEmpty())
        return;
    JoinnerTableView *list = fileListTableView();
    list->setItems(fileList());
    list->setRowHeight(kRowHeight);
    list->reloadData();
    fileListViewHidden(false);
}

void JoinnerWindowController::removeAction()
{
    const std::shared_ptr<SimpleData> removed = selectedClip();
    if (!m_list.removeSelected())
        return;
    // The clip whose own format was in force takes it away with it.
    if (removed && removed->defaultFormat())
        setdefaultFormat(nullptr);
    fileListViewHidden(fileList()->isEmpty());
    if (fileList()->isEmpty())
        m_joinnerProgressView->setProgress(0);
    // The preview, fields and bar go to the clip now selected (none for an empty list).
    initPlayer();
}

void JoinnerWindowController::clearAction()
{
    m_list.clear();
    fileListViewHidden(true);
    m_joinnerProgressView->setProgress(0);
    // A ticked format box went with its clip.
    setdefaultFormat(nullptr);
    initPlayer();
}

void JoinnerWindowController::sortAction(int by)
{
    if (by != SortByName && by != SortByDuration)
        return;
    auto &clips = *fileList();
    const std::shared_ptr<SimpleData> selected = selectedClip();
    const auto duration = [](const std::shared_ptr<SimpleData> &c) {
        return c->sourceData() ? c->sourceData()->duration() : 0.0f;
    };
    std::stable_sort(clips.begin(), clips.end(), [&](const auto &a, const auto &b) {
        if (by == SortByDuration)
            return duration(a) < duration(b);
        return QString::localeAwareCompare(a->name(), b->name()) < 0;
    });
    // The same clip stays selected, without rebuilding its preview.
    JoinnerTableView *list = fileListTableView();
    list->setItems(fileList());
    list->setSelectedRow(std::max<qsizetype>(0, clips.indexOf(selected)));
    list->setDisabelSelectBlock(true);
    list->reloadData();
}

void JoinnerWindowController::upAction()
{
    m_list.moveSelectedUp();
}

void JoinnerWindowController::downAction()
{
    m_list.moveSelectedDown();
}

void JoinnerWindowController::fileListViewHidden(bool hidden)
{
    m_list.setHintShown(hidden);
    m_sortBtn->setHidden(hidden);
    m_volumeSlider->setDisable(hidden);
    m_cutProgressView->setDisable(hidden);
    for (platform::TextField *field : m_trim.startGroup().fields() + m_trim.stopGroup().fields())
        field->setEnabled(!hidden);
    for (QWidget *w : std::initializer_list<QWidget *>{
             m_startCutTimeBtn, m_stopCutTimeBtn, m_resetCutterBtn, m_applytoallBtn, m_cutCoverBtn, m_playBtn,
             m_stopBtn, m_cutcoverStyleBtn, m_trim.startStepper(), m_trim.stopStepper()})
        if (w)
            w->setEnabled(!hidden);
    if (!hidden)
        return;
    m_trim.showEmpty();
    for (TextLabel *label : {m_cutDurationValueLabel.data(), m_leftTimeLabel.data(), m_rightTimeLabel.data()})
        label->setText(HelpClass::returnTimeToStr(0));
    m_trim.range() = TrimPanel::Range{};
}

void JoinnerWindowController::enableEdit(bool enable)
{
    const bool ownFormat = std::any_of(fileList()->cbegin(), fileList()->cend(),
                                       [](const auto &clip) { return clip->defaultFormat(); });
    m_formatChooser->setEnabled(enable && !ownFormat);
    fileListTableView()->setEnabele(enable);
    m_addfileBtn->setEnabled(enable);
    for (QWidget *w : std::initializer_list<QWidget *>{
             removeBtn(), clearBtn(), upBtn(), downBtn(), m_sortBtn, m_playBtn, m_stopBtn, m_startCutTimeBtn,
             m_stopCutTimeBtn, m_resetCutterBtn, m_applytoallBtn, m_cutCoverBtn, m_cutcoverStyleBtn,
             m_trim.startStepper(), m_trim.stopStepper()})
        if (w)
            w->setEnabled(enable);
    m_cutProgressView->setDisable(!enable);
    for (platform::TextField *field : m_trim.startGroup().fields() + m_trim.stopGroup().fields())
        field->setEnabled(enable);
    if (enable && fileList()->isEmpty())
        fileListViewHidden(true);
}

// ---- preview and trim ----

std::shared_ptr<SimpleData> JoinnerWindowController::selectedClip() const
{
    return m_list.selectedClip();
}

double JoinnerWindowController::playerDuration() const
{
    return m_preview.duration();
}

void JoinnerWindowController::initPlayer()
{
    m_transport.stopped();
    m_preview.close();
    const auto clip = selectedClip();
    if (!clip)
        return;
    QPointer<JoinnerWindowController> self(this);
    if (m_preview.open(clip->path(), m_playerView, [self] {
            if (self && !self->isClosed())
                self->playerDidEnd();
        }))
        m_preview.player()->SetVolume(m_transport.isMuted() ? 0.0 : clip->volume());

    m_volumeSlider->setProgress(float(clip->volume() / 2));
    const bool removing = clip->isTrimFanxuan();
    setRadios(removing);
    m_cutProgressView->setIsFanxuan(removing);

    const double P = playerDuration();
    if (clip->cutTimeRange_stop() == 0 && P > 0) {
        clip->setCutTimeRange_stop(micros(P));
        clip->setCutTimeRange_start(0);
    }
    m_leftTimeLabel->setText(HelpClass::returnTimeToStr(0));
    m_rightTimeLabel->setText(HelpClass::returnTimeToStr(float(P)));
    showClipRange();
    const double start = clip->cutTimeRange_start() / 1e6;
    // The range carried over to the player's time base (the same range when the probe and the player
    // agree on the duration); rounded, so that the round trip through the fractions loses no microsecond.
    const double D = clip->sourceData() ? clip->sourceData()->duration() : 0;
    if (D > 0 && P > 0) {
        const double lower = clip->cutTimeRange_start() / (D * 1e6);
        const double upper = clip->cutTimeRange_stop() / (D * 1e6);
        clip->setCutTimeRange_start(std::llround(lower * P * 1e6));
        clip->setCutTimeRange_stop(std::llround(P * upper * 1e6));
        m_trim.range() =
            TrimPanel::Range{double(clip->cutTimeRange_start()), double(clip->cutTimeRange_stop())};
        showDuration();
    }
    m_cutProgressView->setProgress(P > 0 ? float(start / P) : 0.0f);
    m_preview.seek(start);
}

// The selected clip's range in the trim panel, on the bar (as fractions of the clip) and as a length.
void JoinnerWindowController::showClipRange()
{
    const auto clip = selectedClip();
    if (!clip)
        return;
    m_trim.range().start = double(clip->cutTimeRange_start());
    m_trim.range().stop = double(clip->cutTimeRange_stop());
    m_trim.showRange();
    const double D = clip->sourceData() && clip->sourceData()->duration() > 0 ? clip->sourceData()->duration()
                                                                              : playerDuration();
    // A zero duration never divides: the bar then spans the whole clip.
    const float lower = D > 0 ? float(std::clamp(clip->cutTimeRange_start() / (D * 1e6), 0.0, 1.0)) : 0.0f;
    const float upper = D > 0 ? float(std::clamp(clip->cutTimeRange_stop() / (D * 1e6), 0.0, 1.0)) : 1.0f;
    m_cutProgressView->setUpperValue(upper);
    m_cutProgressView->setLowerValue(lower);
    showDuration();
}

void JoinnerWindowController::showDuration()
{
    if (const auto clip = selectedClip())
        m_cutDurationValueLabel->setText(HelpClass::returnTimeToStr(
            float((clip->cutTimeRange_stop() - clip->cutTimeRange_start()) / 1e6)));
}

void JoinnerWindowController::play()
{
    m_transport.play();
}

void JoinnerWindowController::pause()
{
    m_transport.pause();
}

void JoinnerWindowController::stop()
{
    if (!m_preview.player())
        return;
    pause();
    m_preview.player()->stop();
    m_preview.seek(0);
    m_cutProgressView->setProgress(0);
}

void JoinnerWindowController::playerDidEnd()
{
    pause();
    if (const auto clip = selectedClip(); clip && clip->cutTimeRange_stop() == 0) {
        clip->setCutTimeRange_stop(micros(playerDuration()));
        clip->setCutTimeRange_start(0);
    }
    m_preview.seek(0);
    m_cutProgressView->setProgress(0);
    m_leftTimeLabel->setText(HelpClass::returnTimeToStr(0));
    m_rightTimeLabel->setText(HelpClass::returnTimeToStr(float(playerDuration())));
}

void JoinnerWindowController::resetCutterAction()
{
    const auto clip = selectedClip();
    if (!clip)
        return;
    clip->setCutTimeRange_stop(micros(clip->sourceData() ? clip->sourceData()->duration() : 0));
    clip->setCutTimeRange_start(0);
    clip->setIsTrimFanxuan(false);
    m_preview.seek(0);
    selectCurrentTimeRadioAction();
    showClipRange();
    m_list.reloadKeepingSelection();
}

void JoinnerWindowController::applytoallAction()
{
    const auto selected = selectedClip();
    if (!selected)
        return;
    m_list.applyRangeToOthers(*selected, m_cutProgressView->lowerValue(), m_cutProgressView->upperValue());
    m_list.reloadKeepingSelection();
}

void JoinnerWindowController::setStartTrimBtnTouchUp()
{
    const auto clip = selectedClip();
    if (!clip || !m_preview.player())
        return;
    platform::log("%s", "setStartTrimBtnTouchUp");
    m_trim.setStartAtPlayhead();
    clip->setCutTimeRange_start(qint64(m_trim.range().start));
    clip->setCutTimeRange_stop(qint64(m_trim.range().stop));
    showDuration();
    m_list.reloadKeepingSelection();
}

void JoinnerWindowController::setStopTrimBtnTouchUp()
{
    const auto clip = selectedClip();
    if (!clip || !m_preview.player())
        return;
    m_trim.setStopAtPlayhead();
    clip->setCutTimeRange_start(qint64(m_trim.range().start));
    clip->setCutTimeRange_stop(qint64(m_trim.range().stop));
    platform::log("start : %ld  stop: %ld", clip->cutTimeRange_start(), clip->cutTimeRange_stop());
    showDuration();
    m_list.reloadKeepingSelection();
}

void JoinnerWindowController::setRadios(bool remove)
{
    m_selectTimeBtn->setSelected(!remove);
    m_unSelectTimeBtn->setSelected(remove);
}

// The mode changes the radios, the bar's look and the clip's flag only.
void JoinnerWindowController::selectCurrentTimeRadioAction()
{
    setRadios(false);
    m_cutProgressView->setIsFanxuan(false);
    if (const auto clip = selectedClip())
        clip->setIsTrimFanxuan(false);
}

void JoinnerWindowController::unSelectCurrentTimeRadioAction()
{
    setRadios(true);
    m_cutProgressView->setIsFanxuan(true);
    if (const auto clip = selectedClip())
        clip->setIsTrimFanxuan(true);
}

void JoinnerWindowController::actionMouseUpForRDRadioButtonBlock(RDRadioButton *button)
{
    if (button == m_selectTimeBtn)
        selectCurrentTimeRadioAction();
    else if (button == m_unSelectTimeBtn)
        unSelectCurrentTimeRadioAction();
}

void JoinnerWindowController::muteAction()
{
    m_transport.setMuted(!m_transport.isMuted());
}

QString JoinnerWindowController::actionCarameraBtn()
{
    const auto clip = selectedClip();
    if (!clip || !m_preview.player())
        return QString();
    const FileData *source = clip->sourceData().get();
    const platform::Size size{double(source ? source->width() : 0), double(source ? source->height() : 0)};
    const QString path =
        FrameCapture::capture(*m_preview.player(), size, outputPath(),
                              m_clock ? m_clock() : QDateTime::currentDateTime(), m_coverStyle);
    if (path.isEmpty())
        showSimpleAlert(text("snapshotSaveFailedString"), 2);
    return path;
}

void JoinnerWindowController::coverstyleAction(int index)
{
    m_coverStyle = FrameCapture::styleAt(std::clamp(index, 0, 2));
}

void JoinnerWindowController::actionMouseDownForTextFieldBlock(RDTextField *field)
{
    m_trim.primeStepper(field);
}

bool JoinnerWindowController::controlTextShouldEndEditing(platform::TextField *field)
{
    const auto clip = selectedClip();
    if (!clip)
        return true;
    const bool accepted = m_trim.fieldShouldEndEditing(
        field, [this](const char *key) { showSimpleAlert(LanguageService::localizedStringForKey(key), 2); });
    if (accepted) {
        clip->setCutTimeRange_start(qint64(m_trim.range().start));
        clip->setCutTimeRange_stop(qint64(m_trim.range().stop));
        showDuration();
        m_list.reloadKeepingSelection();
    }
    return accepted;
}

void JoinnerWindowController::touchUpStartStepper(platform::Stepper *stepper)
{
    m_trim.startStepperTouched(stepper);
    takeTrimRange();
}

void JoinnerWindowController::touchUpStopStepper(platform::Stepper *stepper)
{
    m_trim.stopStepperTouched(stepper);
    takeTrimRange();
}

// A stepped range into the selected clip, the player at its start.
void JoinnerWindowController::takeTrimRange()
{
    const auto clip = selectedClip();
    if (!clip)
        return;
    clip->setCutTimeRange_start(qint64(m_trim.range().start));
    clip->setCutTimeRange_stop(qint64(m_trim.range().stop));
    m_preview.seek(clip->cutTimeRange_start() / 1e6);
    showClipRange();
    m_list.reloadKeepingSelection();
}

void JoinnerWindowController::actionMouseDownForCutProgressViewBlock(RDCutProgressView *bar, float)
{
    if (bar == m_cutProgressView && m_transport.isPlaying())
        pause();
}

void JoinnerWindowController::actionMouseUpForCutProgressViewBlock(RDCutProgressView *bar, float progress)
{
    if (bar != m_cutProgressView)
        return;
    const bool wasPlaying = m_transport.isPlaying();
    if (wasPlaying)
        pause();
    m_preview.seek(progress * playerDuration());
    if (wasPlaying)
        play();
    m_list.reloadKeepingSelection();
}

void JoinnerWindowController::actionSeekToTimeForCutProgressViewBlock(RDCutProgressView *bar, float progress)
{
    if (bar != m_cutProgressView)
        return;
    m_preview.seek(progress * playerDuration());
    platform::log("cureent:%f", progress * playerDuration());
}

void JoinnerWindowController::actionMouseMovedForCutProgressViewBlock(RDCutProgressView *bar, float lower,
                                                                      float upper, int64_t handleType)
{
    const auto clip = selectedClip();
    if (bar != m_cutProgressView || !clip)
        return;
    m_trim.handlesMoved(lower, upper, handleType);
    clip->setCutTimeRange_start(qint64(m_trim.range().start));
    clip->setCutTimeRange_stop(qint64(m_trim.range().stop));
    showDuration();
}

void JoinnerWindowController::actionProgressForProgressSliderBlock(RDProgressSlider *slider, float progress)
{
    const auto clip = selectedClip();
    if (slider != m_volumeSlider || !clip)
        return;
    clip->setVolume(2.0 * progress);
    if (m_preview.player())
        m_preview.player()->SetVolume(clip->volume());
}

void JoinnerWindowController::actionMouseUpForProgressSliderBlock(RDProgressSlider *slider, float progress)
{
    actionProgressForProgressSliderBlock(slider, progress);
}

// ---- output and join ----

QString JoinnerWindowController::outputPath() const
{
    return m_folderChooser ? m_folderChooser->outputPath() : QString();
}

bool JoinnerWindowController::convertstart() const
{
    return m_exportRun && m_exportRun->isRunning();
}

void JoinnerWindowController::setdefaultFormat(const std::shared_ptr<SimpleData> &clip)
{
    const bool own = clip && clip->defaultFormat();
    if (own)
        m_outputSettings->setdefaultFormat(*clip);
    else
        m_outputSettings->restoreStoredTitles();
    m_formatChooser->setEnabled(!own);
}

void JoinnerWindowController::startJoinnerAction()
{
    if (convertstart()) {
        m_exportRun->cancel();
        return;
    }
    if (fileList()->isEmpty())
        return;
    pause();

    QStringList skipped;
    const QList<JoinPlan::Piece> pieces = JoinPlan::piecesFor(*fileList(), &skipped);
    if (!skipped.isEmpty())
        showSimpleAlert(text("joinNothingLeftString") + skipped.join(u','), 2);
    if (pieces.isEmpty())
        return;

    std::shared_ptr<SimpleData> reference;
    for (const auto &clip : std::as_const(*fileList()))
        if (clip->defaultFormat()) {
            reference = clip;
            break;
        }
    const auto titles = m_outputSettings->resolvedTitles();
    const JoinPlan::Settings settings = JoinPlan::settingsFromTitles(titles, reference.get());
    QString extension = titles[EditorOutputSettings::ExtName].trimmed();
    if (extension.isEmpty() && fileList()->first()->sourceData())
        extension = fileList()->first()->sourceData()->extension();
    const QString folder = outputPath();
    QDir().mkpath(folder);
    const QString output = OutputNaming::availablePath(
        folder, HelpClass::createFilename(m_clock ? m_clock() : QDateTime::currentDateTime()), extension);
    m_lastOutputPath = output;

    m_exportRun->begin([settings, output, pieces](ExportRunController::Progress progress,
                                                  ExportRunController::Finish finish) {
        ChainedExportJob::Step step;
        step.kind = ChainedExportJob::Kind::Join;
        step.pollMode = platform::Timer::Common;
        step.configure = [settings, output, pieces](MEDIA_HANDLE h) {
            return JoinPlan::configure(h, settings, output, pieces);
        };
        for (const JoinPlan::Piece &piece : pieces)
            if (!step.inputs.contains(piece.path))
                step.inputs << piece.path;
        step.progress = [progress](double percent) {
            platform::log("progressjoin:%f", percent / 100);
            progress(percent / 100);
        };
        return ExportRunController::startChain(
            std::make_unique<ChainedExportJob>(std::vector<ChainedExportJob::Step>{step}),
            [finish](const ChainedExportJob::Outcome &outcome) {
                platform::log("合并完成");
                finish(outcome);
            });
    });
}

void JoinnerWindowController::windowWillClose()
{
    if (convertstart())
        m_exportRun->cancel();
    m_transport.stopped();
    m_preview.close();
}
