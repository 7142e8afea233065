#include "cutters/SplitProgressView.h"

#include "controls/ImageView.h"
#include "controls/PNQImageView.h"
#include "platform/Dispatch.h"
#include "services/ResourceService.h"

#include <QPointer>

#include <algorithm>
#include <cmath>

SplitProgressView::SplitProgressView(const platform::Rect &frame, QWidget *parent)
    : platform::View(frame, parent)
{
    const double W = frame.width();
    const double H = frame.height();
    m_slider = new RDProgressSlider(platform::makeRect(0, (H - markerSize) / 2, W, markerSize), this);
    m_slider->setDelegate(this);
    m_slider->setProgress(0);

    const platform::Rect s = m_slider->frame();
    m_beginBtn =
        new PNQImageView(platform::makeRect(0, s.origin.y + s.size.height - 5, markerSize, markerSize), this);
    m_beginBtn->setNormalImage(ResourceService::imageWithfileName("Split/imgBegin_1.bmp"));
    m_beginBtn->setDownImage(ResourceService::imageWithfileName("Split/imgBegin_2.bmp"));
    m_beginBtn->MouseDownBlock = [this](PNQImageView *) {
        beginMoved(&SplitProgressView::MouseDownForSliderBlock);
    };
    m_beginBtn->MouseDraggedBlock = [this](PNQImageView *) {
        beginMoved(&SplitProgressView::ProgressForSliderBlock);
    };
    m_beginBtn->MouseUpBlock = [this](PNQImageView *) {
        beginMoved(&SplitProgressView::MouseUpForSliderBlock);
    };
    m_beginBtn->setHidden(true);
}

SplitProgressView::~SplitProgressView()
{
    m_slider->setDelegate(nullptr);
}

void SplitProgressView::setProgress(float progress)
{
    m_progress = progress;
    m_slider->setProgress(progress);
    setNeedsDisplay();
}

void SplitProgressView::setDisable(bool disable)
{
    m_disable = disable;
    m_beginBtn->setEnabled(!disable);
    m_beginBtn->setHidden(disable);
    m_slider->setDisable(disable);
}

void SplitProgressView::setHiddenTick(bool hidden)
{
    m_hiddenTick = hidden;
    if (m_slider->tickMarkView())
        m_slider->tickMarkView()->setHidden(hidden);
}

bool SplitProgressView::addSplitItemTime(double fraction)
{
    return addMarker((frame().width() - markerSize) * fraction, fraction);
}

bool SplitProgressView::addSplitItemTime()
{
    const platform::Rect b = m_beginBtn->frame();
    const double span = frame().width() - b.size.width;
    return addMarker(b.origin.x, span > 0 ? b.origin.x / span : 0.0);
}

bool SplitProgressView::addMarker(double x, double value)
{
    // A point at either end (or no number at all) would give an empty piece.
    if (!(value > 0.0 && value < 1.0))
        return false;
    const double y = m_slider->frame().origin.y - 12;
    for (PNQImageView *m : m_times) {
        const platform::Rect f = m->frame();
        const double px = x + f.size.width / 2;
        if (px >= f.origin.x && px < f.origin.x + f.size.width)
            return false;
    }
    auto *marker = new PNQImageView(platform::makeRect(x, y, markerSize, markerSize), this);
    const QImage image = ResourceService::imageWithfileName("Split/btnExample_2.bmp");
    marker->setNormalImage(image);
    marker->setDownImage(image);
    marker->setValue(value);
    QPointer<SplitProgressView> self(this);
    marker->MouseUpBlock = [self](PNQImageView *m) {
        if (self)
            self->setSelectedSplitIndex(m->index());
    };
    marker->show();
    m_times.append(marker);
    renumber();
    m_selectedSplitIndex = m_times.indexOf(marker);
    setNeedsDisplay();
    return true;
}

void SplitProgressView::renumber()
{
    std::stable_sort(m_times.begin(), m_times.end(),
                     [](const PNQImageView *a, const PNQImageView *b) { return a->value() < b->value(); });
    for (int i = 0; i < m_times.size(); ++i)
        m_times[i]->setIndex(i);
}

void SplitProgressView::setSelectedSplitIndex(int64_t index)
{
    if (index < 0 || index >= m_times.size())
        return;
    m_selectedSplitIndex = index;
    PNQImageView *marker = m_times[index];
    m_progress = float(marker->value());
    m_beginBtn->setFrameOrigin(platform::Point{marker->frame().origin.x, m_beginBtn->frame().origin.y});
    m_slider->setProgress(m_progress);
    setNeedsDisplay();
}

void SplitProgressView::removeSplitItemTAtIndex(int64_t index)
{
    if (m_times.isEmpty())
        return;
    if (index >= m_times.size()) {
        index = m_times.size() - 1;
        m_selectedSplitIndex = index;
    }
    if (index < 0)
        return;
    PNQImageView *marker = m_times.takeAt(index);
    marker->hide();
    marker->deleteLater();
    renumber();
}

void SplitProgressView::removeAllSplitItem()
{
    m_beginBtn->setFrameOrigin(platform::Point{0, m_beginBtn->frame().origin.y});
    for (PNQImageView *marker : std::as_const(m_times)) {
        marker->hide();
        marker->deleteLater();
    }
    m_times.clear();
}

double SplitProgressView::getProgressForIndex(int64_t index) const
{
    return index >= 0 && index < m_times.size() ? m_times[index]->value() : 0.0;
}

QList<double> SplitProgressView::getTimeProgresses() const
{
    QList<double> points;
    for (const PNQImageView *m : m_times)
        points.append(m->value());
    points.append(1.0);
    return points;
}

void SplitProgressView::beginMoved(Callback SplitProgressView::*callback)
{
    QPointer<SplitProgressView> self(this);
    platform::dispatchMain([self, callback] {
        if (!self)
            return;
        const platform::Rect b = self->m_beginBtn->frame();
        const double span = self->frame().width() - b.size.width;
        const float p = span > 0 ? float(b.origin.x / span) : 0.0f;
        self->m_progress = p;
        self->m_slider->setProgress(p);
        if (const Callback &fn = (*self).*callback)
            fn(p);
    });
}

void SplitProgressView::actionMouseDownForProgressSliderBlock(RDProgressSlider *, float progress)
{
    m_progress = progress;
    if (MouseDownForSliderBlock)
        MouseDownForSliderBlock(progress);
}

void SplitProgressView::actionProgressForProgressSliderBlock(RDProgressSlider *, float progress)
{
    m_progress = progress;
    if (ProgressForSliderBlock)
        ProgressForSliderBlock(progress);
}

void SplitProgressView::actionMouseUpForProgressSliderBlock(RDProgressSlider *, float progress)
{
    m_progress = progress;
    if (MouseUpForSliderBlock)
        MouseUpForSliderBlock(progress);
}
