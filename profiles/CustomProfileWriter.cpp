#include "profiles/CustomProfileWriter.h"

#include "platform/Log.h"
#include "profiles/ProfileLibrary.h"

#include <QDir>
#include <QSaveFile>

bool CustomProfileWriter::saveSettingForpf(const QStringList &lines, const QString &name)
{
    if (name.trimmed().isEmpty() || name.contains(u'/') || name.contains(QChar(u'\0'))) {
        QString shown = name;
        shown.replace(QChar(u'\0'), QStringLiteral("\\0"));
        platform::log("refused custom profile name: \"%@\"", shown);
        return false;
    }
    const QString folder = ProfileLibrary::customFolder();
    if (!QDir(folder).exists()) {
        if (!QDir().mkpath(folder)) {
            platform::logWarning("没有文件夹,创建文件夹失败");
            return false;
        }
        platform::log("没有文件夹,创建文件夹成功");
    }

    QSaveFile file(folder + u'/' + name + QStringLiteral(".pf"));
    if (!file.open(QIODevice::WriteOnly)) {
        platform::logWarning("创建文件失败");
        return false;
    }
    for (const QString &line : lines)
        file.write(line.toUtf8() + '\n');
    if (!file.commit()) {
        platform::logWarning("open: %@", file.errorString());
        return false;
    }
    platform::log("保存成功");
    return true;
}
