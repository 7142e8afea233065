#include "toolkit/TrimPanel.h"

#include "controls/ImageView.h"
#include "controls/RDCutProgressView.h"
#include "controls/RDTextField.h"
#include "controls/TextLabel.h"
#include "media/RDMoviePlayer.h"
#include "platform/CMTime.h"
#include "platform/FontAlias.h"
#include "platform/Log.h"
#include "platform/PopUpButton.h"
#include "platform/Stepper.h"
#include "platform/TextField.h"
#include "platform/View.h"
#include "services/LanguageService.h"
#include "services/ResourceService.h"
#include "toolkit/PreviewHost.h"
#include "toolkit/TimeFieldRules.h"

#include <QFontMetricsF>

#include <algorithm>

TimeFieldGroup TrimPanel::makeGroup(platform::View *panel, double x, double y,
                                    platform::TextFieldDelegate *fieldDelegate,
                                    RDTextFieldDelegate *mouseDelegate, bool start)
{
    auto *back = new ImageView(platform::makeRect(x, y, 151, 26), panel);
    back->setImage(ResourceService::imageWithfileName(QStringLiteral("Resources/trim_textfield.png")));
    back->setAutoresizingMask(platform::View::MinYMargin);
    platform::TextField *fields[4];
    for (int i = 0; i < 4; ++i) {
        auto *field = new RDTextField(platform::makeRect(x + 4 + 37 * i, y + 3, 30, 20), panel);
        field->setStringValue(QStringLiteral("00"));
        field->setTextColor(Qt::black);
        field->setBordered(false);
        field->setDelegate(fieldDelegate);
        field->setMouseDelegate(mouseDelegate);
        field->setEnabled(false);
        field->setAutoresizingMask(platform::View::MinYMargin);
        fields[i] = field;
        if (i < 3) {
            auto *colon = new TextLabel(platform::makeRect(x + 34 + 37 * i, y + 3, 7, 20), panel);
            colon->setText(QStringLiteral(":"));
            colon->setTextFont(platform::FontAlias::systemFont(13));
            colon->setAutoresizingMask(platform::View::MinYMargin);
        }
    }
    QPointer<platform::Stepper> &stepper = start ? m_startStepper : m_stopStepper;
    stepper = new platform::Stepper(platform::makeRect(x + 156, y, 20, 26), panel);
    stepper->setAutoresizingMask(platform::View::MinYMargin);
    stepper->action = [this, start](platform::Stepper &s) { stepperTouched(&s, start); };
    return TimeFieldGroup(fields[0], fields[1], fields[2], fields[3]);
}

void TrimPanel::buildGroupRow(platform::View *panel, double y, platform::TextFieldDelegate *fieldDelegate,
                              RDTextFieldDelegate *mouseDelegate, const QColor &captionBackground)
{
    const double width = panel->frame().width();
    const char *captions[2] = {VW_KEY("StartFieldLabelstringValue"), VW_KEY("stopFieldLabelstringValue")};
    for (int i = 0; i < 2; ++i) {
        const double x = i == 0 ? 10 : width - 186;
        const QString title = LanguageService::localizedStringForKey(captions[i]);
        const QFont font = platform::FontAlias::systemFont(11);
        // A coloured caption is as wide as its text, so the colour marks the caption only.
        const double captionWidth = captionBackground.isValid()
                                        ? std::min(176.0, QFontMetricsF(font).horizontalAdvance(title) + 8)
                                        : 176;
        auto *caption = new TextLabel(platform::makeRect(x, y + 28, captionWidth, 18), panel);
        caption->setText(title);
        caption->setTextFont(font);
        if (captionBackground.isValid())
            caption->setBackgroundColor(captionBackground);
        caption->setAutoresizingMask(platform::View::MinYMargin);
        (i == 0 ? m_startGroup : m_stopGroup) = makeGroup(panel, x, y, fieldDelegate, mouseDelegate, i == 0);
    }
}

