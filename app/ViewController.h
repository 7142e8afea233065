#pragma once
// The launcher: the content of the main window. Eleven tool buttons with captions, a description line
// that tells what the button under the pointer does (else the idle text), and the About and Homepage
// links at the top right.
//
// A tool button creates its tool's window controller by class name through the WindowController
// registry, gives the editor its starting tool (the Qt property "toolItemType"), centres, titles and
// shows the window, and disables every launcher control; "WillCloseNotification", which a tool window
// posts last when it closes, enables them again. The buttons' callbacks do their work one event-loop
// turn later (dispatchMain). Main thread only.
#include "toolkit/ToolWindowController.h"
#include "platform/NotificationCenter.h"
#include "platform/PopUpButton.h"
#include "platform/View.h"

#include <QPointer>

#include <array>

class PNQButton;
class PNQImageView;
class TextLabel;

namespace platform {
class Window;
}

class ViewController : public platform::View
{
    Q_OBJECT

public:
    enum Tool { Crop, Effect, Subtitle, Watermark, Joinner, EasyCutter, BatchCutter, AdvancedCutter, Rotate, Music, Split };
    static constexpr int ToolCount = 11;
    static constexpr const char *WillCloseNotification = ToolWindowController::WillCloseNotification;

    // Lays the launcher out over the window's content view and runs viewDidLoad().
    explicit ViewController(platform::Window *window);
    ~ViewController() override;

    void viewDidLoad();
    void initButtonTitle();
    // Lays out the link row for the current texts and re-titles the links and captions.
    void viewDidLayout();
    // After a language change: the idle text, then a new layout in the new language.
    void langeuageAction();
    // Enables or disables the tool buttons, the language list and the two links.
    void enable(bool on);
    void childEnable(const platform::Notification &notification);

    void cropAction(PNQButton *sender);
    void effectAction(PNQButton *sender);
    void subtitleAction(PNQButton *sender);
    void watermarkAction(PNQButton *sender);
    void joinnerAction(PNQButton *sender);
    void easy_cutterAction(PNQButton *sender);
    void batch_cutterAction(PNQButton *sender);
    void advanced_cutterAction(PNQButton *sender);
    void rotateAction(PNQButton *sender);
    void addOrremovemusicAction(PNQButton *sender);
    void splitAction(PNQButton *sender);
    // Opens the About box modally, centred over the launcher's window; returns when it has closed.
    void aboutAction(PNQButton *sender);

    // The idle text of the description line.
    static QString idleText();

    PNQImageView *backImageView() const { return m_backImageView; }
    TextLabel *descLabel1() const { return m_descLabel1; }
    PNQButton *aboutButton() const { return m_aboutButton; }
    PNQButton *homepageButton() const { return m_homepageButton; }
    PNQButton *toolButton(Tool tool) const { return m_toolButtons[tool]; }
    TextLabel *caption(Tool tool) const { return m_captions[tool]; }
    PNQButton *cropButton() const { return m_toolButtons[Crop]; }
    // The language list that the launcher disables while a tool window is open (may be absent).
    platform::PopUpButton *langeuagePopBtn() const { return m_langeuagePopBtn; }
    void setLangeuagePopBtn(platform::PopUpButton *popUp) { m_langeuagePopBtn = popUp; }

protected:
    void frameDidChange() override { viewDidLayout(); }

private:
    void openTool(Tool tool);
    void layoutControls();

    platform::Window *m_window;
    PNQImageView *m_backImageView = nullptr;
    TextLabel *m_descLabel1 = nullptr;
    PNQButton *m_aboutButton = nullptr;
    PNQButton *m_homepageButton = nullptr;
    std::array<PNQButton *, ToolCount> m_toolButtons{};
    std::array<TextLabel *, ToolCount> m_captions{};
    QPointer<platform::PopUpButton> m_langeuagePopBtn;
};
