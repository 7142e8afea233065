#include "editor/tools/EffectTableCellView.h"

#include "controls/Button.h"
#include "controls/TextLabel.h"
#include "platform/FontAlias.h"
#include "platform/Log.h"
#include "services/ResourceService.h"

#include <QFontMetricsF>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace {
const QColor kDisabledTitle(173, 173, 173);
const QColor kAccent(33, 176, 235);
} // namespace

EffectTableCellView::EffectTableCellView(const platform::Rect &frame, QWidget *parent)
    : platform::View(frame, parent)
{
    const double h = frame.height();
    m_checkView = new Button(platform::makeRect(10, (h - 15) / 2, 15, 15), this);
    m_checkView->action = [this](Button *) { checkAction(); };
    m_titleLabel = new TextLabel(platform::makeRect(35, (h - 16) / 2, frame.width() - 35, 16), this);
    m_titleLabel->setTextFont(platform::FontAlias::systemFont(13));
    m_titleLabel->setAutoresizingMask(platform::View::HeightSizable);
    m_normalImage = ResourceService::imageWithfileName(QStringLiteral("Join/CheckBox_NoCheck.bmp"));
    m_selectedImage = ResourceService::imageWithfileName(QStringLiteral("Join/CheckBox_Checked.bmp"));
    selected(false);
}

EffectTableCellView::~EffectTableCellView()
{
    platform::log("%s", "-[EffectTableCellView dealloc]");
}

void EffectTableCellView::selected(bool flag)
{
    m_selected = flag;
    layoutRow();
    update();
}

void EffectTableCellView::layoutRow()
{
    const double w = frame().width();
    const double h = frame().height();
    // The title is as tall as its text's line: the fonts that draw some languages' scripts have taller lines
    // than the Latin one.
    const QFont font = m_font ? *m_font : platform::FontAlias::systemFont(13);
    const QFontMetricsF metrics(font);
    const double p =
        std::ceil(std::max(metrics.height(), metrics.boundingRect(m_titleLabel->text()).height())) + 1;
    const double check = m_font ? 0 : 10, title = m_font ? 15 : 35;
    if (m_font)
        m_selectedColor = m_normalColor;
    m_checkView->setFrame(platform::makeRect(check, (h - 15) / 2, 15, 15));
    m_titleLabel->setFrame(platform::makeRect(title, (h - p) / 2, w - title, p));
    m_titleLabel->setTextFont(font);
    m_checkView->setImage(m_selected ? m_selectedImage : m_normalImage);
    m_titleLabel->setTextColor(titleColor());
}

void EffectTableCellView::setSelectedRow(bool flag)
{
    m_selectedRow = flag;
    if (m_delegate)
        m_delegate->actionSelectedBlock(this, m_selectedRow, m_row);
    layoutRow();
    update();
}

void EffectTableCellView::setEnable(bool flag)
{
    m_enable = flag;
    layoutRow();
    update();
}

QString EffectTableCellView::title() const
{
    return m_titleLabel->text();
}

void EffectTableCellView::setTitle(const QString &title)
{
    m_titleLabel->setText(title);
    layoutRow();
}

void EffectTableCellView::setFont(const QFont &font)
{
    m_font = font;
    layoutRow();
}

void EffectTableCellView::setSelectedColor(const QColor &color)
{
    m_selectedColor = color;
    layoutRow();
    update();
}

QColor EffectTableCellView::titleColor() const
{
    if (!m_enable)
        return kDisabledTitle;
    return m_selectedRow ? m_selectedColor : m_normalColor;
}

void EffectTableCellView::checkAction()
{
    if (m_enable && m_delegate)
        m_delegate->actionSelectedForEffectTableCellViewBlock(this, m_row);
}

void EffectTableCellView::mouseDown(const platform::MouseEvent &)
{
    if (m_enable && m_delegate)
        m_delegate->actionMouseDownForEffectTableCellViewBlock(this, m_row);
}

void EffectTableCellView::drawRect(QPainter &painter, const platform::Rect &dirty)
{
    if (m_row != kNoBackgroundRow)
        painter.fillRect(QRectF(dirty.minX(), dirty.minY(), dirty.width(), dirty.height()),
                         m_selectedRow ? kAccent : QColor(Qt::white));
}
