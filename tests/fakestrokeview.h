// A StrokeView that records what the stroke steps ask of the window.
#pragma once

#include "input/strokeview.h"

#include <QString>

#include <vector>

struct FakeStrokeView : StrokeView
{
    struct Paint
    {
        int index;
        TileSet set;
        bool operator==(const Paint &) const = default;
    };

    QString label1 = QStringLiteral("Label1");
    QString label2 = QStringLiteral("Label2");
    QString label4 = QStringLiteral("Label4");
    QRect frame { 0, 0, 49, 49 };
    std::vector<Paint> paints;

    void setDirectionCaption(const QString &caption) override { label2 = caption; }
    void setPositionCaption(const QString &caption) override { label1 = caption; }
    void setDataCaption(const QString &caption) override { label4 = caption; }
    void setCursorFrame(const QRect &f) override { frame = f; }
    void Sub_DrawSquare(int index, TileSet set) override { paints.push_back({ index, set }); }
};
