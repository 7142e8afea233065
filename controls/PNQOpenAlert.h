#pragma once
// The finish dialog: the application icon, a message, a check box asking to open the output folder and
// an OK button, shown modally when a tool has written its last output file.
//
// The dialog only reports the choice: OK calls SelectedOkBlock with whether the box is on, then closes
// the window, which ends its modal session. Closing it any other way (the window's close button, Escape)
// ends the session as OK with the box off: SelectedOkBlock gets false. Either way the block is called
// once. windowTitle() and infomation() are localisation keys or plain texts (a text that is no key shows
// unchanged); empty ones mean "Title" and "InformationLabelTitle". Set them before the window loads.
// Main thread only.
#include "platform/WindowController.h"

#include <QString>

#include <functional>
#include <memory>

class ImageView;
class QCheckBox;
class QPushButton;
class TextLabel;

namespace platform {
class Window;
}

class PNQOpenAlert : public platform::WindowController
{
    Q_OBJECT

public:
    static constexpr double width = 338;
    static constexpr double height = 114;

    explicit PNQOpenAlert(QObject *parent = nullptr);
    ~PNQOpenAlert() override;

    QString windowTitle() const { return m_windowTitle; }
    void setWindowTitle(const QString &title) { m_windowTitle = title; }
    QString infomation() const { return m_infomation; }
    void setInfomation(const QString &information) { m_infomation = information; }

    // Called once with whether the check box was on (false when the dialog was closed without OK).
    std::function<void(bool)> SelectedOkBlock;

    // The controls (made when the window loads).
    ImageView *appIconView() const { return m_appIconView; }
    TextLabel *titleLabel() const { return m_titleLabel; }
    QCheckBox *openBtn() const { return m_openBtn; }
    QPushButton *okBtn() const { return m_okBtn; }

    // Reports the check box to SelectedOkBlock and closes the dialog; without a SelectedOkBlock it does
    // nothing and the dialog stays open.
    void okAction(QObject *sender = nullptr);

    // How the tools show it: titled like `toolWindow`, with the message `infomationKey`, centred over the
    // tool window and run modally; returns when the user has answered. When the box was on and
    // `outputPath` is not empty, the file is revealed in the file manager (platform::Workspace).
    // Returns whether the box was on.
    static bool showFinished(platform::Window *toolWindow, const QString &infomationKey,
                             const QString &outputPath);
    // The dialog's frame centred over a tool window's frame (single precision, as the tools compute it).
    static platform::Rect frameCenteredOver(const platform::Rect &toolFrame);

protected:
    std::unique_ptr<platform::Window> makeWindow() override;
    void windowDidLoad() override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void answer(bool openFolder);

    QString m_windowTitle;
    QString m_infomation;
    ImageView *m_appIconView = nullptr;
    TextLabel *m_titleLabel = nullptr;
    QCheckBox *m_openBtn = nullptr;
    QPushButton *m_okBtn = nullptr;
    bool m_answered = false;
};
