#include "editor/tools/MusicTool.h"

#include "controls/PNQButton.h"
#include "controls/PNQScrollView.h"
#include "controls/TextLabel.h"
#include "editor/tools/ToolPanel.h"
#include "editor/tools/VolumeModel.h"
#include "media/RDMoviePlayer.h"
#include "model/AudioStreamInfo.h"
#include "model/FileData.h"
#include "model/MusicInfo.h"
#include "model/MusicRanges.h"
#include "model/SimpleData.h"
#include "platform/CMTime.h"
#include "platform/Log.h"
#include "platform/Panels.h"
#include "platform/PopUpButton.h"
#include "platform/Stepper.h"
#include "platform/View.h"
#include "services/AudioTrackTitle.h"
#include "services/LanguageService.h"
#include "services/ResourceService.h"
#include "toolkit/SourceProbe.h"
#include "toolkit/TimeFieldRules.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFileInfo>
#include <QFontMetricsF>
#include <QSlider>
#include <QStyleOptionComboBox>

#include <algorithm>
#include <cmath>

namespace {
constexpr double kRowHeight = 24;
constexpr int kSteps = 100;
// The pane under the video (91 high): the player's bar takes its lowest 41 points, the range row the
// next 26 and the sound row the top 24, right under the picture. Both rows span the picture's width.
constexpr double kRangeRowY = 39, kRangeRowHeight = 26;
constexpr double kSoundRowY = 66, kSoundRowHeight = 24;
constexpr double kPictureLeft = 14, kPictureRightMargin = 12;

QString tr(const char *key)
{
    return LanguageService::localizedStringForKey(QString::fromUtf8(key));
}

platform::CMTime cmTime(float seconds)
{
    return platform::CMTimeMakeWithSeconds(double(seconds), 1000000000);
}

// A borderless button drawn by its normal, disabled and selected images.
PNQButton *imageButton(platform::View *parent, const platform::Rect &frame, const char *normal,
                       const char *disabled, const char *selected)
{
    auto *b = new PNQButton(frame, parent);
    b->setAutoresizingMask(platform::View::MinYMargin);
    b->setBorderWidth(0);
    b->setNormalImage(ResourceService::imageWithfileName(QString::fromUtf8(normal)));
    b->setDisAbleImage(ResourceService::imageWithfileName(QString::fromUtf8(disabled)));
    b->setSelectedImage(ResourceService::imageWithfileName(QString::fromUtf8(selected)));
    return b;
}

QString percent(double fraction)
{
    return QString::asprintf("%.f%%", fraction * 100);
}

// The width a label needs for its text in its own font, margins included.
double textWidth(const TextLabel *label)
{
    return label ? std::ceil(QFontMetricsF(label->textFont()).horizontalAdvance(label->text())) + 4 : 0;
}

// The width the style gives a pop-up for its longest title, measured as the combo box measures it.
double popUpWidth(platform::PopUpButton *popUp)
{
    QComboBox *combo = popUp->comboBox();
    int text = 0;
    for (const QString &title : popUp->itemTitles())
        text = std::max(text, combo->fontMetrics().horizontalAdvance(title));
    QStyleOptionComboBox option;
    option.initFrom(combo);
    return combo->style()
        ->sizeFromContents(QStyle::CT_ComboBox, &option, QSize(text, combo->fontMetrics().height()), combo)
        .width();
}
} // namespace

std::shared_ptr<MusicInfo> MusicTool::newTrack(const QString &path, float musicSeconds, float videoSeconds)
{
    auto track = std::make_shared<MusicInfo>();
    track->setPath(path);
    const float used = std::min(musicSeconds, videoSeconds);
    track->setDuration(used);
    track->setPositionEnd(videoSeconds);
    track->setPruneDiration(used);
    track->setVolume(0.5f);
    track->setSelected(true);
    return track;
}

