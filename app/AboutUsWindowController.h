#pragma once
// The About box: the application's title and version, a line about it, a homepage link, an e-mail link to
// the support address and an OK button; every text comes from the localisation. The launcher sizes it
// (480 x 270), centres it over its own window and runs it modally; OK and the window's close button both
// close it, which ends that modal run. Main thread only.
#include "platform/WindowController.h"

#include <QUrl>

class PNQButton;
class PNQView;
class QLabel;
class TextLabel;

class AboutUsWindowController : public platform::WindowController
{
    Q_OBJECT

public:
    explicit AboutUsWindowController(QObject *parent = nullptr);
    ~AboutUsWindowController() override;

    // The e-mail link's URL: "mailto:" + the address, with a blank subject and body, each part
    // percent-encoded (a blank becomes "%20", and "&", "?" or "#" in the address cannot break the URL).
    static QUrl mailUrl(const QString &address);

    PNQView *contentBackView() const { return m_contentBackView; }
    TextLabel *aboutTitleLabel() const { return m_aboutTitleLabel; }
    TextLabel *aboutVersionLabel() const { return m_aboutVersionLabel; }
    PNQButton *middleLeftContentLabel() const { return m_middleLeftContentLabel; }
    PNQButton *middleRightContentLabel() const { return m_middleRightContentLabel; }
    QLabel *bottomContentLabel() const { return m_bottomContentLabel; }
    PNQButton *okBtn() const { return m_okBtn; }

protected:
    std::unique_ptr<platform::Window> makeWindow() override;
    void windowDidLoad() override;

private:
    PNQView *m_contentBackView = nullptr;
    TextLabel *m_aboutTitleLabel = nullptr;
    TextLabel *m_aboutVersionLabel = nullptr;
    PNQButton *m_middleLeftContentLabel = nullptr;
    PNQButton *m_middleRightContentLabel = nullptr;
    QLabel *m_bottomContentLabel = nullptr;
    PNQButton *m_okBtn = nullptr;
    PNQView *m_topLine = nullptr;
    PNQView *m_bottomLine = nullptr;
};
