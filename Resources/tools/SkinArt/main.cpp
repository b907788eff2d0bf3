// velocrest_skinart: turns the editable art of the skins (SVG and style-sheet
// templates plus one colour palette per skin) into the PNG pictures and style
// sheets that are built into the program.
//
//   velocrest_skinart <manifest> <art folder> <output folder>
//
// Every manifest line names who gets the file ("*" both skins, a skin name, or "-"
// for the skin-less resources), the output path, the source template, the size in
// pixels (0 0 for style sheets) and optional key=value settings. Templates refer to
// palette colours and settings as {{key}} ({{w}} and {{h}} are the size, {{skin}}
// the skin's name); a setting may itself use palette keys.
// The setting format=mono stores a black-and-white 1-bit picture (window masks).
// A style sheet template gets appended the file overlay/<skin>/<output path> when
// that exists, for rules only one skin has.
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QHash>
#include <QImage>
#include <QPainter>
#include <QRegularExpression>
#include <QSaveFile>
#include <QSvgRenderer>
#include <QTextStream>

#include <cstdio>

namespace {

const QStringList kSkins = {QStringLiteral("skin-black"), QStringLiteral("skin-red")};
// The skin-less resources (splash, page icons) take their colours from this one.
const QString kNeutralPalette = QStringLiteral("skin-black");

using Vars = QHash<QString, QString>;

bool Fail(const QString& text)
{
    std::fprintf(stderr, "velocrest_skinart: %s\n", qPrintable(text));
    return false;
}

bool ReadText(const QString& path, QString& text)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return Fail(QStringLiteral("cannot read %1").arg(path));
    text = QString::fromUtf8(file.readAll());
    return true;
}

// Replaces {{key}} by its value; an unknown key is an error, so a typo in a
// template never ends up as a silently missing colour.
bool Substitute(QString& text, const Vars& vars, const QString& where)
{
    static const QRegularExpression token(QStringLiteral("\\{\\{([A-Za-z0-9_]+)\\}\\}"));
    QString out;
    qsizetype last = 0;
    auto it = token.globalMatch(text);
    while (it.hasNext()) {
        const auto match = it.next();
        const auto value = vars.constFind(match.captured(1));
        if (value == vars.cend())
            return Fail(QStringLiteral("%1: unknown key %2").arg(where, match.captured(1)));
        out += QStringView(text).mid(last, match.capturedStart() - last);
        out += *value;
        last = match.capturedEnd();
    }
    out += QStringView(text).mid(last);
    text = out;
    return true;
}

bool LoadPalette(const QString& path, Vars& vars)
{
    QString text;
    if (!ReadText(path, text))
        return false;
    // "key value" per line; a line starting with "# " (hash and blank) is a comment,
    // which keeps colours such as #1b1d20 unambiguous.
    for (const QString& raw : text.split(QLatin1Char('\n'))) {
        const QString line = raw.trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1String("# ")) || line == QLatin1String("#"))
            continue;
        const auto parts = line.split(QLatin1Char(' '), Qt::SkipEmptyParts);
        if (parts.size() != 2)
            return Fail(QStringLiteral("%1: bad line '%2'").arg(path, raw));
        vars.insert(parts[0], parts[1]);
    }
    return true;
}

bool Save(const QString& path, const QByteArray& data)
{
    QDir().mkpath(QFileInfo(path).path());
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(data) != data.size() || !file.commit())
        return Fail(QStringLiteral("cannot write %1").arg(path));
    return true;
}