void MusicTool::initMusicView(platform::View *panel, platform::View *underVideo)
{
    using platform::makeRect;
    const double w = panel->frame().width();
    const double top = panel->frame().height();

    m_panel = panel;
    double y = top - 28;
    m_loadButton = new PNQButton(makeRect(5, y, 160, 24), panel);
    m_deleteButton = new PNQButton(makeRect(170, y, 24, 24), panel);
    m_musicItemPlayPauseBtn = imageButton(panel, makeRect(204, y, 24, 24), "Join/btnPlay_Normal.png",
                                          "Join/btnPlay_Disable.png", "Join/btnPause_Normal.png");
    m_loadButton->setAutoresizingMask(platform::View::MinYMargin);
    m_loadButton->setCornerRadius(5);
    m_loadButton->setBorderWidth(1);
    m_loadButton->setBordColor(QColor(0x2b, 0x8c, 0xd8));
    m_loadButton->setContentColor(Qt::black);
    m_loadButton->setContentTitle(tr("LocalMusicTitle"));
    m_deleteButton->setAutoresizingMask(platform::View::MinYMargin);
    m_deleteButton->setBorderWidth(0);
    m_deleteButton->setStateImages(QStringLiteral("SubFun/btnDeleteWaterMark"));
    m_deleteButton->setToolTip(tr("DeleteMusicBtnTitle"));
    m_loadButton->mouseDownAction = [this](PNQButton *) {
        m_host.queueOnMain([this] { loadMusicAction(); });
    };
    m_deleteButton->mouseDownAction = [this](PNQButton *) {
        m_host.queueOnMain([this] { deleteMusicAction(); });
    };

    // Two rows of the list in sight (it scrolls), so that the panel holds its titles at the smallest window.
    y -= 56;
    auto *scroll = new PNQScrollView;
    scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    scroll->setWidgetResizable(false);
    m_listDocument = new platform::View(makeRect(0, 0, w - 30, 52));
    scroll->setWidget(m_listDocument);
    ToolPanel::hosted(panel, makeRect(5, y, w - 10, 54), scroll);
    y -= 20;
    m_setthemusicpositionLabel =
        ToolPanel::label(panel, makeRect(5, y, w - 10, 18), tr("SetthemusicpositionString"));

    const char *rowKeys[] = {VW_KEY("StartFieldLabelstringValue"), VW_KEY("stopFieldLabelstringValue"),
                             VW_KEY("StartFieldLabelstringValue"), VW_KEY("stopFieldLabelstringValue")};
    QPointer<TextLabel> *rowLabels[] = {&m_startMusicTimeLabel, &m_endMusicTimeLabel, &m_pruneStartLabel,
                                        &m_pruneEndLabel};
    // One time row: label, four fields, the row's own stepper.
    const auto timeRow = [&](platform::View *parent, double rowY, int i) {
        *rowLabels[i] = ToolPanel::label(parent, makeRect(5, rowY + 2, 76, 20), tr(rowKeys[i]));
        platform::TextField *f[4];
        for (int k = 0; k < 4; ++k) {
            f[k] = ToolPanel::numberField(parent, makeRect(81 + k * 32, rowY, 30, 24), this);
            // A click picks the field the row's stepper writes; the field still takes typing.
            f[k]->mouseDownHandler = [this](platform::TextField &field) {
                primeStepper(&field);
                return false;
            };
        }
        m_groups[i] = TimeFieldGroup(f[0], f[1], f[2], f[3]);
        auto *stepper = new platform::Stepper(makeRect(w - 23, rowY - 1, 19, 27), parent);
        stepper->setAutoresizingMask(platform::View::MinYMargin);
        stepper->setMinValue(0);
        stepper->setMaxValue(59);
        stepper->action = [this, i](platform::Stepper &) { stepperAction(i); };
        m_steppers[i] = stepper;
    };
    y -= 26;
    timeRow(panel, y, 0);
    y -= 26;
    timeRow(panel, y, 1);
    // Under the video, as wide as the picture (laid out by layoutUnderVideo): the clip's own sound row
    // with the audio-track pop-up, then the range slider with its label.
    m_underVideo = underVideo;
    m_videooriginalsoundLabel = ToolPanel::label(underVideo, makeRect(kPictureLeft, kSoundRowY + 2, 150, 20),
                                                 tr("videooriginalsoundLabelstringValue"));
    m_audiochanelLabel = ToolPanel::label(underVideo, makeRect(170, kSoundRowY + 2, 80, 20),
                                          tr("audiochanelLabelstringValue"));
    m_audiochanelPopBtn =
        new platform::PopUpButton(makeRect(250, kSoundRowY, 160, kSoundRowHeight), false, underVideo);
    m_rangeSlider = new MusicRangeSlider(makeRect(0, kRangeRowY, 200, kRangeRowHeight), underVideo);
    m_rangeSlider->setDelegate(this);
    m_musicPositionLabel = ToolPanel::label(underVideo, makeRect(kPictureLeft, kRangeRowY + 6, 150, 18),
                                            tr("MusicPositionLabelstringValue"));
    y -= 26;
    m_prune = new QCheckBox(tr("MusicPruneTitle"));
    ToolPanel::hosted(panel, makeRect(5, y, w - 10, 22), m_prune);
    QObject::connect(m_prune, &QCheckBox::clicked, m_prune, [this] { optionChanged(); });

    // The used part: its two rows, then the second play button and the prune bar between the mark-in
    // and mark-out buttons.
    const double pruneHeight = 96;
    y -= pruneHeight + 2;
    m_pruneContentView = new platform::View(makeRect(0, y, w, pruneHeight), panel);
    m_pruneContentView->setAutoresizingMask(platform::View::MinYMargin);
    m_pruneRangeMusicLabel = ToolPanel::label(m_pruneContentView, makeRect(5, 78, w - 10, 18),
                                              tr("PruneRangeMusicLabelstringValue"));
    timeRow(m_pruneContentView, 52, 2);
    timeRow(m_pruneContentView, 26, 3);
    m_playPruneMusicBtn = imageButton(m_pruneContentView, makeRect(3, 0, 22, 22), "Join/btnPlay_Normal.png",
                                      "Join/btnPlay_Disable.png", "Join/btnPause_Normal.png");
    for (PNQButton *b : {m_musicItemPlayPauseBtn.data(), m_playPruneMusicBtn.data()})
        b->mouseDownAction = [this](PNQButton *) { m_host.queueOnMain([this] { playOrPauseAudio(); }); };
    showPlaying(false);
    m_markInButton = new PNQButton(makeRect(27, 0, 27, 22), m_pruneContentView);
    m_markOutButton = new PNQButton(makeRect(w - 32, 0, 27, 22), m_pruneContentView);
    m_markInButton->setContentTitle(tr("【"));
    m_markOutButton->setContentTitle(tr("】"));
    for (PNQButton *b : {m_markInButton.data(), m_markOutButton.data()}) {
        b->setContentColor(Qt::black);
        b->setCornerRadius(5);
        b->setBorderWidth(1);
        b->setBordColor(Qt::darkGray);
    }
    m_markInButton->mouseDownAction = [this](PNQButton *) { m_host.queueOnMain([this] { markIn(); }); };
    m_markOutButton->mouseDownAction = [this](PNQButton *) { m_host.queueOnMain([this] { markOut(); }); };
    m_pruneRangSlider = new RDCutProgressView(makeRect(56, 0, w - 90, 22), m_pruneContentView);
    m_pruneRangSlider->setLowerValueUpperValue(0, 1);
    m_pruneRangSlider->setDelegate(this);
    m_audioTimer.setInterval(100);
    QObject::connect(&m_audioTimer, &QTimer::timeout, m_pruneRangSlider,
                     [this] { changeMusicPlayerSlider(); });

    // Repeat, the fades, the track volume and the clip's own sound: they move up when prune is off.
    const double fadeHeight = y - 2;
    m_fadeContentView = new platform::View(makeRect(0, 0, w, fadeHeight), panel);
    m_fadeContentView->setAutoresizingMask(platform::View::MinYMargin);
    double fy = fadeHeight - 24;
    m_repeat = new QCheckBox(tr("MusicRepeatTitle"));
    m_fadeIn = new QCheckBox(tr("MusicFadeInTitle"));
    m_fadeOut = new QCheckBox(tr("MusicFadeOutTitle"));
    // Repeat on a row of its own and the fades side by side: three boxes on one row cut the longer
    // languages' titles.
    ToolPanel::hosted(m_fadeContentView, makeRect(5, fy, w - 10, 22), m_repeat);
    fy -= 24;
    ToolPanel::hosted(m_fadeContentView, makeRect(5, fy, (w - 10) / 2, 22), m_fadeIn);
    ToolPanel::hosted(m_fadeContentView, makeRect(5 + (w - 10) / 2, fy, (w - 10) / 2, 22), m_fadeOut);
    for (QCheckBox *box : {m_repeat.data(), m_fadeIn.data(), m_fadeOut.data()})
        QObject::connect(box, &QCheckBox::clicked, box, [this] { optionChanged(); });

    // A level row: its title, the slider, the mute button and the level in percent.
    const auto levelRow = [&](const char *key, PNQButton *&mute, QSlider *&slider, TextLabel *&label) {
        fy -= 26;
        ToolPanel::label(m_fadeContentView, makeRect(5, fy + 2, 94, 20), tr(key));
        slider = new QSlider(Qt::Horizontal);
        slider->setRange(0, kSteps);
        slider->setValue(kSteps);
        ToolPanel::hosted(m_fadeContentView, makeRect(99, fy, w - 161, 22), slider);
        mute = imageButton(m_fadeContentView, makeRect(w - 60, fy, 22, 22), "Cut/btnOpenVolume_Normal.png",
                           "Cut/btnOpenVolume_Disable.png", "Cut/btnCloseVolume_Normal.png");
        label = ToolPanel::label(m_fadeContentView, makeRect(w - 37, fy + 2, 35, 20), percent(1.0));
        label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    };
    PNQButton *mute = nullptr;
    QSlider *slider = nullptr;
    TextLabel *label = nullptr;
    levelRow(VW_KEY("MusicVolumeTitle"), mute, slider, label);
    m_musicItemVolueBtn = mute;
    m_volume = slider;
    m_musicItemVoluelabel = label;
    m_musicItemVolueBtn->mouseDownAction = [this](PNQButton *) {
        m_host.queueOnMain([this] { musicItemVolueAction(); });
    };
    QObject::connect(m_volume, &QSlider::valueChanged, m_volume, [this] { volumeSliderMoved(); });

    levelRow(VW_KEY("OriginalAudioLevelTitle"), mute, slider, label);
    m_originalVolumeBtn = mute;
    m_originalLevel = slider;
    m_originalMusicVolumeLabel = label;
    m_originalVolumeBtn->mouseDownAction = [this](PNQButton *) {
        m_host.queueOnMain([this] { originalVolumeAction(); });
    };
    QObject::connect(m_originalLevel, &QSlider::valueChanged, m_originalLevel, [this] {
        const double level = double(m_originalLevel->value()) / kSteps;
        m_volumeModel.setOriginalLevel(level);
        m_originalMusicVolumeLabel->setText(percent(level));
        if (const auto &player = m_host.rdPlayer())
            player->SetMainAudioVolume(m_volumeModel.mainLevel());
    });
    fy -= 24;
    m_removeOriginal = new QCheckBox(tr("RemoveOriginalMusicTitle"));
    ToolPanel::hosted(m_fadeContentView, makeRect(5, fy, w - 10, 22), m_removeOriginal);
    QObject::connect(m_removeOriginal, &QCheckBox::clicked, m_removeOriginal, [this] {
        if (const auto &player = m_host.rdPlayer())
            player->DisableMainAudio(removeOriginalMusic());
    });
    layoutForPrune(false);
    enableEdit(false);
}

