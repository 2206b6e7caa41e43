#include "ui/ReadOnlyFieldAccessible.h"

#include <QLineEdit>

namespace korvane {

ReadOnlyFieldAccessible::ReadOnlyFieldAccessible(QLineEdit* edit)
    : QAccessibleWidget(edit, QAccessible::EditableText)
{
}

QLineEdit* ReadOnlyFieldAccessible::edit() const
{
    return static_cast<QLineEdit*>(widget());
}

QString ReadOnlyFieldAccessible::text(QAccessible::Text t) const
{
    if (t == QAccessible::Value)
        return edit()->text();
    return QAccessibleWidget::text(t);
}

QAccessible::State ReadOnlyFieldAccessible::state() const
{
    QAccessible::State state = QAccessibleWidget::state();
    state.readOnly = true;
    state.editable = false;
    state.selectableText = true;
    return state;
}

void* ReadOnlyFieldAccessible::interface_cast(QAccessible::InterfaceType type)
{
    if (type == QAccessible::TextInterface)
        return static_cast<QAccessibleTextInterface*>(this);
    return QAccessibleWidget::interface_cast(type);
}

QString ReadOnlyFieldAccessible::text(int startOffset, int endOffset) const
{
    return edit()->text().mid(startOffset, endOffset - startOffset);
}

int ReadOnlyFieldAccessible::characterCount() const
{
    return int(edit()->text().size());
}

int ReadOnlyFieldAccessible::cursorPosition() const
{
    return edit()->cursorPosition();
}

void ReadOnlyFieldAccessible::setCursorPosition(int position)
{
    edit()->setCursorPosition(position);
}

int ReadOnlyFieldAccessible::selectionCount() const
{
    return edit()->hasSelectedText() ? 1 : 0;
}

void ReadOnlyFieldAccessible::selection(int selectionIndex, int* startOffset, int* endOffset) const
{
    *startOffset = *endOffset = 0;
    if (selectionIndex == 0 && edit()->hasSelectedText()) {
        *startOffset = edit()->selectionStart();
        *endOffset = edit()->selectionEnd();
    }
}

void ReadOnlyFieldAccessible::addSelection(int startOffset, int endOffset)
{
    setSelection(0, startOffset, endOffset);
}

void ReadOnlyFieldAccessible::removeSelection(int selectionIndex)
{
    if (selectionIndex == 0)
        edit()->deselect();
}

void ReadOnlyFieldAccessible::setSelection(int selectionIndex, int startOffset, int endOffset)
{
    if (selectionIndex == 0)
        edit()->setSelection(startOffset, endOffset - startOffset);
}

QRect ReadOnlyFieldAccessible::characterRect(int offset) const
{
    // The line edit keeps its glyph positions to itself: the whole field stands for each character.
    Q_UNUSED(offset);
    return rect();
}

int ReadOnlyFieldAccessible::offsetAtPoint(const QPoint& point) const
{
    return edit()->cursorPositionAt(edit()->mapFromGlobal(point));
}

void ReadOnlyFieldAccessible::scrollToSubstring(int startIndex, int endIndex)
{
    Q_UNUSED(endIndex);
    edit()->setCursorPosition(startIndex);
}

QString ReadOnlyFieldAccessible::attributes(int offset, int* startOffset, int* endOffset) const
{
    *startOffset = *endOffset = offset;
    return {};
}

} // namespace korvane
