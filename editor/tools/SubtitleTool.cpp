#include "editor/tools/SubtitleTool.h"

#include "controls/ImageView.h"
#include "controls/PNQButton.h"
#include "controls/TextLabel.h"
#include "editor/tools/ToolPanel.h"
#include "media/MediaEngine.h"
#include "media/RDMoviePlayer.h"
#include "model/EngineRecords.h"
#include "model/HelpClass.h"
#include "model/SubtitleParam.h"
#include "platform/FontAlias.h"
#include "platform/Log.h"
#include "platform/Panels.h"
#include "platform/PopUpButton.h"
#include "platform/View.h"
#include "services/LanguageService.h"
#include "services/ResourceService.h"

#include <QFile>
#include <QFileInfo>
#include <QSlider>
#include <QVBoxLayout>

#include <fontconfig/fontconfig.h>

#include <algorithm>

namespace {
constexpr int kSliderSteps = 1000;

QString tr(const char *key)
{
    return LanguageService::localizedStringForKey(QString::fromUtf8(key));
}

void alert(const char *key, const QString &path)
{
    platform::AlertRequest request;
    request.messageText = tr(key);
    request.informativeText = QFileInfo(path).fileName();
    platform::Panels::instance().runAlert(request);
}
} // namespace

QStringList SubtitleTool::subtitleFontFiles(const QStringList &files)
{
    QStringList fonts;
    for (const QString &file : files) {
        const QString ext = QFileInfo(file).suffix().toLower();
        if (ext == QLatin1String("ttf") || ext == QLatin1String("ttc"))
            fonts << file;
    }
    return fonts;
}

int SubtitleTool::defaultFontIndex(const QStringList &fonts, const QStringList &cjkSerif)
{
    if (fonts.isEmpty())
        return -1;
    for (int i = 0; i < fonts.size(); ++i) {
        if (cjkSerif.contains(fonts[i]))
            return i;
    }
    for (int i = 0; i < fonts.size(); ++i) {
        if (QFileInfo(fonts[i]).fileName().compare(QLatin1String("arial.ttf"), Qt::CaseInsensitive) == 0)
            return i;
    }
    return 0;
}

QStringList SubtitleTool::cjkSerifFontFiles()
{
    const QString family = platform::FontAlias::familyForName(QStringLiteral("Songti"));
    QStringList files;
    if (family.isEmpty())
        return files;
    FcPattern *pattern = FcPatternCreate();
    FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8 *>(family.toUtf8().constData()));
    FcObjectSet *objects = FcObjectSetBuild(FC_FILE, nullptr);
    if (FcFontSet *set = FcFontList(nullptr, pattern, objects)) {
        for (int i = 0; i < set->nfont; ++i) {
            FcChar8 *file = nullptr;
            if (FcPatternGetString(set->fonts[i], FC_FILE, 0, &file) == FcResultMatch && file)
                files
                    << QFileInfo(QString::fromUtf8(reinterpret_cast<const char *>(file))).absoluteFilePath();
        }
        FcFontSetDestroy(set);
    }
    FcObjectSetDestroy(objects);
    FcPatternDestroy(pattern);
    files.removeDuplicates();
    return files;
}

int SubtitleTool::positionForSlider(double v, double frameHeight, int fontSize)
{
    const double position =
        std::max(0.0, std::min(std::clamp(v, 0.0, 1.0) * frameHeight, frameHeight - fontSize));
    return int(position);
}

QString SubtitleTool::fontDisplayName(const QString &fontFile)
{
    int count = 0;
    FcPattern *pattern = FcFreeTypeQuery(
        reinterpret_cast<const FcChar8 *>(QFile::encodeName(fontFile).constData()), 0, nullptr, &count);
    QString name;
    if (pattern) {
        FcChar8 *family = nullptr, *style = nullptr;
        if (FcPatternGetString(pattern, FC_FAMILY, 0, &family) == FcResultMatch && family) {
            name = QString::fromUtf8(reinterpret_cast<const char *>(family));
            if (FcPatternGetString(pattern, FC_STYLE, 0, &style) == FcResultMatch && style)
                name += QLatin1Char(' ') + QString::fromUtf8(reinterpret_cast<const char *>(style));
        }
        FcPatternDestroy(pattern);
    }
    return name.isEmpty() ? QFileInfo(fontFile).fileName() : name;
}

