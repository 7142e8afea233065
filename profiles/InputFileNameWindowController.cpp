#include "profiles/InputFileNameWindowController.h"

#include "services/LanguageService.h"
#include "services/ResourceService.h"
#include "controls/PNQButton.h"
#include "controls/TextLabel.h"
#include "platform/FontAlias.h"
#include "platform/NotificationCenter.h"
#include "platform/TextField.h"
#include "platform/View.h"
#include "platform/Window.h"

using platform::makeRect;

namespace {

PNQButton *makeDialogButton(const platform::Rect &frame, const char *titleKey, QWidget *parent)
{
    auto *button = new PNQButton(frame, parent);
    button->setNormalBackgroundImage(ResourceService::imageWithfileName(QStringLiteral("About/btnOK_Normal.bmp")));
    button->setOnBackgroundImage(ResourceService::imageWithfileName(QStringLiteral("About/btnOK_On.bmp")));
    button->setDownBackgroundImage(ResourceService::imageWithfileName(QStringLiteral("About/btnOK_Down.bmp")));
    button->setDisAbleBackgroundImage(ResourceService::imageWithfileName(QStringLiteral("About/btnOK_Disable.bmp")));
    button->setContentColor(Qt::black);
    button->setContentTitle(LanguageService::localizedStringForKey(titleKey));
    return button;
}

} // namespace

InputFileNameWindowController::InputFileNameWindowController(QObject *parent)
    : platform::WindowController(parent)
{
}

InputFileNameWindowController::~InputFileNameWindowController() = default;

std::unique_ptr<platform::Window> InputFileNameWindowController::makeWindow()
{
    return std::make_unique<platform::Window>(platform::Size{380, 141});
}

void InputFileNameWindowController::windowDidLoad()
{
    platform::View *content = window()->contentView();
    const QString fontName = LanguageService::isalaboLanguage() ? QStringLiteral("Muna")
                                                                : QStringLiteral(".AppleSystemUIFont");
    const QString prompt = LanguageService::localizedStringForKey("inputTishiTitle");

    m_tisiLabel = new TextLabel(makeRect(20, 100, 340, 22), content);
    m_tisiLabel->setTextFont(platform::FontAlias::fontNamed(fontName, 13, prompt).value_or(platform::FontAlias::systemFont(13)));
    m_tisiLabel->setText(prompt);

    m_nameNameField = new platform::TextField(makeRect(20, 66, 340, 24), content);
    m_nameNameField->action = [this](platform::TextField &) { actionOkBtn(); };

    m_cancelBtn = makeDialogButton(makeRect(180, 18, 80, 28), VW_KEY("alertCancelBtn"), content);
    m_cancelBtn->mouseDownAction = [this](PNQButton *) { actionCancelBtn(); };
    m_okBtn = makeDialogButton(makeRect(280, 18, 80, 28), VW_KEY("OKBtnTitle"), content);
    m_okBtn->mouseDownAction = [this](PNQButton *) { actionOkBtn(); };
    m_nameNameField->setFocus();
}

void InputFileNameWindowController::actionOkBtn()
{
    const QString name = m_nameNameField->stringValue();
    if (name.isEmpty())
        return;
    platform::NotificationCenter::defaultCenter().post(QString::fromLatin1(AddPfFileNotification), nullptr,
                                                       {{QStringLiteral("fileName"), name},
                                                        {QStringLiteral("value"), m_customValue}});
    close();
}

// Closing the window ends the modal session that runs for it, and only that one (a stopModal() could
// end an enclosing session when the dialog is not the innermost).
void InputFileNameWindowController::actionCancelBtn()
{
    close();
}