void MusicTool::layoutUnderVideo(double width)
{
    using platform::makeRect;
    const double room = width - kPictureLeft - kPictureRightMargin;
    // The sound row reads left to right: its title, then the pop-up's label beside the pop-up.
    if (m_audiochanelPopBtn && m_videooriginalsoundLabel && m_audiochanelLabel) {
        const double titleGap = 16, labelGap = 6;
        const double popUp = std::clamp(popUpWidth(m_audiochanelPopBtn), 160.0, std::max(160.0, room / 2));
        double title = textWidth(m_videooriginalsoundLabel), label = textWidth(m_audiochanelLabel);
        const double left = room - popUp - titleGap - labelGap;
        if (title + label > left && title + label > 0) {
            // Too narrow: each label keeps its share and shrinks its text to fit.
            const double scale = std::max(0.0, left) / (title + label);
            title *= scale;
            label *= scale;
        }
        double x = kPictureLeft;
        m_videooriginalsoundLabel->setFrame(makeRect(x, kSoundRowY + 2, title, 20));
        x += title + titleGap;
        m_audiochanelLabel->setFrame(makeRect(x, kSoundRowY + 2, label, 20));
        x += label + labelGap;
        m_audiochanelPopBtn->setFrame(makeRect(x, kSoundRowY, popUp, kSoundRowHeight));
    }

    // The range label as wide as its text (at most a third of the row; it shrinks its font past that).
    double labelWidth = 0;
    if (m_musicPositionLabel) {
        labelWidth = std::min(textWidth(m_musicPositionLabel), std::max(0.0, room / 3));
        m_musicPositionLabel->setFrame(makeRect(kPictureLeft, kRangeRowY + 6, labelWidth, 18));
        labelWidth += 6;
    }
    if (m_rangeSlider)
        m_rangeSlider->setFrame(makeRect(kPictureLeft + labelWidth, kRangeRowY,
                                         width - 2 * kPictureLeft - labelWidth, kRangeRowHeight));
}

