#include "toolkit/JoinnerCell.h"

#include "controls/ImageView.h"
#include "controls/NSProgressView.h"
#include "controls/PNQButton.h"
#include "controls/TextLabel.h"
#include "model/HelpClass.h"
#include "model/SimpleData.h"
#include "platform/Dispatch.h"
#include "platform/FontAlias.h"
#include "platform/PopUpButton.h"
#include "services/LanguageService.h"
#include "services/ResourceService.h"

#include <QFileInfo>
#include <QPainter>
#include <QPointer>

#include <algorithm>

namespace {

QFont labelFont()
{
    return platform::FontAlias::systemFont(11);
}

} // namespace

JoinnerCell::JoinnerCell(const platform::Rect &frame, QWidget *parent) : platform::View(frame, parent)
{
    const double W = frame.width();
    const double H = frame.height();

    m_thumbImageView = new ImageView(platform::makeRect(5, H - 53, 76, 48), this);
    m_thumbImageView->setImageScaling(ImageView::Scaling::ProportionallyDown);

    m_scrLabel = makeLabel(platform::makeRect(82, H - 17, W / 2 - 85, 12), QString());
    m_scrLabel->setAutoresizingMask(WidthSizable);
    m_sourceLabel = makeLabel(platform::makeRect(82, H - 34, 50, 12),
                              LanguageService::localizedStringForKey("SourceLabelTitle"));
    m_sourceDurationLabel = makeLabel(platform::makeRect(137, H - 34, 70, 12), QStringLiteral("00:00:00"));
    m_sourceFrameLabel = makeLabel(platform::makeRect(212, H - 34, 66, 12), QStringLiteral("0000x0000"));
    m_sourceSizeLabel = makeLabel(platform::makeRect(283, H - 34, 70, 12), QStringLiteral("0.00MB"));
    m_cuttedLabel = makeLabel(platform::makeRect(82, H - 51, 50, 12),
                              LanguageService::localizedStringForKey("CuttedLabelTitle"));
    m_cuttedTimeLabel = makeLabel(platform::makeRect(137, H - 51, 70, 12),
                                  LanguageService::localizedStringForKey("CuttedLabelTitle"));

    // The top row's right half: beside the source details the longer translations would run into them.
    m_defaultoutputformat = new PNQButton(platform::makeRect(W - 240, H - 35, 240, 20), this);
    m_defaultoutputformat->setAutoresizingMask(MinXMargin);
    m_defaultoutputformat->setContentImagePosition(1);
    m_defaultoutputformat->setNormalImage(ResourceService::imageWithfileName("Join/CheckBox_NoCheck.bmp"));
    m_defaultoutputformat->setSelectedImage(ResourceService::imageWithfileName("Join/CheckBox_Checked.bmp"));
    m_defaultoutputformat->setContentTitle(QStringLiteral("  ") +
                                           LanguageService::localizedStringForKey("default_formatBtnTitle"));
    m_defaultoutputformat->setContentColor(Qt::black);
    m_defaultoutputformat->setFont(labelFont());
    m_defaultoutputformat->setIsCheckType(true);
    QPointer<JoinnerCell> self(this);
    m_defaultoutputformat->mouseDownAction = [self](PNQButton *) {
        platform::dispatchMain([self] {
            if (self)
                self->defaultFormatAction();
        });
    };

    m_effectLabel = makeLabel(platform::makeRect(W - 240, H - 52, 100, 12),
                              LanguageService::localizedStringForKey("Transition_EffectLabelTitle"));
    m_effectLabel->setAutoresizingMask(MinXMargin);
    m_effectBtn = new platform::PopUpButton(platform::makeRect(W - 140, H - 58, 132, 22), false, this);
    m_effectBtn->setAutoresizingMask(MinXMargin);
    m_effectBtn->setFont(labelFont());
    // In the order of the transition codes 0..3.
    m_effectBtn->addItemsWithTitles({LanguageService::localizedStringForKey("NORMALItemTitle"),
                                     LanguageService::localizedStringForKey("LEFTItemTitle"),
                                     LanguageService::localizedStringForKey("TOPItemTitle"),
                                     LanguageService::localizedStringForKey("FADEOUTItemTitle")});
    m_effectBtn->selectItemAtIndex(0);
    m_effectBtn->action = [this](platform::PopUpButton &sender) { transitionAction(&sender); };

    // On the cut line after its time: across the middle it would cover the source's figures of a row as
    // narrow as the batch cutter's.
    const double barX = std::max(W - 220, 212.0);
    m_progress = new NSProgressView(platform::makeRect(barX, H - 50, W - 20 - barX, 10), this);
    m_progress->setAutoresizingMask(MinXMargin);
    m_progress->setProgress(0);
    m_progress->hide();
}

