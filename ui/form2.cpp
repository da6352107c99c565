#include "ui/form2.h"

#include "ui/control.h"
#include "ui/editorfont.h"
#include "ui/errorreport.h"
#include "ui/layout.h"

#include "input/numbertext.h"

#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace {

// The pixel hint reads "8 to 96" while the check accepts 7 (Settings::PixelsPerSquareRange): the
// hint was designed so. It is not a slip to mend.
constexpr int PixelsPerSquareHintLow = 8;

} // namespace

Form2::Form2(const Settings &current)
    : m_settings(current)
{
    setObjectName(QStringLiteral("Form2"));
    setWindowTitle(tr("Form2"));
    setFont(editorFont());
    setFixedSize(layout::Form2::client);
    setSizeGripEnabled(false);

    // Created in tab order; labels take no focus.
    txtSizeX = makeControl<QLineEdit>(this, QStringLiteral("txtSizeX"), QStringLiteral("10"),
                                      layout::Form2::txtSizeX);
    Label1 = makeControl<QLabel>(this, captions::Form2::Label1, layout::Form2::Label1);
    Label2 = makeControl<QLabel>(this, captions::Form2::Label2, layout::Form2::Label2);
    txtSizeY = makeControl<QLineEdit>(this, QStringLiteral("txtSizeY"), QStringLiteral("10"),
                                      layout::Form2::txtSizeY);
    txtPixel = makeControl<QLineEdit>(this, QStringLiteral("txtPixel"), QStringLiteral("32"),
                                      layout::Form2::txtPixel);
    Label3 = makeControl<QLabel>(this, captions::Form2::Label3, layout::Form2::Label3);
    Command1 = makeControl<QPushButton>(this, captions::Form2::Command1, layout::Form2::Command1);
    Command2 = makeControl<QPushButton>(this, captions::Form2::Command2, layout::Form2::Command2);
    const std::array<QString, 3> hintTexts = hints();
    constexpr QRect hintPlaces[]
            = { layout::Form2::Label4_0, layout::Form2::Label4_1, layout::Form2::Label4_2 };
    for (int i = 0; i < 3; ++i) {
        Label4[std::size_t(i)] = makeControl<QLabel>(this, QStringLiteral("Label4_%1").arg(i),
                                                     hintTexts[std::size_t(i)], hintPlaces[i]);
        Label4[std::size_t(i)]->setFont(hintFont());
    }
    // A box's hint describes it, so a screen reader says the range as the box is reached.
    txtSizeX->setAccessibleDescription(hintTexts[0]);
    txtSizeY->setAccessibleDescription(hintTexts[1]);
    txtPixel->setAccessibleDescription(hintTexts[2]);

    // Each caption names its text box for assistive tools. The captions have no mnemonic, so
    // the dialog takes no new key.
    Label1->setBuddy(txtSizeX);
    Label2->setBuddy(txtSizeY);
    Label3->setBuddy(txtPixel);

    // "Square Size X:" reaches under its text box; the boxes lie on top.
    txtSizeX->raise();
    txtSizeY->raise();
    txtPixel->raise();

    setTabOrder(txtSizeX, txtSizeY);
    setTabOrder(txtSizeY, txtPixel);
    setTabOrder(txtPixel, Command1);
    setTabOrder(Command1, Command2);
    Command1->setDefault(true);

    connect(Command1, &QPushButton::clicked, this, &Form2::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &Form2::Command2_Click);

    Form_Load();
    txtSizeX->setFocus();
}

void Form2::Form_Load()
{
    if (m_settings.PixelsPerSquare == 0)
        return;
    txtSizeX->setText(QString::number(m_settings.SizeX));
    txtSizeY->setText(QString::number(m_settings.SizeY));
    txtPixel->setText(QString::number(m_settings.PixelsPerSquare));
}

std::array<QString, 3> Form2::hints()
{
    const QString size = tr("%1 to %2").arg(Settings::SizeRange.low).arg(Settings::SizeRange.high);
    return { size, size,
             tr("%1 to %2").arg(PixelsPerSquareHintLow).arg(Settings::PixelsPerSquareRange.high) };
}

void Form2::Command1_Click()
{
    guarded(this, [this] {
        // Each entry is read once, and all three are read before any is used; entries that fail
        // are ignored without a word.
        const std::optional<double> x = parseNumberText(txtSizeX->text());
        const std::optional<double> y = parseNumberText(txtSizeY->text());
        const std::optional<double> pixels = parseNumberText(txtPixel->text());
        if (!x || !y || !pixels)
            return;
        if (!Settings::SizeRange.contains(*x) || !Settings::SizeRange.contains(*y)
            || !Settings::PixelsPerSquareRange.contains(*pixels))
            return;
        // In range, the 16-bit conversions cannot fail.
        m_settings.SizeX = *toInt16(*x);
        m_settings.SizeY = *toInt16(*y);
        m_settings.PixelsPerSquare = *toInt16(*pixels);
        accept();
    });
}

void Form2::Command2_Click()
{
    reject();
}

void Form2::keyPressEvent(QKeyEvent *event)
{
    // No button is the cancel button: Escape does nothing.
    if (event->key() == Qt::Key_Escape) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}
