#include "pictureclip.h"

#include <editorerror.h>

PictureClip::PictureClip(const QImage &image, int rows, int cols)
    : m_image(image.convertToFormat(QImage::Format_RGB32))
    , m_rows(rows)
    , m_cols(cols)
{
    if (rows <= 0 || cols <= 0 || image.isNull())
        throw EditorError(ErrorKind::InvalidOperation, "a tile set needs an image and a grid");
    m_cells.reserve(std::size_t(rows * cols));
    for (int n = 0; n < rows * cols; ++n)
        m_cells.push_back(m_image.copy(cellRect(n)));
}

PictureClip PictureClip::fromFile(const QString &path, int rows, int cols)
{
    const QImage image(path);
    if (image.isNull())
        throw EditorError(ErrorKind::InvalidOperation,
                          "cannot read the tile set " + path.toStdString());
    return PictureClip(image, rows, cols);
}

QRect PictureClip::cellRect(int n) const
{
    const int width = m_image.width() / m_cols;
    const int height = m_image.height() / m_rows;
    return QRect((n % m_cols) * width, (n / m_cols) * height, width, height);
}

const QImage &PictureClip::GraphicCell(int n) const
{
    if (n < 0 || std::size_t(n) >= m_cells.size())
        throw EditorError(ErrorKind::SubscriptOutOfRange,
                          "tile set has no cell " + std::to_string(n));
    return m_cells[std::size_t(n)];
}
