#include "app/AboutUsWindowController.h"

#include "services/LanguageService.h"
#include "services/ResourceService.h"
#include "controls/PNQButton.h"
#include "controls/PNQView.h"
#include "controls/TextLabel.h"
#include "platform/FontAlias.h"
#include "platform/Format.h"
#include "platform/Window.h"
#include "platform/Workspace.h"

#include <QLabel>

using platform::makeRect;

namespace {

const QColor kAccent(33, 176, 235);

QFont uiFont(double size, const QString &text, bool bold = false)
{
    QFont font = platform::FontAlias::fontNamed(LanguageService::isalaboLanguage() ? QStringLiteral("Muna")
                                                                                   : QStringLiteral(".AppleSystemUIFont"),
                                                size, text)
                     .value_or(platform::FontAlias::systemFont(size));
    font.setBold(bold);
    return font;
}

PNQButton *makeLink(const platform::Rect &frame, const QString &title, QWidget *parent)
{
    auto *link = new PNQButton(frame, parent);
    link->setUnderLine(true);
    link->setContentTitle(title);
    link->setContentColor(Qt::blue);
    link->setFont(uiFont(13, title));
    return link;
}

PNQView *makeRule(const platform::Rect &frame, QWidget *parent)
{
    auto *rule = new PNQView(frame, parent);
    rule->setBackGroundColor(kAccent);
    rule->setBordColor(kAccent);
    rule->setCornerRadius(1);
    rule->setBorderWidth(0);
    return rule;
}

} // namespace

AboutUsWindowController::AboutUsWindowController(QObject *parent)
    : platform::WindowController(parent)
{
}

AboutUsWindowController::~AboutUsWindowController() = default;

QUrl AboutUsWindowController::mailUrl(const QString &address)
{
    const QByteArray text = platform::format("mailto:%@?Subject=%@&body=%@", QUrl::toPercentEncoding(address, "@"),
                                             QUrl::toPercentEncoding(QStringLiteral(" ")),
                                             QUrl::toPercentEncoding(QStringLiteral(" ")))
                                .c_str();
    return QUrl::fromEncoded(text, QUrl::StrictMode);
}

std::unique_ptr<platform::Window> AboutUsWindowController::makeWindow()
{
    return std::make_unique<platform::Window>(platform::Size{480, 270});
}

void AboutUsWindowController::windowDidLoad()
{
    platform::Window *win = window();
    win->setTitlebarAppearsTransparent(true);
    win->setBackgroundColor(kAccent);
    win->setTitle(LanguageService::localizedStringForKey("Ixy-de-Rz5.title"));
    platform::View *content = win->contentView(); // 480 x 240 under the header strip

    m_contentBackView = new PNQView(makeRect(8, 8, 464, 226), content);
    m_contentBackView->setBackGroundColor(QColor(245, 245, 245));
    m_contentBackView->setBordColor(QColor(245, 245, 245));
    m_contentBackView->setCornerRadius(4);
    m_contentBackView->setBorderWidth(0);

    const QString title = LanguageService::localizedStringForKey("Title");
    m_aboutTitleLabel = new TextLabel(makeRect(30, 190, 420, 28), content);
    m_aboutTitleLabel->setTextFont(uiFont(18, title, true));
    m_aboutTitleLabel->setText(title);
    const QString version = LanguageService::localizedStringForKey("aboutVersionLabelstring");
    m_aboutVersionLabel = new TextLabel(makeRect(30, 168, 420, 20), content);
    m_aboutVersionLabel->setTextFont(uiFont(12, version));
    m_aboutVersionLabel->setText(version);
    m_topLine = makeRule(makeRect(30, 158, 420, 1), content);

    m_middleLeftContentLabel =
        makeLink(makeRect(30, 122, 200, 26), LanguageService::localizedStringForKey("middleLeftContentLabelstring"), content);
    m_middleLeftContentLabel->mouseDownAction = [](PNQButton *) {
        platform::Workspace::instance().openUrl(QUrl(LanguageService::localizedStringForKey("homepageUrl")));
    };
    m_middleRightContentLabel = makeLink(makeRect(250, 122, 200, 26),
                                         LanguageService::localizedStringForKey("middleRightContentLabelstring"), content);
    m_middleRightContentLabel->mouseDownAction = [](PNQButton *) {
        platform::Workspace::instance().openUrl(mailUrl(LanguageService::localizedStringForKey("email_address")));
    };

    // Several lines: the one-line labels of the toolkit cannot wrap.
    const QString bottom = LanguageService::localizedStringForKey("bottomContentLabelstring");
    m_bottomContentLabel = new QLabel(bottom, content);
    m_bottomContentLabel->setWordWrap(true);
    m_bottomContentLabel->setFont(uiFont(12, bottom));
    m_bottomContentLabel->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_bottomContentLabel->setGeometry(content->toQt(makeRect(30, 68, 420, 46)).toRect());
    m_bottomLine = makeRule(makeRect(30, 60, 420, 1), content);

    m_okBtn = new PNQButton(makeRect(370, 18, 80, 28), content);
    m_okBtn->setNormalBackgroundImage(ResourceService::imageWithfileName(QStringLiteral("About/btnOK_Normal.bmp")));
    m_okBtn->setOnBackgroundImage(ResourceService::imageWithfileName(QStringLiteral("About/btnOK_On.bmp")));
    m_okBtn->setDownBackgroundImage(ResourceService::imageWithfileName(QStringLiteral("About/btnOK_Down.bmp")));
    m_okBtn->setDisAbleBackgroundImage(ResourceService::imageWithfileName(QStringLiteral("About/btnOK_Disable.bmp")));
    m_okBtn->setContentColor(QColor(0, 0, 0));
    m_okBtn->setContentTitle(LanguageService::localizedStringForKey("OKBtnTitle"));
    // Closing the window ends the modal run made for it, and only that one.
    m_okBtn->mouseDownAction = [this](PNQButton *) { close(); };
}
