// The settings dialog: squares across, squares down and pixels per square. It shows the current
// settings; "OK" checks the three entries and, when all pass, closes the dialog accepted with
// the new settings, which the main window then applies. Entries that fail a check are ignored
// without a word. "Cancel", or closing the window, rejects it.
#pragma once

#include "model/grid.h"

#include <QDialog>

#include <array>

class QLabel;
class QLineEdit;
class QPushButton;

class Form2 : public QDialog
{
    Q_OBJECT
public:
    explicit Form2(const Settings &current);

    // The accepted settings, once the dialog has been accepted; the current ones before.
    Settings settings() const { return m_settings; }

    // The hints beside the three text boxes ("3 to 100", "3 to 100", "8 to 96").
    static std::array<QString, 3> hints();

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    void Form_Load();
    void Command1_Click();
    void Command2_Click();

    Settings m_settings;

    QLineEdit *txtSizeX;
    QLineEdit *txtSizeY;
    QLineEdit *txtPixel;
    QLabel *Label1;
    QLabel *Label2;
    QLabel *Label3;
    std::array<QLabel *, 3> Label4;
    QPushButton *Command1;
    QPushButton *Command2;
};
