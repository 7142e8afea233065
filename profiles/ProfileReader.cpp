#include "profiles/ProfileReader.h"

#include <QFile>

#include <cstdio>

namespace {

QByteArray withoutBlanks(QByteArray text)
{
    text.removeIf([](char c) { return c == ' ' || c == '\t'; });
    return text;
}

} // namespace

QString ProfileReader::readProfileValue(const QString &section, const QString &key, const QString &path)
{
    QFile file(path);
    if (path.isEmpty() || !file.open(QIODevice::ReadOnly)) {
        std::fputs("have   no   such   file \n", stdout);
        std::fflush(stdout);
        return {};
    }
    const QByteArray content = file.readAll();
    const QByteArray header = '[' + section.toUtf8() + ']';
    const QByteArray wantedKey = key.toUtf8();
    const QByteArray wantedBare = withoutBlanks(wantedKey);

    bool inSection = false;
    qsizetype start = 0;
    while (start < content.size()) {
        qsizetype end = content.indexOf('\n', start);
        if (end < 0)
            end = content.size();
        QByteArray line = content.mid(start, end - start);
        start = end + 1;
        if (line.endsWith('\r'))
            line.chop(1);

        const qsizetype equals = line.indexOf('=');
        if (!inSection || equals < 0) {
            // A header line: the wanted section opens the search, any other one closes it.
            if (line.startsWith('['))
                inSection = line.startsWith(header);
            continue;
        }
        if (line.startsWith('#') || line.startsWith("//"))
            continue;
        const QByteArray keyPart = withoutBlanks(line.left(equals));
        if (keyPart.isEmpty() || keyPart != wantedBare || !line.contains(wantedKey))
            continue;
        return QString::fromUtf8(line.mid(equals + 1));
    }
    return {};
}
