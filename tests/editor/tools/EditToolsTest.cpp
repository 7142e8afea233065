// The crop and rotate tools on their own, through a host without a window: the crop mapping from the
// overlay's points to video pixels and margins, typed crop values, and the angle and mirror-flag states.
#include "editor/tools/CropTool.h"
#include "editor/tools/RDUICliper.h"
#include "editor/tools/RotateTool.h"
#include "model/EngineRecords.h"
#include "platform/TextField.h"
#include "platform/View.h"

#include <gtest/gtest.h>

namespace {

struct ToolHost : EditToolHost
{
    std::shared_ptr<RDMoviePlayer> player;
    platform::Size size;
    RDUICliper *overlay = nullptr;
    CropMapping::Orientation turn;
    int turned = 0;
    bool lastReset = false;
    int edits = 0;

    const std::shared_ptr<RDMoviePlayer> &rdPlayer() const override { return player; }
    bool isPlaying() const override { return false; }
    platform::Size videoSize() const override { return size; }
    CropMapping::Orientation orientation() const override { return turn; }
    void editsChanged() override { ++edits; }
    RDUICliper *cliper() const override { return overlay; }
    void pictureTurned(bool reset) override
    {
        ++turned;
        lastReset = reset;
    }
    void queueOnMain(std::function<void()> work) override { work(); }
    void showToolAlert(const QString &message) override { alerts.append(message); }
    QStringList alerts;
};

// A crop tool with its panel and an overlay of `shown` points over a picture of `picture` pixels.
struct CropBench
{
    ToolHost host;
    platform::View panel{platform::makeRect(0, 0, 236, 400)};
    CropTool crop{host};
    RDUICliper overlay;

    CropBench(platform::Size picture, platform::Size shown)
        : overlay(platform::Rect{platform::Point{}, shown}, &panel)
    {
        crop.initCropView(&panel);
        host.size = picture;
        host.overlay = &overlay;
        overlay.setVideoSize(picture);
        crop.attachCliper(&overlay);
    }
    QString field(platform::TextField *f) const { return f->stringValue(); }
};

void expectMargins(const RECT &m, int left, int top, int right, int bottom)
{
    EXPECT_EQ(m.left, left);
    EXPECT_EQ(m.top, top);
    EXPECT_EQ(m.right, right);
    EXPECT_EQ(m.bottom, bottom);
}

} // namespace

