#include "ui/form1.h"

#include "bitmapfile/bitmapfile.h"
#include "ui/canvasview.h"
#include "ui/control.h"
#include "ui/editorfont.h"
#include "ui/errorreport.h"
#include "ui/form2.h"
#include "ui/layout.h"
#include "ui/picturebox.h"
#include "ui/saveinprogress.h"

#include "input/readouts.h"
#include "input/strokelinking.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QScopedValueRollback>
#include <QScrollBar>
#include <QWindow>

namespace {

QLabel *makeLabel(QWidget *parent, const Caption &caption, const QRect &geometry)
{
    auto *label = makeControl<QLabel>(parent, caption, geometry);
    // Opaque: a new caption repaints the label alone, not the window behind it. Fixed: a new
    // caption does not ask the window to lay its children out again.
    label->setAutoFillBackground(true);
    label->setFixedSize(geometry.size());
    return label;
}

QPushButton *makeButton(QWidget *parent, const Caption &caption, const QRect &geometry)
{
    auto *button = makeControl<QPushButton>(parent, caption, geometry);
    button->setAutoDefault(false);
    return button;
}

// Exactly the left or exactly the right button draws; any other buttons draw nothing.
std::optional<TileSet> tileSetFor(Qt::MouseButtons buttons)
{
    if (buttons == Qt::LeftButton)
        return TileSet::DarkRed;
    if (buttons == Qt::RightButton)
        return TileSet::DarkTealBlue;
    return std::nullopt;
}

} // namespace

Form1::Form1(QWidget *parent)
    : QWidget(parent)
    , PictureClip1(loadTileSets())
{
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(tr("Form1"));
    setFont(editorFont());
    resize(layout::Form1::client);

    Picture1 = new PictureBox;
    m_canvasView = new CanvasView(Picture1, this);
    m_canvasView->placeCanvasAt(layout::Form1::Picture1.topLeft());
    // The window may be made smaller, but not so small that a button is cut off or covers the
    // end of a scroll bar: the scroll bars lie along the window's right and bottom edges, past
    // the buttons.
    const QRect buttons = layout::Form1::cmdSave.united(layout::Form1::Command1);
    setMinimumSize(buttons.right() + 1 + m_canvasView->verticalScrollBar()->sizeHint().width(),
                   buttons.bottom() + 1 + m_canvasView->horizontalScrollBar()->sizeHint().height());
    Label1 = makeLabel(this, captions::Form1::Label1, layout::Form1::Label1);
    Label2 = makeLabel(this, captions::Form1::Label2, layout::Form1::Label2);
    Label4 = makeLabel(this, captions::Form1::Label4, layout::Form1::Label4);
    cmdSave = makeButton(this, captions::Form1::cmdSave, layout::Form1::cmdSave);
    Command1 = makeButton(this, captions::Form1::Command1, layout::Form1::Command1);
    Command1->setAccessibleDescription(
            tr("Opens the settings: the squares across, the squares down and the pixels per "
               "square."));
    // The buttons lie over a large canvas, never under it.
    cmdSave->raise();
    Command1->raise();

    setTabOrder(Picture1, cmdSave);
    setTabOrder(cmdSave, Command1);
    Picture1->setFocus();

    connect(Command1, &QPushButton::clicked, this, &Form1::Command1_Click);
    connect(cmdSave, &QPushButton::clicked, this, &Form1::cmdSave_Click);
    connect(Picture1, &PictureBox::mouseDown, this, &Form1::Picture1_MouseDown);
    connect(Picture1, &PictureBox::mouseMove, this, &Form1::Picture1_MouseMove);
    connect(m_canvasView, &CanvasView::canvasMovedUnderPointer, this, &Form1::Picture1_Scrolled);
    // What the position and data read-outs show of the square the pointer rests on, for a screen
    // reader, through the canvas, which has the focus while one draws.
    Picture1->setReadoutText([this] { return tr("%1, %2").arg(Label1->text(), Label4->text()); });

    Form_Load();
}

// Nothing to set up when the window is made: the canvas stays empty until the first settings.
void Form1::Form_Load() { }

void Form1::Command1_Click()
{
    guarded(this, [this] {
        if (isSaving())
            return; // the canvas must stay as it is being saved
        Form2 dialog(m_grid.settings());
        // The dialog has no owner, but its window is made this window's transient: window
        // systems then keep it above this window, and those that place dialogs open it over
        // this one (ARCHITECTURE.md).
        dialog.winId();
        dialog.windowHandle()->setTransientParent(windowHandle());
        if (dialog.exec() != QDialog::Accepted)
            return;
        show();
        if (!Sub_Draw(dialog.settings())) {
            const QSize size = canvasSizeFor(dialog.settings());
            reportError(this,
                        tr("There is not enough memory for a canvas of %1 x %2 pixels. The "
                           "settings, the canvas and the drawing are kept as they were.")
                                .arg(size.width())
                                .arg(size.height()));
        }
    });
}