void TrimPanel::build(platform::View *panel, platform::TextFieldDelegate *fieldDelegate,
                      RDTextFieldDelegate *mouseDelegate, Actions actions)
{
    const double top = panel->frame().height();
    auto label = [panel](const platform::Rect &frame, const QString &text) {
        auto *l = new TextLabel(frame, panel);
        l->setText(text);
        l->setTextFont(platform::FontAlias::systemFont(13));
        l->setAutoresizingMask(platform::View::MinYMargin);
        return l;
    };
    label(platform::makeRect(10, top - 40, 80, 26),
          LanguageService::localizedStringForKey("StarttimeLabelstringValue"));
    m_startGroup = makeGroup(panel, 10, top - 70, fieldDelegate, mouseDelegate, true);
    label(platform::makeRect(10, top - 110, 80, 26),
          LanguageService::localizedStringForKey("EndtimeLabelstringValue"));
    m_stopGroup = makeGroup(panel, 10, top - 140, fieldDelegate, mouseDelegate, false);
    label(platform::makeRect(10, top - 175, 80, 20),
          LanguageService::localizedStringForKey("PreferenceLabelstringValue"));
    m_preferenceBtn = new platform::PopUpButton(platform::makeRect(10, top - 210, 215, 31), false, panel);
    m_preferenceBtn->setAutoresizingMask(platform::View::MinYMargin);
    m_preferenceBtn->addItemWithTitle(
        LanguageService::localizedStringForKey("KeeptheselectedsectionstringValue"));
    m_preferenceBtn->addItemWithTitle(
        LanguageService::localizedStringForKey("DeletetheselectedsectionstringValue"));
    m_preferenceBtn->selectItemAtIndex(0);
    m_preferenceBtn->action = [mode = actions.mode](platform::PopUpButton &p) {
        if (mode)
            mode(p.indexOfSelectedItem());
    };
    auto button = [panel, top](double x, double width, const QString &title, std::function<void()> act) {
        auto *b = new PNQButton(platform::makeRect(x, top - 255, width, 30), panel);
        b->setAutoresizingMask(platform::View::MinYMargin);
        b->setContentTitle(title);
        b->setContentColor(Qt::black);
        b->setBorderWidth(0);
        b->setBackGroundColor(QColor(90, 216, 238));
        b->setDisAblebackGroundColor(QColor(221, 221, 221));
        b->setCornerRadius(5);
        b->setSelected(false);
        b->setEnabled(false);
        b->mouseDownAction = [act = std::move(act)](PNQButton *) {
            if (act)
                act();
        };
        return b;
    };
    m_setStartTrimBtn = button(10, 40, QStringLiteral("【"), actions.setStart);
    m_setStopTrimBtn = button(55, 40, QStringLiteral("】"), actions.setStop);
    m_playTrimBtn = button(100, 40, QString(), actions.play);
    m_playTrimBtn->setBackGroundColor(QColor());
    // All the states' images, so that it reads as disabled until a clip is loaded.
    m_playTrimBtn->setStateImages(QStringLiteral("Cut/btnPlay"));
    m_playTrimBtn->setSelectedImage(
        ResourceService::imageWithfileName(QStringLiteral("Cut/btnPause_Normal.png")));
    m_resetTrimBtn = button(145, 80, LanguageService::localizedStringForKey("ResetBtnTitle"), actions.reset);
}

double TrimPanel::duration() const
{
    return m_preview ? m_preview->duration() : 0;
}

double TrimPanel::position() const
{
    return m_preview ? m_preview->currentTime() : 0;
}

void TrimPanel::seek(double seconds) const
{
    if (m_preview)
        m_preview->seek(seconds);
}

void TrimPanel::showRange() const
{
    m_startGroup.show(m_range.start / 1000000.0);
    m_stopGroup.show(m_range.stop / 1000000.0);
}

void TrimPanel::setEnabled(bool enabled)
{
    for (QWidget *w : std::initializer_list<QWidget *>{m_setStartTrimBtn.data(), m_setStopTrimBtn.data(),
                                                       m_playTrimBtn.data(), m_resetTrimBtn.data()})
        if (w)
            w->setEnabled(enabled);
}

void TrimPanel::changeStart(double t)
{
    const double d = duration();
    const float r = d > 0 ? float(t / d) : 0.0f;
    m_startGroup.show(t);
    if (!m_startGroup.isEmpty())
        platform::log("_startSecondsField:%@", m_startGroup.fields()[2]->stringValue());
    m_range.start = t * 1000000.0;
    if (!m_bar)
        return;
    if (m_range.start > m_range.stop && m_range.stop != 0 && d > 0) {
        m_bar->setUpperValue(1.0f);
        m_bar->setLowerValue(r);
        m_stopGroup.show(d);
        m_range.stop = d * 1000000.0;
    } else {
        m_bar->setLowerValue(r);
    }
}

void TrimPanel::setStartAtPlayhead()
{
    if (!m_preview || !m_preview->player())
        return;
    changeStart(position());
    if (m_bar)
        m_bar->setProgress(float(m_preview->fraction()));
}