SubtitleTool::FileCheck SubtitleTool::checkSubtitleFile(const QString &path, Reading *reading)
{
    // Read as the engine reads it, in the character set it will name to libavcodec.
    const QByteArray name = QFile::encodeName(path);
    char charset[64] = {};
    int size = 0;
    int result = MediaGetSubtitleText(name.constData(), charset, sizeof charset, nullptr, &size);
    QByteArray utf8;
    if (result == MEDIA_OK) {
        utf8.resize(size);
        result = MediaGetSubtitleText(name.constData(), nullptr, 0, utf8.data(), &size);
        utf8.truncate(size);
    }
    if (result == MEDIA_ERR_GENERIC)
        return FileCheck::NotText;
    if (result < 0)
        return FileCheck::Unreadable;
    // A cue counts when the export can read it: the engine parses the file as it does when it burns it in.
    result = MediaCheckSubtitleCues(name.constData());
    if (result == MEDIA_ERR_NOTHING_IN_RANGE)
        return FileCheck::NoCue;
    if (result == MEDIA_ERR_GENERIC)
        return FileCheck::NotText;
    if (result < 0)
        return FileCheck::Unreadable;
    if (reading)
        *reading = Reading{QByteArray(charset), utf8};
    return FileCheck::Ok;
}

void SubtitleTool::initSubtitleView(platform::View *panel)
{
    using platform::makeRect;
    const double w = panel->frame().width();
    const double h = panel->frame().height();

    ToolPanel::label(panel, makeRect(10, h - 40, 80, 20), tr("SubtitleLabelTitle"));
    m_subtitlePopUpBtn = new platform::PopUpButton(makeRect(80, h - 46, w - 90, 31), false, panel);
    m_subtitlePopUpBtn->setAutoresizingMask(platform::View::MinYMargin);
    m_subtitlePopUpBtn->addItemsWithTitles({tr("No_subtitleItemTitle"), tr("Load_otherItemTitle")});
    m_subtitlePopUpBtn->action = [this](platform::PopUpButton &) { actionSubtitle_popUpBtn(); };

    // The font's label and the colour swatch on one row, the font's name on the whole row below it.
    ToolPanel::label(panel, makeRect(10, h - 84, w - 50, 20), tr("FontLabelTitle"));
    m_fontPopUpBtn = new platform::PopUpButton(makeRect(8, h - 118, w - 16, 31), false, panel);
    m_fontPopUpBtn->setAutoresizingMask(platform::View::MinYMargin);
    m_fontPopUpBtn->addItemWithTitle(tr("Set_FontTitle"));
    m_fontPopUpBtn->action = [this](platform::PopUpButton &) { actionfonts_popUpBtn(); };

    m_colorWell = new PNQButton(makeRect(w - 32, h - 85, 22, 22), panel);
    m_colorWell->setAutoresizingMask(platform::View::MinYMargin);
    m_colorWell->setBordColor(Qt::darkGray);
    m_colorWell->setBackGroundColor(Qt::white);
    m_colorWell->mouseDownAction = [this](PNQButton *) {
        m_host.queueOnMain([this] { changeSubtitleColor(); });
    };

    // The position box: its header button, and the slider between the "+" and "-" marks.
    auto *box = new ImageView(makeRect(30, 180, w - 60, 60), panel);
    box->setAutoresizingMask(platform::View::MinYMargin);
    box->setImageScaling(ImageView::Scaling::AxesIndependently);
    box->setImage(ResourceService::imageWithfileName(QStringLiteral("Resources/WSBoxA1.png")));
    const double bw = box->frame().width();
    const double bh = box->frame().height();
    m_captionAlphorBtn = new PNQButton(makeRect((bw - 110) / 2, bh - 42, 110, 42), box);
    m_captionAlphorBtn->setBorderWidth(0);
    m_captionAlphorBtn->setContentColor(Qt::black);
    m_captionAlphorBtn->setContentTitle(tr("PositionBtnTitle"));
    m_captionAlphorBtn->setSelected(false);
    // It has no action of its own; it looks as live as the panel's controls.
    m_captionAlphorBtn->setEnabled(false);
    // A title longer than the button widens it (within the box), so it shows whole.
    const double titleWidth =
        m_captionAlphorBtn->fontMetrics().horizontalAdvance(tr("PositionBtnTitle")) + 16;
    if (titleWidth > 110) {
        const double width = std::min(bw, titleWidth);
        m_captionAlphorBtn->setFrame(makeRect((bw - width) / 2, bh - 42, width, 42));
    }
    const QColor grey(136, 136, 136);
    m_captionAlphBigLabe = new TextLabel(makeRect(20, 5, 20, 21), box);
    m_captionAlphLowLabe = new TextLabel(makeRect(bw - 40, 5, 20, 21), box);
    m_captionAlphBigLabe->setText(QStringLiteral("+"));
    m_captionAlphLowLabe->setText(QStringLiteral("-"));
    for (TextLabel *mark : {m_captionAlphBigLabe.data(), m_captionAlphLowLabe.data()}) {
        mark->setTextColor(grey);
        mark->setTextFont(platform::FontAlias::systemFont(13));
    }
    m_captionAlphBigLabe->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    m_captionAlphLowLabe->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    m_positionSlider = new QSlider(Qt::Horizontal);
    m_positionSlider->setRange(0, kSliderSteps);
    m_positionSlider->setValue(kSliderSteps / 2);
    QObject::connect(m_positionSlider, &QSlider::valueChanged, m_positionSlider,
                     [this] { actionsubtitleAlphSlider(); });
    auto *sliderBox = new platform::View(makeRect(40, 5, bw - 80, 21), box);
    auto *sliderLayout = new QVBoxLayout(sliderBox);
    sliderLayout->setContentsMargins(0, 0, 0, 0);
    m_positionSlider->setParent(sliderBox);
    sliderLayout->addWidget(m_positionSlider);
    ToolPanel::setEnabled({m_subtitlePopUpBtn, m_fontPopUpBtn, m_colorWell, m_positionSlider}, false);
}

