// Mirror, rotation, crop, colour and image effects, measured on the decoded output.
#include "tests/engine/EditsTestSupport.h"
#include "tests/support/ProbeTool.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

using namespace enginetest;
using fixture::Corner;

TEST(EditsGeometry, CropMarginsCutTheRotatedPictureToEvenSizes)
{
    struct Case
    {
        const char *name;
        bool large;
        int rotation;
        RECT margins;
        int width, height;
        Corner marker; // where the green corner is afterwards
    };
    const Case cases[] = {
        {"margins on 1280 x 720", true, 0, {100, 50, 100, 50}, 1080, 620, Corner::TopLeft},
        {"odd margins lose one pixel", false, 0, {7, 5, 3, 1}, 152, 86, Corner::TopLeft},
        // Turned a quarter the marker sits top right; a right margin cuts it away, a left one keeps it.
        {"rotate 90, right margin", false, 90, {0, 0, 30, 0}, 60, 160, Corner::None},
        {"rotate 90, left margin", false, 90, {30, 0, 0, 0}, 60, 160, Corner::TopRight},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        const std::string out = convertEdited(c.large ? clip720p() : editClip(), [&](MEDIA_HANDLE h) {
            EXPECT_EQ(apiMediaConvertSetRotateAngle(h, c.rotation), MEDIA_OK);
            EXPECT_EQ(apiMediaConvertSetCropSize(h, c.margins), MEDIA_OK);
        });
        ASSERT_FALSE(out.empty());
        const fixture::ProbeStream video = fixture::probe(out).ofType("video").at(0);
        EXPECT_EQ(video.width, c.width);
        EXPECT_EQ(video.height, c.height);
        EXPECT_EQ(video.rotation, 0);
        EXPECT_EQ(fixture::findMarkedCorner(frameOf(out, 0.5)), c.marker)
            << fixture::cornerName(fixture::findMarkedCorner(frameOf(out, 0.5)));
    }
}

TEST(EditsGeometry, MirrorAndRotationPutTheMarkedCornerWhereItBelongs)
{
    struct Case
    {
        int hFlip, vFlip, rotation;
        int width, height;
        Corner marker;
    };
    const Case cases[] = {
        {1, 0, 0, 160, 90, Corner::TopRight},
        {0, 1, 0, 160, 90, Corner::BottomLeft},
        {0, 0, 90, 90, 160, Corner::TopRight},
        {0, 0, 180, 160, 90, Corner::BottomRight},
        {0, 0, 270, 90, 160, Corner::BottomLeft},
        {0, 0, -90, 90, 160, Corner::BottomLeft},
        {0, 0, 450, 90, 160, Corner::TopRight},
        // The mirror applies in the source's axes, before the turn.
        {1, 0, 90, 90, 160, Corner::BottomRight},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(testing::Message()
                     << "hflip " << c.hFlip << " vflip " << c.vFlip << " rotate " << c.rotation);
        const std::string out = convertEdited(editClip(), [&](MEDIA_HANDLE h) {
            apiMediaConvertHFlipStatus(h, c.hFlip);
            apiMediaConvertVFlipStatus(h, c.vFlip);
            EXPECT_EQ(apiMediaConvertSetRotateAngle(h, c.rotation), MEDIA_OK);
        });
        ASSERT_FALSE(out.empty());
        const fixture::Image frame = frameOf(out, 0.5);
        EXPECT_EQ(frame.width, c.width);
        EXPECT_EQ(frame.height, c.height);
        EXPECT_EQ(fixture::findMarkedCorner(frame), c.marker)
            << fixture::cornerName(fixture::findMarkedCorner(frame));
    }
}

TEST(EditsGeometry, RefusesWhatCannotBeApplied)
{
    MEDIA_HANDLE h = apiMediaConvertCreate();
    ASSERT_GT(apiMediaConvertSetInputMedia(h, editClip().c_str()), 0);
    EXPECT_EQ(apiMediaConvertSetRotateAngle(h, 45), MEDIA_ERR_ARGUMENT);
    EXPECT_EQ(apiMediaConvertSetCropSize(h, RECT{-2, 0, 0, 0}), MEDIA_ERR_ARGUMENT);
    EXPECT_EQ(apiMediaConvertAdjustBCS(h, 256, 0, 0), MEDIA_ERR_ARGUMENT);
    EXPECT_EQ(apiMediaConvertAdjustBCS(h, 0, 0, -101), MEDIA_ERR_ARGUMENT);
    // Margins that leave nothing fail the job and leave no file.
    EXPECT_EQ(apiMediaConvertSetCropSize(h, RECT{80, 0, 80, 0}), MEDIA_OK);
    const std::string out = freshFolder() + "/nothing.mp4";
    ASSERT_GT(apiMediaConvertSetOutputPath(h, out.c_str()), 0);
    EXPECT_EQ(apiMediaConvertStart(h), MEDIA_ERR_ARGUMENT);
    EXPECT_FALSE(std::filesystem::exists(out));
    apiMediaConvertClose(h);
}