bool TrimPanel::setStopAtPlayhead()
{
    if (!m_preview || !m_preview->player())
        return false;
    const double t = position();
    const double d = duration();
    const bool zeroStart = m_range.start / 1000000.0 > t;
    if (zeroStart) {
        m_range.start = 0;
        if (m_bar)
            m_bar->setLowerValue(0);
        m_startGroup.showZero();
    }
    if (m_bar)
        m_bar->setUpperValue(d > 0 ? float(t / d) : 0.0f);
    m_stopGroup.show(t);
    m_range.stop = t * 1000000.0;
    return zeroStart;
}

void TrimPanel::reset()
{
    m_startGroup.showZero();
    m_stopGroup.show(duration());
    if (m_preview && m_preview->player())
        m_preview->player()->seekTime(platform::kCMTimeZero);
    if (m_bar) {
        m_bar->setUpperValue(1.0f);
        m_bar->setLowerValue(0.0f);
    }
}

void TrimPanel::showEmpty()
{
    if (m_bar) {
        m_bar->setProgress(0);
        m_bar->setUpperValue(1);
        m_bar->setLowerValue(0);
    }
    m_startGroup.showZero();
    m_stopGroup.showZero();
}

void TrimPanel::setDeleteMode(bool deleteSection)
{
    if (!m_bar)
        return;
    const float lower = m_bar->lowerValue();
    const float upper = m_bar->upperValue();
    m_bar->setIsFanxuan(deleteSection);
    m_bar->setUpperValue(upper);
    m_bar->setLowerValue(lower);
    if (deleteSection) {
        m_bar->setProgress(0);
        if (m_preview && m_preview->player())
            m_preview->player()->seekTime(platform::kCMTimeZero);
    } else {
        m_bar->setProgress(lower);
        seek(double(lower) * duration());
    }
}

void TrimPanel::handlesMoved(float lower, float upper, int64_t handleType)
{
    const double D = duration();
    // Without a duration the handles say nothing about times: the stored range stays.
    if (!(D > 0))
        return;
    const double start = double(lower) * D;
    const double stop = double(upper) * D;
    m_range.start = start * 1000000.0;
    m_range.stop = stop * 1000000.0;
    if (handleType == 2) {
        seek(stop);
        m_stopGroup.show(stop);
    } else if (handleType == 1) {
        seek(start);
        m_startGroup.show(start);
    }
}

bool TrimPanel::fieldShouldEndEditing(platform::TextField *field,
                                      const std::function<void(const char *)> &refuse)
{
    const bool start = m_startGroup.contains(field);
    if (!start && !m_stopGroup.contains(field))
        return true;
    const double D = duration();
    const double S = m_startGroup.seconds();
    const double E = m_stopGroup.seconds();
    const TimeFieldRules::Verdict v =
        start ? TimeFieldRules::trimStart(S, E) : TimeFieldRules::trimStop(S, E, D);
    if (!v.accepted) {
        if (v.alertKey && refuse)
            refuse(v.alertKey);
        return false;
    }
    if (start) {
        m_range.start = double(m_startGroup.microseconds());
        if (D > 0 && m_bar)
            m_bar->setLowerValue(float(S / D));
    } else {
        m_range.stop = double(m_stopGroup.microseconds());
        if (D > 0 && m_bar)
            m_bar->setUpperValue(float(E / D));
    }
    return true;
}

void TrimPanel::primeStepper(platform::TextField *field)
{
    const bool start = m_startGroup.contains(field);
    if (!start && !m_stopGroup.contains(field))
        return;
    m_edittingField = field;
    platform::Stepper *stepper = start ? m_startStepper : m_stopStepper;
    if (!stepper)
        return;
    stepper->setMinValue(0);
    stepper->setMaxValue((start ? m_startGroup : m_stopGroup).isHundredths(field) ? m_hundredthsMax
                                                                                  : m_wholeMax);
    stepper->setIntValue(field->intValue());
}

void TrimPanel::startStepperTouched(platform::Stepper *stepper)
{
    stepperTouched(stepper, true);
}

void TrimPanel::stopStepperTouched(platform::Stepper *stepper)
{
    stepperTouched(stepper, false);
}

void TrimPanel::stepperTouched(platform::Stepper *stepper, bool start)
{
    m_range.start = double(m_startGroup.microseconds());
    m_range.stop = double(m_stopGroup.microseconds());
    if (!(m_range.stop > m_range.start) || !m_edittingField)
        return;
    platform::Stepper *s = stepper ? stepper : (start ? m_startStepper : m_stopStepper).data();
    if (!s)
        return;
    m_edittingField->setStringValue(QString::asprintf("%02ld", long(s->intValue())));
    if (start)
        m_range.start = double(m_startGroup.microseconds());
    else
        m_range.stop = double(m_stopGroup.microseconds());
}
