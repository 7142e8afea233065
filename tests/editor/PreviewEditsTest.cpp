// The subtitle record the preview player is handed: filled from the subtitle as the export fills it, and
// filled the same way with an empty path when the file was taken away (a reset), which clears the
// preview's subtitle while keeping its style.
#include "editor/PreviewEdits.h"
#include "model/SubtitleParam.h"

#include <QColor>

#include <gtest/gtest.h>

#include <string>

namespace {

std::shared_ptr<SubtitleParam> subtitle(const QString &path, const QColor &colour)
{
    auto param = std::make_shared<SubtitleParam>();
    param->setSubtitlePath(path);
    param->setPositon(40);
    param->setFontPath(QStringLiteral("/fonts/sans.ttf"));
    param->setFontSize(24);
    param->setShadow(0);
    param->setFontColor(colour);
    return param;
}

TEST(PreviewEdits, SubtitleRecordIsFilledWithOrWithoutAFile)
{
    const struct
    {
        const char *name;
        std::shared_ptr<SubtitleParam> param;
        QColor captionColor;
        const char *path;
        uint32_t colour;
    } cases[] = {
        {"a file in its own colour", subtitle("/subs/a.srt", Qt::blue), QColor(), "/subs/a.srt", 0x0000ff00},
        {"a file in the chosen colour", subtitle("/subs/a.srt", Qt::blue), Qt::red, "/subs/a.srt", 0xff000000},
        {"a file with no colour at all", subtitle("/subs/a.srt", QColor()), QColor(), "/subs/a.srt", 0xffffff00},
        {"no file after a reset", subtitle(QString(), Qt::blue), Qt::red, "", 0x0000ff00},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        ExportEditState state;
        state.subtitleParam = c.param;
        state.captionColor = c.captionColor;
        const SUBTITLE_PARAM record = PreviewEdits::subtitleRecord(state);
        EXPECT_EQ(std::string(record.path), c.path);
        EXPECT_EQ(record.position, 40);
        EXPECT_EQ(std::string(record.szFontFile), "/fonts/sans.ttf");
        EXPECT_EQ(record.fontsize, 24);
        EXPECT_EQ(record.shadow, 0);
        EXPECT_EQ(record.fontclr, c.colour);
        EXPECT_EQ(record.shadowclr, c.colour);
    }

    const SUBTITLE_PARAM none = PreviewEdits::subtitleRecord(ExportEditState{});
    EXPECT_EQ(none.path[0], '\0');
    EXPECT_EQ(none.fontsize, 0);
    EXPECT_EQ(none.position, 0);
}

} // namespace
