#include "form1.h"

#include "canvasview.h"
#include "editorfont.h"
#include "errorreport.h"
#include "form2.h"
#include "picturebox.h"
#include "readoutlabel.h"

#include <readouts.h>
#include <strokelinking.h>

#include <QDir>
#include <QPainter>
#include <QPushButton>
#include <QScrollBar>

namespace {

ReadoutLabel *makeLabel(QWidget *parent, const QString &name, const QRect &geometry)
{
    auto *label = new ReadoutLabel(name, parent);
    label->setObjectName(name);
    label->setGeometry(geometry);
    return label;
}

QPushButton *makeButton(QWidget *parent, const QString &name, const QString &caption,
                        const QRect &geometry)
{
    auto *button = new QPushButton(caption, parent);
    button->setObjectName(name);
    button->setGeometry(geometry);
    button->setAutoDefault(false);
    return button;
}

} // namespace

Form1::Form1(Settings &settings, QWidget *parent)
    : QWidget(parent)
    , m_settings(settings)
    , PictureClip1 { PictureClip::fromFile(QStringLiteral(":/tiles/tileset0.bmp")),
                     PictureClip::fromFile(QStringLiteral(":/tiles/tileset1.bmp")) }
{
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("Form1"));
    setFont(editorFont());
    resize(ClientSize);

    Picture1 = new PictureBox;
    m_canvasView = new CanvasView(Picture1, this);
    m_canvasView->setGeometry(QRect(CanvasCorner, ClientSize - QSize(CanvasCorner.x(), CanvasCorner.y())));
    // The line around the canvas moves with it.
    connect(m_canvasView->horizontalScrollBar(), &QScrollBar::valueChanged, this,
            qOverload<>(&QWidget::update));
    connect(m_canvasView->verticalScrollBar(), &QScrollBar::valueChanged, this,
            qOverload<>(&QWidget::update));
    Label1 = makeLabel(this, QStringLiteral("Label1"), QRect(32, 8, 105, 17));
    Label2 = makeLabel(this, QStringLiteral("Label2"), QRect(128, 8, 121, 17));
    Label4 = makeLabel(this, QStringLiteral("Label4"), QRect(256, 8, 89, 17));
    cmdSave = makeButton(this, QStringLiteral("cmdSave"), QStringLiteral("Save"),
                         QRect(560, 408, 113, 33));
    Command1 = makeButton(this, QStringLiteral("Command1"), QStringLiteral("Command1"),
                          QRect(560, 448, 113, 33));
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

    Form_Load();
}

void Form1::Form_Load() { }

void Form1::Command1_Click()
{
    guarded(this, [this] {
        Form2 dialog(m_settings);
        if (dialog.exec() != QDialog::Accepted)
            return;
        const Settings previous = std::exchange(m_settings, dialog.settings());
        show();
        if (!Sub_Draw()) {
            m_settings = previous;
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

bool Form1::Sub_Draw()
{
    // Everything that can fail comes first, so a failure leaves the editor as it was.
    SquareData resized = m_squareData;
    Sub_ResizeSquareData(resized, m_settings);
    if (!Picture1->setCanvasSize(canvasSizeFor(m_settings)))
        return false;
    m_squareData = std::move(resized);
    // A button may still be held from before the dialog: its stroke goes on inside the new grid.
    holdAnchorToGrid(m_anchor, m_settings);
    // The frame around the canvas follows its new size.
    update();
    return true;
}

void Form1::Picture1_MouseDown(std::int16_t, std::int16_t, float x, float y)
{
    guarded(this, [&] {
        if (!m_settings.isSetUp())
            return;
        setAnchorFromPress(m_anchor, x, y, Picture1->ScaleWidth(), Picture1->ScaleHeight(),
                           m_settings.PixelsPerSquare);
    });
}

void Form1::Picture1_MouseMove(std::int16_t button, std::int16_t, float x, float y)
{
    guarded(this, [&] {
        if (!m_settings.isSetUp())
            return;
        const PointerSquare here
                = mapPointer(x, y, Picture1->ScaleWidth(), Picture1->ScaleHeight(), m_settings);
        linkStroke(button, here, m_settings, m_anchor, m_squareData, *this);
        updateCursorAndReadouts(here, m_settings, m_squareData, *this);
    });
}

void Form1::resizeEvent(QResizeEvent *)
{
    // The canvas's corner stays put; the scrolling area takes the rest of the window.
    m_canvasView->resize(size() - QSize(CanvasCorner.x(), CanvasCorner.y()));
}

void Form1::paintEvent(QPaintEvent *)
{
    // A thin line around the visible part of the borderless canvas sets it apart from the
    // window.
    const QRect canvas(Picture1->mapTo(this, QPoint()), Picture1->size());
    QPainter painter(this);
    painter.setPen(palette().color(QPalette::Dark));
    painter.drawRect(canvas.intersected(m_canvasView->geometry()).adjusted(-1, -1, 0, 0));
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

CursorFrame Form1::cursorFrame() const
{
    return Picture1->Shape1();
}

void Form1::setCursorFrame(const CursorFrame &frame)
{
    Picture1->setShape1(frame);
}

void Form1::Sub_DrawSquare(float x, float y, std::int16_t mode)
{
    ::Sub_DrawSquare(*Picture1, PictureClip1, m_squareData, m_settings, x, y, mode);
}
