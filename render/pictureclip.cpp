#include "render/pictureclip.h"

PictureClip::PictureClip(const QImage &image, int rows, int cols)
    : m_image(image.convertToFormat(QImage::Format_RGB32))
    , m_rows(rows)
    , m_cols(cols)
{
    m_cells.reserve(std::size_t(rows * cols));
    for (int n = 0; n < rows * cols; ++n)
        m_cells.push_back(m_image.copy(cellRect(n)));
}

QRect PictureClip::cellRect(int n) const
{
    const int width = m_image.width() / m_cols;
    const int height = m_image.height() / m_rows;
    return QRect((n % m_cols) * width, (n / m_cols) * height, width, height);
}

const QImage &PictureClip::ScaledCell(int n, QSize size) const
{
    if (size != m_scaledSize) {
        m_scaled.assign(m_cells.size(), QImage());
        m_scaledSize = size;
    }
    QImage &scaled = m_scaled[std::size_t(n)];
    if (scaled.isNull()) {
        const QImage &cell = GraphicCell(n);
        scaled = (cell.size() == size
                          ? cell
                          : cell.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation))
                         .convertToFormat(QImage::Format_RGB32);
    }
    return scaled;
}
