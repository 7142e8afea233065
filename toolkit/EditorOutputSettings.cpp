#include "toolkit/EditorOutputSettings.h"

#include "toolkit/OutputFormatChooser.h"
#include "model/FileData.h"
#include "model/SimpleData.h"
#include "platform/Application.h"
#include "platform/Format.h"
#include "platform/NumberScan.h"
#include "platform/UserDefaults.h"
#include "platform/Window.h"
#include "profiles/ProfileDefaults.h"
#include "profiles/ProfileReader.h"
#include "profiles/ProfileValue.h"
#include "profiles/SettingWindowController.h"

#include <QFileInfo>
#include <QPointer>

namespace {

const QString kCustom = QStringLiteral("Custom");
const QString kWidthKey = QStringLiteral("resolutionSelectCustom-Width");
const QString kHeightKey = QStringLiteral("resolutionSelectCustom-Height");
const QString kBitKey = QStringLiteral("bitSelectCustom-Value");

// Editor keys, then joiner keys, in Title order.
const char *const kEditorKeys[] = {
    "extName_SelectTitle",   "vcodec_SelectTitle",      "resolution_SelectTitle",
    "framerate_SelectTitle", "bitate_SelectTitle",      "acodec_SelectTitle",
    "achannel_SelectTitle",  "asamplerate_SelectTitle", "abitate_SelectTitle"};
const char *const kJoinerKeys[] = {"extNameSelectTitle",   "vcodecSelectTitle",      "resolutionSelectTitle",
                                   "framerateSelectTitle", "bitateSelectTitle",      "acodecSelectTitle",
                                   "achannelSelectTitle",  "asamplerateSelectTitle", "abitateSelectTitle"};

// The profile's value names, in Title order (ExtName is in section "Main").
const char *const kProfileKeys[] = {"ExtName", "vcodec", "s", "r", "b", "acodec", "ac", "ar", "ab"};

platform::UserDefaults &defaults()
{
    return platform::UserDefaults::standard();
}

bool hasValue(const QString &title)
{
    return !title.isEmpty() && title != QLatin1String(" ");
}

int numberOf(const QString &title)
{
    return hasValue(title) ? platform::scanInt(title) : 0;
}

// The custom numbers are stored as "%.2f" texts by the settings window.
int storedNumber(const QString &key)
{
    return platform::scanInt(defaults().string(key));
}

QString textOr(const QString &title, const QString &source)
{
    return hasValue(title) ? title : source;
}

int numberOr(const QString &title, int source)
{
    const int n = numberOf(title);
    return n != 0 ? n : source;
}

} // namespace

EditorOutputSettings::EditorOutputSettings(const ProfileLibrary &library, KeyFamily family)
    : m_library(library), m_family(family)
{
}

EditorOutputSettings::~EditorOutputSettings() = default;

QString EditorOutputSettings::keyForTitle(Title title, KeyFamily family)
{
    return QString::fromLatin1(family == KeyFamily::Editor ? kEditorKeys[title] : kJoinerKeys[title]);
}

std::shared_ptr<SimpleData> EditorOutputSettings::loadedClip() const
{
    auto clip = fileDataBlock ? fileDataBlock() : nullptr;
    if (!clip || !clip->sourceData() || !clip->targetData())
        return nullptr;
    return clip;
}

QList<std::shared_ptr<SimpleData>> EditorOutputSettings::clips() const
{
    QList<std::shared_ptr<SimpleData>> list;
    if (clipsBlock) {
        for (const auto &clip : clipsBlock())
            if (clip && clip->sourceData() && clip->targetData())
                list.append(clip);
    } else if (auto clip = loadedClip()) {
        list.append(clip);
    }
    return list;
}

QString EditorOutputSettings::storedTitle(Title title) const
{
    return defaults().string(keyForTitle(title));
}

void EditorOutputSettings::readTitleFromDefaults(Title title)
{
    m_titles[title] = storedTitle(title);
}

