#pragma once
// One row of the editor's watermark list: a check box (the watermark takes part in preview and export),
// a small icon of its kind and its title. The title of a text row (type 0) is editable while the row is
// the selected one (a press on it opens the field); every edit is reported at once. Rows only report; the
// watermark tool decides.
//
// The check box reacts only while enabled, one event-loop turn after the press. Deselecting a row ends
// an edit of its title. Main thread only.
#include "platform/TextField.h"
#include "platform/View.h"

#include <QColor>
#include <QPointer>

#include <functional>

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

    bool m_check = false;
    bool m_selected = false;
    bool m_editing = false; // the title's field is shown and has the focus
    bool m_enabled = true;
    int m_row = 0;
    int m_type = TextRow;
    PNQButton *m_checkBtn = nullptr;
    platform::TextField *m_titleLabel = nullptr;
};
