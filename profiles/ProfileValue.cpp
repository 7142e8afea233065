#include "profiles/ProfileValue.h"

#include "platform/Log.h"

namespace {

QString withoutQuotes(const QString &value)
{
    QString text = value;
    text.remove(u'"');
    return text;
}

QString withoutBlanks(const QString &text)
{
    QString result = text;
    result.remove(u' ');
    return result;
}

// The text between the first "{" and the first "}" after it (to the end when there is none), or a null
// string when the value has no braces.
QString braceListText(const QString &value)
{
    const qsizetype open = value.indexOf(u'{');
    if (open < 0 || !value.contains(u'}'))
        return {};
    const qsizetype close = value.indexOf(u'}', open + 1);
    QString list = value.mid(open + 1, close < 0 ? -1 : close - open - 1);
    if (list.isNull())
        list = QStringLiteral("");
    return list;
}

} // namespace

std::optional<QString> ProfileValue::new_startAndendnospaceString(const QString &text)
{
    qsizetype first = 0;
    qsizetype last = text.size();
    while (first < last && text.at(first) == u' ')
        ++first;
    while (last > first && text.at(last - 1) == u' ')
        --last;
    if (first == last && !text.isEmpty())
        return std::nullopt;
    return text.mid(first, last - first);
}

std::optional<QString> ProfileValue::resultSelectItemTitleForContentStr(const QString &value, Rules rules)
{
    const QString text = withoutQuotes(value);
    if (text.isEmpty()) {
        platform::log("no have content");
        return std::nullopt;
    }
    qsizetype cut = text.indexOf(QLatin1String(",{"));
    if (cut < 0)
        cut = text.indexOf(QLatin1String(", {"));
    const bool hasList = cut >= 0;
    const QString head = hasList ? text.left(cut) : text;

    if (head.contains(u','))
        return head.section(u',', -1);
    if (head.isEmpty() && rules == Rules::SettingsWindow) {
        for (const QString &item : braceListText(text).split(u',')) {
            const auto trimmed = new_startAndendnospaceString(item);
            if (trimmed && !trimmed->isEmpty())
                return trimmed;
        }
        return QString();
    }
    const auto trimmed = new_startAndendnospaceString(head);
    // A blank default gives no value, except for the choosers when there is no list at all.
    if (!trimmed && rules == Rules::Chooser && !hasList)
        return QString();
    return trimmed;
}

std::optional<QStringList> ProfileValue::resultContentStrForArr(const QString &value, Rules rules)
{
    const QString text = withoutQuotes(value);
    if (text.isEmpty()) {
        platform::log("no have content");
        return std::nullopt;
    }
    QString list = braceListText(text);
    if (!list.isNull()) {
        if (rules == Rules::SettingsWindow)
            list = withoutBlanks(list);
        const QStringList items = list.split(u',', Qt::SkipEmptyParts);
        platform::log("%@,%@", text, items.join(u','));
        return items;
    }
    const QString piece = text.section(u',', -1);
    const QString item = rules == Rules::SettingsWindow ? withoutBlanks(piece) : new_startAndendnospaceString(piece).value_or(QString());
    if (item.isEmpty())
        return std::nullopt;
    platform::log("%@,%@", text, item);
    return QStringList{item};
}
