#pragma once
// A tool window's trim panel: the start and stop times in four-field groups (hours, minutes, seconds,
// hundredths) with a stepper each, the keep/delete pop-up, and the set-start, set-stop, play and reset
// buttons. It keeps the range (microseconds on the file's timeline; a stop of 0 = not set) and draws it
// on the window's trim bar (RDCutProgressView), reading the position and duration from the window's
// PreviewHost.
//
// A zero duration never divides: bar fractions then stay as they are (or 0) and the stored range is
// kept. build() makes the controls into the panel view; the fields report their edits to the given
// delegates (the window checks them and calls fieldShouldEndEditing() for the trim fields); the buttons
// and the pop-up call `actions`. Main thread only.
#include "controls/PNQButton.h"
#include "platform/PopUpButton.h"
#include "platform/Stepper.h"
#include "toolkit/TimeFieldGroup.h"

#include <QColor>
#include <QPointer>

#include <functional>

class PreviewHost;
class RDCutProgressView;
class RDTextFieldDelegate;

namespace platform {
class TextField;
class TextFieldDelegate;
class View;
} // namespace platform

class TrimPanel
{
public:
    struct Range
    {
        double start = 0; // microseconds
        double stop = 0;  // microseconds; 0 = not set
    };
    struct Actions
    {
        std::function<void()> setStart;      // the "【" button
        std::function<void()> setStop;       // the "】" button
        std::function<void()> play;          // the play button
        std::function<void()> reset;         // the reset button
        std::function<void(int index)> mode; // the pop-up: keep (0) or delete (1) the section
    };

    // Builds the controls into `panel`, from its top down, pinned there; fields and buttons start disabled.
    void build(platform::View *panel, platform::TextFieldDelegate *fieldDelegate,
               RDTextFieldDelegate *mouseDelegate, Actions actions);
    // Only the two time groups, side by side in one row at height `y` of `panel` (start at the left edge,
    // stop at the right edge), each with its caption above it (11 points, on `captionBackground` when
    // one is given) and its stepper; fields start disabled.
    void buildGroupRow(platform::View *panel, double y, platform::TextFieldDelegate *fieldDelegate,
                       RDTextFieldDelegate *mouseDelegate, const QColor &captionBackground = QColor());
    void setPreview(PreviewHost *preview) { m_preview = preview; }
    void setBar(RDCutProgressView *bar) { m_bar = bar; }

    Range &range() { return m_range; }
    const Range &range() const { return m_range; }
    // Shows the range in the two groups.
    void showRange() const;

    // The start at `seconds`: fields, range and the bar's lower value; a start after a set stop moves
    // the stop to the end.
    void changeStart(double seconds);
    // The start or the stop at the playhead (nothing without a player). Setting the stop before the
    // start zeroes the start.
    void setStartAtPlayhead();
    // Returns true when the start was zeroed.
    bool setStopAtPlayhead();
    // Start 0, stop at the end, the player back at 0, the bar's handles at the ends.
    void reset();
    // Nothing to trim (an empty clip list): both groups at zero, the bar's handles at the ends and its
    // position at 0. The stored range is left as it is.
    void showEmpty();
    // Keep (false) or delete (true) look of the bar, keeping its handles; the bar's position goes to the
    // lower handle (keep) or 0 (delete), and the player follows.
    void setDeleteMode(bool deleteSection);
    // A handle of the bar moved (1 = lower, 2 = upper): the range follows, and the moved handle's group
    // and the player show its time.
    void handlesMoved(float lower, float upper, int64_t handleType);
    // The end of an edit of a trim field, checked by TimeFieldRules; a refused edit calls `refuse` with
    // its alert key and returns false. Returns true for fields that are not the panel's.
    bool fieldShouldEndEditing(platform::TextField *field, const std::function<void(const char *)> &refuse);
    // A click on a trim field: the field the steppers act on, and its stepper primed with the field's value
    // and the maximum of its kind (59 for hours, minutes and seconds and 99 for hundredths unless set).
    void primeStepper(platform::TextField *field);
    // The steppers' maxima set by a field click: the cutters let a stepper reach 60 and 100.
    void setStepperMaxima(int whole, int hundredths)
    {
        m_wholeMax = whole;
        m_hundredthsMax = hundredths;
    }
    // The steppers: the remembered field takes the stepper's value when the stop is after the start.
    void startStepperTouched(platform::Stepper *stepper);
    void stopStepperTouched(platform::Stepper *stepper);
    void setEnabled(bool enabled);

    TimeFieldGroup &startGroup() { return m_startGroup; }
    TimeFieldGroup &stopGroup() { return m_stopGroup; }
    const TimeFieldGroup &startGroup() const { return m_startGroup; }
    const TimeFieldGroup &stopGroup() const { return m_stopGroup; }
    const QPointer<platform::Stepper> &startStepper() const { return m_startStepper; }
    const QPointer<platform::Stepper> &stopStepper() const { return m_stopStepper; }
    const QPointer<platform::PopUpButton> &preferenceBtn() const { return m_preferenceBtn; }
    const QPointer<PNQButton> &setStartTrimBtn() const { return m_setStartTrimBtn; }
    const QPointer<PNQButton> &setStopTrimBtn() const { return m_setStopTrimBtn; }
    const QPointer<PNQButton> &playTrimBtn() const { return m_playTrimBtn; }
    const QPointer<PNQButton> &resetTrimBtn() const { return m_resetTrimBtn; }
    platform::TextField *edittingField() const { return m_edittingField; }

private:
    TimeFieldGroup makeGroup(platform::View *panel, double x, double y,
                             platform::TextFieldDelegate *fieldDelegate, RDTextFieldDelegate *mouseDelegate,
                             bool start);
    double duration() const;
    double position() const;
    void seek(double seconds) const;
    void stepperTouched(platform::Stepper *stepper, bool start);

    Range m_range;
    PreviewHost *m_preview = nullptr;
    QPointer<RDCutProgressView> m_bar;
    TimeFieldGroup m_startGroup, m_stopGroup;
    QPointer<platform::Stepper> m_startStepper, m_stopStepper;
    QPointer<platform::PopUpButton> m_preferenceBtn;
    QPointer<PNQButton> m_setStartTrimBtn, m_setStopTrimBtn, m_playTrimBtn, m_resetTrimBtn;
    QPointer<platform::TextField> m_edittingField;
    int m_wholeMax = 59;
    int m_hundredthsMax = 99;
};