void MusicTool::showAudioStreams(const QList<std::shared_ptr<AudioStreamInfo>> &streams)
{
    if (!m_audiochanelPopBtn)
        return;
    m_audiochanelPopBtn->removeAllItems();
    int number = 0;
    for (const auto &info : streams)
        m_audiochanelPopBtn->addItemWithTitle(
            AudioTrackTitle::title(++number, info->title(), info->lang(), info->channel(), info->sample()));
    if (m_audiochanelPopBtn->numberOfItems() > 0)
        m_audiochanelPopBtn->selectItemAtIndex(0);
    if (m_underVideo)
        layoutUnderVideo(m_underVideo->frame().width());
}

void MusicTool::layoutForPrune(bool prune)
{
    if (!m_pruneContentView || !m_fadeContentView)
        return;
    m_pruneContentView->setHidden(!prune);
    // The rows below sit under the prune rows, or take their place.
    const platform::Rect pruneFrame = m_pruneContentView->frame();
    const double top = prune ? pruneFrame.minY() - 2 : pruneFrame.maxY();
    m_fadeContentView->setFrameOrigin(platform::Point{0, top - m_fadeContentView->frame().height()});
}

void MusicTool::enableEdit(bool enable)
{
    const bool player = m_host.rdPlayer() != nullptr;
    const bool tracks = enable && player && !m_musicList.isEmpty();
    ToolPanel::setEnabled({m_loadButton, m_originalLevel, m_originalVolumeBtn, m_removeOriginal},
                          enable && player);
    ToolPanel::setEnabled({m_deleteButton, m_repeat, m_prune, m_fadeIn, m_fadeOut, m_volume,
                           m_musicItemVolueBtn, m_musicItemPlayPauseBtn, m_playPruneMusicBtn, m_markInButton,
                           m_markOutButton},
                          tracks);
    for (const TimeFieldGroup &g : m_groups) {
        for (platform::TextField *f : g.fields())
            f->setEnabled(tracks);
    }
    for (platform::Stepper *s : m_steppers) {
        if (s)
            s->setEnabled(tracks);
    }
    for (EffectTableCellView *row : rows())
        row->setEnable(tracks);
    if (m_rangeSlider) {
        m_rangeSlider->setEnable(tracks);
        m_rangeSlider->setEnabled(tracks);
    }
    if (m_pruneRangSlider)
        m_pruneRangSlider->setDisable(!tracks);
}

