// The main window: the canvas with its cursor frame, the three read-outs, "Save" and the button
// that opens the settings dialog. It owns the grid (settings and square codes) for the whole
// run, the anchor square and the two tile sets, and runs each movement over the canvas through
// its steps: map the pointer, link the stroke, move the frame and write the read-outs.
#pragma once

#include "input/pointermapping.h"
#include "input/strokeview.h"
#include "model/grid.h"
#include "render/tilepainter.h"

#include <QWidget>

#include <optional>

class CanvasView;
class PictureBox;
class SaveInProgress;
class QLabel;
class QPushButton;

class Form1 : public QWidget, private StrokeView
{
    Q_OBJECT
public:
    explicit Form1(QWidget *parent = nullptr);

    // Gives the canvas the grid's size and brings the square codes to the grid, all or nothing:
    // false, with grid and canvas unchanged, when the memory for the canvas cannot be had.
    [[nodiscard]] bool Sub_Draw(const Settings &settings);

    const Grid &grid() const { return m_grid; }
    const StrokeAnchor &anchor() const { return m_anchor; }
    PictureBox *canvas() const { return Picture1; }

    // A save runs from the press of "Save" until its outcome is known (and told, for a failure);
    // meanwhile the canvas takes no strokes and the buttons do nothing.
    bool isSaving() const { return m_save != nullptr; }

signals:
    // A save has ended: the file replaced, a failure told, or the save cancelled.
    void saveEnded();

protected:
    void changeEvent(QEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void Form_Load();
    void Command1_Click();
    void cmdSave_Click();
    void Picture1_MouseDown(Qt::MouseButtons button, Qt::KeyboardModifiers modifiers, QPoint at);
    void Picture1_MouseMove(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers, QPoint at);
    void Picture1_Scrolled(Qt::MouseButtons buttons, QPoint from, QPoint to);
    void followPointer(Qt::MouseButtons buttons, std::optional<QPoint> from, QPoint to);
    void endSave();

    // StrokeView
    void setDirectionCaption(const QString &caption) override;
    void setPositionCaption(const QString &caption) override;
    void setDataCaption(const QString &caption) override;
    void setCursorFrame(const QRect &frame) override;
    void Sub_DrawSquare(int index, TileSet set) override;

    Grid m_grid;
    StrokeAnchor m_anchor;
    const TileSets PictureClip1;

    PictureBox *Picture1;
    CanvasView *m_canvasView;
    bool m_settingUp = false; // Sub_Draw is resizing the canvas, which may move the view
    SaveInProgress *m_save = nullptr; // the save under way
    QLabel *Label1;
    QLabel *Label2;
    QLabel *Label4;
    QPushButton *cmdSave;
    QPushButton *Command1;
};