TEST(CropTool, OverlayRectangleMapsToPixelsMarginsAndFields)
{
    const struct
    {
        const char *name;
        platform::Size picture, shown;
        platform::Rect dragged;
        platform::Rect pixels;
        RECT margins;
        const char *width, *height, *left, *top;
    } cases[] = {
        // 1920 x 1080 shown at 960 x 540: every point is two pixels.
        {"half-size view",
         {1920, 1080},
         {960, 540},
         platform::makeRect(100, 50, 401, 301),
         platform::makeRect(200, 100, 802, 602),
         RECT{200, 378, 918, 100},
         "802",
         "602",
         "200",
         "378"},
        // Odd margins are made even by dropping the remainder: 3 -> 2, 5 -> 4.
        {"odd margins",
         {128, 64},
         {128, 64},
         platform::makeRect(3, 5, 61, 41),
         platform::makeRect(3, 5, 61, 41),
         RECT{2, 18, 64, 4},
         "61",
         "41",
         "3",
         "18"},
        // A crop 5 pixels wide shows two digits.
        {"narrow crop",
         {128, 64},
         {128, 64},
         platform::makeRect(0, 0, 5, 64),
         platform::makeRect(0, 0, 5, 64),
         RECT{0, 0, 122, 0},
         "05",
         "64",
         "0",
         "0"},
        // Within half a pixel of the whole picture is no crop at all.
        {"whole picture",
         {1920, 1080},
         {960, 540},
         platform::makeRect(0.2, 0.2, 959.6, 539.6),
         platform::makeRect(0, 0, 1920, 1080),
         RECT{0, 0, 0, 0},
         "1920",
         "1080",
         "0",
         "0"},
        // One point in from the left edge is two pixels of this picture: still a crop.
        {"a point in from the edge",
         {1920, 1080},
         {960, 540},
         platform::makeRect(1, 0, 959, 540),
         platform::makeRect(2, 0, 1918, 1080),
         RECT{2, 0, 0, 0},
         "1918",
         "1080",
         "2",
         "0"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        CropBench bench(c.picture, c.shown);
        bench.crop.actionMovedForRDUICliperBlock(&bench.overlay, c.dragged);
        const platform::Rect r = bench.crop.editVideoClipRect();
        EXPECT_NEAR(r.minX(), c.pixels.minX(), 1e-3);
        EXPECT_NEAR(r.minY(), c.pixels.minY(), 1e-3);
        EXPECT_NEAR(r.width(), c.pixels.width(), 1e-3);
        EXPECT_NEAR(r.height(), c.pixels.height(), 1e-3);
        expectMargins(bench.crop.convertCropSize(), c.margins.left, c.margins.top, c.margins.right,
                      c.margins.bottom);
        EXPECT_EQ(bench.field(bench.crop.cropWidthField()), c.width);
        EXPECT_EQ(bench.field(bench.crop.cropHeightField()), c.height);
        EXPECT_EQ(bench.field(bench.crop.cropLeftField()), c.left);
        EXPECT_EQ(bench.field(bench.crop.cropTopField()), c.top);
    }
}

TEST(CropTool, ReportsFromAnotherOverlayAreIgnored)
{
    CropBench bench({1920, 1080}, {960, 540});
    RDUICliper stranger(platform::makeRect(0, 0, 960, 540));
    bench.crop.actionMovedForRDUICliperBlock(&stranger, platform::makeRect(100, 50, 401, 301));
    expectMargins(bench.crop.convertCropSize(), 0, 0, 0, 0);
    EXPECT_EQ(bench.crop.editVideoClipRect(), platform::makeRect(0, 0, 1920, 1080));
}

TEST(CropTool, TypedValuesMoveTheOverlayAndReachTheMarginsAsADragDoes)
{
    CropBench bench({1920, 1080}, {960, 540});
    bench.crop.actionMovedForRDUICliperBlock(&bench.overlay, platform::makeRect(100, 50, 401, 301));

    bench.crop.cropWidthField()->setStringValue(QStringLiteral("800"));
    EXPECT_TRUE(bench.crop.controlTextShouldEndEditing(bench.crop.cropWidthField()));
    expectMargins(bench.crop.convertCropSize(), 200, 378, 920, 100);
    EXPECT_NEAR(bench.overlay.getclipRectFrame().width(), 400, 0.01) << "the overlay shows the typed width";

    // A left edge past the picture is held so the rectangle stays inside: x = 1920 - 800.
    bench.crop.cropLeftField()->setStringValue(QStringLiteral("1500"));
    EXPECT_TRUE(bench.crop.controlTextShouldEndEditing(bench.crop.cropLeftField()));
    expectMargins(bench.crop.convertCropSize(), 1120, 378, 0, 100);
    EXPECT_EQ(bench.field(bench.crop.cropLeftField()), "1120");

    bench.crop.cropTopField()->setStringValue(QStringLiteral("20"));
    EXPECT_TRUE(bench.crop.controlTextShouldEndEditing(bench.crop.cropTopField()));
    expectMargins(bench.crop.convertCropSize(), 1120, 20, 0, 458);

    // A width wider than the picture is the whole width, pulled back to the left edge.
    bench.crop.cropWidthField()->setStringValue(QStringLiteral("5000"));
    EXPECT_TRUE(bench.crop.controlTextShouldEndEditing(bench.crop.cropWidthField()));
    expectMargins(bench.crop.convertCropSize(), 0, 20, 0, 458);
    const RECT m = bench.crop.convertCropSize();
    EXPECT_EQ(EngineRecords::cropMargins(bench.crop.editVideoClipRect(), 1920, 1080).top, m.top)
        << "one margin rule";
}

TEST(CropTool, KeepAspectOnRestartsFromTheWholePictureAndOffKeepsTheCrop)
{
    CropBench bench({1920, 1080}, {960, 540});
    bench.crop.actionMovedForRDUICliperBlock(&bench.overlay, platform::makeRect(100, 50, 401, 301));
    bench.crop.keepAspectAction();
    EXPECT_EQ(bench.overlay.crop_Type(), 2);
    expectMargins(bench.crop.convertCropSize(), 0, 0, 0, 0);
    EXPECT_EQ(bench.crop.editVideoClipRect(), platform::makeRect(0, 0, 1920, 1080));

    bench.crop.actionMovedForRDUICliperBlock(&bench.overlay, platform::makeRect(100, 50, 400, 225));
    const RECT kept = bench.crop.convertCropSize();
    bench.crop.keepAspectAction();
    EXPECT_EQ(bench.overlay.crop_Type(), 1);
    expectMargins(bench.crop.convertCropSize(), kept.left, kept.top, kept.right, kept.bottom);
}

// The panel's reset button is there, hidden, and follows the editing state with the fields.
TEST(CropTool, HiddenResetButtonFollowsTheEditingState)
{
    CropBench bench({1920, 1080}, {960, 540});
    PNQButton *reset = bench.crop.editCropCancelBtn();
    ASSERT_TRUE(reset);
    EXPECT_TRUE(reset->isHidden());
    EXPECT_FALSE(reset->isEnabled());
    bench.crop.enableEdit(true);
    EXPECT_TRUE(reset->isEnabled());
    EXPECT_TRUE(reset->isHidden());
    bench.crop.enableEdit(false);
    EXPECT_FALSE(reset->isEnabled());
}

TEST(CropTool, AResetGoesBackToTheWholePictureInFreeMode)
{
    CropBench bench({1920, 1080}, {960, 540});
    bench.crop.keepAspectAction();
    bench.crop.actionMovedForRDUICliperBlock(&bench.overlay, platform::makeRect(100, 50, 400, 225));
    bench.crop.resetToWholePicture(platform::makeRect(0, 0, 960, 540));
    expectMargins(bench.crop.convertCropSize(), 0, 0, 0, 0);
    EXPECT_EQ(bench.overlay.crop_Type(), 1);
    EXPECT_EQ(bench.field(bench.crop.cropTopField()), "0");
    EXPECT_EQ(bench.field(bench.crop.cropLeftField()), "0");
    EXPECT_FALSE(bench.crop.hasCrop());
}

TEST(CropMapping, SourceRectanglesFollowTurnsAndMirrors)
{
    // A 40 x 20 source; the rectangle 10 x 5 at (4, 2) from the top-left.
    const platform::Size source{40, 20};
    const platform::Rect r = platform::makeRect(4, 2, 10, 5);
    const struct
    {
        int angle, hFlip, vFlip;
        platform::Rect shown;
    } cases[] = {
        {0, 0, 0, platform::makeRect(4, 2, 10, 5)},
        {90, 0, 0, platform::makeRect(13, 4, 5, 10)},   // on a 20 x 40 picture
        {180, 0, 0, platform::makeRect(26, 13, 10, 5)},
        {270, 0, 0, platform::makeRect(2, 26, 5, 10)},
        {0, 1, 0, platform::makeRect(26, 2, 10, 5)},
        {0, 0, 1, platform::makeRect(4, 13, 10, 5)},
        {90, 1, 0, platform::makeRect(13, 26, 5, 10)}, // mirrored first, then turned
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(testing::Message() << c.angle << " h" << c.hFlip << " v" << c.vFlip);
        const CropMapping::Orientation o{c.angle, c.hFlip, c.vFlip};
        EXPECT_EQ(CropMapping::toShown(r, source, o), c.shown);
        EXPECT_EQ(CropMapping::toSource(c.shown, source, o), r) << "and back";
    }
}

TEST(CropTool, ACropIsKeptThroughTurnsAndMirrors)
{
    // 960 x 720 at left 160 of a 1280 x 720 picture shown at half size.
    CropBench bench({1280, 720}, {640, 360});
    bench.overlay.setClipRect(platform::makeRect(80, 0, 480, 360));
    bench.crop.actionMoveEndForRDUICliperBlock(&bench.overlay, platform::Rect{});
    expectMargins(bench.crop.convertCropSize(), 160, 0, 160, 0);
    EXPECT_GT(bench.host.edits, 0) << "a released drag reaches the preview";

    // Turned right, the picture is 720 x 1280 and the kept part is 720 x 960, 160 from the top.
    bench.host.turn.angle = 90;
    bench.host.size = {720, 1280};
    bench.overlay.setVideoSize(bench.host.size);
    bench.crop.layOverlay(platform::makeRect(0, 0, 202.5, 360));
    EXPECT_EQ(bench.crop.editVideoClipRect(), platform::makeRect(0, 160, 720, 960));
    expectMargins(bench.crop.convertCropSize(), 0, 160, 0, 160);
    EXPECT_EQ(bench.field(bench.crop.cropWidthField()), "720");
    EXPECT_EQ(bench.field(bench.crop.cropHeightField()), "960");
    EXPECT_EQ(bench.field(bench.crop.cropLeftField()), "0");
    EXPECT_EQ(bench.field(bench.crop.cropTopField()), "160");
    EXPECT_NEAR(bench.overlay.getclipRectFrame().minY(), 45, 0.01) << "the overlay shows it where it lies";
    EXPECT_NEAR(bench.overlay.getclipRectFrame().height(), 270, 0.01);

    // An uneven crop mirrored: its margins change sides.
    bench.host.turn = {};
    bench.host.size = {1280, 720};
    bench.crop.setEditVideoClipRect(platform::makeRect(100, 0, 400, 720));
    expectMargins(bench.crop.convertCropSize(), 100, 0, 780, 0);
    bench.host.turn.hFlip = 1;
    expectMargins(bench.crop.convertCropSize(), 780, 0, 100, 0);
}

TEST(RotateTool, AnglesCycleInQuarterTurns)
{
    const struct
    {
        int angle, left, right;
    } cases[] = {{0, 270, 90}, {90, 0, 180}, {180, 90, 270}, {270, 180, 0}};
    for (const auto &c : cases) {
        EXPECT_EQ(RotateTool::turnedLeft(c.angle), c.left) << c.angle;
        EXPECT_EQ(RotateTool::turnedRight(c.angle), c.right) << c.angle;
        EXPECT_EQ(RotateTool::turnedRight(RotateTool::turnedLeft(c.angle)), c.angle);
    }
    ToolHost host;
    RotateTool rotate(host);
    for (int i = 0; i < 4; ++i)
        rotate.leftRatioAction();
    EXPECT_EQ(rotate.playerRotateAngle(), 0) << "four left turns are the identity";
    EXPECT_EQ(host.turned, 4) << "every turn re-lays the overlays";
    for (int i = 0; i < 3; ++i)
        rotate.rightRatioAction();
    EXPECT_EQ(rotate.playerRotateAngle(), 270);
}

TEST(RotateTool, MirrorsOfTheShownPictureSwapAxesAtQuarterTurns)
{
    const struct
    {
        int angle;
        bool horizontal;
        int hFlip, vFlip;
    } cases[] = {
        {0, true, 1, 0},  {0, false, 0, 1},  {180, true, 1, 0}, {180, false, 0, 1},
        {90, true, 0, 1}, {90, false, 1, 0}, {270, true, 0, 1}, {270, false, 1, 0},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(testing::Message() << c.angle << (c.horizontal ? " horizontal" : " vertical"));
        ToolHost host;
        RotateTool rotate(host);
        rotate.setPlayerRotateAngle(c.angle);
        c.horizontal ? rotate.horizontalMirrorAction() : rotate.verticalMirrorAction();
        EXPECT_EQ(rotate.hFlip(), c.hFlip);
        EXPECT_EQ(rotate.vFlip(), c.vFlip);
        EXPECT_EQ(host.turned, 1) << "a mirror moves the crop: the overlays are laid out again";
        EXPECT_EQ(host.edits, 1) << "and the preview gets the new state";
        c.horizontal ? rotate.horizontalMirrorAction() : rotate.verticalMirrorAction();
        EXPECT_EQ(rotate.hFlip() + rotate.vFlip(), 0) << "a second click undoes the first";
    }
}

TEST(RotateTool, ResetClearsAngleAndFlagsAndEmptiesTheWatermarks)
{
    ToolHost host;
    RotateTool rotate(host);
    rotate.rightRatioAction();
    rotate.horizontalMirrorAction();
    rotate.verticalMirrorAction();
    rotate.resetRotateTouchUp();
    EXPECT_EQ(rotate.playerRotateAngle(), 0);
    EXPECT_EQ(rotate.hFlip(), 0);
    EXPECT_EQ(rotate.vFlip(), 0);
    EXPECT_TRUE(host.lastReset);
}