bool RenderSvg(const QString& svg, int width, int height, bool mono, const QString& out)
{
    QSvgRenderer renderer(svg.toUtf8());
    if (!renderer.isValid())
        return Fail(QStringLiteral("%1: invalid SVG").arg(out));
    QImage image(width, height, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    {
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        renderer.render(&painter, QRectF(0, 0, width, height));
    }
    if (mono) {
        // Black keeps the window, white cuts it away; no dithering, so the edge is
        // exactly the one drawn.
        image = image.convertToFormat(QImage::Format_RGB32);
        image = image.convertToFormat(QImage::Format_Mono, Qt::ThresholdDither | Qt::MonoOnly);
    }
    QDir().mkpath(QFileInfo(out).path());
    QSaveFile file(out);
    if (!file.open(QIODevice::WriteOnly) || !image.save(&file, "PNG") || !file.commit())
        return Fail(QStringLiteral("cannot write %1").arg(out));
    return true;
}

struct Entry {
    QString who, path, source;
    int width = 0, height = 0;
    Vars settings;
};

bool ParseManifest(const QString& path, QList<Entry>& entries)
{
    QString text;
    if (!ReadText(path, text))
        return false;
    int number = 0;
    for (const QString& raw : text.split(QLatin1Char('\n'))) {
        ++number;
        const QString line = raw.trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char('#')))
            continue;
        const auto parts = line.split(QRegularExpression(QStringLiteral("\\s+")));
        if (parts.size() < 5)
            return Fail(QStringLiteral("%1:%2: too few fields").arg(path).arg(number));
        Entry entry{parts[0], parts[1], parts[2], parts[3].toInt(), parts[4].toInt(), {}};
        for (qsizetype i = 5; i < parts.size(); ++i) {
            const qsizetype eq = parts[i].indexOf(QLatin1Char('='));
            if (eq <= 0)
                return Fail(QStringLiteral("%1:%2: bad setting %3").arg(path).arg(number).arg(parts[i]));
            entry.settings.insert(parts[i].left(eq), parts[i].mid(eq + 1));
        }
        entries.append(entry);
    }
    return true;
}

bool Produce(const Entry& entry, const QString& skin, const Vars& palette, const QString& artDir,
             const QString& outDir)
{
    Vars vars = palette;
    vars.insert(QStringLiteral("skin"), skin);
    vars.insert(QStringLiteral("w"), QString::number(entry.width));
    vars.insert(QStringLiteral("h"), QString::number(entry.height));
    for (auto it = entry.settings.cbegin(); it != entry.settings.cend(); ++it) {
        QString value = it.value();
        if (!Substitute(value, palette, entry.path))
            return false;
        vars.insert(it.key(), value);
    }
    QString text;
    if (!ReadText(artDir + QLatin1Char('/') + entry.source, text))
        return false;
    const bool skinless = entry.who == QLatin1String("-");
    const QString out = skinless ? outDir + QLatin1Char('/') + entry.path
                                 : outDir + QLatin1Char('/') + skin + QLatin1Char('/') + entry.path;
    if (entry.source.endsWith(QLatin1String(".qss"))) {
        const QString overlay = artDir + QStringLiteral("/overlay/") + skin + QLatin1Char('/') + entry.path;
        if (QFile::exists(overlay)) {
            QString extra;
            if (!ReadText(overlay, extra))
                return false;
            text += QLatin1Char('\n') + extra;
        }
        if (!Substitute(text, vars, entry.path))
            return false;
        return Save(out, text.toLatin1());
    }
    if (!Substitute(text, vars, entry.path))
        return false;
    return RenderSvg(text, entry.width, entry.height,
                     vars.value(QStringLiteral("format")) == QLatin1String("mono"), out);
}

}  // namespace

int main(int argc, char** argv)
{
    // Text in the art (the product name) needs the font machinery, which needs a
    // GUI application; no window is ever shown.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 4) {
        Fail(QStringLiteral("usage: velocrest_skinart <manifest> <art folder> <output folder>"));
        return 2;
    }
    const QString manifest = args[1], artDir = args[2], outDir = args[3];
    QList<Entry> entries;
    if (!ParseManifest(manifest, entries))
        return 1;
    QHash<QString, Vars> palettes;
    for (const QString& skin : kSkins) {
        if (!LoadPalette(artDir + QStringLiteral("/palettes/") + skin + QStringLiteral(".palette"),
                         palettes[skin]))
            return 1;
    }
    for (const Entry& entry : entries) {
        QStringList skins;
        if (entry.who == QLatin1String("*"))
            skins = kSkins;
        else if (entry.who == QLatin1String("-"))
            skins = {kNeutralPalette};
        else if (kSkins.contains(entry.who))
            skins = {entry.who};
        else
        {
            Fail(QStringLiteral("%1: unknown skin %2").arg(entry.path, entry.who));
            return 1;
        }
        for (const QString& skin : skins) {
            if (!Produce(entry, skin, palettes[skin], artDir, outDir))
                return 1;
        }
    }
    return 0;
}
