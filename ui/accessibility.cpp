#include "ui/accessibility.h"

#include "ui/picturebox.h"

#include <QAccessibleWidget>
#include <QLineEdit>

namespace {

// A one-line text box, read and edited through AT-SPI's text interfaces. It stands in for Qt's
// own (Qt 6.4) in two places: that one reports every character as a text-attribute run of no
// length, so that Orca reads "10" as "1", and asked for the word at the very end of the text it
// searches for the next boundary for ever (its search for a sentence is the same one).
// Everything is answered through QLineEdit's public API, over the text as shown.
class LineEditAccessible : public QAccessibleWidget,
                           public QAccessibleTextInterface,
                           public QAccessibleEditableTextInterface
{
public:
    explicit LineEditAccessible(QLineEdit *edit)
        : QAccessibleWidget(edit, QAccessible::EditableText)
    { }

    QString text(QAccessible::Text t) const override
    {
        return t == QAccessible::Value ? shown() : QAccessibleWidget::text(t);
    }

    void setText(QAccessible::Text t, const QString &text) override
    {
        if (t == QAccessible::Value)
            edit()->setText(text);
        else
            QAccessibleWidget::setText(t, text);
    }

    QAccessible::State state() const override
    {
        QAccessible::State state = QAccessibleWidget::state();
        state.editable = !edit()->isReadOnly();
        state.readOnly = edit()->isReadOnly();
        state.selectableText = true;
        return state;
    }

    void *interface_cast(QAccessible::InterfaceType type) override
    {
        if (type == QAccessible::TextInterface)
            return static_cast<QAccessibleTextInterface *>(this);
        if (type == QAccessible::EditableTextInterface)
            return static_cast<QAccessibleEditableTextInterface *>(this);
        return QAccessibleWidget::interface_cast(type);
    }

    // QAccessibleTextInterface
    void selection(int index, int *start, int *end) const override
    {
        *start = *end = 0;
        if (index == 0 && edit()->hasSelectedText()) {
            *start = edit()->selectionStart();
            *end = edit()->selectionEnd();
        }
    }
    int selectionCount() const override { return edit()->hasSelectedText() ? 1 : 0; }
    void addSelection(int start, int end) override { setSelection(0, start, end); }
    void removeSelection(int index) override
    {
        if (index == 0)
            edit()->deselect();
    }
    void setSelection(int index, int start, int end) override
    {
        if (index == 0)
            edit()->setSelection(start, end - start);
    }
    int cursorPosition() const override { return edit()->cursorPosition(); }
    void setCursorPosition(int position) override { edit()->setCursorPosition(position); }
    QString text(int start, int end) const override { return shown().mid(start, end - start); }
    int characterCount() const override { return int(shown().size()); }

    QString textBeforeOffset(int offset, QAccessible::TextBoundaryType boundary, int *start,
                             int *end) const override
    {
        return QAccessibleTextInterface::textBeforeOffset(inText(offset, boundary), boundary, start,
                                                          end);
    }
    QString textAfterOffset(int offset, QAccessible::TextBoundaryType boundary, int *start,
                            int *end) const override
    {
        return QAccessibleTextInterface::textAfterOffset(inText(offset, boundary), boundary, start,
                                                         end);
    }
    QString textAtOffset(int offset, QAccessible::TextBoundaryType boundary, int *start,
                         int *end) const override
    {
        return QAccessibleTextInterface::textAtOffset(inText(offset, boundary), boundary, start,
                                                      end);
    }

    QRect characterRect(int offset) const override
    {
        const QString character = text(offset, offset + 1);
        if (character.isEmpty())
            return {};
        // From the text cursor, which the box places itself, by the advance of the text between.
        const QFontMetrics metrics(edit()->font());
        const QRect cursor = edit()->inputMethodQuery(Qt::ImCursorRectangle).toRect();
        const int x = cursor.x() + metrics.horizontalAdvance(shown().left(offset))
                - metrics.horizontalAdvance(shown().left(edit()->cursorPosition()));
        const QRect rect(x, cursor.y(), metrics.horizontalAdvance(character), cursor.height());
        return rect.translated(edit()->mapToGlobal(QPoint(0, 0)));
    }
    int offsetAtPoint(const QPoint &point) const override
    {
        return edit()->cursorPositionAt(edit()->mapFromGlobal(point));
    }
    void scrollToSubstring(int start, int end) override
    {
        edit()->setCursorPosition(end);
        edit()->setCursorPosition(start);
    }
    // The text has one format throughout: one run, the whole text.
    QString attributes(int offset, int *start, int *end) const override
    {
        *start = 0;
        *end = characterCount();
        if (offset < 0 || offset > *end)
            *start = *end = -1;
        return {};
    }

    // QAccessibleEditableTextInterface
    void deleteText(int start, int end) override
    {
        edit()->setText(edit()->text().remove(start, end - start));
    }
    void insertText(int offset, const QString &text) override
    {
        edit()->setText(edit()->text().insert(offset, text));
    }
    void replaceText(int start, int end, const QString &text) override
    {
        edit()->setText(edit()->text().replace(start, end - start, text));
    }

private:
    QLineEdit *edit() const { return static_cast<QLineEdit *>(widget()); }
    QString shown() const { return edit()->displayText(); }

    // -2 is the cursor, -1 the end. Qt's own search for a word or sentence boundary does not
    // return from the end of the text, so there the last character is asked for, whose word or
    // sentence ends there.
    int inText(int offset, QAccessible::TextBoundaryType boundary) const
    {
        if (offset == -2)
            offset = cursorPosition();
        const int length = characterCount();
        const bool searched = boundary == QAccessible::WordBoundary
                || boundary == QAccessible::SentenceBoundary;
        if (searched && length > 0 && (offset == -1 || offset == length))
            return length - 1;
        return offset;
    }
};

// The read-out of the square under the pointer, as the canvas's one child: it labels the
// canvas. Nothing on screen is it (the labels above the canvas show it in two parts).
class ReadoutAccessible : public QAccessibleInterface
{
public:
    explicit ReadoutAccessible(QAccessibleInterface *canvas)
        : m_canvas(canvas)
    { }

