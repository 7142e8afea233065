// Renders the bundle's images from the SVG sources under resources/images, as listed in images.txt.
//
//   render_images <images.txt> <svg folder> <output folder> [stamp file]
//
// Each line of the table is "kind | name | WxH | source | options", '#' starts a comment. Kinds:
//   glyph  a state family: the SVG drawn centred on a transparent canvas, its accent colour replaced by
//          the colour of each state (On lighter, Down darker, Disable grey)
//   tile   a state family: a rounded tile in the state's colour with the SVG in white in its upper part
//          (the launcher's tool buttons, whose captions are drawn over the bottom of the tile)
//   plate  a state family: a flat fill in the state's colour (backgrounds behind a title), with the SVG,
//          when one is given, centred on it in white
//   image  one picture: the SVG drawn as it is, stretched to the size
//   badge  one picture: the badge SVG with {{LABEL}} and {{SUB}} replaced (profile pictures)
// Options: "states=_Normal:normal,_On:on,..." lists a family's suffixes and looks (default the four
// standard states), "ext=.bmp|.png" (default .png), "bg=#rrggbb" the backdrop of opaque files (BMP keeps
// no transparency; default white), "label=" and "sub=" for badges, "inset=N" the glyph's margin,
// "tone=light" pale plates for dark titles.

#include <QColor>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QSvgRenderer>
#include <QTextStream>

#include <algorithm>
#include <cstdio>
#include <map>
#include <vector>