double MusicTool::videoSeconds() const
{
    const auto &player = m_host.rdPlayer();
    return player ? platform::CMTimeGetSeconds(player->duration()) : 0.0;
}

double MusicTool::musicSeconds() const
{
    return m_itemPlayer ? platform::CMTimeGetSeconds(m_itemPlayer->duration()) : 0.0;
}

MusicInfo *MusicTool::current() const
{
    return m_selectedMusicIndex >= 0 && m_selectedMusicIndex < m_musicList.size()
               ? m_musicList.at(m_selectedMusicIndex).get()
               : nullptr;
}

QList<EffectTableCellView *> MusicTool::rows() const
{
    QList<EffectTableCellView *> list;
    for (const auto &row : m_rows) {
        if (row)
            list << row;
    }
    return list;
}

void MusicTool::loadMusicAction()
{
    platform::OpenPanelRequest request;
    request.cancelTitle = tr("OpenPanelCancelTitle");
    request.prompt = tr("OpenPanelOpenTitle");
    request.allowsMultipleSelection = true;
    request.allowedExtensions = {"mp3", "mp2", "m4a", "m4r", "flac", "wav", "wma", "ogg", "aac", "ac3"};
    // The usual audio types are listed first; any other file may be chosen and the probe decides.
    request.allowsOtherFileTypes = true;
    const QStringList paths = platform::Panels::instance().runOpenPanel(request);
    if (paths.isEmpty())
        return;
    platform::log("urls:%@", paths.join(QStringLiteral(", ")));
    addFiles(paths);
}

void MusicTool::addFiles(const QStringList &paths)
{
    const float video = float(videoSeconds());
    QStringList refused;
    const SourceProbe::Titles titles = SourceProbe::storedTitles();
    for (const QString &path : paths) {
        const auto record = SourceProbe::probe(path, titles);
        // Music needs sound that decodes and lasts.
        if (!record || record->audioStreamInfos().isEmpty() || !record->sourceData() ||
            record->sourceData()->duration() <= 0) {
            refused << QFileInfo(path).fileName();
            continue;
        }
        m_musicList << newTrack(path, record->sourceData()->duration(), video);
    }
    if (!refused.isEmpty()) {
        platform::AlertRequest alert;
        alert.messageText = tr("MusicRefusedMessage");
        alert.informativeText = refused.join(QLatin1Char('\n'));
        platform::Panels::instance().runAlert(alert);
    }
    refreshMusicListView();
}

void MusicTool::deleteMusicAction()
{
    if (m_musicList.isEmpty() || !current())
        return;
    m_musicList.removeAt(m_selectedMusicIndex);
    refreshMusicListView();
}

void MusicTool::sourceLoaded()
{
    m_musicList.clear();
    m_lastField.fill(nullptr);
    refreshMusicListView();
}

void MusicTool::setMusicList(const QList<std::shared_ptr<MusicInfo>> &list)
{
    m_musicList = list;
    refreshMusicListView();
}

void MusicTool::refreshMusicListView()
{
    for (const auto &row : m_rows)
        delete row.data();
    m_rows.clear();
    m_musicSelecteds.clear();
    // An empty list keeps the index: the next load selects it, or the last row when it is shorter.
    if (!m_musicList.isEmpty() && m_selectedMusicIndex >= m_musicList.size())
        m_selectedMusicIndex = int(m_musicList.size()) - 1;
    if (m_listDocument) {
        const double W = m_listDocument->frame().width();
        const double H = std::max(52.0, m_musicList.size() * kRowHeight);
        m_listDocument->setFrameSize(platform::Size{W, H});
        for (int i = 0; i < m_musicList.size(); ++i) {
            const MusicInfo &track = *m_musicList[i];
            auto *row = new EffectTableCellView(
                platform::makeRect(0, H - (i + 1) * kRowHeight, W, kRowHeight), m_listDocument);
            row->setRow(i);
            row->setSelectedColor(Qt::white);
            row->setTitle(QFileInfo(track.path()).fileName());
            row->selected(track.selected());
            row->setDelegate(this);
            row->setSelectedRow(i == m_selectedMusicIndex);
            row->show();
            m_rows << row;
        }
    }
    for (const auto &track : m_musicList) {
        if (track->selected())
            m_musicSelecteds << track;
    }
    enableEdit(true);
    // The current row is selected anew: its file goes into a new item player.
    m_itemPath.clear();
    cutUsedPartToSpan();
    showTrack();
}