// The save runs on a thread of its own. The window copies nothing: the saved picture shares the
// canvas's pixels, which stay as they are because the canvas takes no strokes and the settings
// cannot change until the save has ended.
void Form1::cmdSave_Click()
{
    guarded(this, [this] {
        if (isSaving())
            return;
        const QString path = defaultBitmapPath();
        if (path.isEmpty()) {
            reportError(this,
                        tr("The picture could not be saved.\nThis account has no home folder to "
                           "save test.bmp in."));
            return;
        }
        // Where a link in the path leads is settled here: that file is the one saved.
        m_save = new SaveInProgress(Picture1->Image(), saveTargetFor(path), this);
        connect(m_save, &SaveInProgress::ended, this, &Form1::endSave);
    });
}

void Form1::endSave()
{
    guarded(this, [this] {
        m_save->deleteLater();
        m_save = nullptr;
        emit saveEnded();
    });
}

bool Form1::Sub_Draw(const Settings &settings)
{
    // All or nothing: the new codes are made in a copy and the canvas is sized before either
    // replaces what the window holds; when the canvas's memory cannot be had, nothing has changed.
    Grid resized = m_grid;
    resized.resize(settings);
    // A smaller canvas can move the view under a held button: that is no stroke of the user's.
    const QScopedValueRollback settingUp(m_settingUp, true);
    if (!Picture1->setCanvasSize(canvasSizeFor(settings)))
        return false;
    m_grid = std::move(resized);
    // A button may still be held from before the dialog: its stroke goes on inside the new grid.
    holdAnchorToGrid(m_anchor, settings);
    return true;
}

void Form1::Picture1_MouseDown(Qt::MouseButtons, Qt::KeyboardModifiers, QPoint at)
{
    guarded(this, [&] {
        if (m_grid.isSetUp())
            setAnchorFromPress(m_anchor, at, Picture1->size(), m_grid);
    });
}

void Form1::Picture1_MouseMove(Qt::MouseButtons buttons, Qt::KeyboardModifiers, QPoint at)
{
    guarded(this, [&] {
        if (m_grid.isSetUp())
            followPointer(buttons, std::nullopt, at);
    });
}

// The view moved under a still pointer during a drag (auto-scroll, the wheel, the keys).
void Form1::Picture1_Scrolled(Qt::MouseButtons buttons, QPoint from, QPoint to)
{
    guarded(this, [&] {
        if (m_grid.isSetUp() && !m_settingUp)
            followPointer(buttons, from, to);
    });
}

// One movement over the canvas onto the pixel `to`: the pointer's own, or the view's under it
// from the pixel `from`, which the stroke walks from square to square rather than jumps.
void Form1::followPointer(Qt::MouseButtons buttons, std::optional<QPoint> from, QPoint to)
{
    const PointerSquare here = mapPointer(to, Picture1->size(), m_grid);
    const std::optional<TileSet> set = tileSetFor(buttons);
    if (isSaving()) // no stroke; one held on afterwards starts here
        setAnchorFromPress(m_anchor, to, Picture1->size(), m_grid);
    else if (set && from)
        walkStroke(*set, mapPointer(*from, Picture1->size(), m_grid), here, m_anchor, m_grid,
                   *this);
    else if (set)
        linkStroke(*set, here, m_anchor, m_grid, *this);
    updateCursorAndReadouts(here, m_grid, *this);
    const Settings &settings = m_grid.settings();
    Picture1->setSquareUnderPointer(here.index, settings.SizeX * settings.SizeY - 1);
}

// GNOME Shell gives the keyboard to a window clicked while a modal dialog blocks it, where Qt
// takes no keys: the user would type into nothing. The activation goes on to the dialog, asked
// for once Qt has done with this one, whose own requests to the window system come first.
void Form1::changeEvent(QEvent *event)
{
    QWidget::changeEvent(event);
    if (event->type() != QEvent::ActivationChange || !isActiveWindow())
        return;
    guarded(this, [this] {
        if (QWidget *modal = QApplication::activeModalWidget(); modal && modal != this)
            QMetaObject::invokeMethod(modal, &QWidget::activateWindow, Qt::QueuedConnection);
    });
}

void Form1::resizeEvent(QResizeEvent *)
{
    // The canvas's corner stays put; the scrolling area takes the rest of the window.
    guarded(this, [this] { m_canvasView->placeCanvasAt(layout::Form1::Picture1.topLeft()); });
}

void Form1::setDirectionCaption(const QString &caption)
{
    Label2->setText(caption);
}

void Form1::setPositionCaption(const QString &caption)
{
    Label1->setText(caption);
}

void Form1::setDataCaption(const QString &caption)
{
    Label4->setText(caption);
}

void Form1::setCursorFrame(const QRect &frame)
{
    Picture1->setShape1(frame);
}

void Form1::Sub_DrawSquare(int index, TileSet set)
{
    paintSquare(*Picture1, PictureClip1, m_grid, index, set);
}
