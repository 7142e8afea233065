#include "editor/tools/WaterMarkCellItemView.h"

#include "controls/PNQButton.h"
#include "platform/Dispatch.h"
#include "platform/FontAlias.h"
#include "services/LanguageService.h"
#include "services/ResourceService.h"

#include <QLineEdit>
#include <QPainter>
#include <QPointer>

namespace {
const QColor kNormalText(90, 216, 238);
const QColor kSelectedBackground(105, 168, 219);
constexpr double kTitleX = 52;
} // namespace

WaterMarkCellItemView::WaterMarkCellItemView(const platform::Rect &frame, QWidget *parent)
    : platform::View(frame, parent)
{
    const double h = frame.height();
    m_checkBtn = new PNQButton(platform::makeRect(5, (h - 24) / 2, 24, 24), this);
    m_checkBtn->setNormalImage(
        ResourceService::imageWithfileName(QStringLiteral("Join/CheckBox_NoCheck.bmp")));
    m_checkBtn->setSelectedImage(
        ResourceService::imageWithfileName(QStringLiteral("Join/CheckBox_Checked.bmp")));
    m_checkBtn->mouseDownAction = [this](PNQButton *button) {
        if (!button->isEnabled() || !m_enabled)
            return;
        QPointer<WaterMarkCellItemView> self(this);
        platform::dispatchMain([self] {
            if (self)
                self->toggleCheck();
        });
    };
    m_titleLabel = new platform::TextField(
        platform::makeRect(kTitleX, (h - 22) / 2, frame.width() - kTitleX - 2, 22), this);
    m_titleLabel->setBordered(false);
    // The row draws its own background; the title's field only draws its text.
    m_titleLabel->lineEdit()->setStyleSheet(
        QStringLiteral("QLineEdit { background: transparent; border: none; }"));
    m_titleLabel->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    m_titleLabel->setDelegate(this);
    m_titleLabel->setEditable(false);
    // A press on a title that cannot be edited selects the row.
    m_titleLabel->mouseDownHandler = [this](platform::TextField &field) {
        if (field.isEditable())
            return false;
        if (m_enabled && SelectBlock)
            SelectBlock(m_row);
        return true;
    };
    updateTitle();
}

WaterMarkCellItemView::~WaterMarkCellItemView()
{
    m_titleLabel->setDelegate(nullptr);
}

void WaterMarkCellItemView::setCheck(bool check)
{
    m_check = check;
    m_checkBtn->setSelected(check);
    update();
}

void WaterMarkCellItemView::setSelected(bool selected)
{
    m_selected = selected;
    if (!selected) {
        m_editing = false;
        if (m_titleLabel->lineEdit()->hasFocus())
            m_titleLabel->lineEdit()->clearFocus();
    }
    updateTitle();
}

void WaterMarkCellItemView::setType(int type)
{
    m_type = type;
    updateTitle();
}

QString WaterMarkCellItemView::titleStringValue() const
{
    return m_titleLabel->stringValue();
}

void WaterMarkCellItemView::setTitleStringValue(const QString &title)
{
    m_titleLabel->setStringValue(title);
}

void WaterMarkCellItemView::setEnabledRow(bool enable)
{
    m_enabled = enable;
    m_checkBtn->setEnabled(enable);
    updateTitle();
}

void WaterMarkCellItemView::updateTitle()
{
    // The field is there only while the title can be edited; otherwise the row draws the title itself.
    const bool editable = m_selected && m_type == TextRow && m_enabled;
    m_titleLabel->setEditable(editable);
    m_titleLabel->setVisible(editable && m_editing);
    m_titleLabel->setTextColor(m_selected ? QColor(Qt::white) : kNormalText);
    update();
}

void WaterMarkCellItemView::toggleCheck()
{
    setCheck(!m_check);
    if (CheckWateMarkBlock)
        CheckWateMarkBlock(m_check, m_row);
}

void WaterMarkCellItemView::controlTextDidEndEditing(platform::TextField *)
{
    m_editing = false;
    updateTitle();
}

void WaterMarkCellItemView::controlTextDidChange(platform::TextField *field)
{
    update();
    if (EditWaterTextBlock)
        EditWaterTextBlock(field->stringValue(), m_row);
}

void WaterMarkCellItemView::mouseDown(const platform::MouseEvent &)
{
    // A press on the selected text row opens its title for editing.
    if (m_titleLabel->isEditable() && !m_editing) {
        m_editing = true;
        updateTitle();
        m_titleLabel->lineEdit()->setFocus();
        return;
    }
    if (m_enabled && SelectBlock)
        SelectBlock(m_row);
}

void WaterMarkCellItemView::drawRect(QPainter &painter, const platform::Rect &)
{
    const QRectF all(0, 0, width(), height());
    if (m_selected)
        painter.fillRect(all, kSelectedBackground);
    // The kind's icon between the check box and the title: T for text, a frame for a picture, a
    // triangle for a video.
    const QRectF icon(32, (height() - 14) / 2.0, 14, 14);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(m_selected ? QColor(Qt::white) : kNormalText, 1.5));
    const QColor text = m_selected ? QColor(Qt::white) : kNormalText;
    if (!m_titleLabel->isVisibleTo(this))
        drawTextUpright(painter, platform::makeRect(kTitleX + 2, 0, width() - kTitleX - 4, height()),
                        m_titleLabel->stringValue(), platform::FontAlias::systemFont(12), text,
                        Qt::AlignLeft | Qt::AlignVCenter);
    if (m_type == TextRow) {
        drawTextUpright(painter, platform::fromQRectF(icon), QStringLiteral("T"),
                        platform::FontAlias::systemFont(13, true), text, Qt::AlignCenter);
    } else if (m_type == PictureRow) {
        painter.drawRect(icon.adjusted(1, 2, -1, -2));
        painter.drawLine(icon.bottomLeft() + QPointF(2, -3), icon.center() + QPointF(0, 1));
        painter.drawLine(icon.center() + QPointF(0, 1), icon.bottomRight() + QPointF(-2, -3));
    } else {
        QPolygonF play;
        play << icon.topLeft() + QPointF(3, 1) << icon.bottomLeft() + QPointF(3, -1)
             << QPointF(icon.right() - 1, icon.center().y());
        painter.setBrush(painter.pen().color());
        painter.drawPolygon(play);
    }
}
