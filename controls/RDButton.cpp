#include "controls/RDButton.h"

#include "services/ResourceService.h"
#include "controls/ImageView.h"
#include "controls/TextLabel.h"
#include "platform/FontAlias.h"
#include "platform/Log.h"

RDButton::RDButton(const platform::Rect &frame, QWidget *parent) : platform::View(frame, parent)
{
    const double w = frame.width();
    const double h = frame.height();
    m_backgroundView = new ImageView(platform::makeRect(0, 0, w, h), this);
    m_backgroundView->setImageScaling(ImageView::Scaling::AxesIndependently);
    m_backgroundView->setAutoresizingMask(WidthSizable | HeightSizable);
    m_backImage = ResourceService::imageWithfileName("Resources/edit_cancel_normal.png");
    m_heightBackImage = ResourceService::imageWithfileName("Resources/edit_cancel_alternate.png");
    m_backgroundView->setImage(m_backImage);

    m_titleLabelFrame = platform::makeRect(0, -5, w, 30);
    m_titleLabel = new TextLabel(m_titleLabelFrame, this);
    m_titleLabel->setTextFont(platform::FontAlias::fontNamed(".AppleSystemUIFont", 12)
                                  .value_or(platform::FontAlias::systemFont(12)));
    m_titleLabel->setTextColor(Qt::white);
    m_titleLabel->setAlignment(Qt::AlignHCenter);

    setEnabled(true);
    setNormalColor(Qt::white);
    m_heightedColor = Qt::white;
    m_selectedColor = QColor::fromRgbF(1.0f, 81 / 255.0f, 0.0f);
    setSelected(false);
}

RDButton::~RDButton()
{
    platform::log("%s", "-[RDButton dealloc]");
}

void RDButton::applyTitleColor()
{
    if (!m_enabled)
        m_titleLabel->setTextColor(m_disabledColor);
    else if (m_selected)
        m_titleLabel->setTextColor(m_selectedColor);
    else
        m_titleLabel->setTextColor(m_normalColor);
}

void RDButton::setTitle(const QString &title)
{
    m_title = title;
    m_titleLabel->setText(title);
    applyTitleColor();
}

void RDButton::setSelected(bool selected)
{
    m_selected = selected;
    applyTitleColor();
    if (!m_title.isEmpty())
        m_titleLabel->setText(m_title);
}

void RDButton::setEnabled(bool enabled)
{
    m_enabled = enabled;
    applyTitleColor();
}

void RDButton::setNormalColor(const QColor &color)
{
    m_normalColor = color;
    m_titleLabel->setTextColor(color);
}

QFont RDButton::titleFont() const
{
    return m_titleLabel->textFont();
}

void RDButton::setFont(const QFont &font)
{
    m_titleLabel->setTextFont(font);
}

void RDButton::setBackImage(const QImage &image)
{
    m_backImage = image;
    m_backgroundView->setImage(image);
}

void RDButton::setHeightBackImage(const QImage &image)
{
    m_heightBackImage = image;
    m_backgroundView->setImage(image);
}

void RDButton::setTitleLabelFrame(const platform::Rect &frame)
{
    m_titleLabelFrame = frame;
    m_titleLabel->setFrame(frame);
}

void RDButton::mouseDown(const platform::MouseEvent &)
{
    if (!m_enabled)
        return;
    m_titleLabel->setTextColor(m_heightedColor);
    m_backgroundView->setImage(m_heightBackImage);
}

void RDButton::mouseUp(const platform::MouseEvent &)
{
    if (!m_enabled)
        return;
    m_backgroundView->setImage(m_backImage);
    actioniconBtn();
}

void RDButton::actioniconBtn()
{
    m_selected = true;
    applyTitleColor();
    if (m_enabled && m_delegate)
        m_delegate->actionMouseUpForRDButtonBlock(this);
}
