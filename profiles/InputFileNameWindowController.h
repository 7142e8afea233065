#pragma once
// The small modal dialog that asks for the name of a custom output profile.
//
// The opener sets customValue() (the value to save, "custom={<width>x<height>}"), sizes the window and runs
// it modally. OK with a non-empty name posts "NSAddPfFileNotification" on the default centre, with a null
// object and the userInfo {"fileName": the name exactly as typed, "value": customValue()}, then closes the
// window and ends the modal run; OK with an empty name does nothing. Cancel closes and ends the run
// without posting. Main thread only.
#include "platform/WindowController.h"

#include <QString>

class PNQButton;
class TextLabel;

namespace platform {
class TextField;
}

class InputFileNameWindowController : public platform::WindowController
{
    Q_OBJECT

public:
    static constexpr const char *AddPfFileNotification = "NSAddPfFileNotification";

    explicit InputFileNameWindowController(QObject *parent = nullptr);
    ~InputFileNameWindowController() override;

    QString customValue() const { return m_customValue; }
    void setCustomValue(const QString &value) { m_customValue = value; }

    void actionOkBtn();
    void actionCancelBtn();

    // The controls (made by window()).
    TextLabel *tisiLabel() const { return m_tisiLabel; }
    platform::TextField *nameNameField() const { return m_nameNameField; }
    PNQButton *okBtn() const { return m_okBtn; }
    PNQButton *cancelBtn() const { return m_cancelBtn; }

protected:
    std::unique_ptr<platform::Window> makeWindow() override;
    void windowDidLoad() override;

private:
    QString m_customValue;
    TextLabel *m_tisiLabel = nullptr;
    platform::TextField *m_nameNameField = nullptr;
    PNQButton *m_okBtn = nullptr;
    PNQButton *m_cancelBtn = nullptr;
};
