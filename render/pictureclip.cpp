#include "pictureclip.h"

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
