#include "editors/NumericEdit.h"

#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLocale>
#include <algorithm>
#include <cmath>

namespace korvane {

NumericEdit::NumericEdit(QWidget* parent)
    : QLineEdit(parent)
{
    setAlignment(Qt::AlignRight | Qt::AlignVCenter);
}

bool NumericEdit::isAcceptedCharacter(QChar character)
{
    const char16_t c = character.unicode();
    // Backspace and form feed (12) are the control codes the edit has always let through.
    return (c >= u'0' && c <= u'9') || c == u'.' || c == u'#' || c == u'$' || c == u'%' || c == u'\'' ||
           c == 8 || c == 12;
}

void NumericEdit::setValue(double value)
{
    setText(QString::number(value, 'f', QLocale::FloatingPointShortest));
    m_shownValue = value;
    m_shownText = text();
    m_hasShownValue = true;
}

bool NumericEdit::isUnchanged() const
{
    return m_hasShownValue && text() == m_shownText;
}

std::optional<double> NumericEdit::value() const
{
    // An untouched stored number is kept exactly, even one that its text could not carry.
    if (isUnchanged())
        return m_shownValue;
    bool ok = false;
    const double number = text().toDouble(&ok);
    if (!ok || !std::isfinite(number))
        return std::nullopt;
    return number;
}

bool NumericEdit::acceptsTyped(const QString& typed) const
{
    qsizetype points = 0;
    for (const QChar character : typed) {
        if (!isAcceptedCharacter(character))
            return false;
        if (character == u'.')
            ++points;
    }
    if (points == 0)
        return true;
    // A "." that replaces the selected "." is no second one.
    QString remaining = text();
    if (hasSelectedText())
        remaining.remove(selectionStart(), selectedText().size());
    return points == 1 && !remaining.contains(u'.');
}

void NumericEdit::keyPressEvent(QKeyEvent* event)
{
    const QString typed = event->text();
    const bool command = event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier);
    // Control codes (Return, Escape, Ctrl+V and the like) keep their usual meaning; only printable
    // text is checked.
    const bool printable = !typed.isEmpty() && std::all_of(typed.begin(), typed.end(), [](QChar c) {
        return c.isPrint();
    });
    if (!command && printable && !acceptsTyped(typed)) {
        event->accept();
        return;
    }
    QLineEdit::keyPressEvent(event);
}

void NumericEdit::inputMethodEvent(QInputMethodEvent* event)
{
    if (!event->commitString().isEmpty() && !acceptsTyped(event->commitString())) {
        QInputMethodEvent filtered(event->preeditString(), event->attributes());
        QLineEdit::inputMethodEvent(&filtered);
        return;
    }
    QLineEdit::inputMethodEvent(event);
}

} // namespace korvane
