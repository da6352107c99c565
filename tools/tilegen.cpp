// Draws the editor's two tile sets and writes them as the 24-bit bitmaps that are compiled into
// the editor (render/tiles/), or a contact sheet of both sets for the documentation.
//
//   tilegen TILES_DIR          writes TILES_DIR/tileset0.bmp and TILES_DIR/tileset1.bmp
//   tilegen --sheet FILE.png   writes every cell of both sets enlarged, with its number
//   tilegen --icons DIR        writes the application icon, the cross of tile set 0, as
//                              DIR/<size>x<size>/org.passages.Passages.png for each size
//                              desktops ask for
#include "render/tileart.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFont>
#include <QGuiApplication>
#include <QImageWriter>
#include <QPainter>
#include <QStringList>

#include <algorithm>
#include <cstdio>

namespace {

bool writeTileSet(const QImage &set, const QString &path)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "bmp");
    if (!writer.write(set)) {
        std::fprintf(stderr, "tilegen: %s\n", qPrintable(writer.errorString()));
        return false;
    }
    // No resolution in the header (Qt always writes one): the tiles are pixels, not a print size.
    QByteArray bmp = buffer.data();
    constexpr int resolutionOffset = 38; // horizontal, then vertical, 4 bytes each
    std::fill(bmp.begin() + resolutionOffset, bmp.begin() + resolutionOffset + 8, '\0');
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bmp) != bmp.size()) {
        std::fprintf(stderr, "tilegen: %s: %s\n", qPrintable(path), qPrintable(file.errorString()));
        return false;
    }
    return true;
}

QImage contactSheet()
{
    constexpr int scale = 3;
    constexpr int cell = tileart::CellSize * scale;
    constexpr int gap = 24;
    constexpr int label = 18;
    const int setWidth = 4 * (cell + gap);
    QImage sheet(2 * setWidth + gap, 4 * (cell + label + gap) + gap, QImage::Format_RGB32);
    sheet.fill(QColor(0xf0, 0xf0, 0xf0));
    QPainter painter(&sheet);
    QFont font = painter.font();
    font.setPixelSize(14);
    painter.setFont(font);
    for (int set = 0; set < 2; ++set) {
        for (int n = 0; n < tileart::Cells; ++n) {
            const int x = gap + set * setWidth + (n % 4) * (cell + gap);
            const int y = gap + (n / 4) * (cell + label + gap);
            const QImage tile = tileart::drawTile(n, tileart::palette(set));
            painter.drawImage(QRect(x, y + label, cell, cell), tile);
            painter.setPen(Qt::black);
            painter.drawText(QRect(x, y, cell, label), Qt::AlignLeft | Qt::AlignVCenter,
                             QStringLiteral("set %1, cell %2 (%3)")
                                     .arg(set)
                                     .arg(n)
                                     .arg(n, 4, 2, QLatin1Char('0')));
        }
    }
    return sheet;
}

} // namespace

int main(int argc, char **argv)
{
    QGuiApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() == 3 && args[1] == QLatin1String("--sheet"))
        return contactSheet().save(args[2]) ? 0 : 1;
    if (args.size() == 3 && args[1] == QLatin1String("--icons")) {
        const QImage cross = tileart::drawTile(15, tileart::palette(0));
        bool ok = true;
        for (int size : { 16, 22, 24, 32, 48, 64, 128, 256 }) {
            const QString folder = args[2] + QStringLiteral("/%1x%1").arg(size);
            ok = QDir().mkpath(folder)
                    && cross.scaled(size, size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
                               .save(folder + QStringLiteral("/org.passages.Passages.png"))
                    && ok;
        }
        return ok ? 0 : 1;
    }
    if (args.size() != 2) {
        std::fprintf(
                stderr,
                "usage: tilegen TILES_DIR | tilegen --sheet FILE.png | tilegen --icons DIR\n");
        return 2;
    }
    bool ok = true;
    for (int set = 0; set < 2; ++set) {
        ok = writeTileSet(tileart::drawTileSet(tileart::palette(set)),
                          args[1] + QStringLiteral("/tileset%1.bmp").arg(set))
                && ok;
    }
    return ok ? 0 : 1;
}