void MusicTool::showTrack()
{
    m_showing = true;
    const MusicInfo *track = current();
    const float V = float(videoSeconds());
    if (!track) {
        initmusicPlayer(QString());
        for (const TimeFieldGroup &g : m_groups)
            g.showZero();
        for (QCheckBox *box : {m_repeat.data(), m_prune.data(), m_fadeIn.data(), m_fadeOut.data()})
            box->setChecked(false);
        showVolume(1.0f);
        m_rangeSlider->setVideoRangeLowerValue(0, 0);
        m_rangeSlider->setMusicRangeLowerValue(0, 0);
        m_pruneRangSlider->setLowerValueUpperValue(0, 1);
        layoutForPrune(false);
        primeSteppersFromFields();
        m_showing = false;
        return;
    }
    if (track->path() != m_itemPath)
        initmusicPlayer(track->path());
    m_groups[0].show(track->positionStart());
    m_groups[1].show(track->positionEnd());
    m_groups[2].show(track->pruneStart());
    m_groups[3].show(track->pruneStart() + track->pruneDiration());
    m_repeat->setChecked(track->repeat());
    m_prune->setChecked(track->prune());
    m_fadeIn->setChecked(track->fadeIn());
    m_fadeOut->setChecked(track->fadeOut());
    showVolume(track->volume());
    const float M = float(musicSeconds());
    if (V > 0) {
        m_rangeSlider->setVideoRangeLowerValue(track->positionStart() / V, track->positionEnd() / V);
        // The music bar's start is measured against the music, its length against the video.
        m_rangeSlider->setMusicRangeLowerValue(M > 0 ? track->pruneStart() / M : 0.0f,
                                               track->pruneDiration() / V);
    }
    if (M > 0) {
        // End first: the bar keeps its handles apart, so the start never lands past an old end.
        m_pruneRangSlider->setUpperValue(std::min(1.0f, (track->pruneStart() + track->pruneDiration()) / M));
        m_pruneRangSlider->setLowerValue(std::min(1.0f, track->pruneStart() / M));
    }
    layoutForPrune(track->prune());
    m_rangeSlider->setIsRepeat(track->repeat());
    primeSteppersFromFields();
    m_showing = false;
}

void MusicTool::optionChanged()
{
    MusicInfo *track = current();
    if (m_showing || !track)
        return;
    track->setRepeat(m_repeat->isChecked());
    track->setPrune(m_prune->isChecked());
    track->setFadeIn(m_fadeIn->isChecked());
    track->setFadeOut(m_fadeOut->isChecked());
    m_rangeSlider->setIsRepeat(track->repeat());
    layoutForPrune(track->prune());
}

void MusicTool::showVolume(float volume)
{
    const QSignalBlocker quiet(m_volume);
    m_volume->setValue(int(std::lround(volume * kSteps)));
    m_musicItemVoluelabel->setText(percent(volume));
    m_musicItemVolueBtn->setSelected(volume == 0);
}

void MusicTool::volumeSliderMoved()
{
    const float volume = float(m_volume->value()) / kSteps;
    if (m_itemPlayer)
        m_itemPlayer->SetVolume(double(volume));
    if (MusicInfo *track = current())
        track->setVolume(volume);
    m_musicItemVoluelabel->setText(percent(volume));
    m_musicItemVolueBtn->setSelected(volume == 0);
}

void MusicTool::musicItemVolueAction()
{
    MusicInfo *track = current();
    if (!track)
        return;
    track->setVolume(m_musicItemVolueBtn->selected() ? 0.5f : 0.0f);
    // The slider, its label and the item player show the volume the file gets.
    showVolume(track->volume());
    if (m_itemPlayer)
        m_itemPlayer->SetVolume(double(track->volume()));
}

void MusicTool::originalVolumeAction()
{
    m_originalVolumeBtn->setSelected(!m_originalVolumeBtn->selected());
    m_volumeModel.setOriginalMuted(m_originalVolumeBtn->selected());
    if (const auto &player = m_host.rdPlayer())
        player->SetMainAudioVolume(m_volumeModel.mainLevel());
}

void MusicTool::followPreview(float progress)
{
    if (m_rangeSlider)
        m_rangeSlider->setProgress(std::clamp(progress, 0.0f, 1.0f));
}

void MusicTool::previewStopped()
{
    followPreview(0);
}

void MusicTool::actionMouseDownForEffectTableCellViewBlock(EffectTableCellView *, qint64 row)
{
    if (row < 0 || row >= m_musicList.size())
        return;
    m_selectedMusicIndex = int(row);
    for (EffectTableCellView *r : rows())
        r->setSelectedRow(r->row() == row);
    m_itemPath.clear();
    cutUsedPartToSpan();
    showTrack();
}