JoinnerCell::~JoinnerCell() = default;

TextLabel *JoinnerCell::makeLabel(const platform::Rect &frame, const QString &text)
{
    auto *label = new TextLabel(frame, this);
    label->setTextFont(labelFont());
    label->setTextColor(Qt::black);
    label->setText(text);
    return label;
}

QString JoinnerCell::sizeText(float megabytes)
{
    if (megabytes >= 1)
        return QString::asprintf("%.1lfMB", double(megabytes));
    // Megabytes here are of 1,000,000 bytes, so the smaller units are decimal too.
    const double kilobytes = double(megabytes) * 1000;
    if (kilobytes >= 1)
        return QString::asprintf("%.1lfKB", kilobytes);
    return QString::asprintf("%.1lfB", kilobytes * 1000);
}

void JoinnerCell::setFileData(const std::shared_ptr<SimpleData> &item)
{
    m_fileData = item;
    if (!item)
        return;
    const std::shared_ptr<FileData> &source = item->sourceData();
    const bool hasPicture = source && source->width() > 0 && source->height() > 0;

    m_scrLabel->setText(QFileInfo(item->path()).fileName());
    QImage thumb = item->thumbImage();
    if (thumb.isNull() && !hasPicture)
        thumb = ResourceService::imageWithfileName("Cut/musicIconB.png");
    m_thumbImageView->setImage(thumb);
    if (source) {
        m_sourceDurationLabel->setText(HelpClass::returnTimeToStr(source->duration()));
        m_sourceFrameLabel->setText(QString::asprintf("%dx%d", source->width(), source->height()));
        m_sourceSizeLabel->setText(sizeText(source->fileSize()));
    }
    m_cuttedTimeLabel->setText(HelpClass::returnTimeToStr(
        float(item->cutTimeRange_stop() - item->cutTimeRange_start()) / 1000000.0f));
    m_defaultoutputformat->setSelected(item->defaultFormat());
    m_selected = item->selected();
    m_effectBtn->selectItemAtIndex(item->transitionEffect());
    if (!hasPicture) {
        m_defaultoutputformat->hide();
        setTransitionHidden(true);
    }
    update();
}

void JoinnerCell::setSelected(bool selected)
{
    m_selected = selected;
    if (SelectedBlock)
        SelectedBlock(this, selected);
    update();
}

void JoinnerCell::setEnabele(bool enabele)
{
    m_enabele = enabele;
    m_defaultoutputformat->setEnabled(enabele);
    m_effectBtn->setEnabled(enabele);
}

void JoinnerCell::setTransitionHidden(bool hidden)
{
    m_effectLabel->setHidden(hidden);
    m_effectBtn->setHidden(hidden);
}

void JoinnerCell::transitionAction(platform::PopUpButton *sender)
{
    const int code = sender->indexOfSelectedItem();
    if (m_fileData)
        m_fileData->setTransitionEffect(code);
    if (SelectedTransitionEffectBlock)
        SelectedTransitionEffectBlock(this);
}

void JoinnerCell::defaultFormatAction()
{
    const bool checked = !m_defaultoutputformat->selected();
    m_defaultoutputformat->setSelected(checked);
    if (m_fileData)
        m_fileData->setDefaultFormat(checked);
    if (SelecteddefaultFormatoutputBlock)
        SelecteddefaultFormatoutputBlock(this);
}

void JoinnerCell::mouseDown(const platform::MouseEvent &)
{
    if (!m_enabele || m_selected)
        return;
    if (MouseDownBlock)
        MouseDownBlock(this);
    update();
}

void JoinnerCell::mouseUp(const platform::MouseEvent &)
{
    update();
}

void JoinnerCell::drawRect(QPainter &painter, const platform::Rect &)
{
    const QColor &color = m_selected ? m_sBackGroundColor : m_nBackGroundColor;
    const QImage &image = m_selected ? m_sBackGroundImage : m_nBackGroundImage;
    if (color.isValid())
        painter.fillRect(QRectF(0, 0, width(), height()), color);
    if (!image.isNull())
        drawImageUpright(painter, bounds(), image);
}
