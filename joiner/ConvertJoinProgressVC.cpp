#include "joiner/ConvertJoinProgressVC.h"

#include "controls/NSProgressView.h"
#include "controls/TextLabel.h"
#include "platform/FontAlias.h"
#include "platform/Format.h"
#include "platform/Log.h"
#include "platform/Timer.h"
#include "services/LanguageService.h"

ConvertJoinProgressVC::ConvertJoinProgressVC(const platform::Rect &frame, QWidget *parent)
    : platform::View(frame, parent)
{
}

ConvertJoinProgressVC::~ConvertJoinProgressVC()
{
    stopPolling();
    platform::log("%s", __func__);
}

void ConvertJoinProgressVC::viewDidLoad()
{
    const double W = frame().width();
    const double H = frame().height();
    const double barY = (H - 68) / 2 + 40;
    m_progressView = new NSProgressView(platform::makeRect(10, barY, W - 100, 6), this);

    const auto label = [this](const platform::Rect &rect, double size) {
        auto *l = new TextLabel(rect, this);
        l->setTextFont(platform::FontAlias::systemFont(size));
        l->setTextColor(Qt::darkGray);
        l->setAlignment(Qt::AlignCenter);
        return l;
    };
    m_titleLabel = label(platform::makeRect(0, H - 35, W, 22), 16);
    m_titleLabel->setText(LanguageService::localizedStringForKey("Amalgamate Video"));
    m_statuesLabel = label(platform::makeRect(W - 85, barY - 5, 80, 20), 12);

    m_cancelBtn = new RDButton(platform::makeRect(W - 120, 5, 80, 24), this);
    m_cancelBtn->setTitle(LanguageService::localizedStringForKey("CancelBtn"));
    m_cancelBtn->setNormalColor(Qt::black);
    m_cancelBtn->setHeightedColor(Qt::black);
    m_cancelBtn->setFont(platform::FontAlias::systemFont(14));
    m_cancelBtn->setDelegate(this);
    startPolling();
}

void ConvertJoinProgressVC::setProgress(float progress)
{
    m_progress = progress;
    if (m_progressView)
        m_progressView->setProgress(progress);
}

void ConvertJoinProgressVC::setProgressStatues(const QString &status)
{
    m_progressStatues = status;
    if (m_statuesLabel)
        m_statuesLabel->setText(status);
}

void ConvertJoinProgressVC::convertJoinGetProgress()
{
    const auto delegate = m_joinDelegate.lock();
    if (!delegate)
        return;
    const float value = delegate->changeProgress();
    if (!(value >= 0 && value <= 100))
        return;
    setProgress(value / 100);
    setProgressStatues(platform::qformat("%.f%%", double(value)));
}

void ConvertJoinProgressVC::actionMouseUpForRDButtonBlock(RDButton *sender)
{
    const auto delegate = m_joinDelegate.lock();
    if (sender != m_cancelBtn || !delegate)
        return;
    stopPolling();
    if (!delegate->cancelConvertJoin())
        startPolling();
}

void ConvertJoinProgressVC::closeWindow()
{
    stopPolling();
    hide();
}

bool ConvertJoinProgressVC::isPolling() const
{
    return m_exportJoinTimer != nullptr;
}

void ConvertJoinProgressVC::startPolling()
{
    stopPolling();
    QPointer<ConvertJoinProgressVC> self(this);
    m_exportJoinTimer = platform::Timer::scheduled(
        0.2, true,
        [self](platform::Timer &) {
            if (self)
                self->convertJoinGetProgress();
        },
        platform::Timer::Common);
}

void ConvertJoinProgressVC::stopPolling()
{
    if (m_exportJoinTimer) {
        m_exportJoinTimer->invalidate();
        m_exportJoinTimer.reset();
    }
}
