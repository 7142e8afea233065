#include "EasyCutterTestWindow.h"

#include "controls/PNQOpenAlert.h"
#include "platform/Application.h"
#include "platform/Window.h"
#include "tests/support/FinishDialogWatch.h"
#include "tests/support/ProbeDecoder.h"
#include "tests/support/ProbeTool.h"

#include <QDir>
#include <QPushButton>
#include <QTest>
#include <QTimer>

namespace {

constexpr int kExportWaitMs = 300000;
constexpr double kFrame = 1.0 / 25;

// 6 s, 160 x 90, 25 fps, with a tone: every frame stamped with its index.
QString sixSeconds()
{
    fixture::Spec spec;
    spec.duration = 6;
    return QString::fromStdString(fixture::sharedFixture("six.mp4", spec));
}

class EasyCutterEndToEnd : public easycuttest::EasyCutterWindowTest
{
protected:
    // Types a time into a group, part by part, and ends the edit as Return does.
    void typeTime(const TimeFieldGroup &group, const QStringList &parts)
    {
        const QList<platform::TextField *> fields = group.fields();
        for (int i = 0; i < 4; ++i)
            fields[i]->setStringValue(parts[i]);
        ASSERT_TRUE(cutter->controlTextShouldEndEditing(fields[2]));
    }

    // Presses CUT, then sets the new cut's exact times in its cut-time panel (modify mode).
    void makeCut(float barStart, float barEnd, const QStringList &start, const QStringList &end)
    {
        cutAt(barStart, barEnd);
        const int index = cutter->cutList().count() - 1;
        cutter->rowEntered(cutter->cutItemViews().at(index));
        QTest::mouseClick(cutter->itemModifyBtn(), Qt::LeftButton);
        TestEnvironment::processEvents();
        ASSERT_TRUE(cutter->selectedItemTimeChangeView()->isVisible());
        typeTime(cutter->cutStopGroup(), end);
        typeTime(cutter->cutStartGroup(), start);
        QTest::mouseClick(cutter->itemModifyBtn(), Qt::LeftButton);
        TestEnvironment::processEvents();
    }

    void exportAndWait()
    {
        const qsizetype before = m_dialogWatch.texts().size();
        QTest::mouseClick(cutter->startExportBtn(), Qt::LeftButton);
        ASSERT_TRUE(TestEnvironment::waitUntil([&] { return cutter->isStartExport(); }));
        ASSERT_TRUE(TestEnvironment::waitUntil([&] { return !cutter->isStartExport(); }, kExportWaitMs));
        ASSERT_TRUE(TestEnvironment::waitUntil([&] { return m_dialogWatch.texts().size() > before; }));
    }

    FinishDialogWatch m_dialogWatch;
};

} // namespace

TEST_F(EasyCutterEndToEnd, TwoCutsBecomeTwoFilesThenARerunAndAMergedFile)
{
    openWith(sixSeconds());
    makeCut(0.5f, 2.5f, {"00", "00", "01", "00"}, {"00", "00", "02", "00"});
    makeCut(2.5f, 5.0f, {"00", "00", "03", "00"}, {"00", "00", "04", "50"});
    ASSERT_EQ(cutter->cutList().count(), 2);
    ASSERT_FLOAT_EQ(cutter->cutList().cutAt(0)->startTime, 1.0f);
    ASSERT_FLOAT_EQ(cutter->cutList().cutAt(1)->endTime, 4.5f);

    const QString out = cutter->outputPath();
    ASSERT_FALSE(out.isEmpty());
    exportAndWait();
    struct Expected
    {
        QString name;
        double duration;
        int firstFrame;
    };
    const Expected files[] = {{"000001.00-000002.00.mp4", 1.0, 25}, {"000003.00-000004.50.mp4", 1.5, 75}};
    for (const Expected &e : files) {
        const std::string path = (out + "/" + e.name).toStdString();
        const fixture::ProbeResult probe = fixture::probe(path);
        ASSERT_TRUE(probe.ok) << path << " " << probe.error;
        EXPECT_NEAR(probe.duration, e.duration, kFrame) << path;
        const std::vector<int> frames = fixture::decodeAllFrameIndices(path);
        ASSERT_FALSE(frames.empty()) << path;
        EXPECT_EQ(frames.front(), e.firstFrame) << path;
    }

    // The same cuts again: the names are taken, so each gets "(2)".
    exportAndWait();
    EXPECT_TRUE(QFile::exists(out + "/000001.00-000002.00(2).mp4"));
    EXPECT_TRUE(QFile::exists(out + "/000003.00-000004.50(2).mp4"));

    // Merged: one file of the summed length with sound all through it.
    const QStringList before = QDir(out).entryList(QDir::Files);
    QTest::mouseClick(cutter->merageBtn(), Qt::LeftButton);
    TestEnvironment::processEvents();
    ASSERT_TRUE(cutter->merageBtn()->selected());
    exportAndWait();
    QStringList added = QDir(out).entryList(QDir::Files);
    for (const QString &name : before)
        added.removeAll(name);
    ASSERT_EQ(added.size(), 1) << added.join(",").toStdString();
    const std::string merged = (out + "/" + added.first()).toStdString();
    EXPECT_TRUE(added.first().endsWith(".mp4"));
    const fixture::ProbeResult probe = fixture::probe(merged);
    ASSERT_TRUE(probe.ok) << probe.error;
    EXPECT_NEAR(probe.duration, 2.5, 2 * kFrame);
    const std::vector<double> levels = fixture::audioRmsWindows(merged, 0.25);
    ASSERT_GE(levels.size(), 9u);
    for (size_t i = 0; i + 1 < levels.size(); ++i)
        EXPECT_GT(levels[i], 0.05) << "silent window " << i;
    const std::vector<int> frames = fixture::decodeAllFrameIndices(merged);
    ASSERT_FALSE(frames.empty());
    EXPECT_EQ(frames.front(), 25);
}
