#include "retainedimage.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <limits>

namespace {

qint64 memoryLimit = std::numeric_limits<qint64>::max();

// A null image when the memory cannot be had, for the image and, beside it, the working memory.
QImage allocate(QSize size)
{
    if (qint64(size.width()) * size.height() * qint64(sizeof(QRgb)) > memoryLimit)
        return {};
    QImage image(size, QImage::Format_RGB32);
    if (image.isNull())
        return {};
    // Only asked for and given back: it stays to be had for as long as nothing else takes it,
    // and after the set-up nothing large is taken but by a save. (Kept in a volatile so that
    // the compiler cannot leave the request out.)
    void *volatile room = std::malloc(std::size_t(RetainedImage::WorkingMemory));
    if (!room)
        return {};
    std::free(room);
    return image;
}

void fillRow(QImage &image, int y, int from, int to, QRgb colour)
{
    auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
    std::fill(line + from, line + to, colour);
}

} // namespace

void RetainedImage::setMemoryLimit(qint64 bytes)
{
    memoryLimit = bytes;
}

RetainedImage::RetainedImage(QSize size, QColor background)
    : m_image(size, QImage::Format_RGB32)
    , m_background(background.rgb())
{
    m_image.fill(m_background);
}

bool RetainedImage::resize(QSize size)
{
    if (size == m_image.size())
        return true;
    QImage resized = allocate(size);
    if (resized.isNull() && !size.isEmpty())
        return false;
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
    return true;
}

QRect RetainedImage::paintPicture(const QImage &picture, const QRect &target)
{
    const QRect changed = target.intersected(m_image.rect());
    if (changed.isEmpty() || picture.isNull())
        return {};

    const QImage &scaled = scaledPicture(picture, target.size());
    const std::size_t rowBytes = std::size_t(changed.width()) * sizeof(QRgb);
    const qsizetype sourceStride = scaled.bytesPerLine();
    const qsizetype targetStride = m_image.bytesPerLine();
    const uchar *source = scaled.constBits() + (changed.top() - target.top()) * sourceStride
            + (changed.left() - target.left()) * qsizetype(sizeof(QRgb));
    uchar *destination = m_image.bits() + changed.top() * targetStride
            + changed.left() * qsizetype(sizeof(QRgb));
    for (int row = 0; row < changed.height(); ++row) {
        std::memcpy(destination, source, rowBytes);
        source += sourceStride;
        destination += targetStride;
    }
    return changed;
}

const QImage &RetainedImage::scaledPicture(const QImage &picture, QSize size)
{
    if (size != m_scaledSize) {
        m_scaled.fill({});
        m_scaledSize = size;
    }
    const qint64 key = picture.cacheKey();
    // Cache keys are a serial number in the upper half and a detach count in the lower.
    const auto slot = std::size_t((key >> 32) ^ key) % m_scaled.size();
    Scaled &entry = m_scaled[slot];
    if (entry.key != key || entry.image.isNull()) {
        const QImage scaled = picture.size() == size
                ? picture
                : picture.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        entry = { key, scaled.convertToFormat(QImage::Format_RGB32) };
    }
    return entry.image;
}
