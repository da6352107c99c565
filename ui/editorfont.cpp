#include "editorfont.h"

QFont editorFont()
{
    QFont font(QString::fromLatin1(EditorFontFamily));
    font.setPixelSize(EditorFontPixels);
    return font;
}

QFont hintFont()
{
    QFont font = editorFont();
    font.setWeight(QFont::Bold);
    return font;
}
