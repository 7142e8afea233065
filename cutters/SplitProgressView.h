#pragma once
// The splitter's timeline: a position slider, a draggable begin marker above it that shows where a
// split point would be added, and the split markers below it, all at fractions 0..1 of the source.
//
// Markers are kept in ascending order of value, each marker's index() being its position. A new marker
// is refused (silently) when it lies within half a marker's width (8.5 points) of an existing one, and
// when its fraction is not strictly inside 0..1 (a point at either end would make an empty piece).
// Selecting a marker moves the begin marker and the slider to it without calling anyone. The three
// callbacks report the user's moves of the slider and of the begin marker (press, drag, release), the
// begin marker's a main-loop turn after the event. Main thread only.
#include "controls/RDProgressSlider.h"

#include <QList>

#include <cstdint>
#include <functional>

class PNQImageView;

class SplitProgressView : public platform::View, public RDProgressSliderDelegate
{
    Q_OBJECT

public:
    static constexpr double markerSize = 17;

    explicit SplitProgressView(const platform::Rect &frame, QWidget *parent = nullptr);
    ~SplitProgressView() override;

    float progress() const { return m_progress; }
    // Moves the slider only (never the begin marker).
    void setProgress(float progress);
    bool disable() const { return m_disable; }
    // Disabled: the begin marker is hidden and the slider ignores the mouse; markers stay clickable.
    void setDisable(bool disable);
    bool hiddenTick() const { return m_hiddenTick; }
    void setHiddenTick(bool hidden);

    // Adds a marker at `fraction`; false when refused.
    bool addSplitItemTime(double fraction);
    // Adds a marker where the begin marker stands; false when refused.
    bool addSplitItemTime();
    // Selects the marker at `index` (ignored when out of range).
    void setSelectedSplitIndex(int64_t index);
    int64_t selectedSplitIndex() const { return m_selectedSplitIndex; }
    // Removes the marker at `index` (the last one when past the end); the selection then names the
    // marker that followed it.
    void removeSplitItemTAtIndex(int64_t index);
    // Removes every marker; the begin marker goes back to the left end, the slider stays.
    void removeAllSplitItem();
    int64_t splitItemCount() const { return m_times.size(); }
    // The value of the marker at `index` (0 when there is none).
    double getProgressForIndex(int64_t index) const;
    // The markers' values ascending, then 1.0: one entry per piece.
    QList<double> getTimeProgresses() const;

    PNQImageView *beginBtn() const { return m_beginBtn; }
    RDProgressSlider *slider() const { return m_slider; }
    const QList<PNQImageView *> &markers() const { return m_times; }

    using Callback = std::function<void(float)>;
    Callback MouseDownForSliderBlock;
    Callback ProgressForSliderBlock;
    Callback MouseUpForSliderBlock;

    void actionMouseDownForProgressSliderBlock(RDProgressSlider *slider, float progress) override;
    void actionProgressForProgressSliderBlock(RDProgressSlider *slider, float progress) override;
    void actionMouseUpForProgressSliderBlock(RDProgressSlider *slider, float progress) override;

private:
    bool addMarker(double x, double value);
    void renumber();
    void beginMoved(Callback SplitProgressView::*callback);

    RDProgressSlider *m_slider = nullptr;
    PNQImageView *m_beginBtn = nullptr;
    QList<PNQImageView *> m_times;
    float m_progress = 0;
    bool m_disable = false;
    bool m_hiddenTick = false;
    int64_t m_selectedSplitIndex = 0;
};
