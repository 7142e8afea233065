#include "controls/RDSwitchButton.h"

#include "controls/ImageView.h"
#include "controls/TextLabel.h"
#include "platform/FontAlias.h"
#include "platform/Log.h"

RDSwitchButton::RDSwitchButton(const platform::Rect &frame, QWidget *parent) : platform::View(frame, parent)
{
    const double w = frame.width();
    const double h = frame.height();
    m_imageView = new ImageView(platform::makeRect(0, 0, h, h), this);
    m_imageView->setAutoresizingMask(HeightSizable);
    const double imageWidth = h;
    m_titleLabel =
        new TextLabel(platform::makeRect(imageWidth + 5, (h - 18) / 2, w - (imageWidth + 10), 20), this);
    m_titleLabel->setTextFont(platform::FontAlias::fontNamed(".AppleSystemUIFont", 13)
                                  .value_or(platform::FontAlias::systemFont(13)));
    m_titleLabel->setTextColor(Qt::white);
    m_titleLabel->setAutoresizingMask(HeightSizable);
    // The image lies over the label.
    addSubview(m_imageView);
}

RDSwitchButton::~RDSwitchButton()
{
    platform::log("%s", "-[RDSwitchButton dealloc]");
}

void RDSwitchButton::showTitle(QColor &color)
{
    if (!color.isValid())
        color = Qt::black;
    if (!m_title.isEmpty()) {
        m_titleLabel->setText(m_title);
        m_titleLabel->setTextColor(color);
    }
}

void RDSwitchButton::setSelected(bool selected)
{
    m_selected = selected;
    if (selected) {
        if (!m_selectedImage.isNull())
            m_imageView->setImage(m_selectedImage);
        showTitle(m_selectedColor);
    } else {
        if (!m_normalImage.isNull())
            m_imageView->setImage(m_normalImage);
        showTitle(m_normalColor);
    }
}

void RDSwitchButton::mouseDown(const platform::MouseEvent &)
{
    down();
}

void RDSwitchButton::mouseUp(const platform::MouseEvent &)
{
    platform::log("2");
    up();
}

void RDSwitchButton::down()
{
    if (!m_heightedImage.isNull())
        m_imageView->setImage(m_heightedImage);
    showTitle(m_heightedColor);
}

void RDSwitchButton::up()
{
    setSelected(!m_selected);
    if (m_delegate)
        m_delegate->actionMouseUpForSwitchButtonBlock(this);
}
