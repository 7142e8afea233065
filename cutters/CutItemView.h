#pragma once
// One row of the easy cutter's cut list (140 x 120 in the list): the cut's picture over a back image and
// its range as "00:00:10.00-00:00:25.50", each time split as its time fields show it (TimeFieldGroup:
// hundredths cut, not rounded, after taking the time to the nearest microsecond; a negative time shows
// as 00:00:00.00).
//
// The row draws its selected or normal look by its back images (a look without an image keeps the
// image shown before). It reports a click (press and release inside, while enabled) to `action`, and
// the pointer entering and leaving it, with the pointer's position, to `mouseEntered` and
// `mouseExited`; a disabled row reports nothing. The children are laid out once from the frame given at
// creation. Main thread only.
#include "cutters/CutItem.h"
#include "platform/View.h"

#include <QImage>
#include <QPointer>

#include <functional>
#include <memory>

class ImageView;
class TextLabel;

class CutItemView : public platform::View
{
    Q_OBJECT

public:
    using PointerCallback = std::function<void(CutItemView *, double x, double y)>;

    explicit CutItemView(const platform::Rect &frame, QWidget *parent = nullptr);
    ~CutItemView() override;

    const std::shared_ptr<CutItem> &item() const { return m_item; }
    // Shows the cut's picture and range (again, after an edit of the cut).
    void setItem(const std::shared_ptr<CutItem> &item);
    bool selected() const { return m_selected; }
    void setSelected(bool selected);
    void setNbackGroundImage(const QImage &image) { m_nbackGroundImage = image; }
    void setSbackGroundImage(const QImage &image) { m_sbackGroundImage = image; }
    int tag() const { return m_tag; }
    void setTag(int tag) { m_tag = tag; }

    ImageView *backView() const { return m_backView; }
    ImageView *iconView() const { return m_iconView; }
    TextLabel *titleField() const { return m_titleField; }
    // The row's range text of a cut.
    static QString titleFor(const CutItem &item);

    std::function<void(CutItemView *)> action;
    PointerCallback mouseEntered;
    PointerCallback mouseExited;

protected:
    void mouseDown(const platform::MouseEvent &event) override;
    void mouseUp(const platform::MouseEvent &event) override;
    void enterEvent(QEnterEvent *event) override;
    void leaveEvent(QEvent *event) override;

private:
    void applyLook();
    platform::Point pointerInWindow() const;

    std::shared_ptr<CutItem> m_item;
    bool m_selected = false;
    bool m_pressed = false;
    int m_tag = 0;
    QImage m_nbackGroundImage, m_sbackGroundImage;
    ImageView *m_backView = nullptr;
    ImageView *m_iconView = nullptr;
    TextLabel *m_titleField = nullptr;
};
