#pragma once
// A tab or item button made of a back image, an icon and a title (an RDTitleButton covering it all).
//
// enabled() and selected() are the button's own flags; the look (back image, icon, title colour) is
// applied by setSelected(), so setEnabled() alone changes nothing visible. With a pressed back image
// (hightideBackImage) a press shows it and the release reports the click; without one the press reports
// at once. The click goes to the delegate's actionMouseUpForCustomButtonBlock() while enabled; a button
// that is not enabled ignores the mouse. Selection within a group is the owner's business. Main thread.
#include "controls/RDTitleButton.h"
#include "platform/View.h"

#include <QColor>
#include <QImage>
#include <QString>

#include <cstdint>
#include <optional>

class ImageView;
class RDCustomButton;

class RDCustomButtonDelegate
{
public:
    virtual ~RDCustomButtonDelegate() = default;
    virtual void actionMouseUpForCustomButtonBlock(RDCustomButton *) {}
};

class RDCustomButton : public platform::View, private RDTitleButtonDelegate
{
    Q_OBJECT

public:
    explicit RDCustomButton(const platform::Rect &frame = platform::Rect{}, QWidget *parent = nullptr);
    ~RDCustomButton() override;

    // Non-owning; the delegate must outlive the button or be reset first.
    RDCustomButtonDelegate *delegate() const { return m_delegate; }
    void setDelegate(RDCustomButtonDelegate *delegate) { m_delegate = delegate; }

    // Places the icon (and the title when titleLab() is set): 0 icon square at the right, 1 at the left,
    // 2 icon above a title strip at the top, 3 icon above a title strip at the bottom, 4 icon over all.
    // Values above 4 are stored and change nothing else.
    uint64_t cellTextPosition() const { return m_cellTextPosition; }
    void setCellTextPosition(uint64_t position);
    int32_t index() const { return m_index; }
    void setIndex(int32_t index) { m_index = index; }
    int32_t fontsize() const { return m_fontsize; }
    void setFontsize(int32_t size) { m_fontsize = size; }
    QString fontname() const { return m_fontname; }
    void setFontname(const QString &name) { m_fontname = name; }
    bool titleLab() const { return m_titleLab; }
    void setTitleLab(bool on) { m_titleLab = on; }

    bool selected() const { return m_selected; }
    // Stores the flag and applies the look of the state (see the source for the default colours).
    void setSelected(bool selected);
    bool enabled() const { return m_enabled; }
    // Stores only; the look follows at the next setSelected().
    void setEnabled(bool enabled) { m_enabled = enabled; }

    void setTitle(const QString &title) { m_title = title; }
    QString title() const { return m_title; }
    void setNormalTitleColor(const QColor &color) { m_normalTitleColor = color; }
    void setSelectedTitleColor(const QColor &color) { m_selectedTitleColor = color; }
    void setDisableTitleColor(const QColor &color) { m_disableTitleColor = color; }
    void setNormalBackImage(const QImage &image) { m_normalBackImage = image; }
    void setSelectedBackImage(const QImage &image) { m_selectedBackImage = image; }
    void setDisableBackImage(const QImage &image) { m_disableBackImage = image; }
    void setNormalImage(const QImage &image) { m_normalImage = image; }
    void setSelectedImage(const QImage &image) { m_selectedImage = image; }
    void setDisableImage(const QImage &image) { m_disableImage = image; }
    QImage hightideBackImage() const { return m_hightideBackImage; }
    void setHightideBackImage(const QImage &image) { m_hightideBackImage = image; }

    // Gives the title button the styled title of `title` in `color` (font fontname() at fontsize()).
    void setTitle(const QString &title, const QColor &color, uint64_t textAlignment);
    // The title button's frame.
    void setTitleRect(const platform::Rect &rect);

    ImageView *backView() const { return m_backView; }
    ImageView *iconView() const { return m_iconView; }
    RDTitleButton *titleButton() const { return m_titleButton; }

protected:
    void mouseDown(const platform::MouseEvent &event) override;
    void mouseUp(const platform::MouseEvent &event) override;
    void mouseDragged(const platform::MouseEvent &) override {}

private:
    void actionMouseDownForTitleButtonBlock(RDTitleButton *) override;
    void actionMouseUpForTitleButtonBlock(RDTitleButton *) override;
    void press();
    void release();
    void actionTouchUpInslid();

    RDCustomButtonDelegate *m_delegate = nullptr;
    ImageView *m_backView = nullptr;
    ImageView *m_iconView = nullptr;
    RDTitleButton *m_titleButton = nullptr;
    uint64_t m_cellTextPosition = 0;
    int32_t m_index = 0;
    int32_t m_fontsize = 12;
    QString m_fontname = QStringLiteral(".AppleSystemUIFont");
    bool m_titleLab = false;
    bool m_selected = false;
    bool m_enabled = true;
    QString m_title;
    QColor m_normalTitleColor, m_selectedTitleColor, m_disableTitleColor;
    QImage m_normalBackImage, m_selectedBackImage, m_disableBackImage;
    QImage m_normalImage, m_selectedImage, m_disableImage;
    QImage m_hightideBackImage;
};