void EditorOutputSettings::setViewChildesPf(const QString &path)
{
    const QString file = path.isEmpty() ? m_library.defaultProfilePath() : path;
    const bool keepOriginal =
        QFileInfo(file).completeBaseName() == QLatin1String(ProfileLibrary::KeepOriginal);
    const bool audioOnly = m_functionItemTitle == QLatin1String(AudioCategory);
    const auto readInto = [&](Title title) {
        const QString value = ProfileReader::readProfileValue(QStringLiteral("Parameter"),
                                                              QLatin1String(kProfileKeys[title]), file);
        m_lists[title] = ProfileValue::resultContentStrForArr(value).value_or(QStringList());
        m_titles[title] = keepOriginal
                              ? QString()
                              : ProfileValue::resultSelectItemTitleForContentStr(value).value_or(QString());
    };

    if (!audioOnly) {
        for (Title title : {VideoCodec, FrameSize, FrameRate, VideoBitRate})
            readInto(title);
        m_profileVideo = {m_titles[FrameSize], m_titles[FrameRate], m_titles[VideoBitRate]};
        m_shippedVideoProfile = !keepOriginal && ProfileDefaults::isShipped(file);
        followProfile();
    }
    if (keepOriginal) {
        for (Title title : {AudioCodec, Channels, SampleRate, AudioBitRate})
            m_titles[title].clear();
    } else {
        const QString ext =
            ProfileReader::readProfileValue(QStringLiteral("Main"), QStringLiteral("ExtName"), file);
        m_titles[ExtName] = ProfileValue::new_startAndendnospaceString(ext).value_or(QString()).remove(u'\t');
        for (Title title : {AudioCodec, Channels, SampleRate, AudioBitRate})
            readInto(title);
    }

    for (const auto &clip : clips()) {
        FileData &target = *clip->targetData();
        const FileData &source = *clip->sourceData();
        if (!audioOnly) {
            target.setFps(hasValue(m_titles[FrameRate]) ? platform::scanDouble(m_titles[FrameRate]) : 0);
            applyFrameSize(*clip);
            target.setBitrate(numberOr(m_titles[VideoBitRate], source.bitrate()));
            target.setMetadata_vcodec(textOr(m_titles[VideoCodec], source.metadata_vcodec()));
        }
        target.setExtension(textOr(m_titles[ExtName], source.extension()));
        target.setA_codec(textOr(m_titles[AudioCodec], source.a_codec()));
        target.setA_channel(numberOr(m_titles[Channels], source.a_channel()));
        target.setA_bitrate(numberOr(m_titles[AudioBitRate], source.a_bitrate()));
        target.setFileSize(target.duration() * (target.bitrate() + target.a_bitrate()) * 0.125f);
    }

    for (int i = 0; i < TitleCount; ++i) {
        const auto title = static_cast<Title>(i);
        const bool keep = title == ExtName ? hasValue(m_titles[title]) : !m_titles[title].isEmpty();
        if (keep)
            defaults().setValue(keyForTitle(title), m_titles[title]);
        else
            defaults().remove(keyForTitle(title));
    }
}

// A shipped profile's size, rate and bit rate for this tool: one source's picture is kept; a join
// resolves against its clips when it starts (resolvedTitles).
void EditorOutputSettings::followProfile()
{
    m_sizeFollowsProfile = m_bitRateFollowsProfile = m_shippedVideoProfile;
    if (!m_shippedVideoProfile || m_family != KeyFamily::Editor)
        return;
    const auto clip = loadedClip();
    const QSize picture = clip ? QSize(clip->sourceData()->width(), clip->sourceData()->height()) : QSize();
    const ProfileDefaults::Video video = ProfileDefaults::resolve(m_profileVideo, m_lists[VideoBitRate],
                                                                  ProfileDefaults::Use::OneSource, picture);
    m_titles[FrameSize] = video.frameSize;
    m_titles[FrameRate] = video.frameRate;
    m_titles[VideoBitRate] = video.bitRate;
}

std::array<QString, EditorOutputSettings::TitleCount> EditorOutputSettings::resolvedTitles() const
{
    std::array<QString, TitleCount> titles = m_titles;
    if (m_family != KeyFamily::Joiner || m_ownFormat || !m_shippedVideoProfile || !m_sizeFollowsProfile)
        return titles;
    QSize largest;
    for (const auto &clip : clips()) {
        const QSize picture(clip->sourceData()->width(), clip->sourceData()->height());
        if (qint64(picture.width()) * picture.height() > qint64(largest.width()) * largest.height())
            largest = picture;
    }
    const ProfileDefaults::Video video =
        ProfileDefaults::resolve(m_profileVideo, m_lists[VideoBitRate], ProfileDefaults::Use::Join, largest);
    titles[FrameSize] = video.frameSize;
    if (m_bitRateFollowsProfile)
        titles[VideoBitRate] = video.bitRate;
    return titles;
}

void EditorOutputSettings::clearSelectTitles()
{
    m_shippedVideoProfile = false;
    for (int i = 0; i < TitleCount; ++i) {
        m_titles[i].clear();
        defaults().remove(keyForTitle(static_cast<Title>(i)));
    }
}

