#include "retainedimage.h"

#include <editorerror.h>

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

// Two tile sets of sixteen cells at two sizes at most; more means the size keeps changing.
constexpr qsizetype maxScaledPictures = 64;

QImage allocate(QSize size)
{
    QImage image(size, QImage::Format_RGB32);
    if (image.isNull() && !size.isEmpty())
        throw EditorError(ErrorKind::InvalidOperation,
                          "not enough memory for a canvas of " + std::to_string(size.width())
                                  + " x " + std::to_string(size.height()) + " pixels");
    return image;
}

void fillRow(QImage &image, int y, int from, int to, QRgb colour)
{
    auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
    std::fill(line + from, line + to, colour);
}

int toPixel(float v)
{
    return int(std::lround(std::clamp(v, -1e9f, 1e9f)));
}

} // namespace

RetainedImage::RetainedImage(QSize size, QColor background)
    : m_image(allocate(size))
    , m_background(background.rgb())
{
    m_image.fill(m_background);
}

void RetainedImage::resize(QSize size)
{
    if (size == m_image.size())
        return;
    QImage resized = allocate(size);
    const int keepWidth = std::min(size.width(), m_image.width());
    const int keepHeight = std::min(size.height(), m_image.height());
    for (int y = 0; y < size.height(); ++y) {
        int from = 0;
        if (y < keepHeight) {
            std::memcpy(resized.scanLine(y), m_image.constScanLine(y),
                        std::size_t(keepWidth) * sizeof(QRgb));
            from = keepWidth;
        }
        fillRow(resized, y, from, size.width(), m_background);
    }
    m_image = std::move(resized);
}

QRect RetainedImage::paintPicture(const QImage &picture, float x, float y, float width,
                                  float height)
{
    const QRect target(toPixel(x), toPixel(y), toPixel(width), toPixel(height));
    if (target.isEmpty() || picture.isNull())
        return {};
    const QRect changed = target & m_image.rect();
    if (changed.isEmpty())
        return {};

    const QImage &scaled = scaledPicture(picture, target.size());
    const std::size_t rowBytes = std::size_t(changed.width()) * sizeof(QRgb);
    const int sourceX = changed.left() - target.left();
    for (int row = changed.top(); row <= changed.bottom(); ++row) {
        const auto *source
                = reinterpret_cast<const QRgb *>(scaled.constScanLine(row - target.top()));
        std::memcpy(reinterpret_cast<QRgb *>(m_image.scanLine(row)) + changed.left(),
                    source + sourceX, rowBytes);
    }
    return changed;
}

const QImage &RetainedImage::scaledPicture(const QImage &picture, QSize size)
{
    const ScaledKey key { picture.cacheKey(), size.width(), size.height() };
    const auto found = m_scaled.constFind(key);
    if (found != m_scaled.constEnd())
        return *found;

    if (m_scaled.size() >= maxScaledPictures)
        m_scaled.clear();
    QImage scaled = picture.size() == size
            ? picture
            : picture.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    return *m_scaled.insert(key, scaled.convertToFormat(QImage::Format_RGB32));
}
