#pragma once
// The output-folder pop-up of every tool window: the user's Movies (the XDG Videos folder), Documents and
// Desktop folders, the default folder under Documents (named after the localised "Title", created when
// missing), and "Other…", which asks for any folder through the folder panel and adds it as a sixth item.
//
// The chooser makes its pop-up over the whole of a host view and keeps the chosen folder in outputPath().
// The folder is not saved: a new chooser starts on the default folder once the owner calls
// outputPopUpBtnAction(nullptr) at the end of its set-up. Main thread only.
#include <QPointer>
#include <QString>
#include <QStringList>

#include <functional>

class QWidget;

namespace platform {
class PopUpButton;
}

class OutputFolderChooser
{
public:
    // Index of the fixed entries; the added folder, when there is one, is item FixedEntryCount.
    enum Entry { Movies, Documents, Desktop, DefaultFolder, Other, FixedEntryCount };

    // Makes the pop-up (not pull-down) at (0, 0) with the host's size, inside `host` (which owns it), with
    // the five fixed entries and the default folder's entry selected. outputPath() stays empty until the
    // first outputPopUpBtnAction().
    explicit OutputFolderChooser(QWidget *host);
    ~OutputFolderChooser();
    OutputFolderChooser(const OutputFolderChooser &) = delete;
    OutputFolderChooser &operator=(const OutputFolderChooser &) = delete;

    platform::PopUpButton *popUpButton() const { return m_popUp; }
    // The five localised titles of the fixed entries, in Entry order.
    QStringList outputPathTitles() const { return m_outputPathTitles; }
    // The current output folder (absolute, no trailing slash); empty before the first choice.
    QString outputPath() const { return m_outputPath; }

    // Applies the pop-up's selected entry (the pop-up's action; nullptr first selects the default folder):
    // a standard folder as it is; the default folder and the added folder are created when missing (the
    // result logged "suc:%d error:%@"); "Other…" runs the folder panel and, on OK, adds the folder as the
    // sixth item; a cancel keeps outputPath() and the items. Then the pop-up shows the folder's own name
    // (selecting the item of that title, or adding one). No selection counts as Desktop.
    void outputPopUpBtnAction(platform::PopUpButton *sender);

    // Shows outputPath() in the file manager; false (and nothing asked) when it is empty or missing.
    bool revealOutputPath() const;

    // The default folder: Documents + "/" + the localised "Title".
    static QString defaultFolder();

    // Called after every change of outputPath(), with the new folder (optional).
    std::function<void(const QString &)> outputPathChanged;

private:
    void rebuildItems();
    void showFolder();
    void setOutputPath(const QString &path);
    static void createIfMissing(const QString &path);

    QPointer<platform::PopUpButton> m_popUp;
    QStringList m_outputPathTitles;
    QString m_outputPath;
};