void MusicTool::actionSelectedForEffectTableCellViewBlock(EffectTableCellView *cell, qint64 row)
{
    if (row < 0 || row >= m_musicList.size())
        return;
    const auto &track = m_musicList[row];
    cell->selected(!cell->isSelected());
    track->setSelected(cell->isSelected());
    // Ticked again: heard after the others.
    m_musicSelecteds.removeAll(track);
    if (track->selected())
        m_musicSelecteds << track;
}

void MusicTool::changeRangeValue(MusicRangeSlider *slider)
{
    platform::log("position:%f : %f", double(slider->positionLeftValue()),
                  double(slider->positionRightValue()));
    platform::log("musicRange:%f : %f", double(slider->musicLeftValue()), double(slider->musicRightValue()));
    MusicInfo *track = current();
    const float V = float(videoSeconds());
    if (!track || V <= 0)
        return;
    track->setPositionStart(slider->positionLeftValue() * V);
    track->setPositionEnd(slider->positionRightValue() * V);
    cutUsedPartToSpan();
    m_groups[0].show(track->positionStart());
    m_groups[1].show(track->positionEnd());
    m_groups[2].show(track->pruneStart());
    m_groups[3].show(track->pruneStart() + track->pruneDiration());
}

void MusicTool::cutUsedPartToSpan()
{
    // The used part is no longer than the span.
    if (MusicInfo *track = current())
        if (track->pruneDiration() > track->positionEnd() - track->positionStart())
            track->setPruneDiration(track->positionEnd() - track->positionStart());
}

void MusicTool::changeProgress(MusicRangeSlider *slider)
{
    if (const auto &player = m_host.rdPlayer()) {
        player->seekTime(cmTime(float(slider->progress() * videoSeconds())));
        refreshPausedPreview(m_host);
    }
}

void MusicTool::actionMouseMovedForCutProgressViewBlock(RDCutProgressView *, float start, float stop,
                                                        int64_t handleType)
{
    MusicInfo *track = current();
    const float M = float(musicSeconds());
    // Without a playable file the bar has no length to measure against.
    if (!track || M <= 0)
        return;
    track->setPruneStart(start * M);
    track->setPruneDiration(std::max(0.0f, stop - start) * M);
    if (handleType == 1 || handleType == 2)
        MusicRanges::stretchSpan(*track, float(videoSeconds()));
    showTrack();
}

void MusicTool::changeMusicPlayerSlider()
{
    const double M = musicSeconds(); // 0 without an item player
    if (m_pruneRangSlider && M > 0)
        m_pruneRangSlider->setProgress(
            float(std::clamp(platform::CMTimeGetSeconds(m_itemPlayer->currentTime()) / M, 0.0, 1.0)));
}

bool MusicTool::applyTime(int i, float seconds, bool alert)
{
    MusicInfo *track = current();
    if (!track)
        return true;
    TimeFieldRules::Verdict v;
    if (seconds < 0)
        v = {false, nullptr};
    else if (i == 0)
        v = TimeFieldRules::musicPositionStart(seconds, *track);
    else if (i == 1)
        v = TimeFieldRules::musicPositionEnd(seconds, *track);
    else if (i == 2) {
        // The used part lies in the music file: its own length bounds it, not the video's.
        const float music = musicSeconds() > 0 ? float(musicSeconds()) : track->duration();
        v = TimeFieldRules::musicPruneStart(seconds, music, *track);
    } else
        v = TimeFieldRules::musicPruneEnd(seconds, *track);
    if (!v.accepted) {
        if (alert && v.alertKey) {
            platform::AlertRequest request;
            request.messageText = tr(v.alertKey);
            platform::Panels::instance().runAlert(request);
        }
        return false;
    }
    showTrack();
    return true;
}

void MusicTool::primeStepper(platform::TextField *field)
{
    for (int i = 0; i < 4; ++i) {
        if (m_groups[i].contains(field)) {
            m_lastField[i] = field;
            m_steppers[i]->setMaxValue(m_groups[i].isHundredths(field) ? 99 : 59);
            m_steppers[i]->setIntValue(field->intValue());
        }
    }
}

// The steppers step from what their fields show now, whatever changed the track since the click.
void MusicTool::primeSteppersFromFields()
{
    for (int i = 0; i < 4; ++i) {
        if (m_lastField[i] && m_steppers[i])
            m_steppers[i]->setIntValue(m_lastField[i]->intValue());
    }
}

bool MusicTool::controlTextShouldBeginEditing(platform::TextField *field)
{
    primeStepper(field);
    return true;
}

bool MusicTool::controlTextShouldEndEditing(platform::TextField *field)
{
    for (int i = 0; i < 4; ++i) {
        if (m_groups[i].contains(field))
            return applyTime(i, m_groups[i].seconds(), true);
    }
    return true;
}

