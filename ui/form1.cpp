#include "ui/form1.h"

#include "ui/canvasview.h"
#include "ui/control.h"
#include "ui/editorfont.h"
#include "ui/errorreport.h"
#include "ui/form2.h"
#include "ui/layout.h"
#include "ui/picturebox.h"

#include "bitmapfile/backgroundsave.h"
#include "input/readouts.h"
#include "input/strokelinking.h"

#include <QCloseEvent>
#include <QDir>
#include <QLabel>
#include <QPainter>
#include <QProgressDialog>
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
    m_canvasView->move(layout::Form1::Picture1.topLeft()); // resizeEvent gives it the rest
    // The line around the canvas moves with it.
    connect(m_canvasView->horizontalScrollBar(), &QScrollBar::valueChanged, this,
            &Form1::updateCanvasLine);
    connect(m_canvasView->verticalScrollBar(), &QScrollBar::valueChanged, this,
            &Form1::updateCanvasLine);
    Label1 = makeLabel(this, QStringLiteral("Label1"), tr("Label1"), layout::Form1::Label1);
    Label2 = makeLabel(this, QStringLiteral("Label2"), tr("Label2"), layout::Form1::Label2);
    Label4 = makeLabel(this, QStringLiteral("Label4"), tr("Label4"), layout::Form1::Label4);
    cmdSave = makeButton(this, QStringLiteral("cmdSave"), tr("Save"), layout::Form1::cmdSave);
    Command1
            = makeButton(this, QStringLiteral("Command1"), tr("Command1"), layout::Form1::Command1);
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
    m_saveTicks.setInterval(50);
    connect(&m_saveTicks, &QTimer::timeout, this, &Form1::showSaveProgress);

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
    using Cause = SaveFailure::Cause;
    const QString path = QDir::toNativeSeparators(failure.path);
    QString why = failure.reason;
    switch (failure.cause) {
    case Cause::FolderNotWritable:
        return tr("The picture could not be saved in the folder %1.\nNo new file can be made in "
                  "that folder: %2")
                .arg(path, failure.reason);
    case Cause::FolderAppendOnly:
        return tr("The picture could not be saved in the folder %1.\nThat folder does not let a "
                  "file in it be replaced.")
                .arg(path);
    case Cause::NotARegularFile:
        why = tr("That path is not a regular file, so it is left as it is.");
        break;
    case Cause::ReadOnlyFile:
        why = tr("The file is read-only.");
        break;
    case Cause::ImmutableFile:
        why = tr("The file is marked immutable, so it cannot be replaced.");
        break;
    case Cause::AppendOnlyFile:
        why = tr("The file is marked append-only: it can be added to, but not replaced.");
        break;
    case Cause::FileNotWritable:
        why = tr("This account may not write to the file.");
        break;
    case Cause::Write:
    case Cause::Cancelled:
        break;
    }
    // The file named is the one that could not be written; a link given to Save leads there.
    const QString file = failure.link.isEmpty()
            ? tr("The picture could not be saved to %1.").arg(path)
            : tr("The picture could not be saved to %1, where the link %2 leads.")
                      .arg(path, QDir::toNativeSeparators(failure.link));
    return file + QLatin1Char('\n') + why;
}

