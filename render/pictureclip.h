// A tile set: one image divided into rows and columns of equal cells, handing out the picture of
// cell n, numbered row by row from the top left.
#pragma once

#include <QImage>

#include <vector>

class PictureClip
{
public:
    PictureClip(const QImage &image, int rows, int cols);

    int Rows() const { return m_rows; }
    int Cols() const { return m_cols; }
    const QImage &Picture() const { return m_image; }
    QRect cellRect(int n) const;

    // The picture of cell n (0 .. Rows * Cols - 1), unscaled. Cells are cut once, so repeated
    // reads of a cell share its pixels instead of copying them.
    const QImage &GraphicCell(int n) const { return m_cells[std::size_t(n)]; }

    // Cell n scaled smoothly to `size`, in the canvas's format. Each cell is scaled when first
    // asked for at a size and kept until another size is asked for: all squares have one size,
    // so a paint is then a plain copy.
    const QImage &ScaledCell(int n, QSize size) const;

private:
    QImage m_image;
    int m_rows;
    int m_cols;
    std::vector<QImage> m_cells;
    mutable QSize m_scaledSize;
    mutable std::vector<QImage> m_scaled; // by cell number; null until scaled
};
