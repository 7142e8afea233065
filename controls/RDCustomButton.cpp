#include "controls/RDCustomButton.h"

#include "controls/ImageView.h"
#include "model/HelpClass.h"
#include "platform/Log.h"

RDCustomButton::RDCustomButton(const platform::Rect &frame, QWidget *parent) : platform::View(frame, parent)
{
    const double w = frame.width();
    const double h = frame.height();
    m_backView = new ImageView(platform::makeRect(0, 0, w, h), this);
    m_backView->setImageScaling(ImageView::Scaling::AxesIndependently);
    m_iconView = new ImageView(platform::makeRect(0, 15, w, h - 15), this);
    m_titleButton = new RDTitleButton(platform::makeRect(-2, 0, w + 4, h), this);
    m_titleButton->setTitle(QStringLiteral(""));
    m_titleButton->setDelegate(this);
}

RDCustomButton::~RDCustomButton()
{
    platform::log("%s", "-[RDCustomButton dealloc]");
}

void RDCustomButton::setSelected(bool selected)
{
    m_selected = selected;
    if (m_title.isEmpty())
        m_title = QStringLiteral("  ");
    QColor color;
    if (m_enabled && m_selected) {
        m_backView->setImage(m_selectedBackImage);
        m_iconView->setImage(m_selectedImage);
        if (!m_selectedTitleColor.isValid())
            m_selectedTitleColor = QColor::fromRgbF(0.404f, 0.756f, 1.0f);
        color = m_selectedTitleColor;
    } else if (m_enabled) {
        m_backView->setImage(m_normalBackImage);
        m_iconView->setImage(m_normalImage);
        if (!m_normalTitleColor.isValid())
            m_normalTitleColor = QColor::fromRgbF(0.828f, 0.828f, 0.828f);
        color = m_normalTitleColor;
    } else {
        m_backView->setImage(m_disableBackImage);
        m_iconView->setImage(m_disableImage);
        if (!m_disableTitleColor.isValid())
            m_disableTitleColor = QColor::fromRgbF(0.404f, 0.756f, 1.0f);
        color = m_disableTitleColor;
    }
    setTitle(m_title, color, 2);
}

void RDCustomButton::setTitle(const QString &title, const QColor &color, uint64_t textAlignment)
{
    m_titleButton->setAttributedStringTitle(HelpClass::retButtonTitle(
        title, color, m_fontname, m_fontsize < 1 ? 12 : m_fontsize, false, textAlignment));
}

void RDCustomButton::setTitleRect(const platform::Rect &rect)
{
    m_titleButton->setFrame(rect);
}

void RDCustomButton::setCellTextPosition(uint64_t position)
{
    m_cellTextPosition = position;
    const double w = frame().width();
    const double h = frame().height();
    std::optional<platform::Rect> titleRect;
    switch (position) {
    case 0:
        m_iconView->setFrame(platform::makeRect(w - h, 0, h, h));
        titleRect = platform::makeRect(0, 0, m_iconView->frame().minX(), h);
        break;
    case 1: {
        m_iconView->setFrame(platform::makeRect(0, 0, h, h));
        const double right = m_iconView->frame().maxX();
        titleRect = platform::makeRect(right, 0, w - right, h);
        break;
    }
    case 2:
        m_iconView->setFrame(platform::makeRect(0, 0, w, h - 15));
        titleRect = platform::makeRect(0, m_iconView->frame().maxY(), w, 18);
        break;
    case 3:
        m_iconView->setFrame(platform::makeRect(0, 18, w, h - 15));
        titleRect = platform::makeRect(0, 4, w, 18);
        break;
    case 4:
        m_iconView->setFrame(platform::makeRect(0, 0, w, h));
        break;
    default:
        return;
    }
    if (m_titleLab && titleRect)
        m_titleButton->setFrame(*titleRect);
}

void RDCustomButton::mouseDown(const platform::MouseEvent &)
{
    press();
}

void RDCustomButton::mouseUp(const platform::MouseEvent &)
{
    release();
}

void RDCustomButton::actionMouseDownForTitleButtonBlock(RDTitleButton *)
{
    press();
}

void RDCustomButton::actionMouseUpForTitleButtonBlock(RDTitleButton *)
{
    release();
}

void RDCustomButton::press()
{
    if (!m_enabled)
        return;
    if (!m_hightideBackImage.isNull())
        m_backView->setImage(m_hightideBackImage);
    else
        actionTouchUpInslid();
}

void RDCustomButton::release()
{
    if (!m_enabled)
        return;
    if (!m_hightideBackImage.isNull())
        actionTouchUpInslid();
}

void RDCustomButton::actionTouchUpInslid()
{
    if (m_enabled && m_delegate)
        m_delegate->actionMouseUpForCustomButtonBlock(this);
}
