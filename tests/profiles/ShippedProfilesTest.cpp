// The profiles shipped in the resources: every one reads, is reachable through its tree's category list,
// and names only codecs that this system's FFmpeg can really encode.
#include "platform/Bundle.h"
#include "profiles/ProfileLibrary.h"
#include "profiles/ProfileReader.h"
#include "profiles/ProfileValue.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavutil/channel_layout.h>
#include <libavutil/log.h>
}

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

#include <gtest/gtest.h>

#include <memory>
#include <set>

namespace {

const QString kMain = QStringLiteral("Main");
const QString kParameter = QStringLiteral("Parameter");
const QStringList kVideoKeys = {"vcodec", "s", "r", "b"};
const QStringList kAudioKeys = {"acodec", "ac", "ar", "ab"};

struct CodecContextDeleter
{
    void operator()(AVCodecContext *context) const { avcodec_free_context(&context); }
};
using CodecContext = std::unique_ptr<AVCodecContext, CodecContextDeleter>;

// An encoder by encoder name or by codec name, never one marked experimental.
const AVCodec *findEncoder(const QByteArray &name)
{
    const AVCodec *byName = avcodec_find_encoder_by_name(name.constData());
    if (byName && !(byName->capabilities & AV_CODEC_CAP_EXPERIMENTAL))
        return byName;
    const AVCodecDescriptor *descriptor = avcodec_descriptor_get_by_name(name.constData());
    if (!descriptor)
        return nullptr;
    void *state = nullptr;
    while (const AVCodec *codec = av_codec_iterate(&state)) {
        if (av_codec_is_encoder(codec) && codec->id == descriptor->id && !(codec->capabilities & AV_CODEC_CAP_EXPERIMENTAL))
            return codec;
    }
    return nullptr;
}

// Opens `codec` with a typical setting (CIF at 25 fps in its first pixel format; 44.1 kHz stereo, or
// what the encoder lists); gives the FFmpeg error text when it cannot, else an empty text.
std::string openWithTypicalSettings(const AVCodec *codec)
{
    CodecContext context(avcodec_alloc_context3(codec));
    if (!context)
        return "no context";
    if (codec->type == AVMEDIA_TYPE_VIDEO) {
        context->width = 352;
        context->height = 288;
        context->time_base = AVRational{1, 25};
        context->framerate = AVRational{25, 1};
        context->bit_rate = 1000000;
        context->gop_size = 25;
        // The encoder's preferred format, as a conversion would choose it.
        context->pix_fmt = codec->pix_fmts ? codec->pix_fmts[0] : AV_PIX_FMT_YUV420P;
    } else if (codec->type == AVMEDIA_TYPE_AUDIO) {
        context->sample_rate = 44100;
        if (codec->supported_samplerates) {
            bool has44100 = false;
            for (const int *r = codec->supported_samplerates; *r; ++r)
                has44100 = has44100 || *r == 44100;
            if (!has44100)
                context->sample_rate = codec->supported_samplerates[0];
        }
        av_channel_layout_default(&context->ch_layout, 2);
        if (codec->ch_layouts) {
            bool hasStereo = false;
            for (const AVChannelLayout *l = codec->ch_layouts; l->nb_channels; ++l)
                hasStereo = hasStereo || av_channel_layout_compare(l, &context->ch_layout) == 0;
            if (!hasStereo && av_channel_layout_copy(&context->ch_layout, &codec->ch_layouts[0]) < 0)
                return "cannot copy the channel layout";
        }
        context->sample_fmt = codec->sample_fmts ? codec->sample_fmts[0] : AV_SAMPLE_FMT_FLTP;
        context->bit_rate = 128000;
        context->time_base = AVRational{1, context->sample_rate};
    } else {
        return "not an audio or video encoder";
    }
    const int result = avcodec_open2(context.get(), codec, nullptr);
    if (result < 0) {
        char text[AV_ERROR_MAX_STRING_SIZE] = {};
        av_strerror(result, text, sizeof text);
        return text;
    }
    return {};
}

class ShippedProfilesTest : public ::testing::TestWithParam<const char *>
{
protected:
    void SetUp() override
    {
        m_previousResources = platform::Bundle::main().resourcePath();
        const QString resources = QCoreApplication::applicationDirPath() + QStringLiteral("/Resources");
        platform::Bundle::main().setResourcePath(resources);
        m_root = resources + QStringLiteral("/Settings.bundle/") + QLatin1String(GetParam());
        // Missing profiles are a broken build, not a reason to skip.
        ASSERT_TRUE(QFileInfo(m_root).isDir()) << "no shipped profiles at " << m_root.toStdString();
        ASSERT_TRUE(QFileInfo(m_root + QStringLiteral("/pf.dat")).isFile()) << "no pf.dat in " << m_root.toStdString();
    }
    void TearDown() override { platform::Bundle::main().setResourcePath(m_previousResources); }

    ProfileLibrary library() const { return ProfileLibrary(QStringLiteral("Settings.bundle/") + QLatin1String(GetParam())); }

    // Every ".pf" below the tree, as (category, profile name).
    std::vector<std::pair<QString, QString>> shippedProfiles() const
    {
        std::vector<std::pair<QString, QString>> profiles;
        for (const QFileInfo &category : QDir(m_root).entryInfoList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name)) {
            for (const QFileInfo &file : QDir(category.filePath()).entryInfoList({"*.pf"}, QDir::Files, QDir::Name))
                profiles.emplace_back(category.fileName(), file.completeBaseName());
        }
        return profiles;
    }

