#include "platform/Bundle.h"

#include "platform/Log.h"
#include "platform/UserDefaults.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>
#include <QXmlStreamReader>

namespace platform {

namespace {

QString executableDir()
{
    if (QCoreApplication::instance())
        return QCoreApplication::applicationDirPath();
    return QFileInfo(QFile::symLinkTarget(QStringLiteral("/proc/self/exe"))).absolutePath();
}

QString defaultResourcePath(const QString &exeDir)
{
    const QString beside = exeDir + QStringLiteral("/Resources");
    if (QFileInfo(beside).isDir())
        return beside;
    const QString installed = QDir::cleanPath(exeDir + QStringLiteral("/../share/video-workshop/Resources"));
    if (QFileInfo(installed).isDir())
        return installed;
    return beside;
}

// Tables by file path, read once; nullopt for a file that is missing or malformed.
const std::optional<QHash<QString, QString>> &cachedTable(const QString &path)
{
    static QHash<QString, std::optional<QHash<QString, QString>>> cache;
    auto it = cache.find(path);
    if (it == cache.end())
        it = cache.insert(path, Bundle::readStringsFile(path));
    return *it;
}

QString decodeText(const QByteArray &bytes)
{
    if (bytes.startsWith("\xFF\xFE") || bytes.startsWith("\xFE\xFF")) {
        auto decoder =
            QStringDecoder(bytes.startsWith("\xFF\xFE") ? QStringDecoder::Utf16LE : QStringDecoder::Utf16BE);
        return decoder(bytes.mid(2));
    }
    if (bytes.startsWith("\xEF\xBB\xBF"))
        return QString::fromUtf8(bytes.mid(3));
    return QString::fromUtf8(bytes);
}

// A reader over the text of a strings table.
class StringsParser
{
public:
    explicit StringsParser(const QString &text) : m_text(text) {}

    std::optional<QHash<QString, QString>> parse()
    {
        QHash<QString, QString> table;
        while (true) {
            if (!skipBlanks())
                return std::nullopt;
            if (atEnd())
                return table;
            QString key;
            if (!readToken(key) || !skipBlanks() || atEnd())
                return std::nullopt;
            QString value = key; // `"key";` maps the key to itself
            if (peek() == u'=') {
                ++m_pos;
                if (!skipBlanks() || !readToken(value) || !skipBlanks() || atEnd())
                    return std::nullopt;
            }
            if (peek() != u';')
                return std::nullopt;
            ++m_pos;
            table.insert(key, value);
        }
    }

private:
    bool atEnd() const { return m_pos >= m_text.size(); }
    QChar peek() const { return m_text.at(m_pos); }

    // Skips white space and comments; false on an unterminated comment.
    bool skipBlanks()
    {
        while (!atEnd()) {
            if (peek().isSpace()) {
                ++m_pos;
            } else if (m_text.mid(m_pos, 2) == QLatin1String("//")) {
                while (!atEnd() && peek() != u'\n')
                    ++m_pos;
            } else if (m_text.mid(m_pos, 2) == QLatin1String("/*")) {
                const qsizetype end = m_text.indexOf(QLatin1String("*/"), m_pos + 2);
                if (end < 0)
                    return false;
                m_pos = end + 2;
            } else {
                break;
            }
        }
        return true;
    }

    bool readToken(QString &out)
    {
        out.clear();
        if (atEnd())
            return false;
        const QChar quote = peek();
        if (quote != u'"' && quote != u'\'') {
            while (!atEnd() && (peek().isLetterOrNumber() || QStringView(u"_.-/:$").contains(peek())))
                out += m_text.at(m_pos++);
            return !out.isEmpty();
        }
        ++m_pos;
        while (!atEnd()) {
            const QChar c = m_text.at(m_pos++);
            if (c == quote)
                return true;
            if (c != u'\\') {
                out += c;
                continue;
            }
            if (atEnd())
                return false;
            const QChar e = m_text.at(m_pos++);
            switch (e.unicode()) {
            case 'n':
                out += u'\n';
                break;
            case 't':
                out += u'\t';
                break;
            case 'r':
                out += u'\r';
                break;
            case '0':
                out += QChar(0);
                break;
            case 'U':
            case 'u': {
                bool ok = false;
                const uint code = m_text.mid(m_pos, 4).toUInt(&ok, 16);
                if (!ok || m_pos + 4 > m_text.size())
                    return false;
                out += QChar(static_cast<char16_t>(code));
                m_pos += 4;
                break;
            }
            default:
                out += e;
                break; // \" \\ \' and any other character stand for themselves
            }
        }
        return false;
    }

