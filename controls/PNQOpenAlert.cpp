#include "controls/PNQOpenAlert.h"

#include "services/LanguageService.h"
#include "services/ResourceService.h"
#include "controls/ImageView.h"
#include "controls/TextLabel.h"
#include "platform/Application.h"
#include "platform/View.h"
#include "platform/Window.h"
#include "platform/Workspace.h"

#include <QCheckBox>
#include <QKeyEvent>
#include <QPointer>
#include <QPushButton>

PNQOpenAlert::PNQOpenAlert(QObject *parent) : platform::WindowController(parent) {}

PNQOpenAlert::~PNQOpenAlert() = default;

std::unique_ptr<platform::Window> PNQOpenAlert::makeWindow()
{
    return std::make_unique<platform::Window>(platform::Size{width, height});
}

void PNQOpenAlert::windowDidLoad()
{
    platform::Window *win = window();
    platform::View *content = win->contentView();

    win->setTitle(m_windowTitle.isEmpty() ? LanguageService::localizedStringForKey("Title")
                                          : LanguageService::localizedStringForKey(m_windowTitle));

    m_appIconView = new ImageView(platform::makeRect(16, 34, 48, 48), content);
    m_appIconView->setImage(ResourceService::imageWithfileName("im/app_Icon.png"));

    m_titleLabel = new TextLabel(platform::makeRect(76, 64, width - 86, 34), content);
    m_titleLabel->setText(m_infomation.isEmpty()
                              ? LanguageService::localizedStringForKey("InformationLabelTitle")
                              : LanguageService::localizedStringForKey(m_infomation));

    m_openBtn = new QCheckBox(LanguageService::localizedStringForKey("OpenfileTitle"), content);
    m_openBtn->setGeometry(content->toQt(platform::makeRect(76, 38, width - 86, 22)).toRect());
    m_openBtn->setChecked(false);

    m_okBtn = new QPushButton(LanguageService::localizedStringForKey("OKBtnTitle"), content);
    m_okBtn->setGeometry(content->toQt(platform::makeRect(width - 96, 8, 84, 28)).toRect());
    m_okBtn->setDefault(true);
    connect(m_okBtn, &QPushButton::clicked, this, [this] { okAction(m_okBtn); });

    // Closing the window without OK is an answer too; the platform ends the modal session on close.
    connect(win, &platform::Window::didClose, this, [this] { answer(false); });
    win->installEventFilter(this);
}

bool PNQOpenAlert::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == window() && event->type() == QEvent::KeyPress) {
        const auto *key = static_cast<QKeyEvent *>(event);
        if (key->key() == Qt::Key_Escape) {
            window()->close();
            return true;
        }
    }
    return WindowController::eventFilter(watched, event);
}

void PNQOpenAlert::answer(bool openFolder)
{
    if (m_answered)
        return;
    m_answered = true;
    if (SelectedOkBlock)
        SelectedOkBlock(openFolder);
}

void PNQOpenAlert::okAction(QObject *)
{
    // Nobody to tell: the dialog stays (the tools always set the block; the window can still be closed).
    if (!SelectedOkBlock)
        return;
    answer(m_openBtn && m_openBtn->isChecked());
    // Closing ends the dialog's modal session; a further stopModal() would end the session around it.
    window()->close();
}

platform::Rect PNQOpenAlert::frameCenteredOver(const platform::Rect &toolFrame)
{
    const float x = float(toolFrame.minX()) + (float(toolFrame.width()) - float(width)) / 2.0f;
    const float y = float(toolFrame.minY()) + (float(toolFrame.height()) - float(height)) / 2.0f;
    return platform::makeRect(x, y, width, height);
}

bool PNQOpenAlert::showFinished(platform::Window *toolWindow, const QString &infomationKey,
                                const QString &outputPath)
{
    auto *alert = new PNQOpenAlert;
    alert->setWindowTitle(toolWindow ? toolWindow->title() : QString());
    alert->setInfomation(infomationKey);
    bool openFolder = false;
    alert->SelectedOkBlock = [&openFolder, outputPath](bool on) {
        openFolder = on;
        if (on && !outputPath.isEmpty())
            platform::Workspace::instance().revealFile(outputPath);
    };
    platform::Window *dialog = alert->window();
    if (toolWindow)
        dialog->setFrame(frameCenteredOver(toolWindow->frame()));
    QPointer<PNQOpenAlert> guard(alert);
    platform::Application::shared().runModal(dialog);
    // A session ended from outside leaves the dialog open: it must not call back into this frame later.
    if (guard) {
        guard->SelectedOkBlock = nullptr;
        if (guard->isWindowLoaded() && guard->window()->isVisible())
            guard->window()->close();
    }
    return openFolder;
}