    QString profileFile(const QString &category, const QString &name) const
    {
        return m_root + u'/' + category + u'/' + name + QStringLiteral(".pf");
    }

    QString m_previousResources;
    QString m_root;
};

TEST_P(ShippedProfilesTest, CategoriesAreListedAndHaveKeepOriginal)
{
    const QStringList categories = library().getFunctionList();
    ASSERT_FALSE(categories.isEmpty());
    EXPECT_EQ(QSet<QString>(categories.begin(), categories.end()).size(), categories.size()) << "a category is listed twice";
    for (const QString &category : categories) {
        SCOPED_TRACE(category.toStdString());
        EXPECT_TRUE(QFileInfo(profileFile(category, QStringLiteral("Keep Original"))).isFile());
        const QStringList names = library().getFunctionItemChildList(category);
        ASSERT_FALSE(names.isEmpty());
        EXPECT_EQ(names.first(), QLatin1String("Keep Original"));
    }
    const auto profiles = shippedProfiles();
    ASSERT_FALSE(profiles.empty());
    for (const auto &[category, name] : profiles)
        EXPECT_TRUE(categories.contains(category)) << (category + u'/' + name).toStdString() << " is in no listed category";
    EXPECT_TRUE(categories.contains(QStringLiteral("Video")));
    EXPECT_FALSE(library().defaultProfilePath().isEmpty()) << "no Video/mkv(HEVC).pf";
}

TEST_P(ShippedProfilesTest, EveryProfileParses)
{
    const QRegularExpression frameSize(QStringLiteral("^\\d+x\\d+$"));
    const QRegularExpression number(QStringLiteral("^\\d+(\\.\\d+)?$"));
    const QRegularExpression channels(QStringLiteral("^\\d+(\\(Stereo\\))?$"));
    for (const auto &[category, name] : shippedProfiles()) {
        if (name == QLatin1String("Keep Original"))
            continue;
        const QString path = profileFile(category, name);
        SCOPED_TRACE((category + u'/' + name).toStdString());
        const auto ext = ProfileValue::new_startAndendnospaceString(ProfileReader::readProfileValue(kMain, QStringLiteral("ExtName"), path));
        ASSERT_TRUE(ext && !ext->isEmpty());
        EXPECT_FALSE(ext->contains(u'.') || ext->contains(u'\t'));

        QStringList keys = kAudioKeys;
        if (category != QLatin1String("Audio"))
            keys = kVideoKeys + kAudioKeys;
        for (const QString &key : keys) {
            SCOPED_TRACE(key.toStdString());
            const QString value = ProfileReader::readProfileValue(kParameter, key, path);
            const auto title = ProfileValue::resultSelectItemTitleForContentStr(value);
            const auto items = ProfileValue::resultContentStrForArr(value);
            ASSERT_TRUE(title.has_value());
            ASSERT_TRUE(items.has_value() && !items->isEmpty());
            QStringList trimmed;
            for (const QString &item : *items)
                trimmed.append(item.trimmed());
            const QString chosen = title->trimmed();
            EXPECT_TRUE(trimmed.contains(chosen)) << "default " << chosen.toStdString() << " is not among the items";
            const QRegularExpression *form = key == QLatin1String("s") ? &frameSize
                                           : key == QLatin1String("ac") ? &channels
                                           : (key == QLatin1String("vcodec") || key == QLatin1String("acodec")) ? nullptr
                                                                                                                 : &number;
            for (const QString &item : trimmed) {
                EXPECT_FALSE(item.isEmpty());
                if (form) {
                    EXPECT_TRUE(form->match(item).hasMatch()) << "item " << item.toStdString();
                }
            }
        }
    }
}

TEST_P(ShippedProfilesTest, EveryNamedCodecHasAnEncoderThatOpens)
{
    av_log_set_level(AV_LOG_ERROR);
    std::set<QString> codecs;
    for (const auto &[category, name] : shippedProfiles()) {
        for (const char *key : {"vcodec", "acodec"}) {
            const QString value = ProfileReader::readProfileValue(kParameter, QLatin1String(key), profileFile(category, name));
            QStringList named = ProfileValue::resultContentStrForArr(value).value_or(QStringList());
            named.append(ProfileValue::resultSelectItemTitleForContentStr(value).value_or(QString()));
            for (const QString &codec : named) {
                if (!codec.trimmed().isEmpty() && codec.trimmed() != QLatin1String("copy"))
                    codecs.insert(codec.trimmed());
            }
        }
    }
    ASSERT_FALSE(codecs.empty());
    for (const QString &name : codecs) {
        SCOPED_TRACE(name.toStdString());
        const AVCodec *encoder = findEncoder(name.toUtf8());
        if (!encoder) {
            ADD_FAILURE() << "no usable encoder";
            continue;
        }
        EXPECT_EQ(openWithTypicalSettings(encoder), "") << "encoder " << encoder->name;
    }
}

INSTANTIATE_TEST_SUITE_P(Trees, ShippedProfilesTest, ::testing::Values("functionFolder", "pf_join"),
                         [](const auto &info) { return std::string(info.param); });

} // namespace
