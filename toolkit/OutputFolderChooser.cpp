#include "toolkit/OutputFolderChooser.h"

#include "services/LanguageService.h"
#include "platform/Log.h"
#include "platform/Panels.h"
#include "platform/PopUpButton.h"
#include "platform/Workspace.h"

#include <QDir>
#include <QFileInfo>
#include <QWidget>

namespace {

QString lastPathComponent(const QString &path)
{
    return QFileInfo(path).fileName();
}

} // namespace

OutputFolderChooser::OutputFolderChooser(QWidget *host)
{
    m_outputPathTitles = {
        LanguageService::localizedStringForKey("outputFolderItemMovies"),
        LanguageService::localizedStringForKey("outputFolderItemDocuments"),
        LanguageService::localizedStringForKey("outputFolderItemDesktop"),
        LanguageService::localizedStringForKey("Title"),
        LanguageService::localizedStringForKey("outputFolderItemOther..."),
    };
    const double width = host ? host->width() : 0;
    const double height = host ? host->height() : 0;
    m_popUp = new platform::PopUpButton(platform::makeRect(0, 0, width, height), false, host);
    m_popUp->addItemsWithTitles(m_outputPathTitles);
    m_popUp->selectItemAtIndex(DefaultFolder);
    m_popUp->action = [this](platform::PopUpButton &button) { outputPopUpBtnAction(&button); };
}

OutputFolderChooser::~OutputFolderChooser()
{
    if (m_popUp)
        m_popUp->action = nullptr;
}

QString OutputFolderChooser::defaultFolder()
{
    return platform::Workspace::standardFolder(platform::StandardFolder::Documents) + u'/' +
           LanguageService::localizedStringForKey("Title");
}

void OutputFolderChooser::outputPopUpBtnAction(platform::PopUpButton *sender)
{
    if (!m_popUp)
        return;
    if (!sender)
        m_popUp->selectItemAtIndex(DefaultFolder);
    const int index = m_popUp->indexOfSelectedItem();

    if (index == Other) {
        platform::FolderPanelRequest request;
        request.message = LanguageService::localizedStringForKey("Main_Sel_Dir_Hit");
        request.cancelTitle = LanguageService::localizedStringForKey("OpenPanelCancelTitle");
        request.prompt = LanguageService::localizedStringForKey("OpenPanelOpenTitle");
        request.canCreateDirectories = true;
        request.parent = m_popUp->window();
        const QString chosen = platform::Panels::instance().runFolderPanel(request);
        if (chosen.isEmpty())
            return;
        rebuildItems();
        m_popUp->addItemWithTitle(lastPathComponent(chosen));
        m_popUp->selectItemAtIndex(FixedEntryCount);
        setOutputPath(chosen);
        return;
    }

    if (index == DefaultFolder || index >= FixedEntryCount) {
        const bool added = index >= FixedEntryCount;
        // An added folder that carries the default folder's name is taken for the default folder.
        if (!added || m_popUp->lastItemTitle() == LanguageService::localizedStringForKey("Title"))
            m_outputPath = defaultFolder();
        createIfMissing(m_outputPath);
        rebuildItems();
        if (added)
            m_popUp->addItemWithTitle(lastPathComponent(m_outputPath));
    } else {
        const auto folder = index == Movies      ? platform::StandardFolder::Movies
                            : index == Documents ? platform::StandardFolder::Documents
                                                 : platform::StandardFolder::Desktop;
        m_outputPath = platform::Workspace::standardFolder(folder);
        rebuildItems();
    }
    showFolder();
    if (outputPathChanged)
        outputPathChanged(m_outputPath);
}

bool OutputFolderChooser::revealOutputPath() const
{
    if (m_outputPath.isEmpty() || !QFileInfo::exists(m_outputPath))
        return false;
    return platform::Workspace::instance().revealFile(m_outputPath);
}

void OutputFolderChooser::rebuildItems()
{
    m_popUp->removeAllItems();
    m_popUp->addItemsWithTitles(m_outputPathTitles);
}

void OutputFolderChooser::showFolder()
{
    m_popUp->setTitle(lastPathComponent(m_outputPath));
}

void OutputFolderChooser::setOutputPath(const QString &path)
{
    m_outputPath = path;
    if (outputPathChanged)
        outputPathChanged(m_outputPath);
}

void OutputFolderChooser::createIfMissing(const QString &path)
{
    if (QFileInfo::exists(path))
        return;
    const bool made = QDir().mkpath(path);
    platform::log("suc:%d error:%@", made,
                  made ? QStringLiteral("(null)") : QStringLiteral("cannot create ") + path);
}