TEST(EditsColour, BrightnessMovesTheLumaAndSaturationRemovesColour)
{
    const std::string plain = convertEdited(editClip(), [](MEDIA_HANDLE) {});
    const std::string brighter =
        convertEdited(editClip(), [](MEDIA_HANDLE h) { apiMediaConvertAdjustBCS(h, 100, 0, 0); });
    const std::string darker =
        convertEdited(editClip(), [](MEDIA_HANDLE h) { apiMediaConvertAdjustBCS(h, -100, 0, 0); });
    const std::string grey =
        convertEdited(editClip(), [](MEDIA_HANDLE h) { apiMediaConvertAdjustBCS(h, 0, 0, -100); });
    ASSERT_FALSE(plain.empty() || brighter.empty() || darker.empty() || grey.empty());

    // The lower half is plain background.
    const double base = frameOf(plain, 0.5).mean(0, 50, 160, 40).luma();
    EXPECT_GT(frameOf(brighter, 0.5).mean(0, 50, 160, 40).luma(), base + 70);
    EXPECT_LT(frameOf(darker, 0.5).mean(0, 50, 160, 40).luma(), base - 70);

    const fixture::MeanColor marker = frameOf(grey, 0.5).mean(2, 2, 12, 12);
    EXPECT_NEAR(marker.r, marker.g, 8);
    EXPECT_NEAR(marker.b, marker.g, 8);
    const fixture::MeanColor original = frameOf(plain, 0.5).mean(2, 2, 12, 12);
    EXPECT_GT(original.g - original.r, 150); // the fixture's marker is green to begin with
}

