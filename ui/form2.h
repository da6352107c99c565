// The settings dialog: squares across, squares down and pixels per square. "OK" checks the three
// entries, stores them, closes the dialog and sets the main window up for the new grid; entries
// that fail a check are ignored without a word. "Cancel", or closing the window, changes nothing.
#pragma once

#include <settings.h>

#include <QDialog>

#include <array>

class Form1;
class QLabel;
class QLineEdit;
class QPushButton;

class Form2 : public QDialog
{
    Q_OBJECT
public:
    static constexpr QSize ClientSize { 385, 285 };

    Form2(Settings &settings, Form1 &mainWindow);

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    void Form_Load();
    void Command1_Click();
    void Command2_Click();

    Settings &m_settings;
    Form1 &m_mainWindow;

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
