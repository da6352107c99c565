// A StrokeView that records what the stroke stages ask of the window.
#pragma once

#include <strokeview.h>

#include <QString>

#include <vector>

struct FakeStrokeView : StrokeView
{
    struct Paint
    {
        float x;
        float y;
        std::int16_t mode;
        bool operator==(const Paint &) const = default;
    };

    QString label1 = QStringLiteral("Label1");
    QString label2 = QStringLiteral("Label2");
    QString label4 = QStringLiteral("Label4");
    CursorFrame frame { 0, 0, 49, 49 };
    int frameWrites = 0;
    std::vector<Paint> paints;

    void setDirectionCaption(const QString &caption) override { label2 = caption; }
    void setPositionCaption(const QString &caption) override { label1 = caption; }
    void setDataCaption(const QString &caption) override { label4 = caption; }
    CursorFrame cursorFrame() const override { return frame; }
    void setCursorFrame(const CursorFrame &f) override
    {
        frame = f;
        ++frameWrites;
    }
    void Sub_DrawSquare(float x, float y, std::int16_t mode) override
    {
        paints.push_back({ x, y, mode });
    }
};