TEST(EditsEffects, EachEffectChangesWhatItShould)
{
    const fixture::Image plain = frameOf(convertEdited(editClip(), [](MEDIA_HANDLE) {}), 0.5);
    ASSERT_GT(plain.width, 0);
    const double plainEdges = edgeEnergy(plain);
    const fixture::Rect marker = fixture::markerRect(160, 90); // 18 x 18 at the top left

    struct Case
    {
        int id;
        const char *name;
        std::function<void(const fixture::Image &)> check;
    };
    const Case cases[] = {
        {1, "grey",
         [&](const fixture::Image &f) {
             fixture::MeanColor m = f.mean(2, 2, 12, 12);
             EXPECT_NEAR(m.r, m.g, 8);
             EXPECT_NEAR(m.b, m.g, 8);
             EXPECT_GT(m.g, 100); // the marker keeps its lightness
         }},
        {2, "sepia",
         [&](const fixture::Image &f) {
             fixture::MeanColor bg = f.mean(10, 55, 140, 30);
             EXPECT_GT(bg.r, bg.g + 8);
             EXPECT_GT(bg.g, bg.b + 15);
         }},
        {3, "negative",
         [&](const fixture::Image &f) {
             fixture::MeanColor m = f.mean(2, 2, 12, 12);
             EXPECT_GT(m.r, 200);
             EXPECT_LT(m.g, 60);
             EXPECT_GT(m.b, 200);
             EXPECT_NEAR(f.mean(10, 55, 140, 30).luma(), 255 - plain.mean(10, 55, 140, 30).luma(), 8);
         }},
        {4, "blur", [&](const fixture::Image &f) { EXPECT_LT(edgeEnergy(f), 0.75 * plainEdges); }},
        {5, "sharpen", [&](const fixture::Image &f) { EXPECT_GT(edgeEnergy(f), 1.15 * plainEdges); }},
        {6, "emboss",
         [&](const fixture::Image &f) {
             // Flat areas of any colour turn mid grey; the marker's outline stands out.
             fixture::MeanColor inside = f.mean(4, 4, 10, 10);
             EXPECT_NEAR(inside.g, 128, 12);
             EXPECT_NEAR(inside.r, inside.g, 8);
             double outline = 0;
             for (int x = 2; x < marker.width - 2; ++x)
                 outline = std::max(outline, std::fabs(luma(f, x, marker.height - 1) - 128) +
                                                 std::fabs(luma(f, x, marker.height) - 128));
             EXPECT_GT(outline, 40);
         }},
        {7, "edges",
         [&](const fixture::Image &f) {
             EXPECT_LT(f.mean(10, 55, 140, 30).luma(), 20);
             // The stamp's black and white cells leave bright lines between them.
             const fixture::Rect band = fixture::stampBandRect(160, 90);
             double brightest = 0;
             for (int y = band.y + 2; y < band.y + band.height - 2; ++y)
                 for (int x = 0; x < 160; ++x)
                     brightest = std::max(brightest, luma(f, x, y));
             EXPECT_GT(brightest, 100);
         }},
        {8, "vignette",
         [&](const fixture::Image &f) {
             EXPECT_LT(f.mean(150, 80, 10, 10).luma(), f.mean(70, 70, 20, 10).luma() - 15);
         }},
        {9, "old film",
         [&](const fixture::Image &f) {
             // Sepia toned, darker towards the corners.
             fixture::MeanColor bg = f.mean(60, 55, 40, 20);
             EXPECT_GT(bg.r, bg.b + 20);
             EXPECT_LT(f.mean(150, 80, 10, 10).luma(), f.mean(70, 70, 20, 10).luma() - 15);
         }},
        {10, "mosaic",
         [&](const fixture::Image &f) {
             // Blocks of 8 pixels: steps only between blocks.
             double inside = 0, between = 0;
             for (int y = 28; y < 40; ++y)
                 for (int x = 0; x + 1 < 160; ++x)
                     ((x + 1) % 8 == 0 ? between : inside) += std::fabs(luma(f, x + 1, y) - luma(f, x, y));
             EXPECT_LT(inside / 7, 0.3 * between);
         }},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        const std::string out = convertEdited(
            editClip(), [&](MEDIA_HANDLE h) { EXPECT_EQ(apiMediaConvertAddImageEffect(h, c.id), MEDIA_OK); });
        ASSERT_FALSE(out.empty());
        const fixture::Image frame = frameOf(out, 0.5);
        ASSERT_EQ(frame.width, 160);
        c.check(frame);
    }
}

TEST(EditsEffects, UnknownIdIsIgnoredAndOrderDoesNotMatter)
{
    const fixture::Image plain = frameOf(convertEdited(editClip(), [](MEDIA_HANDLE) {}), 0.5);
    const fixture::Image unknown =
        frameOf(convertEdited(editClip(),
                              [](MEDIA_HANDLE h) {
                                  EXPECT_EQ(apiMediaConvertAddImageEffect(h, 42), MEDIA_ERR_ARGUMENT);
                                  EXPECT_EQ(apiMediaConvertAddImageEffect(h, 0), MEDIA_ERR_ARGUMENT);
                              }),
                0.5);
    ASSERT_EQ(unknown.width, 160);
    EXPECT_LT(difference(plain, unknown, 0, 0, 160, 90), 1.5);

    // Grey then negative, asked in either order (and twice), gives one result.
    const fixture::Image forward = frameOf(convertEdited(editClip(),
                                                         [](MEDIA_HANDLE h) {
                                                             apiMediaConvertAddImageEffect(h, 1);
                                                             apiMediaConvertAddImageEffect(h, 3);
                                                         }),
                                           0.5);
    const fixture::Image backward = frameOf(convertEdited(editClip(),
                                                          [](MEDIA_HANDLE h) {
                                                              apiMediaConvertAddImageEffect(h, 3);
                                                              apiMediaConvertAddImageEffect(h, 1);
                                                              apiMediaConvertAddImageEffect(h, 3);
                                                          }),
                                            0.5);
    ASSERT_EQ(forward.width, 160);
    EXPECT_LT(difference(forward, backward, 0, 0, 160, 90), 1.0);
    fixture::MeanColor m = forward.mean(2, 2, 12, 12);
    EXPECT_NEAR(m.r, m.g, 8); // grey applied...
    EXPECT_LT(m.g, 128);      // ...and then inverted: the light marker turned dark
}
