#include "editor/tools/WaterMarkCellItemView.h"

#include "controls/PNQButton.h"
#include "platform/Dispatch.h"
#include "platform/FontAlias.h"
#include "services/LanguageService.h"
#include "services/ResourceService.h"

#include <QFontMetrics>
#include <QLineEdit>
#include <QPainter>
#include <QPointer>

namespace {
constexpr double kTitleX = 34;
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
    m_titleLabel =
        new platform::TextField(platform::makeRect(kTitleX, (h - 18) / 2, frame.width() - kTitleX, 18), this);
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

void WaterMarkCellItemView::setTitleFont(const std::optional<QFont> &font)
{
    m_titleFont = font;
    updateTitle();
}

void WaterMarkCellItemView::setNormalTextColor(const QColor &color)
{
    m_normalTextColor = color;
    updateTitle();
}

void WaterMarkCellItemView::setSelectTextColor(const QColor &color)
{
    m_selectTextColor = color;
    updateTitle();
}

void WaterMarkCellItemView::setBackgroundColor(const QColor &color)
{
    m_backgroundColor = color;
    update();
}

void WaterMarkCellItemView::setSelectedBackgroundColor(const QColor &color)
{
    m_selectedBackgroundColor = color;
    update();
}

QFont WaterMarkCellItemView::shownFont() const
{
    if (m_titleFont)
        return *m_titleFont;
    if (LanguageService::isalaboLanguage())
        if (auto muna = platform::FontAlias::fontNamed(QStringLiteral("Muna"), 13))
            return *muna;
    return platform::FontAlias::systemFont(13);
}

QColor WaterMarkCellItemView::shownTextColor() const
{
    const QColor c = m_selected ? m_selectTextColor : m_normalTextColor;
    return c.isValid() ? c : QColor(Qt::black);
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
    const QFont font = shownFont();
    const double size = font.pixelSize() > 0 ? font.pixelSize() : font.pointSizeF();
    const double titleHeight = m_titleFont ? float(size) + 5 : 18;
    m_titleLabel->setFrame(platform::makeRect(kTitleX, (frame().height() - titleHeight) / 2,
                                              frame().width() - kTitleX, titleHeight));
    m_titleLabel->setFieldFont(font);
    m_titleLabel->setEditable(editable);
    m_titleLabel->setVisible(editable && m_editing);
    m_titleLabel->setTextColor(shownTextColor());
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
    const QColor fill = m_selected ? m_selectedBackgroundColor : m_backgroundColor;
    if (fill.isValid())
        painter.fillRect(QRectF(0, 0, width(), height()), fill);
    if (m_titleLabel->isVisibleTo(this))
        return;
    // A path longer than the row keeps its start and its file name.
    const QFont font = shownFont();
    const platform::Rect title = m_titleLabel->frame();
    const QString shown =
        QFontMetrics(font).elidedText(m_titleLabel->stringValue(), Qt::ElideMiddle, int(title.width()) - 4);
    drawTextUpright(painter, title, shown, font, shownTextColor(), Qt::AlignLeft | Qt::AlignVCenter);
}
