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
    // reads of a cell hand out the same image (and cache key) instead of copying pixels.
    const QImage &GraphicCell(int n) const { return m_cells[std::size_t(n)]; }

private:
    QImage m_image;
    int m_rows;
    int m_cols;
    std::vector<QImage> m_cells;
};
