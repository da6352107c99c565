#include "render/retainedimage.h"

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
    m_size = m_image.size();
    m_stride = m_image.bytesPerLine();
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
    m_size = m_image.size();
    m_stride = m_image.bytesPerLine();
    return true;
}

QRect RetainedImage::draw(const QImage &picture, const QRect &target)
{
    // Worked out from the size kept beside the image: on the path of every square, Qt's
    // out-of-line accessors cost more than the copy of a small tile.
    const QRect changed(
            QPoint(std::max(target.left(), 0), std::max(target.top(), 0)),
            QPoint(std::min(target.right(), m_size.width() - 1),
                   std::min(target.bottom(), m_size.height() - 1)));
    if (changed.isEmpty())
        return {};
    // A null picture has an empty size, which no non-empty target has.
    if (picture.size() == target.size() && picture.format() == QImage::Format_RGB32)
        copyIn(picture, target, changed);
    else if (picture.isNull())
        return {};
    else
        copyIn(picture.scaled(target.size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
                       .convertToFormat(QImage::Format_RGB32),
               target, changed);
    return changed;
}

// `picture` has the target's size and the image's format; `changed` is the part of the target
// inside the image.
void RetainedImage::copyIn(const QImage &picture, const QRect &target, const QRect &changed)
{
    const std::size_t rowBytes = std::size_t(changed.width()) * sizeof(QRgb);
    const qsizetype sourceStride = picture.bytesPerLine();
    const qsizetype targetStride = m_stride;
    const uchar *source = picture.constBits() + (changed.top() - target.top()) * sourceStride
            + (changed.left() - target.left()) * qsizetype(sizeof(QRgb));
    uchar *destination = m_image.bits() + changed.top() * targetStride
            + changed.left() * qsizetype(sizeof(QRgb));
    for (int row = 0; row < changed.height(); ++row) {
        std::memcpy(destination, source, rowBytes);
        source += sourceStride;
        destination += targetStride;
    }
}