void MusicTool::stepperAction(int i)
{
    platform::TextField *field = m_lastField[i];
    if (!field || !current())
        return;
    const QString before = field->stringValue();
    field->setStringValue(QString::asprintf("%02d", m_steppers[i]->intValue()));
    if (!applyTime(i, m_groups[i].seconds(), false)) {
        // Refused: the field and the stepper go back to the track's value.
        field->setStringValue(before);
        m_steppers[i]->setIntValue(before.toInt());
    }
}

bool MusicTool::removeOriginalMusic() const
{
    return m_removeOriginal && m_removeOriginal->isChecked();
}

void MusicTool::addDubbingWithPlayer() const
{
    const auto &player = m_host.rdPlayer();
    if (!player)
        return;
    platform::log("ClearDubbingMusicBefor");
    player->ClearDubbingMusic();
    platform::log("ClearDubbingMusicBehand");
    for (const auto &track : m_musicSelecteds) {
        const MusicRanges::Ranges r = MusicRanges::forTrack(*track, MusicRanges::Form::Preview);
        player->AddDubbingMusic(track->path().toStdString(), cmTime(r.sourceStart), cmTime(r.sourceEnd),
                                cmTime(r.timelineStart), cmTime(r.timelineEnd),
                                cmTime(r.fadeIn ? 1.0f : 0.0f), cmTime(r.fadeOut ? 1.0f : 0.0f), r.volume);
    }
    // The clip's own sound is switched as playing starts; a paused preview is left as it is.
    if (m_host.isPlaying())
        player->DisableMainAudio(removeOriginalMusic());
}

void MusicTool::showPlaying(bool playing)
{
    m_isaudioplaying = playing;
    if (playing)
        m_audioTimer.start();
    else
        m_audioTimer.stop();
    for (PNQButton *b : {m_musicItemPlayPauseBtn.data(), m_playPruneMusicBtn.data()})
        if (b)
            b->setSelected(playing);
}

void MusicTool::initmusicPlayer(const QString &path)
{
    // A replaced player takes its playing state with it.
    if (m_itemPlayer)
        m_itemPlayer->closePlayer();
    m_itemPlayer.reset();
    m_itemPath = path;
    showPlaying(false);
    if (path.isEmpty())
        return;
    m_itemPlayer = RDMoviePlayer::initWithString(path.toStdString(), platform::makeRect(0, 0, 20, 20));
    if (m_pruneRangSlider)
        m_pruneRangSlider->setProgress(0);
    if (!m_itemPlayer)
        return;
    if (QWidget *view = m_itemPlayer->view()) {
        view->setParent(m_panel);
        view->hide();
    }
    if (const MusicInfo *track = current())
        m_itemPlayer->SetVolume(double(track->volume()));
    std::weak_ptr<RDMoviePlayer> weak = m_itemPlayer;
    m_itemPlayer->setPlayerDidEndBlock([this, weak] {
        if (weak.lock() == m_itemPlayer)
            showPlaying(false);
    });
}

void MusicTool::playOrPauseAudio()
{
    if (!m_itemPlayer)
        return;
    if (m_isaudioplaying) {
        m_itemPlayer->pause();
        showPlaying(false);
        return;
    }
    if (m_host.isPlaying() && pauseVideoPreview)
        pauseVideoPreview();
    m_itemPlayer->play();
    showPlaying(true);
}

void MusicTool::stopItemPlayer()
{
    if (m_itemPlayer && m_isaudioplaying)
        m_itemPlayer->pause();
    showPlaying(false);
}

void MusicTool::markIn()
{
    MusicInfo *track = current();
    if (!track)
        return;
    const float t = m_itemPlayer ? float(platform::CMTimeGetSeconds(m_itemPlayer->currentTime())) : 0.0f;
    const float M = m_itemPlayer ? float(platform::CMTimeGetSeconds(m_itemPlayer->duration())) : 0.0f;
    const float oldEnd = track->pruneStart() + track->pruneDiration();
    track->setPruneStart(t);
    track->setPruneDiration(oldEnd > t ? oldEnd - t : std::max(0.0f, M - t));
    showTrack();
}

void MusicTool::markOut()
{
    MusicInfo *track = current();
    if (!track)
        return;
    const float t = m_itemPlayer ? float(platform::CMTimeGetSeconds(m_itemPlayer->currentTime())) : 0.0f;
    const float V = float(videoSeconds());
    if (track->pruneStart() > t)
        track->setPruneStart(0);
    track->setPruneDiration(t - track->pruneStart());
    MusicRanges::stretchSpan(*track, V);
    showTrack();
}

void MusicTool::windowWillClose()
{
    // A playing item player stops and goes with its tick; a paused one goes with the window.
    if (!m_itemPlayer || !m_isaudioplaying)
        return;
    showPlaying(false);
    m_itemPlayer->stop();
    m_itemPlayer.reset();
}
