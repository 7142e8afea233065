// Every output profile we ship must produce a file in its own container with its own codecs: a profile
// that names a codec the engine cannot write, or a container that cannot hold it, fails here.
#include "EngineTestSupport.h"
#include "platform/NumberScan.h"
#include "profiles/ProfileReader.h"
#include "profiles/ProfileValue.h"
#include "tests/support/ProbeTool.h"

extern "C" {
#include <libavcodec/avcodec.h>
}

#include <gtest/gtest.h>

#include <filesystem>

namespace fs = std::filesystem;

namespace {

struct ShippedProfile
{
    std::string path;
    std::string label; // tree/category/name, for the test's name
};

void PrintTo(const ShippedProfile &profile, std::ostream *os)
{
    *os << profile.label;
}

std::vector<ShippedProfile> shippedProfiles()
{
    std::vector<ShippedProfile> found;
    const fs::path bundle = fs::read_symlink("/proc/self/exe").parent_path() / "Resources" / "Settings.bundle";
    for (const char *tree : {"functionFolder", "pf_join"}) {
        std::error_code ec;
        for (const auto &entry : fs::recursive_directory_iterator(bundle / tree, ec)) {
            const fs::path &p = entry.path();
            if (p.extension() != ".pf" || p.stem() == "Keep Original")
                continue;
            found.push_back({p.string(), std::string(tree) + "/" + p.parent_path().filename().string() + "/" +
                                             p.stem().string()});
        }
    }
    std::sort(found.begin(), found.end(), [](auto &a, auto &b) { return a.label < b.label; });
    return found;
}

// The default item of a profile value, as the format chooser takes it.
QString defaultItem(const QString &path, const char *key)
{
    const QString value = ProfileReader::readProfileValue(QStringLiteral("Parameter"), QString::fromLatin1(key), path);
    return ProfileValue::resultSelectItemTitleForContentStr(value).value_or(QString()).trimmed();
}

// The codec name ffprobe reports for an encoder or codec name.
std::string codecNameFor(const QString &name)
{
    const QByteArray utf8 = name.toUtf8();
    if (const AVCodec *encoder = avcodec_find_encoder_by_name(utf8.constData()))
        return avcodec_get_name(encoder->id);
    if (const AVCodecDescriptor *descriptor = avcodec_descriptor_get_by_name(utf8.constData()))
        return descriptor->name;
    return utf8.toStdString();
}

class ShippedProfileConversion : public testing::TestWithParam<ShippedProfile>
{
};

TEST(ShippedProfiles, AreFoundBesideTheProgram)
{
    EXPECT_GE(shippedProfiles().size(), 20u) << "the profile trees were not copied beside the test program";
}

TEST_P(ShippedProfileConversion, WritesItsContainerAndCodecs)
{
    const QString pf = QString::fromStdString(GetParam().path);
    const QString ext = ProfileReader::readProfileValue(QStringLiteral("Main"), QStringLiteral("ExtName"), pf).trimmed();
    ASSERT_FALSE(ext.isEmpty());
    const QString vcodec = defaultItem(pf, "vcodec");
    const QString acodec = defaultItem(pf, "acodec");
    ASSERT_FALSE(acodec.isEmpty()) << "every shipped profile has sound";

    fixture::Spec spec;
    spec.duration = 1.0;
    const std::string input = enginetest::sharedFixture("profile-source.mp4", spec);
    const std::string output = enginetest::freshFolder() + "/out." + ext.toStdString();

    const int result = enginetest::convert(input, output, [&](MEDIA_HANDLE h) {
        if (!vcodec.isEmpty()) {
            apiMediaConvertSetVcodec(h, vcodec.toUtf8().constData());
            const std::string size = defaultItem(pf, "s").toStdString();
            apiMediaConvertSetVideoFrameSize(h, platform::scanInt(size),
                                             platform::scanInt(size.substr(size.find('x') + 1)));
            apiMediaConvertSetVideoFps(h, platform::scanDouble(defaultItem(pf, "r").toStdString()));
            apiMediaConvertSetVideoBitrate(h, platform::scanInt(defaultItem(pf, "b").toStdString()));
        }
        apiMediaConvertSetAcodec(h, acodec.toUtf8().constData());
        apiMediaConvertSetAudioEncodeContext(h, platform::scanInt(defaultItem(pf, "ac").toStdString()),
                                             platform::scanInt(defaultItem(pf, "ar").toStdString()));
        apiMediaConvertSetAudioBitrate(h, platform::scanInt(defaultItem(pf, "ab").toStdString()));
        return 1;
    });
    ASSERT_EQ(result, MEDIA_OK) << GetParam().label;

    const fixture::ProbeResult probed = fixture::probe(output);
    ASSERT_TRUE(probed.ok) << probed.error;
    ASSERT_EQ(probed.count("audio"), 1);
    EXPECT_EQ(probed.ofType("audio")[0].codecName, codecNameFor(acodec));
    if (vcodec.isEmpty()) {
        EXPECT_EQ(probed.count("video"), 0) << "an audio profile writes sound only";
    } else {
        ASSERT_EQ(probed.count("video"), 1);
        EXPECT_EQ(probed.ofType("video")[0].codecName, codecNameFor(vcodec));
    }
    EXPECT_NEAR(probed.duration, 1.0, 0.15);
}

INSTANTIATE_TEST_SUITE_P(Shipped, ShippedProfileConversion, testing::ValuesIn(shippedProfiles()),
                         [](const testing::TestParamInfo<ShippedProfile> &info) {
                             std::string name;
                             for (char c : info.param.label)
                                 name += std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
                             return name;
                         });

} // namespace