// The save runs on a thread of its own (BackgroundSave). The window copies nothing: the saved
// picture shares the canvas's pixels, which stay as they are because the canvas takes no strokes
// and the settings cannot change until the save has ended.
void Form1::cmdSave_Click()
{
    guarded(this, [this] {
        if (isSaving())
            return;
        const QString path = bitmapPath();
        if (path.isEmpty()) {
            reportError(this,
                        tr("The picture could not be saved.\nThis account has no home folder to "
                           "save test.bmp in."));
            return;
        }
        m_save = new BackgroundSave(Picture1->Image(), path, this);
        connect(m_save, &BackgroundSave::finished, this, &Form1::finishSave);

        // Shown by itself once the save has taken SaveProgressDelay; window-modal, so that the
        // canvas takes no strokes and Save cannot be pressed again while it shows.
        m_saveDialog = new QProgressDialog(
                tr("Saving the picture to %1...").arg(QDir::toNativeSeparators(path)), tr("Cancel"),
                0, int(m_save->size()), this);
        m_saveDialog->setObjectName(QStringLiteral("saveProgress"));
        m_saveDialog->setWindowTitle(tr("Saving"));
        m_saveDialog->setWindowModality(Qt::WindowModal);
        m_saveDialog->setAutoReset(false);
        m_saveDialog->setAutoClose(false);
        m_saveDialog->setMinimumDuration(SaveProgressDelay);
        // Cancel (the button, Escape or closing the dialog) asks the save to stop; the dialog
        // stays until the save has answered, rather than hiding at once as it would by itself.
        QObject::disconnect(m_saveDialog, SIGNAL(canceled()), m_saveDialog, SLOT(cancel()));
        connect(m_saveDialog, &QProgressDialog::canceled, this, &Form1::cancelSave);
        m_saveDialog->setValue(0);
        m_saveTicks.start();
        m_save->start();
    });
}

void Form1::showSaveProgress()
{
    if (!m_save || m_save->progress().cancelled)
        return;
    if (m_save->progress().stage == SaveProgress::Stage::Syncing) {
        if (m_saveDialog->maximum() != 0) {
            m_saveDialog->setLabelText(tr("Waiting for the disk to store %1...")
                                               .arg(QDir::toNativeSeparators(m_save->path())));
            m_saveDialog->setRange(0, 0); // no measure of how far a sync has got
        }
        return;
    }
    // Not before the dialog has shown itself (SaveProgressDelay): a value given earlier would
    // have it guess the save's length and show at once, also for saves that end soon. Last: a
    // shown window-modal dialog handles events in setValue, which may end the save.
    if (m_saveDialog->isVisible())
        m_saveDialog->setValue(int(m_save->progress().written));
}

void Form1::cancelSave()
{
    if (!m_save || m_save->progress().cancelled)
        return;
    m_save->cancel();
    m_saveDialog->setLabelText(tr("Stopping the save..."));
    m_saveDialog->setCancelButton(nullptr);
}

void Form1::finishSave()
{
    const std::optional<SaveFailure> outcome = m_save->outcome();
    m_saveTicks.stop();
    m_save->deleteLater();
    m_save = nullptr;
    // Hidden rather than closed (closing would cancel), and deleted once whatever of it is
    // running (an update from showSaveProgress) has returned.
    m_saveDialog->disconnect(this);
    m_saveDialog->hide();
    m_saveDialog->deleteLater();
    m_saveDialog = nullptr;
    if (outcome && outcome->cause != SaveFailure::Cause::Cancelled)
        reportError(this, saveFailureMessage(*outcome));
    emit saveEnded();
    if (m_closeWhenSaved)
        close();
}

// Closing the window during a save cancels it; the window closes once the save has stopped, so
// that no temporary file is left and the save's thread ends before the window does.
void Form1::closeEvent(QCloseEvent *event)
{
    if (!isSaving())
        return QWidget::closeEvent(event);
    m_closeWhenSaved = true;
    cancelSave();
    event->ignore();
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
        if (isSaving()) // no stroke; one held on afterwards starts here
            setAnchorFromPress(m_anchor, at, Picture1->size(), m_grid);
        else if (const auto set = tileSetFor(buttons))
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
        if (isSaving()) // no stroke; one held on afterwards starts here
            setAnchorFromPress(m_anchor, to, Picture1->size(), m_grid);
        else if (const auto set = tileSetFor(buttons))
            walkStroke(*set, mapPointer(from, Picture1->size(), m_grid), here, m_anchor, m_grid,
                       *this);
        updateCursorAndReadouts(here, m_grid, *this);
        tellSquareUnderPointer(here);
    });
}

void Form1::resizeEvent(QResizeEvent *)
{
    // The canvas's corner stays put; the scrolling area takes the rest of the window.
    const QPoint corner = layout::Form1::Picture1.topLeft();
    m_canvasView->resize(size() - QSize(corner.x(), corner.y()));
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
