#include "services/ResourceService.h"
#include "platform/Bundle.h"
#include "tests/support/TempResources.h"

#include <QBuffer>
#include <QImage>

#include <gtest/gtest.h>

namespace {

// An image whose size tells which file was loaded.
QByteArray imageBytes(int side, const char *format = "PNG")
{
    QImage image(side, side, QImage::Format_RGB32);
    image.fill(Qt::red);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format);
    return bytes;
}

class ResourceServiceTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        const auto put = [this](const char *name, const QByteArray &bytes) {
            m_resources.write(QStringLiteral("Settings.bundle/") + QLatin1String(name), bytes);
        };
        put("Resources/play_played_bkg.png", imageBytes(7));
        put("Main/btnCrop_Normal.bmp", imageBytes(4, "BMP"));
        put("im/bare", imageBytes(5)); // a picture file without an extension
        put("im/bare.png", imageBytes(6));
        put("im/a.png", imageBytes(1));
        put("im/a@3x.png", imageBytes(3));
        put("im/b@3x.png", imageBytes(3));
        put("im/b@2x.png", imageBytes(2));
        put("im/c@2x.png", imageBytes(2));
        put("im/broken.png", "not a picture");
        put("im/broken@2x.png", imageBytes(2));
    }

    TempResources m_resources;
};

TEST_F(ResourceServiceTest, ClassFormTriesNameThenPngThen3xThen2x)
{
    const struct
    {
        const char *name;
        int side; // 0: no image
    } cases[] = {
        {"Resources/play_played_bkg.png", 7}, {"Main/btnCrop_Normal.bmp", 4}, {"im/bare", 5},
        {"im/a", 1}, {"im/b", 3}, {"im/c", 2}, {"im/broken", 2}, {"im/missing", 0}, {"im/missing.png", 0},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        const QImage image = ResourceService::imageWithfileName(QString::fromLatin1(c.name));
        EXPECT_EQ(image.isNull(), c.side == 0);
        EXPECT_EQ(image.width(), c.side);
    }
}

TEST_F(ResourceServiceTest, ExactFormTakesTheNameAsItStands)
{
    const struct
    {
        const char *name;
        int side;
    } cases[] = {
        {"Resources/play_played_bkg.png", 7}, {"Main/btnCrop_Normal.bmp", 4}, {"im/a.png", 1},
        {"im/a", 0}, {"im/c", 0}, {"im/bare", 5}, {"im/broken.png", 0}, {"", 0},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        const QImage image = ResourceService::imageWithfileNameExact(QString::fromLatin1(c.name));
        EXPECT_EQ(image.isNull(), c.side == 0);
        EXPECT_EQ(image.width(), c.side);
    }
}

TEST_F(ResourceServiceTest, SettingsBundleFollowsTheMainBundle)
{
    EXPECT_EQ(ResourceService::resourceBundle().resourcePath(),
              QDir::cleanPath(m_resources.path() + QStringLiteral("/Settings.bundle")));
    {
        TempResources other;
        other.write(QStringLiteral("Settings.bundle/im/a.png"), imageBytes(9));
        EXPECT_EQ(ResourceService::imageWithfileName(QStringLiteral("im/a")).width(), 9);
    }
    EXPECT_EQ(ResourceService::imageWithfileName(QStringLiteral("im/a")).width(), 1);
}

TEST(ResourceService, IdentifierAndVersionComeFromTheBundle)
{
    EXPECT_EQ(ResourceService::getCurrentBundleIdentifier(), QLatin1String("org.videoworkshop.VideoWorkshop"));
    EXPECT_FALSE(ResourceService::getCurrentVersion().isEmpty());
}

} // namespace
