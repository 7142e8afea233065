#pragma once
// One row of the clip list (JoinnerTableView): thumbnail, file name, source duration, picture size, file
// size and the length of the marked range, a check box "use this file's format", a transition pop-up
// (the passage from this clip into the next) and a progress bar, hidden until a batch export shows it.
//
// The row reads its item and writes only defaultFormat (the check box) and transitionEffect (the pop-up).
// The thumbnail is drawn scaled into its 76 x 48 place keeping its shape; a clip without a picture and
// without a thumbnail shows the audio icon. A clip without a picture never shows the check box or the
// transition controls. Main thread only; the callbacks are the list's.
#include "platform/View.h"

#include <QColor>
#include <QImage>

#include <cstdint>
#include <functional>
#include <memory>

class ImageView;
class NSProgressView;
class PNQButton;
class SimpleData;
class TextLabel;
namespace platform {
class PopUpButton;
}

class JoinnerCell : public platform::View
{
    Q_OBJECT

public:
    using Callback = std::function<void(JoinnerCell *)>;

    explicit JoinnerCell(const platform::Rect &frame, QWidget *parent = nullptr);
    ~JoinnerCell() override;

    int64_t index() const { return m_index; }
    void setIndex(int64_t index) { m_index = index; }

    // Stores the item and fills the row from it (selected() follows the item's flag without calling
    // SelectedBlock), then redraws.
    const std::shared_ptr<SimpleData> &fileData() const { return m_fileData; }
    void setFileData(const std::shared_ptr<SimpleData> &item);

    // Stores the highlight, calls SelectedBlock (every change, YES or NO) and redraws.
    bool selected() const { return m_selected; }
    void setSelected(bool selected);

    // Whether the row reacts to clicks. A disabled row also disables its check box and transition pop-up
    // (nothing of a clip may change while a join runs).
    bool enabele() const { return m_enabele; }
    void setEnabele(bool enabele);

    // Fill and picture over it, normal and selected; an unset one draws nothing.
    QColor nBackGroundColor() const { return m_nBackGroundColor; }
    void setNBackGroundColor(const QColor &color) { m_nBackGroundColor = color; }
    QColor sBackGroundColor() const { return m_sBackGroundColor; }
    void setSBackGroundColor(const QColor &color) { m_sBackGroundColor = color; }
    QImage nBackGroundImage() const { return m_nBackGroundImage; }
    void setNBackGroundImage(const QImage &image) { m_nBackGroundImage = image; }
    QImage sBackGroundImage() const { return m_sBackGroundImage; }
    void setSBackGroundImage(const QImage &image) { m_sBackGroundImage = image; }

    // The transition pop-up's action: stores the chosen index into the item's transitionEffect and calls
    // SelectedTransitionEffectBlock.
    void transitionAction(platform::PopUpButton *sender);

    // Hides or shows the transition label and pop-up together.
    void setTransitionHidden(bool hidden);

    ImageView *thumbImageView() const { return m_thumbImageView; }
    TextLabel *scrLabel() const { return m_scrLabel; }
    TextLabel *sourceLabel() const { return m_sourceLabel; }
    TextLabel *sourceDurationLabel() const { return m_sourceDurationLabel; }
    TextLabel *sourceFrameLabel() const { return m_sourceFrameLabel; }
    TextLabel *sourceSizeLabel() const { return m_sourceSizeLabel; }
    TextLabel *cuttedLabel() const { return m_cuttedLabel; }
    TextLabel *cuttedTimeLabel() const { return m_cuttedTimeLabel; }
    PNQButton *defaultoutputformat() const { return m_defaultoutputformat; }
    TextLabel *effectLabel() const { return m_effectLabel; }
    platform::PopUpButton *effectBtn() const { return m_effectBtn; }
    NSProgressView *progress() const { return m_progress; }

    // The size label's text for a size in megabytes of 1,000,000 bytes: "%.1lfMB" from one megabyte up,
    // "%.1lfKB" below it, "%.1lfB" below one kilobyte.
    static QString sizeText(float megabytes);

    Callback MouseDownBlock;                                // a click on an unselected, enabled row
    std::function<void(JoinnerCell *, bool)> SelectedBlock; // every setSelected()
    Callback SelecteddefaultFormatoutputBlock; // the check box was toggled (one main-queue turn later)
    Callback SelectedTransitionEffectBlock;    // the transition pop-up changed

protected:
    void mouseDown(const platform::MouseEvent &event) override;
    void mouseUp(const platform::MouseEvent &event) override;
    void drawRect(QPainter &painter, const platform::Rect &dirty) override;

private:
    TextLabel *makeLabel(const platform::Rect &frame, const QString &text);
    void defaultFormatAction();

    int64_t m_index = 0;
    std::shared_ptr<SimpleData> m_fileData;
    bool m_selected = false;
    bool m_enabele = true;
    QColor m_nBackGroundColor, m_sBackGroundColor;
    QImage m_nBackGroundImage, m_sBackGroundImage;

    ImageView *m_thumbImageView = nullptr;
    TextLabel *m_scrLabel = nullptr;
    TextLabel *m_sourceLabel = nullptr;
    TextLabel *m_sourceDurationLabel = nullptr;
    TextLabel *m_sourceFrameLabel = nullptr;
    TextLabel *m_sourceSizeLabel = nullptr;
    TextLabel *m_cuttedLabel = nullptr;
    TextLabel *m_cuttedTimeLabel = nullptr;
    PNQButton *m_defaultoutputformat = nullptr;
    TextLabel *m_effectLabel = nullptr;
    platform::PopUpButton *m_effectBtn = nullptr;
    NSProgressView *m_progress = nullptr;
};
