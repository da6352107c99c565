// The canvas's persistent image: everything painted into it stays until painted over. Painting
// a picture scales it once per target size (smoothly) and keeps the scaled copy, so repainting a
// tile is one row-by-row copy.
#pragma once

#include <QColor>
#include <QImage>
#include <QRect>

#include <array>

class RetainedImage
{
public:
    explicit RetainedImage(QSize size, QColor background = Qt::white);

    const QImage &image() const { return m_image; }
    QSize size() const { return m_image.size(); }

    // What a canvas needs besides its image to go on working: a save's two blocks and its
    // writer thread's stack (render/blockwriter.h), Qt's image writer, the scaled tiles, a
    // warning box.
    static constexpr qsizetype WorkingMemory = qsizetype(16) << 20;

    // Keeps the overlapping part of the old image at the top left and fills the rest with the
    // background. The same size changes nothing. False, with the image unchanged, when there is
    // not enough memory for the new one and WorkingMemory beside it.
    [[nodiscard]] bool resize(QSize size);

    // The most memory a new image may take; beyond it a resize fails as if the memory had run
    // out. No limit unless set (tests set one to exercise that failure).
    static void setMemoryLimit(qint64 bytes);

    // Paints the picture scaled into the rectangle and returns the pixels that changed.
    QRect paintPicture(const QImage &picture, const QRect &target);

private:
    const QImage &scaledPicture(const QImage &picture, QSize size);

    QImage m_image;
    QRgb m_background;
    // Scaled copies of the pictures painted, all of one size (the squares' size), in a small
    // table indexed by the pictures' cache keys: the tile sets hand out 32 pictures at most.
    struct Scaled
    {
        qint64 key = 0;
        QImage image;
    };
    QSize m_scaledSize;
    std::array<Scaled, 64> m_scaled;
};
