#include "editor/DeleteSectionExport.h"
#include "toolkit/EditorOutputSettings.h"
#include "model/FileData.h"
#include "model/SimpleData.h"
#include "platform/UserDefaults.h"
#include "tests/support/RecordingEngine.h"
#include "tests/support/ProbeTool.h"
#include "tests/support/SharedFixtures.h"
#include "tests/support/TestEnvironment.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

#include <optional>

namespace {

using Lines = std::vector<std::string>;
using Outcome = ChainedExportJob::Outcome;

void clearTitles()
{
    for (int i = 0; i < EditorOutputSettings::TitleCount; ++i)
        platform::UserDefaults::standard().remove(EditorOutputSettings::keyForTitle(
            static_cast<EditorOutputSettings::Title>(i), EditorOutputSettings::KeyFamily::Editor));
}

ExportSources sourcesFor(const QString &path, double startS, double stopS, const QString &folder,
                         float duration = 60)
{
    auto clip = std::make_shared<SimpleData>();
    clip->setPath(path);
    clip->setName(QStringLiteral("clip.mp4"));
    clip->setSourceData(std::make_shared<FileData>());
    clip->setTargetData(std::make_shared<FileData>());
    clip->sourceData()->setDuration(duration);
    clip->targetData()->setDuration(duration);
    clip->targetData()->setExtension(QStringLiteral("mp4"));
    clip->setCutTimeRange_start(static_cast<qint64>(startS * 1000000));
    clip->setCutTimeRange_stop(static_cast<qint64>(stopS * 1000000));
    clip->setIsTrimFanxuan(true);
    ExportSources sources;
    sources.clip = clip;
    sources.outputFolder = folder;
    sources.audioItemIndex = -1;
    return sources;
}

void touch(const QString &path, const QByteArray &content = "user")
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(content);
}

QByteArray contentOf(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Runs the export to its end and returns the outcome.
Outcome run(DeleteSectionExport &exporter, std::vector<double> *bar = nullptr, int timeoutMs = 120000)
{
    std::optional<Outcome> outcome;
    exporter.start(
        [bar](double v) {
            if (bar)
                bar->push_back(v);
        },
        [&outcome](const Outcome &o) { outcome = o; });
    EXPECT_TRUE(TestEnvironment::waitUntil([&] { return outcome.has_value(); }, timeoutMs));
    return outcome.value_or(Outcome{Outcome::Failed, -999, {}});
}

} // namespace

TEST(DeleteSectionExport, ProgressThirds)
{
    using P = DeleteSectionExport::Phase;
    struct Case
    {
        P phase;
        double percent;
        bool two;
        double bar;
    };
    for (const Case &c : std::vector<Case>{{P::Before, 50, true, 1.0 / 6},
                                           {P::Behind, 50, true, 0.5},
                                           {P::Join, 50, true, 0.8333333},
                                           {P::Before, 0, true, 0},
                                           {P::Join, 100, true, 1},
                                           {P::Behind, 50, false, 0.5}})
        EXPECT_NEAR(DeleteSectionExport::barValue(c.phase, c.percent, c.two), c.bar, 1e-6);
}

TEST(DeleteSectionExport, TwoPartsJoinedByCopyAndTemporariesRemoved)
{
    RecordingEngine::Installed engine;
    clearTitles();
    const QString folder = QString::fromStdString(fixture::freshFolder());
    // A user's file named like the first temporary.
    touch(folder + "/befor_clip.mp4");
    DeleteSectionExport exporter(sourcesFor("/videos/clip.mp4", 10, 20, folder));
    ASSERT_TRUE(exporter.hasBefore() && exporter.hasBehind());
    EXPECT_EQ(run(exporter).status, Outcome::Succeeded);

    const QString before = folder + "/befor_clip(2).mp4", behind = folder + "/behand_clip.mp4";
    EXPECT_EQ(exporter.beforePath(), before);
    EXPECT_EQ(exporter.behindPath(), behind);
    const Lines expected = {"cut 0 10000000",
                            "output " + before.toStdString(),
                            "cut 20000000 60000000",
                            "output " + behind.toStdString(),
                            "joinOutput " + (folder + "/clip.mp4").toStdString(),
                            "joinClip " + before.toStdString() + " 0 0",
                            "joinClip " + behind.toStdString() + " 0 0",
                            "joinAcodec copy",
                            "joinVcodec copy"};
    EXPECT_EQ(RecordingEngine::only({"cut", "output", "joinOutput", "joinClip", "joinAcodec", "joinVcodec"}),
              expected);
    // The text renderer is set in both parts, before their watermarks.
    EXPECT_EQ(RecordingEngine::count("textCallback"), 2);
    EXPECT_FALSE(QFile::exists(before));
    EXPECT_FALSE(QFile::exists(behind));
    EXPECT_TRUE(QFile::exists(folder + "/clip.mp4"));
    EXPECT_EQ(contentOf(folder + "/befor_clip.mp4"), "user");
}

