#include "editor/tools/RDCropTmpView.h"

#include "platform/Log.h"

using platform::Rect;

RDCropTmpView::RDCropTmpView(QWidget *parent) : View(parent)
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

RDCropTmpView::~RDCropTmpView()
{
    platform::log("%s", __PRETTY_FUNCTION__);
}

void RDCropTmpView::layAround(const Rect &rect, platform::Size size, RDCropTmpView *leftView,
                              RDCropTmpView *rightView, RDCropTmpView *topView, RDCropTmpView *bottomView)
{
    const double l = rect.minX();
    const double r = rect.maxX();
    const double b = rect.minY();
    const double t = rect.maxY();
    leftView->setFrame(platform::makeRect(0, 0, l, size.height));
    rightView->setFrame(platform::makeRect(r, 0, size.width - r, size.height));
    topView->setFrame(platform::makeRect(l, t, r - l, size.height - t));
    bottomView->setFrame(platform::makeRect(l, 0, r - l, b));
}

Rect RDCropTmpView::rectBetween(const RDCropTmpView *leftView, const RDCropTmpView *rightView,
                                const RDCropTmpView *topView, const RDCropTmpView *bottomView)
{
    const float l = float(leftView->frame().width());
    const float b = float(bottomView->frame().height());
    const float r = float(rightView->frame().minX());
    const float t = float(topView->frame().minY());
    return platform::makeRect(l, b, r - l, t - b);
}
