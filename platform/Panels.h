#pragma once
// Every dialog the application asks the desktop for: alerts, open panels, the folder panel, the colour
// panel and the font panel, behind one interface, so that tests can answer them without a screen.
//
// The application uses Panels::instance(); main() installs QtPanels, the test main ScriptedPanels.
// Each call runs modally and returns the user's answer. Use from the main thread.
#include <QColor>
#include <QFont>
#include <QString>
#include <QStringList>

#include <optional>

class QWidget;

namespace platform {

// The original platform numbers an alert's buttons from 1000; runAlert() answers the index instead,
// so AlertFirstButtonReturn + index gives the platform's code.
inline constexpr int AlertFirstButtonReturn = 1000;
inline constexpr int AlertSecondButtonReturn = 1001;
inline constexpr int AlertThirdButtonReturn = 1002;

struct AlertRequest
{
    enum class Style { Warning, Informational, Critical };
    QString messageText;
    QString informativeText;
    QStringList buttonTitles; // in order; none means one "OK" button
    Style style = Style::Warning;
    bool hasTextField = false; // a one-line text field under the texts
    QString textFieldText;     // its initial text
    QWidget *parent = nullptr; // the window the alert belongs to (may be null)
};

struct AlertResult
{
    int buttonIndex = 0;   // the button pressed, first = 0; -1 when the alert was closed without one
    QString textFieldText; // the text field's text when the alert ended

    int response() const { return AlertFirstButtonReturn + buttonIndex; }
};

struct OpenPanelRequest
{
    QString message;
    QString prompt;                // the title of the accept button (empty: the dialog's own)
    QString cancelTitle;           // the title of the cancel button (empty: the dialog's own)
    QStringList allowedExtensions; // without dots, matched ignoring case; empty = any file
    // The allowed extensions are only what the panel lists first: any other file may be chosen too.
    bool allowsOtherFileTypes = false;
    bool allowsMultipleSelection = false;
    bool canChooseDirectories = false;
    bool canChooseFiles = true;
    bool canCreateDirectories = false;
    QString directory; // the folder shown first (empty: the dialog's own choice)
    QWidget *parent = nullptr;
};

struct FolderPanelRequest
{
    QString message;
    QString prompt;
    QString cancelTitle;
    bool canCreateDirectories = true;
    QString directory;
    QWidget *parent = nullptr;
};

class Panels
{
public:
    virtual ~Panels() = default;

    // The panels in use; never null (a QtPanels is made on first use when none was installed).
    static Panels &instance();
    // Installs `panels` (not owned; it must outlive its use). nullptr returns to the default QtPanels.
    static void setInstance(Panels *panels);

    // Shows an alert and waits for a button.
    virtual AlertResult runAlert(const AlertRequest &request) = 0;
    // Lets the user pick files (or folders, as the request allows). Absolute paths; empty = cancelled.
    virtual QStringList runOpenPanel(const OpenPanelRequest &request) = 0;
    // Lets the user pick one folder. Its absolute path; empty = cancelled.
    virtual QString runFolderPanel(const FolderPanelRequest &request) = 0;
    // Lets the user pick a colour, starting at `initial`; nullopt = cancelled.
    virtual std::optional<QColor> runColorPanel(const QColor &initial) = 0;
    // Lets the user pick a font, starting at `initial`; nullopt = cancelled.
    virtual std::optional<QFont> runFontPanel(const QFont &initial) = 0;

    // Whether `path` has one of `extensions` (without dots, ignoring case); true when the list is empty.
    static bool hasAllowedExtension(const QString &path, const QStringList &extensions);
};

} // namespace platform
