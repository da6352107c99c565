#include "ui/form1.h"

#include "ui/canvasview.h"
#include "ui/control.h"
#include "ui/editorfont.h"
#include "ui/errorreport.h"
#include "ui/form2.h"
#include "ui/picturebox.h"

#include "input/readouts.h"
#include "input/strokelinking.h"

#include <QDir>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QScopedValueRollback>
#include <QScrollBar>

namespace {

QLabel *makeLabel(QWidget *parent, const QString &name, const QString &caption,
                  const QRect &geometry)
{
    auto *label = makeControl<QLabel>(parent, name, caption, geometry);
    // Opaque: a new caption repaints the label alone, not the window behind it. Fixed: a new
    // caption does not ask the window to lay its children out again.
    label->setAutoFillBackground(true);
    label->setFixedSize(geometry.size());
    return label;
}

QPushButton *makeButton(QWidget *parent, const QString &name, const QString &caption,
                        const QRect &geometry)
{
    auto *button = makeControl<QPushButton>(parent, name, caption, geometry);
    button->setAutoDefault(false);
    return button;
}

// Exactly the left or exactly the right button draws; any other buttons draw nothing.
std::optional<TileSet> tileSetFor(Qt::MouseButtons buttons)
{
    if (buttons == Qt::LeftButton)
        return TileSet::Left;
    if (buttons == Qt::RightButton)
        return TileSet::Right;
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
    resize(ClientSize);

    Picture1 = new PictureBox;
    m_canvasView = new CanvasView(Picture1, this);
    m_canvasView->move(CanvasCorner); // resizeEvent gives it the rest of the window
    // The line around the canvas moves with it.
    connect(m_canvasView->horizontalScrollBar(), &QScrollBar::valueChanged, this,
            &Form1::updateCanvasLine);
    connect(m_canvasView->verticalScrollBar(), &QScrollBar::valueChanged, this,
            &Form1::updateCanvasLine);
    Label1 = makeLabel(this, QStringLiteral("Label1"), tr("Label1"), QRect(32, 8, 105, 17));
    Label2 = makeLabel(this, QStringLiteral("Label2"), tr("Label2"), QRect(128, 8, 121, 17));
    Label4 = makeLabel(this, QStringLiteral("Label4"), tr("Label4"), QRect(256, 8, 89, 17));
    cmdSave = makeButton(this, QStringLiteral("cmdSave"), tr("Save"), QRect(560, 408, 113, 33));
    Command1 = makeButton(this, QStringLiteral("Command1"), tr("Command1"),
                          QRect(560, 448, 113, 33));
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

    Form_Load();
}

// Nothing to set up when the window is made: the canvas stays empty until the first settings.
void Form1::Form_Load() { }

void Form1::Command1_Click()
{
    guarded(this, [this] {
        Form2 dialog(m_grid.settings());
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

QString Form1::saveFailureMessage(const SaveFailure &failure)
{
    const QString path = QDir::toNativeSeparators(failure.path);
    switch (failure.cause) {
    case SaveFailure::Cause::NotARegularFile:
        return tr("The picture could not be saved to %1.\nThat path is not a regular file, so it "
                  "is left as it is.")
                .arg(path);
    case SaveFailure::Cause::ReadOnlyFile:
        return tr("The picture could not be saved to %1.\nThe file is read-only.").arg(path);
    case SaveFailure::Cause::FolderNotWritable:
        return tr("The picture could not be saved in the folder %1.\nNo new file can be made in "
                  "that folder: %2")
                .arg(path, failure.reason);
    case SaveFailure::Cause::FolderAppendOnly:
        return tr("The picture could not be saved in the folder %1.\nThat folder does not let a "
                  "file in it be replaced.")
                .arg(path);
    case SaveFailure::Cause::Write:
        break;
    }
    return tr("The picture could not be saved to %1.\n%2").arg(path, failure.reason);
}

void Form1::cmdSave_Click()
{
    guarded(this, [this] {
        const QString path = bitmapPath();
        if (path.isEmpty()) {
            reportError(this,
                        tr("The picture could not be saved.\nThis account has no home folder to "
                           "save test.bmp in."));
            return;
        }
        if (const auto failure = SavePicture(Picture1->Image(), path))
            reportError(this, saveFailureMessage(*failure));
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
    updateCanvasLine();
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
        if (!m_grid.isSetUp())
            return;
        const PointerSquare here = mapPointer(at, Picture1->size(), m_grid);
        if (const auto set = tileSetFor(buttons))
            linkStroke(*set, here, m_anchor, m_grid, *this);
        updateCursorAndReadouts(here, m_grid, *this);
        tellSquareUnderPointer(here);
    });
}

// The view moved under a still pointer during a drag (auto-scroll, the wheel, the keys): the
// stroke walks from the square the pointer was over to the one it is over now.
void Form1::Picture1_Scrolled(Qt::MouseButtons buttons, QPoint from, QPoint to)
{
    guarded(this, [&] {
        if (!m_grid.isSetUp() || m_settingUp)
            return;
        const PointerSquare here = mapPointer(to, Picture1->size(), m_grid);
        if (const auto set = tileSetFor(buttons))
            walkStroke(*set, mapPointer(from, Picture1->size(), m_grid), here, m_anchor, m_grid,
                       *this);
        updateCursorAndReadouts(here, m_grid, *this);
        tellSquareUnderPointer(here);
    });
}

void Form1::resizeEvent(QResizeEvent *)
{
    // The canvas's corner stays put; the scrolling area takes the rest of the window.
    m_canvasView->resize(size() - QSize(CanvasCorner.x(), CanvasCorner.y()));
    updateCanvasLine();
}

// A thin line around the visible part of the borderless canvas sets it apart from the window.
// This is the rectangle the line's pixels lie on the edges of: one pixel outside the part of the
// canvas the view shows (its scroll bars are not part of it).
QRect Form1::canvasLine() const
{
    const QWidget *viewport = m_canvasView->viewport();
    const QRect shown(viewport->mapTo(this, QPoint()), viewport->size());
    const QRect canvas(Picture1->mapTo(this, QPoint()), Picture1->size());
    return canvas.intersected(shown).adjusted(-1, -1, 1, 1);
}

void Form1::updateCanvasLine()
{
    // Only the pixels of the line where it was last drawn and where it goes, not the whole
    // window; a pixel wider on each side, so that on a scaled screen the device pixels the line
    // was rounded to are covered too.
    const QRect line = canvasLine();
    if (line == m_canvasLine)
        return;
    auto band = [](const QRect &r) {
        return QRegion(r.adjusted(-1, -1, 1, 1)) - QRegion(r.adjusted(2, 2, -2, -2));
    };
    update(band(m_canvasLine) + band(line));
}

void Form1::paintEvent(QPaintEvent *)
{
    // Filled pixels rather than a pen: on a scaled screen they cover the same device pixels as
    // the canvas's own pixels would, so the line meets the canvas without a gap or overlap.
    QPainter painter(this);
    m_canvasLine = canvasLine();
    const QRegion line = QRegion(m_canvasLine) - QRegion(m_canvasLine.adjusted(1, 1, -1, -1));
    for (const QRect &strip : line)
        painter.fillRect(strip, palette().color(QPalette::Dark));
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

// What the position and data read-outs show, for a screen reader, through the canvas, which
// has the focus while one draws.
void Form1::tellSquareUnderPointer(const PointerSquare &here)
{
    const Settings &settings = m_grid.settings();
    Picture1->setReadout({ here.index, settings.SizeX * settings.SizeY - 1,
                           tr("%1, %2").arg(Label1->text(), Label4->text()) });
}

void Form1::setCursorFrame(const QRect &frame)
{
    Picture1->setShape1(frame);
}

void Form1::Sub_DrawSquare(int index, TileSet set)
{
    paintSquare(*Picture1, PictureClip1, m_grid, index, set);
}