// The frame size of the title into targetData, each side falling back to the source's.
void EditorOutputSettings::applyFrameSize(SimpleData &clip)
{
    const QString &title = m_titles[FrameSize];
    const QStringList pieces = title.split(u'x');
    FileData &target = *clip.targetData();
    const FileData &source = *clip.sourceData();
    target.setWidth(numberOr(hasValue(title) ? pieces.first() : QString(), source.width()));
    target.setHeight(numberOr(hasValue(title) ? pieces.last() : QString(), source.height()));
}

int EditorOutputSettings::videoBitRateFromTitle() const
{
    if (m_titles[VideoBitRate] == kCustom)
        return storedNumber(kBitKey);
    return numberOf(m_titles[VideoBitRate]);
}

// A setting kept as the source's counts with the source's rate, so that "keep original" does not
// estimate a silent or empty stream.
void EditorOutputSettings::estimateSizeFromTitles(SimpleData &clip) const
{
    const FileData &source = *clip.sourceData();
    double video = videoBitRateFromTitle();
    if (video == 0)
        video = source.bitrate();
    double audio = hasValue(m_titles[AudioBitRate]) ? platform::scanDouble(m_titles[AudioBitRate]) : 0;
    if (audio == 0)
        audio = source.a_bitrate();
    clip.targetData()->setFileSize(static_cast<float>(source.duration() * (audio + video) * 0.125));
}

void EditorOutputSettings::settingChanged(int mask)
{
    const auto list = clips();
    // A setting the user picks is used as picked.
    if (!list.isEmpty() && (mask == 2 || mask == 8))
        (mask == 2 ? m_sizeFollowsProfile : m_bitRateFollowsProfile) = false;
    for (const auto &clip : list) {
        applySetting(*clip, mask);
        if (mask == 8 || mask == 128)
            estimateSizeFromTitles(*clip);
    }
    if (settingsAppliedBlock)
        settingsAppliedBlock();
}

void EditorOutputSettings::settingsReset()
{
    // The window's Default has stored the profile's defaults (resolved for one source already).
    m_sizeFollowsProfile = m_bitRateFollowsProfile = m_shippedVideoProfile;
    m_restoring = true;
    for (const auto &clip : clips()) {
        for (int mask = 1; mask <= 128; mask <<= 1)
            applySetting(*clip, mask);
        estimateSizeFromTitles(*clip);
    }
    m_restoring = false;
    if (settingsAppliedBlock)
        settingsAppliedBlock();
}

void EditorOutputSettings::setdefaultFormat(const SimpleData &clip)
{
    if (!clip.sourceData())
        return;
    const FileData &source = *clip.sourceData();
    // Only while it lasts: the chosen profile and what follows it come back with the stored titles.
    m_ownFormat = true;
    m_titles[VideoCodec] = source.metadata_vcodec();
    m_titles[FrameSize] = platform::qformat("%dx%d", source.width(), source.height());
    m_titles[VideoBitRate] = platform::qformat("%d", source.bitrate());
    m_titles[FrameRate] = platform::qformat("%.f", source.fps());
    m_titles[AudioCodec] = source.a_codec();
    m_titles[AudioBitRate] = platform::qformat("%d", source.a_bitrate());
    m_titles[Channels] = platform::qformat("%d", source.a_channel());
    m_titles[SampleRate] = platform::qformat("%d", source.a_samplerate());
}

void EditorOutputSettings::restoreStoredTitles()
{
    m_ownFormat = false;
    for (int title = 0; title < TitleCount; ++title)
        readTitleFromDefaults(Title(title));
}

