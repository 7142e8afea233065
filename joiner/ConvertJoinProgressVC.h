#pragma once
// A small panel that shows a join's progress on its own: a title, a bar, the percentage and a Cancel
// button. It does not talk to the engine: every 0.2 s (in every run-loop mode) it asks its delegate for
// the progress in percent, and it tells the delegate when the user cancels. No window presents it yet;
// a presenter gives the percentage (apiMediaJoinGetProgress) and stops the job on a cancel.
//
// A value outside 0..100 changes nothing; a kept value shows "%.f%%" (42.6 -> "43%"). Cancel stops the
// poll and asks the delegate; a delegate that does not handle the cancel leaves the poll running. The
// panel does not close itself: the presenter calls closeWindow(). The delegate is held weakly: once it
// is gone, the panel stops changing. Main thread only.
#include "controls/RDButton.h"
#include "platform/View.h"

#include <QPointer>
#include <QString>

#include <memory>

class NSProgressView;
class TextLabel;

namespace platform {
class Timer;
}

class ConvertJoinProgressDelegate
{
public:
    virtual ~ConvertJoinProgressDelegate() = default;
    // The progress in percent, 0..100; the default (not answered) is -1, which changes nothing.
    virtual float changeProgress() { return -1; }
    // The user asked to cancel. Returns true when handled; the default does not handle it.
    virtual bool cancelConvertJoin() { return false; }
};

class ConvertJoinProgressVC : public platform::View, private RDButtonDelegate
{
    Q_OBJECT

public:
    explicit ConvertJoinProgressVC(const platform::Rect &frame, QWidget *parent = nullptr);
    ~ConvertJoinProgressVC() override;

    // Builds the panel and starts polling.
    void viewDidLoad();

    float progress() const { return m_progress; }
    void setProgress(float progress);
    QString progressStatues() const { return m_progressStatues; }
    void setProgressStatues(const QString &status);
    void setJoinDelegate(const std::weak_ptr<ConvertJoinProgressDelegate> &delegate)
    {
        m_joinDelegate = delegate;
    }

    // One poll (the timer's work).
    void convertJoinGetProgress();
    // Stops polling and hides the panel.
    void closeWindow();
    bool isPolling() const;

    TextLabel *titleLabel() const { return m_titleLabel; }
    NSProgressView *progressView() const { return m_progressView; }
    TextLabel *statuesLabel() const { return m_statuesLabel; }
    RDButton *cancelBtn() const { return m_cancelBtn; }

private:
    void actionMouseUpForRDButtonBlock(RDButton *sender) override;
    void startPolling();
    void stopPolling();

    float m_progress = 0;
    QString m_progressStatues;
    std::weak_ptr<ConvertJoinProgressDelegate> m_joinDelegate;
    QPointer<TextLabel> m_titleLabel;
    QPointer<NSProgressView> m_progressView;
    QPointer<TextLabel> m_statuesLabel;
    QPointer<RDButton> m_cancelBtn;
    std::shared_ptr<platform::Timer> m_exportJoinTimer;
};