TEST(DeleteSectionExport, FailureAndCancelRemoveTemporaries)
{
    const QString folder = QString::fromStdString(fixture::freshFolder());
    {
        RecordingEngine::Installed engine;
        RecordingEngine::startResults = {MEDIA_OK, MEDIA_ERR_ENCODER};
        DeleteSectionExport exporter(sourcesFor("/videos/clip.mp4", 10, 20, folder));
        const Outcome outcome = run(exporter);
        EXPECT_EQ(outcome.status, Outcome::Failed);
        EXPECT_EQ(outcome.code, MEDIA_ERR_ENCODER);
        EXPECT_EQ(RecordingEngine::count("joinCreate"), 0);
        EXPECT_FALSE(QFile::exists(exporter.beforePath())) << "the first part's file is removed too";
    }
    {
        RecordingEngine::Installed engine;
        RecordingEngine::addClipResult = 0;
        DeleteSectionExport exporter(sourcesFor("/videos/clip.mp4", 10, 20, folder));
        EXPECT_EQ(run(exporter).status, Outcome::Failed);
        EXPECT_FALSE(QFile::exists(exporter.beforePath()));
        EXPECT_FALSE(QFile::exists(exporter.behindPath()));
    }
    {
        RecordingEngine::Installed engine;
        RecordingEngine::holdStart = true;
        RecordingEngine::successAfterStop = true;
        DeleteSectionExport exporter(sourcesFor("/videos/clip.mp4", 10, 20, folder));
        std::optional<Outcome> outcome;
        exporter.start({}, [&](const Outcome &o) { outcome = o; });
        ASSERT_TRUE(TestEnvironment::waitUntil([] { return RecordingEngine::count("start") == 1; }));
        exporter.cancel();
        ASSERT_TRUE(TestEnvironment::waitUntil([&] { return outcome.has_value(); }));
        // The held job reports success after the stop; a cancel still wins, and nothing follows it.
        EXPECT_EQ(outcome->status, Outcome::Cancelled);
        EXPECT_EQ(RecordingEngine::count("start"), 1);
        EXPECT_EQ(RecordingEngine::count("joinCreate"), 0);
        EXPECT_FALSE(QFile::exists(exporter.beforePath()));
        EXPECT_FALSE(QFile::exists(folder + "/clip.mp4"));
    }
    EXPECT_EQ(QDir(folder).entryList(QDir::Files), QStringList());
}

TEST(DeleteSectionExport, SectionAtAnEndConvertsOnlyThePartThatExists)
{
    struct Case
    {
        const char *what;
        double start, stop;
        std::string cut;
    };
    for (const Case &c : std::vector<Case>{{"at the start", 0, 20, "cut 20000000 60000000"},
                                           {"at the end", 10, 60, "cut 0 10000000"}}) {
        SCOPED_TRACE(c.what);
        RecordingEngine::Installed engine;
        clearTitles();
        const QString folder = QString::fromStdString(fixture::freshFolder()) + "/" + c.what;
        QDir().mkpath(folder);
        DeleteSectionExport exporter(sourcesFor("/videos/clip.mp4", c.start, c.stop, folder));
        std::vector<double> bar;
        RecordingEngine::convertProgress = 50;
        RecordingEngine::holdStart = true;
        std::optional<Outcome> outcome;
        exporter.start([&](double v) { bar.push_back(v); }, [&](const Outcome &o) { outcome = o; });
        ASSERT_TRUE(TestEnvironment::waitUntil([&] { return !bar.empty(); }));
        RecordingEngine::successAfterStop = true;
        RecordingEngine::stop(nullptr);
        ASSERT_TRUE(TestEnvironment::waitUntil([&] { return outcome.has_value(); }));
        EXPECT_EQ(outcome->status, Outcome::Succeeded);
        EXPECT_EQ(RecordingEngine::only({"cut", "output", "joinCreate"}),
                  (Lines{c.cut, "output " + (folder + "/clip.mp4").toStdString()}));
        EXPECT_NEAR(bar.front(), 0.5, 1e-6) << "one part fills the whole bar";
    }
    // Deleting everything leaves nothing to export; no range at all deletes nothing.
    EXPECT_TRUE(DeleteSectionExport(sourcesFor("/v.mp4", 0, 60, "/tmp")).isEmpty());
    EXPECT_TRUE(DeleteSectionExport(sourcesFor("/v.mp4", 0, 0, "/tmp")).isEmpty());
}

TEST(DeleteSectionExport, RealEngineRemovesTheSection)
{
    fixture::Spec spec;
    spec.duration = 60;
    const std::string source = fixture::sharedFixture("sixty.mp4", spec);
    clearTitles();
    const QString folder = QString::fromStdString(fixture::freshFolder());
    touch(folder + "/behand_clip.mp4");
    DeleteSectionExport exporter(sourcesFor(QString::fromStdString(source), 10, 20, folder));
    std::vector<double> bar;
    const Outcome outcome = run(exporter, &bar);
    ASSERT_EQ(outcome.status, Outcome::Succeeded) << outcome.code;

    const fixture::ProbeResult probe = fixture::probe((folder + "/clip.mp4").toStdString());
    ASSERT_TRUE(probe.ok) << probe.error;
    EXPECT_NEAR(probe.duration, 50.0, 0.04 + 0.001);
    EXPECT_EQ(probe.count("video"), 1);
    EXPECT_EQ(probe.count("audio"), 1);
    EXPECT_FALSE(QFile::exists(exporter.beforePath()));
    EXPECT_FALSE(QFile::exists(exporter.behindPath()));
    EXPECT_EQ(contentOf(folder + "/behand_clip.mp4"), "user");
    EXPECT_EQ(QDir(folder).entryList(QDir::Files | QDir::Hidden).size(), 2);
    for (size_t i = 1; i < bar.size(); ++i)
        EXPECT_GE(bar[i], bar[i - 1] - 1e-6);
}