SubtitleParam &SubtitleTool::record()
{
    if (!m_param)
        m_param = std::make_shared<SubtitleParam>();
    return *m_param;
}

void SubtitleTool::sendSubtitle(const QString &path) const
{
    const auto &player = m_host.rdPlayer();
    if (!player || !m_param)
        return;
    const auto copy = m_param->copy();
    copy->setSubtitlePath(path);
    if (!copy->fontColor().isValid())
        copy->setFontColor(Qt::white);
    SUBTITLE_PARAM out;
    if (!EngineRecords::fillSubtitle(out, *copy))
        platform::log("subtitle path too long: %@", path);
    player->SetSubtitle(out);
    refreshPausedPreview(m_host);
}

void SubtitleTool::actionSubtitle_popUpBtn()
{
    if (!m_host.rdPlayer() || !m_subtitlePopUpBtn)
        return;
    const int n = m_subtitlePopUpBtn->numberOfItems();
    const int i = m_subtitlePopUpBtn->indexOfSelectedItem();
    if (i == 0) {
        record().setSubtitlePath(QString());
        sendSubtitle(QString());
        return;
    }
    if (i == 1 && n != 2) {
        record().setSubtitlePath(usedPath());
        sendSubtitle(usedPath());
        const bool srt = QFileInfo(m_captionPath).suffix().toLower() == QLatin1String("srt");
        ToolPanel::setEnabled({m_fontPopUpBtn, m_colorWell}, srt);
        ToolPanel::setEnabled({m_positionSlider}, true);
        return;
    }
    if (i == n - 1)
        loadSubtitle();
}

void SubtitleTool::loadSubtitle()
{
    platform::OpenPanelRequest request;
    request.message = tr("Pleaseselectthesubtitlefilestring");
    request.cancelTitle = tr("OpenPanelCancelTitle");
    request.prompt = tr("OpenPanelOpenTitle");
    request.allowedExtensions = {"ass", "ssa", "srt"};
    request.allowsOtherFileTypes = true; // the engine's own reading decides (checkSubtitleFile)
    request.allowsMultipleSelection = true; // the last file chosen is the one used
    const QStringList urls = platform::Panels::instance().runOpenPanel(request);
    // A cancel or a refused file leaves the pop-up on what was in use before.
    const auto restore = [this] {
        const QString current = m_param ? m_param->subtitlePath() : QString();
        m_subtitlePopUpBtn->selectItemAtIndex(current.isEmpty() ? 0 : 1);
    };
    if (urls.isEmpty()) {
        restore();
        return;
    }
    platform::log("urls:%@", urls.join(QStringLiteral(", ")));
    const QString path = urls.last();
    Reading reading;
    switch (checkSubtitleFile(path, &reading)) {
    case FileCheck::Ok:
        break;
    case FileCheck::Unreadable:
        alert(VW_KEY("SubtitleUnreadableMessage"), path);
        restore();
        return;
    case FileCheck::NotText:
        alert(VW_KEY("SubtitleEncodingMessage"), path);
        restore();
        return;
    case FileCheck::NoCue:
        alert(VW_KEY("SubtitleMalformedMessage"), path);
        restore();
        return;
    }
    // The engine's record holds a path of 259 bytes: a longer one would be left out of the file.
    SUBTITLE_PARAM fits;
    const bool copy = SubtitleCopy::needed(path, reading.charset);
    if (!copy && !EngineRecords::copyPath(fits.path, path)) {
        alert(VW_KEY("SubtitlePathTooLongMessage"), path);
        restore();
        return;
    }
    QString used = path;
    if (copy) {
        used = m_copy.write(path, reading.utf8);
        if (used.isEmpty()) {
            alert(VW_KEY("SubtitleUnreadableMessage"), path);
            restore();
            return;
        }
    } else {
        m_copy.clear();
    }

    SubtitleParam &sub = record();
    if (sub.fontPathList().isEmpty()) {
        const QStringList fonts = subtitleFontFiles(platform::FontAlias::systemFontFiles());
        sub.setFontPathList(fonts);
        m_fontPopUpBtn->removeAllItems();
        for (const QString &font : fonts)
            m_fontPopUpBtn->addItemWithTitle(fontDisplayName(font));
        if (sub.fontPath().isEmpty()) {
            const int index = defaultFontIndex(fonts, cjkSerifFontFiles());
            sub.setFontSelectIndex(std::max(index, 0));
            sub.setFontPath(index >= 0 ? fonts[index] : QString());
        }
    }
    m_fontPopUpBtn->selectItemAtIndex(int(sub.fontSelectIndex()));

    m_captionPath = path;
    if (m_subtitlePopUpBtn->numberOfItems() >= 3)
        m_subtitlePopUpBtn->removeItemAtIndex(1);
    m_subtitlePopUpBtn->insertItemWithTitle(QFileInfo(path).fileName(), 1);
    if (!sub.fontColor().isValid())
        sub.setFontColor(Qt::white);
    showColour();
    {
        const QSignalBlocker quiet(m_positionSlider);
        m_positionSlider->setValue(m_positionSlider->maximum());
    }
    sub.setPositon(-1);
    sub.setSubtitlePath(used);
    m_subtitlePopUpBtn->selectItemAtIndex(1);
    sendSubtitle(used);

    const bool srt = QFileInfo(path).suffix().toLower() == QLatin1String("srt");
    ToolPanel::setEnabled({m_subtitlePopUpBtn, m_fontPopUpBtn, m_colorWell}, srt);
    ToolPanel::setEnabled({m_positionSlider}, true);
    m_captionAlphorBtn->setSelected(true);
}

