// A tile set: one image divided into rows and columns of equal cells, handing out the picture of
// cell n, numbered row by row from the top left.
#pragma once

#include <QImage>
#include <QString>

#include <vector>

class PictureClip
{
public:
    PictureClip() = default;
    PictureClip(const QImage &image, int rows, int cols);
    // Loads a tile set image, such as the tile sets compiled in as resources.
    static PictureClip fromFile(const QString &path, int rows = 4, int cols = 4);

    int Rows() const { return m_rows; }
    int Cols() const { return m_cols; }
    const QImage &Picture() const { return m_image; }
    QRect cellRect(int n) const;

    // The picture of cell n, unscaled. Cells are cut once, so repeated reads of a cell hand out
    // the same image (and cache key) instead of copying pixels.
    const QImage &GraphicCell(int n) const;

private:
    QImage m_image;
    int m_rows = 0;
    int m_cols = 0;
    std::vector<QImage> m_cells;
};
