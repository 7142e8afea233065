// The music ranges the preview and the export hand to the engine, from one rule.
#include "model/MusicRanges.h"
#include "model/MusicInfo.h"

#include <gtest/gtest.h>

TEST(MusicRanges, SpanPruneAndRepeatGiveTheEngineRanges)
{
    using MusicRanges::Form;
    const struct
    {
        const char *name;
        bool prune, repeat;
        Form form;
        float srcStart, srcEnd, tlStart, tlEnd;
    } cases[] = {
        // A 10 s jingle (duration 10) placed at 10..40 s of a 60 s video, used part 2..8 s.
        {"no prune, no repeat, preview", false, false, Form::Preview, 0, 10, 10, 16},
        {"no prune, no repeat, export", false, false, Form::Export, 0, 10, 10, 16},
        {"no prune, repeat, preview", false, true, Form::Preview, 0, 10, 10, 40},
        {"prune, no repeat, export", true, false, Form::Export, 2, 8, 10, 16},
        {"prune, repeat, preview", true, true, Form::Preview, 2, 8, 10, 40},
        {"prune, repeat, export", true, true, Form::Export, 2, 8, 10, 40},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        MusicInfo m;
        m.setDuration(10);
        m.setPositionStart(10);
        m.setPositionEnd(40);
        m.setPruneStart(2);
        m.setPruneDiration(6);
        m.setPrune(c.prune);
        m.setRepeat(c.repeat);
        m.setFadeIn(true);
        m.setVolume(0.25f);
        const MusicRanges::Ranges r = MusicRanges::forTrack(m, c.form);
        EXPECT_FLOAT_EQ(r.sourceStart, c.srcStart);
        EXPECT_FLOAT_EQ(r.sourceEnd, c.srcEnd);
        EXPECT_FLOAT_EQ(r.timelineStart, c.tlStart);
        EXPECT_FLOAT_EQ(r.timelineEnd, c.tlEnd);
        EXPECT_TRUE(r.fadeIn);
        EXPECT_FALSE(r.fadeOut);
        EXPECT_DOUBLE_EQ(r.volume, 0.25);
    }
}

TEST(MusicRanges, WithoutPruneTheExportLimitsTheSourceToTheSpan)
{
    // A 3-minute song (usable 60 s under a 1-minute video) placed on a 20 s span: the preview passes the
    // usable length, the export no more than the span; the timeline is the span either way.
    MusicInfo m;
    m.setDuration(60);
    m.setPositionStart(5);
    m.setPositionEnd(25);
    m.setPruneDiration(60);
    const auto preview = MusicRanges::forTrack(m, MusicRanges::Form::Preview);
    const auto exported = MusicRanges::forTrack(m, MusicRanges::Form::Export);
    EXPECT_FLOAT_EQ(preview.sourceEnd, 60);
    EXPECT_FLOAT_EQ(exported.sourceEnd, 20);
    EXPECT_FLOAT_EQ(preview.timelineEnd, 25);
    EXPECT_FLOAT_EQ(exported.timelineEnd, 25);
}

TEST(MusicRanges, ALongerUsedPartStretchesTheSpanWithinTheVideo)
{
    const struct
    {
        const char *name;
        float start, end, used, video;
        float newStart, newEnd;
        bool changed;
    } cases[] = {
        {"fits: unchanged", 10, 20, 5, 60, 10, 20, false},
        {"longer: the end moves", 10, 12, 4.5f, 60, 10, 14.5f, true},
        {"past the video's end: ends there", 50, 55, 20, 60, 40, 60, true},
        {"longer than the video: from 0", 5, 10, 80, 60, 0, 60, true},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        MusicInfo m;
        m.setPositionStart(c.start);
        m.setPositionEnd(c.end);
        m.setPruneDiration(c.used);
        EXPECT_EQ(MusicRanges::stretchSpan(m, c.video), c.changed);
        EXPECT_FLOAT_EQ(m.positionStart(), c.newStart);
        EXPECT_FLOAT_EQ(m.positionEnd(), c.newEnd);
    }
}