namespace {

const QString kAccent = QStringLiteral("#21b0eb"); // red 33, green 176, blue 235: the colour to replace

QColor lookColour(const QString &look, bool plate)
{
    if (look == QLatin1String("on"))
        return QColor(0x4f, 0xc3, 0xf1);
    if (look == QLatin1String("down"))
        return QColor(0x15, 0x89, 0xba);
    if (look == QLatin1String("disable"))
        return plate ? QColor(0xc8, 0xc8, 0xc8) : QColor(0xb4, 0xb4, 0xb4);
    if (look == QLatin1String("white"))
        return QColor(Qt::white);
    return QColor(0x21, 0xb0, 0xeb);
}

// Plates behind a dark title use pale tints of the accent instead.
QColor lightColour(const QString &look)
{
    if (look == QLatin1String("on"))
        return QColor(0xd2, 0xef, 0xfb);
    if (look == QLatin1String("down"))
        return QColor(0xa8, 0xde, 0xf5);
    if (look == QLatin1String("disable"))
        return QColor(0xee, 0xee, 0xee);
    return QColor(0xe8, 0xf6, 0xfd);
}

struct Entry {
    QString kind;
    QString name;
    QSize size;
    QString source;
    std::map<QString, QString> options;
    int line = 0;
};

bool fail(const QString &message)
{
    std::fprintf(stderr, "render_images: %s\n", qPrintable(message));
    return false;
}

QByteArray readSvg(const QString &dir, const QString &name, bool *ok)
{
    QFile file(dir + QLatin1Char('/') + name);
    *ok = file.open(QIODevice::ReadOnly);
    return *ok ? file.readAll() : QByteArray();
}

QImage canvas(const QSize &size, bool opaque, const QColor &backdrop)
{
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(opaque ? backdrop : QColor(Qt::transparent));
    return image;
}

bool renderSvg(QPainter &painter, const QByteArray &svg, const QRectF &rect, const QString &what)
{
    QSvgRenderer renderer(svg);
    if (!renderer.isValid())
        return fail(QStringLiteral("%1: not a valid SVG").arg(what));
    renderer.render(&painter, rect);
    return true;
}

bool save(const QImage &image, const QString &outDir, const QString &name)
{
    const QString path = outDir + QLatin1Char('/') + name;
    if (!QDir().mkpath(QFileInfo(path).absolutePath()))
        return fail(QStringLiteral("cannot create the folder of %1").arg(path));
    const bool bmp = name.endsWith(QLatin1String(".bmp"), Qt::CaseInsensitive);
    // BMP has no alpha here: flatten onto the backdrop already painted.
    const QImage out = bmp ? image.convertToFormat(QImage::Format_RGB32) : image;
    if (!out.save(path, bmp ? "BMP" : "PNG"))
        return fail(QStringLiteral("cannot write %1").arg(path));
    return true;
}

std::vector<std::pair<QString, QString>> states(const Entry &entry)
{
    std::vector<std::pair<QString, QString>> result;
    auto it = entry.options.find(QStringLiteral("states"));
    const QString spec = it != entry.options.end()
        ? it->second : QStringLiteral("_Normal:normal,_On:on,_Down:down,_Disable:disable");
    for (const QString &pair : spec.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
        const int colon = pair.indexOf(QLatin1Char(':'));
        result.emplace_back(pair.left(colon), pair.mid(colon + 1));
    }
    return result;
}

QString option(const Entry &entry, const char *key, const QString &fallback = QString())
{
    auto it = entry.options.find(QString::fromLatin1(key));
    return it != entry.options.end() ? it->second : fallback;
}

bool renderEntry(const Entry &entry, const QString &svgDir, const QString &outDir)
{
    const QString what = QStringLiteral("line %1 (%2)").arg(entry.line).arg(entry.name);
    const QString ext = option(entry, "ext", QStringLiteral(".png"));
    const bool opaque = ext == QLatin1String(".bmp");
    const QColor backdrop(option(entry, "bg", QStringLiteral("#ffffff")));
    const qreal inset = option(entry, "inset", QStringLiteral("0")).toDouble();

    const bool light = option(entry, "tone") == QLatin1String("light");
    QByteArray svg;
    if (!entry.source.isEmpty()) {
        bool ok = false;
        svg = readSvg(svgDir, entry.source, &ok);
        if (!ok)
            return fail(QStringLiteral("%1: cannot read %2").arg(what, entry.source));
    }

    if (entry.kind == QLatin1String("image") || entry.kind == QLatin1String("badge")) {
        QByteArray text = svg;
        text.replace("{{LABEL}}", option(entry, "label").toHtmlEscaped().toUtf8());
        text.replace("{{SUB}}", option(entry, "sub").toHtmlEscaped().toUtf8());
        QImage image = canvas(entry.size, opaque, backdrop);
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        const bool drawn = renderSvg(painter, text, QRectF(QPointF(0, 0), entry.size), what);
        painter.end();
        return drawn && save(image, outDir, entry.name + ext);
    }

    for (const auto &[suffix, look] : states(entry)) {
        QImage image = canvas(entry.size, opaque, backdrop);
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        const QRectF full(QPointF(0, 0), entry.size);
        bool drawn = true;
        if (entry.kind == QLatin1String("plate")) {
            const QColor fill = light ? lightColour(look) : lookColour(look, true);
            painter.fillRect(full, fill);
            // A faint lower edge gives the flat plate a little depth.
            painter.fillRect(QRectF(0, full.height() - 2, full.width(), 2), fill.darker(112));
            if (!svg.isEmpty()) {
                QByteArray white = svg;
                white.replace(kAccent.toUtf8(), "#ffffff");
                drawn = renderSvg(painter, white, full.adjusted(inset, inset, -inset, -inset), what);
            }
        } else if (entry.kind == QLatin1String("tile")) {
            QPainterPath path;
            path.addRoundedRect(full.adjusted(1, 1, -1, -1), 8, 8);
            painter.fillPath(path, lookColour(look, true));
            QByteArray white = svg;
            white.replace(kAccent.toUtf8(), "#ffffff");
            const qreal side = std::min(full.width(), full.height() - 30) - 2 * inset;
            const QRectF glyph((full.width() - side) / 2, inset + 6, side, side);
            drawn = renderSvg(painter, white, glyph, what);
        } else if (entry.kind == QLatin1String("glyph")) {
            QByteArray coloured = svg;
            coloured.replace(kAccent.toUtf8(), lookColour(look, false).name().toUtf8());
            drawn = renderSvg(painter, coloured, full.adjusted(inset, inset, -inset, -inset), what);
        } else {
            return fail(QStringLiteral("%1: unknown kind %2").arg(what, entry.kind));
        }
        painter.end();
        if (!drawn || !save(image, outDir, entry.name + suffix + ext))
            return false;
    }
    return true;
}

bool parseLine(const QString &raw, int lineNumber, Entry *entry)
{
    const QStringList cols = raw.split(QLatin1Char('|'));
    if (cols.size() < 3)
        return fail(QStringLiteral("line %1: expected kind | name | size | source | options").arg(lineNumber));
    entry->line = lineNumber;
    entry->kind = cols.value(0).trimmed();
    entry->name = cols.value(1).trimmed();
    const QStringList wh = cols.value(2).trimmed().split(QLatin1Char('x'));
    entry->size = QSize(wh.value(0).toInt(), wh.value(1).toInt());
    if (entry->size.isEmpty())
        return fail(QStringLiteral("line %1: bad size").arg(lineNumber));
    entry->source = cols.value(3).trimmed();
    for (const QString &opt : cols.value(4).split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
        const int eq = opt.indexOf(QLatin1Char('='));
        if (eq > 0)
            entry->options[opt.left(eq).trimmed()] = opt.mid(eq + 1).trimmed();
    }
    return true;
}

} // namespace

int main(int argc, char *argv[])
{
    // Badges draw text, which needs a GUI application; no display is involved.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 4) {
        std::fprintf(stderr, "usage: render_images <images.txt> <svg folder> <output folder> [stamp]\n");
        return 2;
    }
    QFile table(args.at(1));
    if (!table.open(QIODevice::ReadOnly | QIODevice::Text)) {
        fail(QStringLiteral("cannot read %1").arg(args.at(1)));
        return 1;
    }
    QTextStream in(&table);
    int lineNumber = 0;
    int rendered = 0;
    bool ok = true;
    while (!in.atEnd()) {
        const QString line = in.readLine();
        ++lineNumber;
        const QString trimmed = line.trimmed();
        if (trimmed.isEmpty() || trimmed.startsWith(QLatin1Char('#')))
            continue;
        Entry entry;
        if (!parseLine(trimmed, lineNumber, &entry) || !renderEntry(entry, args.at(2), args.at(3))) {
            ok = false;
            continue;
        }
        ++rendered;
    }
    if (!ok)
        return 1;
    if (args.size() > 4) {
        QFile stamp(args.at(4));
        if (!stamp.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
            fail(QStringLiteral("cannot write %1").arg(args.at(4)));
            return 1;
        }
        stamp.write(QByteArray::number(rendered) + " entries\n");
    }
    return 0;
}