void EditorOutputSettings::applySetting(SimpleData &clip, int mask)
{
    FileData &target = *clip.targetData();
    const FileData &source = *clip.sourceData();
    switch (mask) {
    case 1:
        readTitleFromDefaults(VideoCodec);
        break;
    case 2:
        if (storedTitle(FrameSize) == kCustom) {
            int width = target.width();
            int height = target.height();
            if (const int w = storedNumber(kWidthKey); w >= 1)
                width = w;
            if (const int h = storedNumber(kHeightKey); h >= 1)
                height = h;
            m_titles[FrameSize] = platform::qformat("%dx%d", width, height);
        } else {
            defaults().remove(kWidthKey);
            defaults().remove(kHeightKey);
            readTitleFromDefaults(FrameSize);
        }
        applyFrameSize(clip);
        break;
    case 4: {
        readTitleFromDefaults(FrameRate);
        if (const double fps = hasValue(m_titles[FrameRate]) ? platform::scanDouble(m_titles[FrameRate]) : 0;
            fps != 0)
            target.setFps(fps);
        break;
    }
    case 8:
        // The joiner names a custom rate by its value; its restore pass reads the stored title only.
        if (m_family == KeyFamily::Joiner && !m_restoring && storedTitle(VideoBitRate) == kCustom) {
            m_titles[VideoBitRate] = platform::qformat("%d kbps", storedNumber(kBitKey));
        } else {
            readTitleFromDefaults(VideoBitRate);
            if (!(m_family == KeyFamily::Joiner && m_restoring))
                readTitleFromDefaults(AudioBitRate);
        }
        if (const int rate = videoBitRateFromTitle(); rate != 0)
            target.setBitrate(rate);
        break;
    case 16:
        readTitleFromDefaults(AudioCodec);
        target.setA_codec(textOr(m_titles[AudioCodec], source.a_codec()));
        break;
    case 32:
        readTitleFromDefaults(Channels);
        target.setA_channel(numberOr(m_titles[Channels], source.a_channel()));
        break;
    case 64:
        readTitleFromDefaults(SampleRate);
        target.setA_samplerate(numberOr(m_titles[SampleRate], source.a_samplerate()));
        break;
    case 128: {
        readTitleFromDefaults(VideoBitRate);
        readTitleFromDefaults(AudioBitRate);
        const QString &audio = m_titles[AudioBitRate];
        if (const int rate = hasValue(audio) ? static_cast<int>(platform::scanDouble(audio)) : 0; rate != 0)
            target.setA_bitrate(rate);
        break;
    }
    default:
        break;
    }
}

SettingWindowController *EditorOutputSettings::makeSettingWindow(int64_t profileIndex, platform::Window *over)
{
    if (profileIndex < 1 || profileIndex > m_functionItemChilds.size())
        return nullptr;
    const bool custom = storedTitle(FrameSize) == kCustom || storedTitle(VideoBitRate) == kCustom;
    auto *controller = new SettingWindowController;
    controller->setFileType(m_functionItemTitle == QLatin1String(AudioCategory) ? 2 : 1);
    controller->setJoinner(m_family == KeyFamily::Joiner);
    controller->setFunctionItemTitle(m_functionItemTitle);
    controller->setSimpdata(clips().value(0));
    if (const auto clip = clips().value(0); clip && m_family == KeyFamily::Editor)
        controller->setSourcePicture(QSize(clip->sourceData()->width(), clip->sourceData()->height()));

    const double width = custom ? 480 : 360;
    const double height = controller->fileType() == 2 ? 292 : 480;
    const platform::Rect base = over ? over->frame() : controller->window()->frame();
    controller->window()->setFrame(platform::makeRect(
        base.minX() + (base.width() - width) / 2, base.minY() + (base.height() - height) / 2, width, height));

    // Custom profiles lie in the custom folder; the library finds them there.
    controller->setPfPath(m_library.profilePath(m_functionItemTitle, m_functionItemChilds[profileIndex - 1]));
    controller->selectSettingCallbackBlock = [this](int mask) { settingChanged(mask); };
    controller->settingCallbackBlock = [this] { settingsReset(); };
    controller->displayViewChildes();
    return controller;
}

void EditorOutputSettings::actionEditsetting(int64_t profileIndex, platform::Window *over)
{
    QPointer<SettingWindowController> controller = makeSettingWindow(profileIndex, over);
    if (!controller)
        return;
    platform::Application::shared().runModal(controller->window());
    // A session ended from outside (full screen) leaves the window open; it belongs to this run only.
    if (controller && controller->window()->isVisible())
        controller->close();
}

void EditorOutputSettings::connectChooser(OutputFormatChooser *chooser)
{
    QPointer<OutputFormatChooser> source(chooser);
    const auto follow = [this, source] {
        if (source) {
            m_functionItemTitle = source->functionItemTitle();
            m_functionItemChilds = source->functionItemChilds();
        }
    };
    chooser->applyProfileBlock = [this, follow](const QString &path) {
        follow();
        setViewChildesPf(path);
    };
    chooser->clearOutputSettingsBlock = [this] { clearSelectTitles(); };
    chooser->editSettingsBlock = [this, follow, source](int64_t index) {
        follow();
        actionEditsetting(index, source ? qobject_cast<platform::Window *>(source->window()) : nullptr);
    };
}
