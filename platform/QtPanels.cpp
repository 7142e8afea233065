#include "platform/QtPanels.h"

#include <QApplication>
#include <QColorDialog>
#include <QDialog>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

namespace platform {

namespace {

// "mp4" -> "*.mp4": what the user reads in the dialog's type list.
QString plainPattern(QString extension)
{
    if (extension.startsWith(u'.'))
        extension.remove(0, 1);
    return QStringLiteral("*.") + extension;
}

QWidget *parentFor(QWidget *requested)
{
    return requested ? requested : QApplication::activeWindow();
}

// The folder a file dialog opens in: the asked one, or its nearest folder that exists. Qt's dialog
// takes a path that is not a folder for a file to select, and would show its last part as the name.
QString existingFolder(const QString &asked)
{
    if (asked.isEmpty())
        return asked;
    QString path = QDir::cleanPath(QDir(asked).absolutePath());
    while (!QFileInfo(path).isDir()) {
        const QString up = QFileInfo(path).path();
        if (up == path)
            return QDir::homePath();
        path = up;
    }
    return path;
}

} // namespace

AlertResult QtPanels::runAlert(const AlertRequest &request)
{
    // A dialog of our own rather than QMessageBox: it keeps the buttons in the order given and can hold
    // the text field.
    QDialog dialog(parentFor(request.parent));
    dialog.setWindowTitle(QApplication::applicationDisplayName());
    auto *layout = new QVBoxLayout(&dialog);
    auto *top = new QHBoxLayout;
    layout->addLayout(top);

    QStyle::StandardPixmap iconKind = QStyle::SP_MessageBoxWarning;
    if (request.style == AlertRequest::Style::Informational)
        iconKind = QStyle::SP_MessageBoxInformation;
    else if (request.style == AlertRequest::Style::Critical)
        iconKind = QStyle::SP_MessageBoxCritical;
    auto *icon = new QLabel;
    icon->setPixmap(dialog.style()->standardIcon(iconKind).pixmap(48, 48));
    icon->setAlignment(Qt::AlignTop);
    top->addWidget(icon);

    auto *texts = new QVBoxLayout;
    top->addLayout(texts, 1);
    auto *message = new QLabel(request.messageText);
    QFont bold = message->font();
    bold.setBold(true);
    message->setFont(bold);
    message->setWordWrap(true);
    message->setTextFormat(Qt::PlainText);
    texts->addWidget(message);
    if (!request.informativeText.isEmpty()) {
        auto *informative = new QLabel(request.informativeText);
        informative->setWordWrap(true);
        informative->setTextFormat(Qt::PlainText);
        texts->addWidget(informative);
    }
    QLineEdit *field = nullptr;
    if (request.hasTextField) {
        field = new QLineEdit(request.textFieldText);
        texts->addWidget(field);
    }

    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    layout->addLayout(buttons);
    QStringList titles = request.buttonTitles;
    if (titles.isEmpty())
        titles << QStringLiteral("OK");
    int pressed = -1;
    // The first button is the default, as on the original platform, and sits at the right end.
    for (int i = static_cast<int>(titles.size()) - 1; i >= 0; --i) {
        auto *button = new QPushButton(titles.at(i));
        if (i == 0)
            button->setDefault(true);
        QObject::connect(button, &QPushButton::clicked, &dialog, [&dialog, &pressed, i] {
            pressed = i;
            dialog.accept();
        });
        buttons->addWidget(button);
    }
    dialog.exec();
    return AlertResult{pressed, field ? field->text() : request.textFieldText};
}

void QtPanels::setUpOpenDialog(QFileDialog &dialog, const OpenPanelRequest &request)
{
    // Qt's own dialog matches name filters ignoring case; the desktop's native dialogs may not.
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setFilter(dialog.filter() & ~QDir::CaseSensitive);
    if (request.canChooseDirectories) {
        dialog.setFileMode(QFileDialog::Directory);
    } else {
        dialog.setFileMode(request.allowsMultipleSelection ? QFileDialog::ExistingFiles
                                                           : QFileDialog::ExistingFile);
        if (!request.allowedExtensions.isEmpty()) {
            QStringList patterns;
            for (const QString &e : request.allowedExtensions)
                patterns << plainPattern(e);
            QStringList filters{patterns.join(u' ')};
            if (request.allowsOtherFileTypes)
                filters << QStringLiteral("*");
            dialog.setNameFilters(filters);
        }
    }
    if (!request.canCreateDirectories)
        dialog.setOption(QFileDialog::ReadOnly);
    if (!request.prompt.isEmpty())
        dialog.setLabelText(QFileDialog::Accept, request.prompt);
    if (!request.cancelTitle.isEmpty())
        dialog.setLabelText(QFileDialog::Reject, request.cancelTitle);
}

QStringList QtPanels::runOpenPanel(const OpenPanelRequest &request)
{
    QFileDialog dialog(parentFor(request.parent), request.message, existingFolder(request.directory));
    setUpOpenDialog(dialog, request);
    if (dialog.exec() != QDialog::Accepted)
        return {};
    QStringList chosen;
    for (const QString &path : dialog.selectedFiles()) {
        if (request.canChooseDirectories || request.allowsOtherFileTypes ||
            hasAllowedExtension(path, request.allowedExtensions))
            chosen << path;
    }
    return chosen;
}

QString QtPanels::runFolderPanel(const FolderPanelRequest &request)
{
    QFileDialog dialog(parentFor(request.parent), request.message, existingFolder(request.directory));
    dialog.setFileMode(QFileDialog::Directory);
    dialog.setOption(QFileDialog::ShowDirsOnly);
    if (!request.canCreateDirectories)
        dialog.setOption(QFileDialog::ReadOnly);
    if (!request.prompt.isEmpty())
        dialog.setLabelText(QFileDialog::Accept, request.prompt);
    if (!request.cancelTitle.isEmpty())
        dialog.setLabelText(QFileDialog::Reject, request.cancelTitle);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().first();
}

std::optional<QColor> QtPanels::runColorPanel(const QColor &initial)
{
    const QColor color = QColorDialog::getColor(initial, QApplication::activeWindow(), QString(),
                                                QColorDialog::ShowAlphaChannel);
    if (!color.isValid())
        return std::nullopt;
    return color;
}

std::optional<QFont> QtPanels::runFontPanel(const QFont &initial)
{
    bool ok = false;
    const QFont font = QFontDialog::getFont(&ok, initial, QApplication::activeWindow());
    if (!ok)
        return std::nullopt;
    return font;
}

} // namespace platform