void SubtitleTool::actionfonts_popUpBtn()
{
    if (!m_param || m_param->fontPathList().isEmpty() || !m_fontPopUpBtn)
        return;
    const int i = m_fontPopUpBtn->indexOfSelectedItem();
    const QStringList fonts = m_param->fontPathList();
    if (i < 0 || i >= fonts.size())
        return;
    m_param->setFontPath(fonts[i]);
    m_param->setFontSelectIndex(i);
    if (const auto &player = m_host.rdPlayer()) {
        player->UpdateSubtitleFontFile(fonts[i].toStdString());
        refreshPausedPreview(m_host);
    }
}

void SubtitleTool::actionsubtitleAlphSlider()
{
    if (!m_positionSlider)
        return;
    SubtitleParam &sub = record();
    const double v = double(m_positionSlider->value()) / kSliderSteps;
    sub.setPositon(positionForSlider(v, m_host.videoSize().height, sub.fontSize()));
    if (const auto &player = m_host.rdPlayer()) {
        player->UpdateSubtitlePos(sub.positon());
        refreshPausedPreview(m_host);
    }
}

void SubtitleTool::changeSubtitleColor()
{
    SubtitleParam &sub = record();
    const QColor initial = sub.fontColor().isValid() ? sub.fontColor() : QColor(Qt::white);
    const auto picked = platform::Panels::instance().runColorPanel(initial);
    if (!picked)
        return;
    // Stored at once: re-applying the subtitle and the export both read the record.
    sub.setFontColor(*picked);
    showColour();
    if (const auto &player = m_host.rdPlayer()) {
        const uint32_t dword = HelpClass::retDwordColorVolue(*picked);
        player->UpdateSubtitleFontClr(dword, 1, dword);
        refreshPausedPreview(m_host);
    }
}

void SubtitleTool::sourceLoaded()
{
    m_captionPath.clear();
    m_copy.clear();
}

void SubtitleTool::sourceShown()
{
    if (!m_subtitlePopUpBtn)
        return;
    m_subtitlePopUpBtn->removeAllItems();
    for (const char *key : {VW_KEY("No_subtitleItemTitle"), VW_KEY("Load_otherItemTitle")}) {
        const QString title = tr(key);
        if (!title.isEmpty())
            m_subtitlePopUpBtn->addItemWithTitle(title);
    }
    m_subtitlePopUpBtn->setEnabled(true);
    ToolPanel::setEnabled({m_fontPopUpBtn, m_positionSlider}, false);
    m_captionAlphorBtn->setSelected(false);
}

void SubtitleTool::enableEdit(bool enable)
{
    ToolPanel::setEnabled({m_colorWell, m_subtitlePopUpBtn, m_captionAlphorBtn}, enable);
    const bool chosen = m_subtitlePopUpBtn && m_subtitlePopUpBtn->indexOfSelectedItem() != 0;
    ToolPanel::setEnabled({m_fontPopUpBtn, m_positionSlider}, enable && chosen);
}

void SubtitleTool::windowWillClose()
{
    m_copy.clear();
}

void SubtitleTool::showColour()
{
    if (m_colorWell && m_param && m_param->fontColor().isValid()) {
        m_colorWell->setBackGroundColor(m_param->fontColor());
        m_colorWell->update();
    }
}
