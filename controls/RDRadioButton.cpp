#include "controls/RDRadioButton.h"

#include "controls/ImageView.h"
#include "controls/TextLabel.h"
#include "platform/FontAlias.h"
#include "platform/Log.h"

#include <QPixmap>
#include <QRadioButton>

RDRadioButton::RDRadioButton(const platform::Rect &frame, QWidget *parent) : platform::View(frame, parent)
{
    const double w = frame.width();
    const double h = frame.height();
    m_backgroundView = new ImageView(platform::makeRect(0, 0, w, h), this);
    m_backgroundView->setImageScaling(ImageView::Scaling::AxesIndependently);
    m_backgroundView->setAutoresizingMask(HeightSizable);

    m_iconView = new QRadioButton(this);
    m_iconView->setGeometry(toQt(platform::makeRect(5, (h - 20) / 2, 20, 20)).toRect());
    m_iconView->setChecked(true);
    m_iconView->show(); // stays hidden otherwise when the button is made inside a window already on screen
    connect(m_iconView, &QRadioButton::clicked, this, [this] { actioniconBtn(); });

    const double radioWidth = 20;
    m_titleLabel =
        new TextLabel(platform::makeRect(radioWidth + 5, (h - 25) / 2 - 3, w - (radioWidth + 10), 25), this);
    m_titleLabel->setTextFont(platform::FontAlias::fontNamed(".AppleSystemUIFont", 13)
                                  .value_or(platform::FontAlias::systemFont(13)));
    m_titleLabel->setAutoresizingMask(HeightSizable);

    setEnabled(true);
    m_normalColor = m_heightedColor = m_selectedColor = QColor(0, 0, 0);
    setSelected(false);
}

RDRadioButton::~RDRadioButton()
{
    platform::log("%s", "-[RDRadioButton dealloc]");
}

void RDRadioButton::applyLook()
{
    if (m_enabled) {
        m_iconView->setChecked(m_selected);
        m_titleLabel->setTextColor(m_selected ? m_selectedColor : m_normalColor);
    } else {
        m_titleLabel->setTextColor(m_disabledColor);
    }
}

void RDRadioButton::setEnabled(bool enabled)
{
    m_enabled = enabled;
    m_iconView->setEnabled(enabled);
    applyLook();
}

void RDRadioButton::setSelected(bool selected)
{
    m_selected = selected;
    applyLook();
    if (!m_title.isEmpty())
        m_titleLabel->setText(m_title);
}

void RDRadioButton::setFont(const QFont &font)
{
    m_titleLabel->setTextFont(font);
}

void RDRadioButton::mouseDown(const platform::MouseEvent &)
{
    if (!m_enabled)
        return;
    if (!m_heightedImage.isNull())
        m_iconView->setIcon(QPixmap::fromImage(m_heightedImage));
    m_titleLabel->setTextColor(m_heightedColor);
}

void RDRadioButton::mouseUp(const platform::MouseEvent &)
{
    if (m_enabled)
        actioniconBtn();
}

void RDRadioButton::actioniconBtn()
{
    m_selected = true;
    m_iconView->setEnabled(m_enabled);
    applyLook();
    if (m_enabled && m_delegate)
        m_delegate->actionMouseUpForRDRadioButtonBlock(this);
}
