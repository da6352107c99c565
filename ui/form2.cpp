#include "form2.h"

#include "editorfont.h"
#include "errorreport.h"
#include "numbertext.h"

#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace {

QLineEdit *makeTextBox(QWidget *parent, const QString &name, const QString &text,
                       const QRect &geometry)
{
    auto *box = new QLineEdit(text, parent);
    box->setObjectName(name);
    box->setGeometry(geometry);
    return box;
}

QLabel *makeLabel(QWidget *parent, const QString &name, const QString &caption,
                  const QRect &geometry)
{
    auto *label = new QLabel(caption, parent);
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
    return button;
}

bool inRange(double value, double low, double high)
{
    return value >= low && value <= high;
}

} // namespace

Form2::Form2(const Settings &current)
    : m_settings(current)
{
    setObjectName(QStringLiteral("Form2"));
    setWindowTitle(QStringLiteral("Form2"));
    setFont(editorFont());
    setFixedSize(ClientSize);
    setSizeGripEnabled(false);

    // Created in tab order; labels take no focus.
    txtSizeX = makeTextBox(this, QStringLiteral("txtSizeX"), QStringLiteral("10"),
                           QRect(112, 16, 105, 19));
    Label1 = makeLabel(this, QStringLiteral("Label1"), QStringLiteral("Square Size X:"),
                       QRect(16, 16, 121, 17));
    Label2 = makeLabel(this, QStringLiteral("Label2"), QStringLiteral("Square Size Y:"),
                       QRect(16, 40, 81, 17));
    txtSizeY = makeTextBox(this, QStringLiteral("txtSizeY"), QStringLiteral("10"),
                           QRect(112, 40, 105, 19));
    txtPixel = makeTextBox(this, QStringLiteral("txtPixel"), QStringLiteral("32"),
                           QRect(112, 64, 105, 21));
    Label3 = makeLabel(this, QStringLiteral("Label3"), QStringLiteral("Pixels Per Square:"),
                       QRect(16, 64, 97, 17));
    Command1 = makeButton(this, QStringLiteral("Command1"), QStringLiteral("OK"),
                          QRect(272, 248, 105, 25));
    Command2 = makeButton(this, QStringLiteral("Command2"), QStringLiteral("Cancel"),
                          QRect(176, 248, 89, 25));
    const QString hints[]
            = { QStringLiteral("3 to 100"), QStringLiteral("3 to 100"), QStringLiteral("8 to 96") };
    for (int i = 0; i < 3; ++i) {
        Label4[std::size_t(i)] = makeLabel(this, QStringLiteral("Label4_%1").arg(i), hints[i],
                                           QRect(232, 16 + 24 * i, 89, 17));
        Label4[std::size_t(i)]->setFont(hintFont());
    }

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

void Form2::Command1_Click()
{
    guarded(this, [this] {
        const QString x = txtSizeX->text();
        const QString y = txtSizeY->text();
        const QString pixels = txtPixel->text();
        // All three are tested before any is used.
        const bool numbers = isNumberText(x) & isNumberText(y) & isNumberText(pixels);
        if (!numbers)
            return;
        if (!inRange(numberTextToDouble(x), 3.0, 100.0))
            return;
        if (!inRange(numberTextToDouble(y), 3.0, 100.0))
            return;
        if (!inRange(numberTextToDouble(pixels), 7.0, 96.0))
            return;

        m_settings.SizeX = numberTextToInt16(x);
        m_settings.SizeY = numberTextToInt16(y);
        m_settings.PixelsPerSquare = numberTextToInt16(pixels);
        accept();
    });
}

void Form2::Command2_Click()
{
    reject();
}

void Form2::keyPressEvent(QKeyEvent *event)
{
    // There is no cancel button: Escape does nothing.
    if (event->key() == Qt::Key_Escape) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}
