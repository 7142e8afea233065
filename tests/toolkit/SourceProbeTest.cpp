#include "toolkit/SourceProbe.h"

#include "model/AudioStreamInfo.h"
#include "model/FileData.h"
#include "model/SimpleData.h"
#include "platform/Bundle.h"
#include "tests/support/SharedFixtures.h"

#include <QDirIterator>
#include <QFile>

extern "C" {
#include <libavformat/avformat.h>
}

#include <gtest/gtest.h>

#include <cstring>

namespace {

// A Matroska file whose only stream is a text subtitle: something a demuxer opens, with nothing to show
// or play.
bool writeSubtitleOnly(const std::string &path)
{
    AVFormatContext *out = nullptr;
    if (avformat_alloc_output_context2(&out, nullptr, "matroska", path.c_str()) < 0)
        return false;
    bool ok = false;
    if (AVStream *st = avformat_new_stream(out, nullptr)) {
        st->codecpar->codec_type = AVMEDIA_TYPE_SUBTITLE;
        st->codecpar->codec_id = AV_CODEC_ID_SUBRIP;
        st->time_base = AVRational{1, 1000};
        if (avio_open(&out->pb, path.c_str(), AVIO_FLAG_WRITE) >= 0) {
            if (avformat_write_header(out, nullptr) >= 0) {
                const char text[] = "only words";
                AVPacket *pkt = av_packet_alloc();
                if (pkt && av_new_packet(pkt, int(sizeof text - 1)) >= 0) {
                    std::memcpy(pkt->data, text, sizeof text - 1);
                    pkt->pts = pkt->dts = 0;
                    pkt->duration = 1000;
                    pkt->stream_index = st->index;
                    ok = av_write_frame(out, pkt) >= 0;
                }
                av_packet_free(&pkt);
                ok = av_write_trailer(out) >= 0 && ok;
            }
            avio_closep(&out->pb);
        }
    }
    avformat_free_context(out);
    return ok;
}

QString videoClip()
{
    fixture::Spec spec;
    spec.width = 320;
    spec.height = 240;
    spec.duration = 1.0;
    return QString::fromStdString(fixture::sharedFixture("probe-video.mp4", spec));
}

QString audioOnlyClip()
{
    fixture::Spec spec;
    spec.hasVideo = false;
    spec.duration = 1.0;
    spec.audio = {fixture::AudioTrack{44100, 1}};
    return QString::fromStdString(fixture::sharedFixture("probe-audio.m4a", spec));
}

} // namespace

TEST(SourceProbe, FillsTheRecordAndAThumbnailWithThePicturesShape)
{
    const auto record = SourceProbe::probe(videoClip(), SourceProbe::Titles{});
    ASSERT_TRUE(record);
    const FileData &source = *record->sourceData();
    EXPECT_EQ(source.width(), 320);
    EXPECT_EQ(source.height(), 240);
    EXPECT_NEAR(source.duration(), 1.0, 0.1);
    EXPECT_GT(source.bitrate(), 0);
    EXPECT_LT(source.bitrate(), 100000) << "kbit/s, not bit/s";
    EXPECT_GT(source.a_bitrate(), 0);
    EXPECT_LT(source.a_bitrate(), 10000) << "kbit/s, not bit/s";
    EXPECT_EQ(record->thumbImage().size(), QSize(240, 180)); // 4:3, 180 high
    EXPECT_EQ(record->audioStreamInfos().size(), 1);
    EXPECT_EQ(record->targetData()->width(), 320) << "no size title: the source's";
}

TEST(SourceProbe, WithoutTitlesTheTargetIsTheSourceOverAgain)
{
    for (const QString &path : {videoClip(), audioOnlyClip()}) {
        const auto record = SourceProbe::probe(path, std::nullopt);
        ASSERT_TRUE(record) << path.toStdString();
        const FileData &s = *record->sourceData();
        const FileData &t = *record->targetData();
        EXPECT_EQ(t.extension(), s.extension());
        EXPECT_EQ(t.duration(), s.duration());
        EXPECT_EQ(t.fileSize(), s.fileSize()) << "megabytes, as the source's, not an estimate";
        EXPECT_EQ(t.width(), s.width());
        EXPECT_EQ(t.height(), s.height());
        EXPECT_EQ(t.fps(), s.fps());
        EXPECT_EQ(t.bitrate(), s.bitrate());
        EXPECT_EQ(t.exist(), s.exist());
        EXPECT_EQ(t.metadata_vcodec(), s.metadata_vcodec());
        EXPECT_EQ(t.a_codec(), s.a_codec());
        EXPECT_EQ(t.a_channel(), s.a_channel());
        EXPECT_EQ(t.a_samplerate(), s.a_samplerate());
        EXPECT_EQ(t.a_bitrate(), s.a_bitrate());
        EXPECT_EQ(t.a_exist(), s.a_exist());
    }
}

TEST(SourceProbe, AudioOnlyFileHasNoPicture)
{
    const auto record = SourceProbe::probe(audioOnlyClip(), SourceProbe::Titles{});
    ASSERT_TRUE(record);
    EXPECT_EQ(record->sourceData()->exist(), 0);
    EXPECT_TRUE(record->thumbImage().isNull());
    EXPECT_EQ(record->sourceData()->a_channel(), 1);
    EXPECT_EQ(record->sourceData()->a_samplerate(), 44100);
    EXPECT_NEAR(record->sourceData()->duration(), 1.0, 0.1);
}

TEST(SourceProbe, RefusesFilesWithoutPictureOrSoundAndUnreadableOnesAndNamesThem)
{
    const std::string folder = fixture::freshFolder();
    const std::string noStreams = folder + "/words-only.mkv";
    ASSERT_TRUE(writeSubtitleOnly(noStreams));
    const std::string garbage = folder + "/noise.mp4";
    ASSERT_TRUE(fixture::makeGarbageFile(garbage, 64 * 1024));
    const QString missing = QString::fromStdString(folder + "/absent.mp4");

    const QStringList paths{videoClip(), QString::fromStdString(noStreams), audioOnlyClip(),
                            QString::fromStdString(garbage), missing};
    const SourceProbe::Batch batch = SourceProbe::probeAll(paths, SourceProbe::Titles{});
    ASSERT_EQ(batch.accepted.size(), 2);
    EXPECT_EQ(batch.accepted[0]->path(), videoClip());
    EXPECT_EQ(batch.accepted[1]->path(), audioOnlyClip());
    EXPECT_EQ(batch.refused, (QStringList{paths[1], paths[3], paths[4]}));
}

TEST(SourceProbeTypes, EveryExtensionAShippedProfileWritesIsAccepted)
{
    const QStringList accepted = SourceProbe::allowedFileTypes();
    int profiles = 0;
    QDirIterator it(platform::Bundle::main().resourcePath() + QStringLiteral("/Settings.bundle"),
                    {QStringLiteral("*.pf")}, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        QFile file(it.next());
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        for (const QString &line : QString::fromUtf8(file.readAll()).split(u'\n')) {
            if (!line.startsWith(QStringLiteral("ExtName=")))
                continue;
            ++profiles;
            const QString extension = line.mid(8).trimmed().toLower();
            EXPECT_TRUE(accepted.contains(extension)) << it.filePath().toStdString();
        }
    }
    EXPECT_GT(profiles, 0); // the shipped profiles were found
    EXPECT_TRUE(accepted.contains(QStringLiteral("webm")) && accepted.contains(QStringLiteral("opus")));
}
