// The canvas's persistent image: everything painted into it stays until painted over. A picture
// of the target's size (a tile scaled by its tile set) is painted by one row-by-row copy.
#pragma once

#include <QColor>
#include <QImage>
#include <QRect>

class RetainedImage
{
public:
    explicit RetainedImage(QSize size, QColor background = Qt::white);

    const QImage &pixels() const { return m_image; }
    QSize size() const { return m_image.size(); }

    // What a canvas needs besides its image to go on working: a save's block and its thread's
    // stack (bitmapfile/), Qt's image writer, the scaled tiles, a warning box.
    static constexpr qsizetype WorkingMemory = qsizetype(16) << 20;

    // Keeps the overlapping part of the old image at the top left and fills the rest with the
    // background. The same size changes nothing. False, with the image unchanged, when there is
    // not enough memory for the new one and WorkingMemory beside it.
    [[nodiscard]] bool resize(QSize size);

    // The most memory a new image may take; beyond it a resize fails as if the memory had run
    // out. No limit unless set (tests set one to exercise that failure).
    static void setMemoryLimit(qint64 bytes);

    // Paints the picture scaled (smoothly) into the rectangle and returns the pixels that
    // changed. A picture that has the rectangle's size and the image's format is copied as it is.
    QRect draw(const QImage &picture, const QRect &target);

private:
    void copyIn(const QImage &picture, const QRect &target, const QRect &changed);

    QImage m_image; // always Format_RGB32
    QSize m_size; // m_image's, kept for the path of every square
    qsizetype m_stride; // m_image's bytes per line, likewise
    QRgb m_background;
};
