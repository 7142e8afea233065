#include "controls/RDProgressSlider.h"

#include "controls/ImageView.h"

#include "ControlTestSupport.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace controltest;

namespace {

struct Recorder : RDProgressSliderDelegate
{
    void actionMouseUpForProgressSliderBlock(RDProgressSlider *, float v) override
    {
        events.push_back({'u', v});
    }
    void actionMouseDownForProgressSliderBlock(RDProgressSlider *, float v) override
    {
        events.push_back({'d', v});
    }
    void actionProgressForProgressSliderBlock(RDProgressSlider *, float v) override
    {
        events.push_back({'p', v});
    }
    std::vector<std::pair<char, float>> events;
};

// Implements only the progress callback.
struct ProgressOnly : RDProgressSliderDelegate
{
    void actionProgressForProgressSliderBlock(RDProgressSlider *, float v) override { values.push_back(v); }
    std::vector<float> values;
};

struct Fixture
{
    explicit Fixture(double width = 200) : root(platform::makeRect(0, 0, 300, 20))
    {
        slider = new RDProgressSlider(platform::makeRect(0, 0, width, 20), &root);
        slider->setDelegate(&recorder);
        root.show();
    }
    platform::Rect thumb() const { return slider->tickMarkView()->frame(); }
    platform::View root;
    RDProgressSlider *slider;
    Recorder recorder;
};

} // namespace

TEST(RDProgressSlider, DragsToTheEndsGiveZeroAndOne)
{
    Fixture f;
    press(f.slider, 100, 10);
    drag(f.slider, -50, 10);
    EXPECT_EQ(f.slider->progress(), 0.0f);
    EXPECT_EQ(f.thumb().minX(), 0);
    drag(f.slider, 500, 10);
    EXPECT_EQ(f.slider->progress(), 1.0f);
    EXPECT_EQ(f.thumb().maxX(), 200) << "the thumb's right edge at the track's end";
    EXPECT_EQ(f.slider->progressTintView()->frame().width(), 190);
    release(f.slider, 500, 10);
}

TEST(RDProgressSlider, ReportsPressMovesAndReleaseInOrder)
{
    Fixture f;
    f.slider->setProgress(0.25f);
    press(f.slider, 100, 10);
    drag(f.slider, 250, 10);
    release(f.slider, 250, 10);
    ASSERT_EQ(f.recorder.events.size(), 4u);
    EXPECT_EQ(f.recorder.events[0], std::make_pair('d', 0.25f)) << "the value before the thumb moves";
    EXPECT_EQ(f.recorder.events[1].first, 'p');
    EXPECT_FLOAT_EQ(f.recorder.events[1].second, 90.0f / 180.0f) << "the thumb jumps to the press";
    EXPECT_EQ(f.recorder.events[2], std::make_pair('p', 1.0f));
    EXPECT_EQ(f.recorder.events[3], std::make_pair('u', 1.0f));
}

TEST(RDProgressSlider, SetProgressClampsTheThumbButKeepsTheValue)
{
    struct Case
    {
        float value;
        double thumbX;
    } cases[] = {{1.5f, 180}, {-1.0f, 0}, {0.5f, 90}, {0.0f, 0}, {1.0f, 180}};
    for (const Case &c : cases) {
        Fixture f;
        f.slider->setProgress(c.value);
        EXPECT_EQ(f.slider->progress(), c.value);
        EXPECT_EQ(f.thumb().minX(), c.thumbX) << "progress " << c.value;
        EXPECT_TRUE(f.recorder.events.empty()) << "setProgress sends nothing";
    }
}

TEST(RDProgressSlider, DisabledSliderIgnoresTheMouse)
{
    Fixture f;
    f.slider->setDisable(true);
    press(f.slider, 100, 10);
    drag(f.slider, 150, 10);
    release(f.slider, 150, 10);
    EXPECT_TRUE(f.recorder.events.empty());
    EXPECT_EQ(f.thumb().minX(), 0);
    f.slider->setProgress(0.5f);
    EXPECT_EQ(f.thumb().minX(), 90);
}

TEST(RDProgressSlider, PressDoesNotJumpWithoutThePressCallback)
{
    Fixture f;
    ProgressOnly delegate;
    f.slider->setDelegate(&delegate);
    click(f.slider, 150, 10);
    EXPECT_TRUE(delegate.values.empty());
    EXPECT_EQ(f.thumb().minX(), 0);
    press(f.slider, 150, 10);
    drag(f.slider, 100, 10);
    release(f.slider, 100, 10);
    ASSERT_EQ(delegate.values.size(), 1u);
    EXPECT_FLOAT_EQ(delegate.values[0], 0.5f);
    EXPECT_EQ(f.thumb().minX(), 90);
}

TEST(RDProgressSlider, ResizeKeepsTheThumbAtItsValue)
{
    Fixture f;
    f.slider->setProgress(0.5f);
    f.slider->setFrame(platform::makeRect(0, 0, 300, 20));
    EXPECT_EQ(f.thumb().minX(), 140);
    EXPECT_EQ(f.slider->progressBackView()->frame().width(), 300);
}

TEST(RDProgressSlider, SliderNoWiderThanItsThumbReadsZero)
{
    Fixture f(20);
    press(f.slider, 10, 10);
    drag(f.slider, 15, 10);
    release(f.slider, 15, 10);
    ASSERT_FALSE(f.recorder.events.empty());
    for (const auto &[kind, value] : f.recorder.events) {
        EXPECT_FALSE(std::isnan(value)) << kind;
        EXPECT_EQ(value, 0.0f) << kind;
    }
    EXPECT_EQ(f.slider->progress(), 0.0f);
}
