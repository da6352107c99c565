// The canvas's persistent image: everything painted into it stays until painted over. Painting
// a picture scales it once per target size (smoothly) and keeps the scaled copy, so repainting a
// tile is one row-by-row copy.
#pragma once

#include <QColor>
#include <QHash>
#include <QImage>
#include <QRect>

class RetainedImage
{
public:
    explicit RetainedImage(QSize size, QColor background = Qt::white);

    const QImage &image() const { return m_image; }
    QSize size() const { return m_image.size(); }

    // Keeps the overlapping part of the old image at the top left and fills the rest with the
    // background. The same size changes nothing.
    void resize(QSize size);

    // Paints the picture scaled into the rectangle and returns the pixels that changed.
    QRect paintPicture(const QImage &picture, float x, float y, float width, float height);

private:
    const QImage &scaledPicture(const QImage &picture, QSize size);

    struct ScaledKey
    {
        qint64 picture;
        int width;
        int height;
        friend bool operator==(const ScaledKey &, const ScaledKey &) = default;
        friend size_t qHash(const ScaledKey &key, size_t seed = 0)
        {
            return qHashMulti(seed, key.picture, key.width, key.height);
        }
    };

    QImage m_image;
    QRgb m_background;
    QHash<ScaledKey, QImage> m_scaled;
};
