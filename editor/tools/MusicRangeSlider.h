#pragma once
// The music tool's range control: over a track standing for the whole video, the span on which the
// selected music plays (a handle at each end and a draggable middle bar), the part of that span the music
// fills (the music bar), a repeat look that marks where a shorter piece starts over, and a play-position
// tick. Values are fractions 0..1 of the track; the music tool converts them to seconds.
//
// Layout (W x H, bottom-left origin, bgW = W - 10): track (5, 5, bgW, 12); video bar at L x bgW + 5,
// width (R - L) x bgW; music bar at the video bar's x, width min(D, R - L) x bgW; handles 10 wide with
// their centre line on L and R; tick 21 x 21 at p x (W - 21).
//
// Every piece follows the pointer exactly: a handle's, the bar's and the tick's x map to their values
// with the same insets the layout uses, so the bar's start covers exactly 0 .. 1 - width and the tick
// reaches 1. The handles never cross: each stops at the other's value.
//
// Editing mode (enable on): range draggable, tick hidden. Play mode (off): handles hidden, range fixed,
// tick shown and draggable. Main thread only.
#include "editor/tools/PNQDraggedView.h"

#include <QPointer>

class MusicRangeSlider;

class MusicRangeSliderDelegate
{
public:
    virtual ~MusicRangeSliderDelegate() = default;
    virtual void changeProgress(MusicRangeSlider *) {}
    virtual void changeRangeValue(MusicRangeSlider *) {}
};

class MusicRangeSlider : public platform::View, public PNQDraggedViewDelegate
{
public:
    explicit MusicRangeSlider(const platform::Rect &frame = platform::Rect{}, QWidget *parent = nullptr);

    void setVideoRangeLowerValue(float lower, float upper);
    void setMusicRangeLowerValue(float lower, float duration);
    void setIsRepeat(bool on);
    void setProgress(float p);
    void setEnable(bool e);
    void setDelegate(MusicRangeSliderDelegate *delegate) { m_delegate = delegate; }

    float positionLeftValue() const { return m_positionLeftValue; }
    float positionRightValue() const { return m_positionRightValue; }
    float musicLeftValue() const { return m_musicLeftValue; }
    float musicRightValue() const { return m_musicRightValue; }
    float progress() const { return m_progress; }
    bool isRepeat() const { return m_isRepeat; }
    bool enable() const { return m_enable; }

    platform::View *backGroundView() const { return m_backGroundView; }
    PNQDraggedView *videoPositionView() const { return m_videoPositionView; }
    PNQDraggedView *musicRangeView() const { return m_musicRangeView; }
    PNQDraggedView *leftMoveView() const { return m_leftMoveView; }
    PNQDraggedView *rightMoveView() const { return m_rightMoveView; }
    PNQDraggedView *tickMarkView() const { return m_tickMarkView; }

    void mouseDraggedWithSender(PNQDraggedView *sender) override;

protected:
    void frameDidChange() override;

private:
    double trackWidth() const { return frame().width() - 10; }
    void layVideoRange(double handleY);
    void layMusicRange();
    void applyRepeatLook();
    void setTravels();

    QPointer<PNQDraggedView> m_backGroundView, m_videoPositionView, m_musicRangeView, m_leftMoveView,
        m_rightMoveView, m_tickMarkView;
    MusicRangeSliderDelegate *m_delegate = nullptr;
    float m_positionLeftValue = 0, m_positionRightValue = 1;
    float m_musicLeftValue = 0, m_musicRightValue = 0;
    float m_progress = 0;
    bool m_isRepeat = false;
    bool m_enable = true;
    double m_handleHeight = 0;
};
