#include "model/grid.h"

std::string squareCodeText(SquareCode code)
{
    std::string text;
    for (const Side side : { Side::Left, Side::Bottom, Side::Right, Side::Top })
        text += (code & SquareCode(side)) ? '1' : '0';
    return text;
}

void Grid::resize(const Settings &settings)
{
    m_settings = settings;
    Sub_ResizeSquareData();
}

void Grid::Sub_ResizeSquareData()
{
    // New entries start without sides; kept ones stay at their index.
    m_squareData.resize(std::size_t(m_settings.SizeX * m_settings.SizeY + 1), 0);
}

bool Grid::Func_SetSide(int index, Side side)
{
    // The list holds exactly the indices 0 .. SizeX * SizeY.
    if (index < 0 || std::size_t(index) >= m_squareData.size())
        return false;
    m_squareData[std::size_t(index)] |= SquareCode(side);
    return true;
}
