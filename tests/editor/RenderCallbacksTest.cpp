#include "editor/RenderCallbacks.h"
#include "tests/support/SharedFixtures.h"

#include <QImage>

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace {

TEXT_WATERMARK_PARAM textParam(const char *text, uint32_t colour, int transparence, int left, int baseline,
                               int size = 40)
{
    TEXT_WATERMARK_PARAM p;
    std::memset(&p, 0, sizeof p);
    std::strcpy(p.text, text);
    std::strcpy(p.szFontName, "DejaVu Sans");
    p.fontsize = size;
    p.fontclr = colour;
    p.transparence = transparence;
    p.rect.left = left;
    p.rect.top = baseline;
    return p;
}

struct Ink
{
    int minX = 1 << 30, maxX = -1, minY = 1 << 30, maxY = -1, count = 0;
    int maxAlpha = 0;
};

Ink inkOf(const std::vector<uint8_t> &buffer, int width, int height)
{
    Ink ink;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const int a = buffer[(y * width + x) * 4 + 3];
            if (a == 0)
                continue;
            ink.minX = std::min(ink.minX, x);
            ink.maxX = std::max(ink.maxX, x);
            ink.minY = std::min(ink.minY, y);
            ink.maxY = std::max(ink.maxY, y);
            ink.maxAlpha = std::max(ink.maxAlpha, a);
            ++ink.count;
        }
    return ink;
}

} // namespace

TEST(RenderCallbacks, TextPixelsAreBlueGreenRedAlphaPremultiplied)
{
    const int w = 200, h = 100;
    struct Case
    {
        const char *what;
        uint32_t colour;
        int transparence;
        std::array<int, 4> solid;
    };
    // Solid pixels of a heavy glyph, in memory order.
    for (const Case &c : std::vector<Case>{{"opaque red", 0xFF000000u, 0, {0, 0, 255, 255}},
                                           {"opaque blue", 0x0000FF00u, 0, {255, 0, 0, 255}},
                                           {"red at transparency 40 (drawn opaque)", 0xFF000000u, 40,
                                            {0, 0, 255, 255}}}) {
        SCOPED_TRACE(c.what);
        std::vector<uint8_t> buffer(w * h * 4, 0);
        RenderCallbacks::drawTextWatermarkCallback(w, h, buffer.data(),
                                                   textParam("█", c.colour, c.transparence, 10, 20, 60));
        const Ink ink = inkOf(buffer, w, h);
        ASSERT_GT(ink.count, 100);
        // The middle of the block glyph is solid.
        const int x = (ink.minX + ink.maxX) / 2, y = (ink.minY + ink.maxY) / 2;
        const uint8_t *px = &buffer[(y * w + x) * 4];
        for (int i = 0; i < 4; ++i)
            EXPECT_NEAR(px[i], c.solid[i], 1) << "byte " << i;
    }

}

TEST(RenderCallbacks, TextStartsAtLeftWithItsBaselineAboveTheBottomRow)
{
    const int w = 200, h = 100;
    std::vector<uint8_t> buffer(w * h * 4, 0);
    // Capitals without descenders sit on the baseline.
    RenderCallbacks::drawTextWatermarkCallback(w, h, buffer.data(), textParam("HEH", 0xFFFFFF00u, 0, 10, 20));
    const Ink ink = inkOf(buffer, w, h);
    ASSERT_GT(ink.count, 0);
    // The baseline is 20 rows above the bottom row: the lowest inked row is row 79 (of 0..99).
    EXPECT_NEAR(ink.maxY, h - 1 - 20, 1);
    EXPECT_GE(ink.minX, 10);
    EXPECT_LE(ink.minX, 10 + 6);
    // A cap height of roughly 0.73 of 40 pixels.
    EXPECT_NEAR(ink.maxY - ink.minY + 1, 29, 3);
}

