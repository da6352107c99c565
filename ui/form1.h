// The main window: the canvas with its cursor frame, the three read-outs, "Save" and the button
// that opens the settings dialog. It owns the square codes, the anchor square and the two tile
// sets, and runs each canvas movement through its three stages.
#pragma once

#include <canvassetup.h>
#include <pointermapping.h>
#include <squaredata.h>
#include <strokeview.h>
#include <tilepainter.h>

#include <QWidget>

#include <optional>

class CanvasView;
class PictureBox;
class ReadoutLabel;
class QPushButton;

class Form1 : public QWidget, private StrokeView
{
    Q_OBJECT
public:
    static constexpr QSize ClientSize { 688, 528 };
    static constexpr QPoint CanvasCorner { 24, 32 };

    explicit Form1(Settings &settings, QWidget *parent = nullptr);

    // Gives the canvas the grid's size and brings the square codes to the grid, all or nothing:
    // false, with canvas and codes unchanged, when the memory for the canvas cannot be had.
    // Runs after every accepted "OK" of the settings dialog.
    [[nodiscard]] bool Sub_Draw();

    const SquareData &squareData() const { return m_squareData; }
    const StrokeAnchor &anchor() const { return m_anchor; }
    PictureBox *canvas() const { return Picture1; }

    // Where "Save" writes the canvas: test.bmp in the home folder unless set otherwise; empty
    // when there is no home folder.
    QString bitmapPath() const { return m_bitmapPath.value_or(defaultBitmapPath()); }
    void setBitmapPath(const QString &path) { m_bitmapPath = path; }

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void Form_Load();
    void Command1_Click();
    void cmdSave_Click();
    static QString saveFailureMessage(const SaveFailure &failure);
    void Picture1_MouseDown(std::int16_t button, std::int16_t shift, float x, float y);
    void Picture1_MouseMove(std::int16_t button, std::int16_t shift, float x, float y);

    // StrokeView
    void setDirectionCaption(const QString &caption) override;
    void setPositionCaption(const QString &caption) override;
    void setDataCaption(const QString &caption) override;
    CursorFrame cursorFrame() const override;
    void setCursorFrame(const CursorFrame &frame) override;
    void Sub_DrawSquare(float x, float y, std::int16_t mode) override;

    Settings &m_settings;
    SquareData m_squareData;
    StrokeAnchor m_anchor;
    TileSets PictureClip1;
    std::optional<QString> m_bitmapPath;

    PictureBox *Picture1;
    CanvasView *m_canvasView;
    ReadoutLabel *Label1;
    ReadoutLabel *Label2;
    ReadoutLabel *Label4;
    QPushButton *cmdSave;
    QPushButton *Command1;
};
