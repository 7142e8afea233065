#pragma once
// One row of the editor's check-box lists (the effect list and, later, the music list): a small check box
// and a title on a background the row draws itself (white, or the accent colour for the list's current
// row; none for row 1000000). The row only reports clicks; its delegate decides what they mean. Each list
// owner is the delegate of its own rows, so a row never needs to say which list it belongs to.
//
// The delegates in this program answer both the check-box and the selected-row report, so selected()
// never notifies and setSelectedRow() always does. A disabled row reports nothing and draws its title
// grey. Main thread only.
#include "platform/View.h"

#include <QColor>
#include <QFont>
#include <QImage>
#include <QPointer>

#include <optional>

class Button;
class EffectTableCellView;
class TextLabel;

class EffectTableCellViewDelegate
{
public:
    virtual ~EffectTableCellViewDelegate() = default;
    // A press on the row outside the check box.
    virtual void actionMouseDownForEffectTableCellViewBlock(EffectTableCellView *cell, qint64 row)
    {
        (void)cell;
        (void)row;
    }
    // A click on the check box.
    virtual void actionSelectedForEffectTableCellViewBlock(EffectTableCellView *cell, qint64 row)
    {
        (void)cell;
        (void)row;
    }
    // setSelectedRow() was called, with its flag.
    virtual void actionSelectedBlock(EffectTableCellView *cell, bool selected, qint64 row)
    {
        (void)cell;
        (void)selected;
        (void)row;
    }
};

class EffectTableCellView : public platform::View
{
    Q_OBJECT

public:
    static constexpr qint64 kNoBackgroundRow = 1000000;

    explicit EffectTableCellView(const platform::Rect &frame, QWidget *parent = nullptr);
    ~EffectTableCellView() override;

    // The check mark: stored, laid out and redrawn. setSelected() only stores it.
    void selected(bool flag);
    bool isSelected() const { return m_selected; }
    void setSelected(bool flag) { m_selected = flag; }
    // The list's current row (highlight); tells the delegate and redraws.
    bool selectedRow() const { return m_selectedRow; }
    void setSelectedRow(bool flag);
    // The row reacts to clicks (true after creation); redraws.
    bool enable() const { return m_enable; }
    void setEnable(bool flag);

    QString title() const;
    void setTitle(const QString &title);
    TextLabel *titleLabel() const { return m_titleLabel; }
    Button *checkView() const { return m_checkView; }
    // An optional title font: the check box moves to x = 0 and the title takes the font's height.
    std::optional<QFont> font() const { return m_font; }
    void setFont(const QFont &font);
    qint64 row() const { return m_row; }
    void setRow(qint64 row) { m_row = row; }
    QColor selectedColor() const { return m_selectedColor; }
    void setSelectedColor(const QColor &color);
    QColor normalColor() const { return m_normalColor; }
    void setNormalColor(const QColor &color) { m_normalColor = color; }
    EffectTableCellViewDelegate *delegate() const { return m_delegate; }
    void setDelegate(EffectTableCellViewDelegate *delegate) { m_delegate = delegate; }

    // The check box's action.
    void checkAction();
    // The colour the title is drawn in now.
    QColor titleColor() const;

protected:
    void mouseDown(const platform::MouseEvent &event) override;
    void drawRect(QPainter &painter, const platform::Rect &dirty) override;

private:
    void layoutRow();

    bool m_selected = false;
    bool m_selectedRow = false;
    bool m_enable = true;
    qint64 m_row = 0;
    std::optional<QFont> m_font;
    QColor m_normalColor = Qt::black;
    QColor m_selectedColor = QColor(33, 176, 235);
    QImage m_normalImage, m_selectedImage;
    TextLabel *m_titleLabel = nullptr;
    Button *m_checkView = nullptr;
    EffectTableCellViewDelegate *m_delegate = nullptr;
};