TEST(RenderCallbacks, TextLandsOverTheBufferAndNeverPastIt)
{
    const int w = 40, h = 20;
    std::vector<uint8_t> buffer(w * h * 4 + 16, 0);
    for (int i = 0; i < w * h; ++i)
        std::memcpy(&buffer[i * 4], "\x10\x20\x30\xff", 4);
    std::memset(&buffer[w * h * 4], 0xAB, 16);
    RenderCallbacks::drawTextWatermarkCallback(w, h, buffer.data(),
                                               textParam("WWWWWWW", 0xFF000000u, 0, -5, -3, 60));
    for (int i = 0; i < 16; ++i)
        ASSERT_EQ(buffer[w * h * 4 + i], 0xAB);
    // Drawn over an opaque picture, every pixel stays opaque.
    for (int i = 0; i < w * h; ++i)
        ASSERT_EQ(buffer[i * 4 + 3], 0xff) << "pixel " << i;
}

TEST(RenderCallbacks, LoadImageReportsPixelSizeAndTightBgraPixels)
{
    const std::string folder = fixture::freshFolder();
    const QString path = QString::fromStdString(folder + "/p.png");
    QImage picture(3, 2, QImage::Format_ARGB32);
    picture.fill(QColor(255, 0, 0));
    picture.setPixelColor(0, 0, QColor(0, 0, 255, 128));
    picture.setDotsPerMeterX(5669); // 144 dpi: the size is still counted in pixels
    picture.setDotsPerMeterY(5669);
    ASSERT_TRUE(picture.save(path));
    const QByteArray utf8 = path.toUtf8();

    int width = 0, height = 0;
    EXPECT_EQ(RenderCallbacks::loadImageCallback(utf8.constData(), &width, &height, 0, nullptr), 1);
    EXPECT_EQ(width, 3);
    EXPECT_EQ(height, 2);

    std::vector<uint8_t> small(3 * 2 * 4 - 1, 0xEE);
    EXPECT_EQ(RenderCallbacks::loadImageCallback(utf8.constData(), nullptr, nullptr, int(small.size()),
                                                 small.data()),
              0);
    EXPECT_EQ(small, std::vector<uint8_t>(small.size(), 0xEE)) << "a refused call writes nothing";

    std::vector<uint8_t> buffer(3 * 2 * 4 + 4, 0xEE);
    ASSERT_EQ(RenderCallbacks::loadImageCallback(utf8.constData(), nullptr, nullptr, int(buffer.size()),
                                                 buffer.data()),
              1);
    // Top-left: blue at half alpha, premultiplied; then red, rows packed without gaps.
    EXPECT_NEAR(buffer[0], 128, 1);
    EXPECT_EQ(buffer[1], 0);
    EXPECT_EQ(buffer[2], 0);
    EXPECT_EQ(buffer[3], 128);
    const uint8_t red[4] = {0, 0, 255, 255};
    for (int i = 1; i < 6; ++i)
        EXPECT_EQ(std::memcmp(&buffer[i * 4], red, 4), 0) << "pixel " << i;
    EXPECT_EQ(buffer[24], 0xEE);

    for (const char *bad : {static_cast<const char *>(nullptr), "", "/no/such/file.png"})
        EXPECT_EQ(RenderCallbacks::loadImageCallback(bad, &width, &height, 0, nullptr), 0);
    const QString notPicture = QString::fromStdString(folder + "/x.png");
    ASSERT_TRUE(fixture::makeGarbageFile(notPicture.toStdString(), 300));
    EXPECT_EQ(
        RenderCallbacks::loadImageCallback(notPicture.toUtf8().constData(), &width, &height, 0, nullptr), 0);
}

TEST(RenderCallbacks, SaveImageWritesPngAndReportsFailure)
{
    const QString folder = QString::fromStdString(fixture::freshFolder());
    QImage image(4, 4, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::green);
    EXPECT_TRUE(RenderCallbacks::saveImage(image, folder + "/a.png"));
    EXPECT_EQ(QImage(folder + "/a.png").pixelColor(1, 1), QColor(Qt::green));
    EXPECT_FALSE(RenderCallbacks::saveImage(image, folder + "/missing/a.png"));
    EXPECT_FALSE(RenderCallbacks::saveImage(QImage(), folder + "/b.png"));
}
