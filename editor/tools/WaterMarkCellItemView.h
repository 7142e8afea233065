#pragma once
// One row of the editor's watermark list: a check box (the watermark takes part in preview and export)
// and its title, from x 34 to the row's end, centred vertically: as high as its font's size + 5, or 18
// high in the interface's font at 13 points (an Arabic family for Arabic) when no font is set. The title
// of a text row (type 0) is editable while the row is the selected one (a press on it opens the field);
// every edit is reported at once. Title font and colours and the row's fills are set by the list; a
// setter redraws at once. Rows only report; the watermark tool decides.
//
// The check box reacts only while enabled, one event-loop turn after the press. Deselecting a row ends
// an edit of its title. Main thread only.
#include "platform/TextField.h"
#include "platform/View.h"

#include <QColor>
#include <QFont>
#include <QPointer>

#include <functional>
#include <optional>

class PNQButton;

class WaterMarkCellItemView : public platform::View, public platform::TextFieldDelegate
{
    Q_OBJECT

public:
    // Row kinds: 0 text, 1 picture, 2 video.
    enum Type { TextRow = 0, PictureRow = 1, VideoRow = 2 };

    explicit WaterMarkCellItemView(const platform::Rect &frame, QWidget *parent = nullptr);
    ~WaterMarkCellItemView() override;

    bool check() const { return m_check; }
    void setCheck(bool check);
    bool selected() const { return m_selected; }
    void setSelected(bool selected);
    int row() const { return m_row; }
    void setRow(int row) { m_row = row; }
    int type() const { return m_type; }
    void setType(int type);
    QString titleStringValue() const;
    void setTitleStringValue(const QString &title);
    // The title's font; unset, the interface's font at 13 points.
    std::optional<QFont> titleFont() const { return m_titleFont; }
    void setTitleFont(const std::optional<QFont> &font);
    // Title colours, not selected and selected (unset: black), and the row's fills (unset: none).
    QColor normalTextColor() const { return m_normalTextColor; }
    void setNormalTextColor(const QColor &color);
    QColor selectTextColor() const { return m_selectTextColor; }
    void setSelectTextColor(const QColor &color);
    QColor backgroundColor() const { return m_backgroundColor; }
    void setBackgroundColor(const QColor &color);
    QColor selectedBackgroundColor() const { return m_selectedBackgroundColor; }
    void setSelectedBackgroundColor(const QColor &color);
    void setEnabledRow(bool enable);

    PNQButton *checkBtn() const { return m_checkBtn; }
    platform::TextField *titleLabel() const { return m_titleLabel; }

    // After the check box toggled: the new state and the row.
    std::function<void(bool, int)> CheckWateMarkBlock;
    // On every edit of the title: its text and the row.
    std::function<void(const QString &, int)> EditWaterTextBlock;
    // A press on the row outside the check box.
    std::function<void(int)> SelectBlock;

    void controlTextDidChange(platform::TextField *field) override;
    void controlTextDidEndEditing(platform::TextField *field) override;
    // The check box's press work (already one turn later).
    void toggleCheck();

protected:
    void mouseDown(const platform::MouseEvent &event) override;
    void drawRect(QPainter &painter, const platform::Rect &dirty) override;

private:
    void updateTitle();
    QFont shownFont() const;
    QColor shownTextColor() const;

    bool m_check = false;
    bool m_selected = false;
    bool m_editing = false; // the title's field is shown and has the focus
    bool m_enabled = true;
    int m_row = 0;
    int m_type = TextRow;
    std::optional<QFont> m_titleFont;
    QColor m_normalTextColor, m_selectTextColor, m_backgroundColor, m_selectedBackgroundColor;
    PNQButton *m_checkBtn = nullptr;
    platform::TextField *m_titleLabel = nullptr;
};