    const QString &m_text;
    qsizetype m_pos = 0;
};

// Arrays and dictionaries nested deeper than this are refused: the reader recurses once per level, and
// real property lists stay within a handful.
constexpr int kMaxPlistDepth = 256;

QVariant readPlistValue(QXmlStreamReader &xml, int depth);

// Reads the children of the current element up to its end tag.
QVariant readPlistContainer(QXmlStreamReader &xml, bool isDict, int depth)
{
    if (depth > kMaxPlistDepth) {
        xml.raiseError(QStringLiteral("nested deeper than %1 levels").arg(kMaxPlistDepth));
        return {};
    }
    QVariantMap map;
    QVariantList list;
    QString key;
    bool haveKey = false;
    while (xml.readNextStartElement()) {
        if (isDict && !haveKey) {
            if (xml.name() != QLatin1String("key"))
                return {};
            key = xml.readElementText();
            haveKey = true;
            continue;
        }
        QVariant v = readPlistValue(xml, depth);
        if (!v.isValid())
            return {};
        if (isDict) {
            map.insert(key, v);
            haveKey = false;
        } else {
            list.append(v);
        }
    }
    if (xml.hasError() || haveKey)
        return {};
    return isDict ? QVariant(map) : QVariant(list);
}

// Reads the element the reader stands on (a start element) through its end tag; `depth` counts the
// containers around it.
QVariant readPlistValue(QXmlStreamReader &xml, int depth)
{
    const QString name = xml.name().toString();
    if (name == QLatin1String("dict"))
        return readPlistContainer(xml, true, depth + 1);
    if (name == QLatin1String("array"))
        return readPlistContainer(xml, false, depth + 1);
    if (name == QLatin1String("true") || name == QLatin1String("false")) {
        xml.skipCurrentElement();
        return name == QLatin1String("true");
    }
    const QString text = xml.readElementText();
    if (xml.hasError())
        return {};
    bool ok = true;
    if (name == QLatin1String("string"))
        return text;
    if (name == QLatin1String("integer")) {
        const qlonglong n = text.trimmed().toLongLong(&ok);
        return ok ? QVariant(n) : QVariant();
    }
    if (name == QLatin1String("real")) {
        const double d = text.trimmed().toDouble(&ok);
        return ok ? QVariant(d) : QVariant();
    }
    if (name == QLatin1String("date"))
        return QDateTime::fromString(text.trimmed(), Qt::ISODate);
    if (name == QLatin1String("data"))
        return QByteArray::fromBase64(text.simplified().remove(u' ').toLatin1());
    return {};
}

} // namespace

Bundle &Bundle::main()
{
    static Bundle bundle = [] {
        const QString exeDir = executableDir();
        Bundle b(exeDir);
        b.m_resourcePath = defaultResourcePath(exeDir);
        return b;
    }();
    return bundle;
}

std::optional<Bundle> Bundle::withPath(const QString &path)
{
    if (path.isEmpty() || !QFileInfo(path).isDir())
        return std::nullopt;
    return Bundle(path);
}

Bundle::Bundle(const QString &path) : m_bundlePath(QDir::cleanPath(path)), m_resourcePath(m_bundlePath) {}

QString Bundle::bundlePath() const
{
    return m_bundlePath;
}

QString Bundle::resourcePath() const
{
    return m_resourcePath;
}

void Bundle::setResourcePath(const QString &path)
{
    m_resourcePath = QDir::cleanPath(path);
}

QString Bundle::pathForResource(const QString &name, const QString &type, const QString &subdirectory) const
{
    if (name.isEmpty())
        return {};
    QString path = m_resourcePath;
    if (!subdirectory.isEmpty())
        path += u'/' + subdirectory;
    path += u'/' + name;
    if (!type.isEmpty())
        path += (type.startsWith(u'.') ? QString() : QStringLiteral(".")) + type;
    path = QDir::cleanPath(path);
    return QFileInfo::exists(path) ? path : QString();
}

QString Bundle::localizedString(const QString &key, const QString &value, const QString &table,
                                const QString &lprojFolder) const
{
    const QString tableName = (table.isEmpty() ? QStringLiteral("Main") : table) + QStringLiteral(".strings");
    QString tablePath;
    if (!lprojFolder.isEmpty()) {
        tablePath = m_resourcePath + u'/' + lprojFolder + QStringLiteral(".lproj/") + tableName;
    } else if (m_resourcePath.endsWith(QLatin1String(".lproj"))) {
        tablePath = m_resourcePath + u'/' + tableName;
    } else {
        QString language = QStringLiteral("en");
        const QStringList preferred =
            UserDefaults::standard().stringList(QLatin1String(UserDefaults::PreferredLanguagesKey));
        if (!preferred.isEmpty() &&
            QFileInfo(m_resourcePath + u'/' + preferred.first() + QStringLiteral(".lproj")).isDir())
            language = preferred.first();
        tablePath = m_resourcePath + u'/' + language + QStringLiteral(".lproj/") + tableName;
    }
    const auto &strings = cachedTable(tablePath);
    if (strings) {
        auto it = strings->constFind(key);
        if (it != strings->constEnd())
            return *it;
    }
    return value.isEmpty() ? key : value;
}

std::optional<QHash<QString, QString>> Bundle::readStringsFile(const QString &path)
{
    // An empty path is a resource not found; QFile would say so on the terminal.
    if (path.isEmpty())
        return std::nullopt;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    const QString text = decodeText(file.readAll());
    return StringsParser(text).parse();
}

QVariant Bundle::readPropertyList(const QString &path)
{
    if (path.isEmpty())
        return {};
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QXmlStreamReader xml(&file);
    if (!xml.readNextStartElement())
        return {};
    if (xml.name() == QLatin1String("plist")) {
        if (!xml.readNextStartElement())
            return {};
    }
    const QVariant value = readPlistValue(xml, 0);
    if (xml.error() == QXmlStreamReader::CustomError)
        log("refusing the property list %s: %s", qUtf8Printable(path), qUtf8Printable(xml.errorString()));
    return value;
}

QString Bundle::identifier()
{
    return QStringLiteral("org.videoworkshop.VideoWorkshop");
}

QString Bundle::version()
{
    return QStringLiteral(VW_VERSION);
}

} // namespace platform