    bool isValid() const override { return m_canvas->isValid(); }
    QObject *object() const override { return nullptr; }
    QWindow *window() const override { return m_canvas->window(); }
    QList<QPair<QAccessibleInterface *, QAccessible::Relation>>
    relations(QAccessible::Relation) const override
    {
        return {};
    }
    QAccessibleInterface *focusChild() const override { return nullptr; }
    QAccessibleInterface *childAt(int, int) const override { return nullptr; }
    QAccessibleInterface *parent() const override { return m_canvas; }
    QAccessibleInterface *child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface *) const override { return -1; }
    QString text(QAccessible::Text t) const override
    {
        return t == QAccessible::Name ? canvas()->readout().text : QString();
    }
    void setText(QAccessible::Text, const QString &) override { }
    QRect rect() const override { return {}; }
    QAccessible::Role role() const override { return QAccessible::StaticText; }
    QAccessible::State state() const override
    {
        QAccessible::State state;
        state.invisible = true;
        return state;
    }

private:
    const PictureBox *canvas() const { return static_cast<const PictureBox *>(m_canvas->object()); }

    QAccessibleInterface *m_canvas;
};

// The canvas, as a canvas. The square under the pointer is its value (the square's index) and
// its read-out labels it: Orca presents a value change of the focused object by saying its
// label, name and role. (Qt 6.4 sends a changed name or description without the new text,
// which Orca then cannot say.)
class CanvasAccessible : public QAccessibleWidget, public QAccessibleValueInterface
{
public:
    explicit CanvasAccessible(PictureBox *canvas)
        : QAccessibleWidget(canvas, QAccessible::Canvas)
        , m_readout(new ReadoutAccessible(this))
    {
        QAccessible::registerAccessibleInterface(m_readout);
    }
    ~CanvasAccessible() override
    {
        QAccessible::deleteAccessibleInterface(QAccessible::uniqueId(m_readout));
    }

    void *interface_cast(QAccessible::InterfaceType type) override
    {
        if (type == QAccessible::ValueInterface)
            return static_cast<QAccessibleValueInterface *>(this);
        return QAccessibleWidget::interface_cast(type);
    }

    int childCount() const override { return 1; }
    QAccessibleInterface *child(int index) const override
    {
        return index == 0 ? m_readout : nullptr;
    }
    int indexOfChild(const QAccessibleInterface *child) const override
    {
        return child == m_readout ? 0 : -1;
    }
    QList<QPair<QAccessibleInterface *, QAccessible::Relation>>
    relations(QAccessible::Relation match) const override
    {
        auto found = QAccessibleWidget::relations(match);
        if (match & QAccessible::Label && !canvas()->readout().text.isEmpty())
            found.prepend({ m_readout, QAccessible::Label });
        return found;
    }

    // QAccessibleValueInterface: the pointer sets the value, nothing else.
    QVariant currentValue() const override { return canvas()->readout().index; }
    void setCurrentValue(const QVariant &) override { }
    QVariant maximumValue() const override { return canvas()->readout().last; }
    QVariant minimumValue() const override { return 0; }
    QVariant minimumStepSize() const override { return 1; }

private:
    PictureBox *canvas() const { return static_cast<PictureBox *>(widget()); }

    QAccessibleInterface *m_readout;
};

QAccessibleInterface *passagesInterface(const QString &className, QObject *object)
{
    auto *widget = qobject_cast<QWidget *>(object);
    if (className == QLatin1String("Form1"))
        return new QAccessibleWidget(widget, QAccessible::Window);
    if (className == QLatin1String("PictureBox"))
        return new CanvasAccessible(static_cast<PictureBox *>(widget));
    if (className == QLatin1String("QLineEdit"))
        return new LineEditAccessible(static_cast<QLineEdit *>(widget));
    return nullptr;
}

} // namespace

void installAccessibleInterfaces()
{
    QAccessible::installFactory(passagesInterface);
}
