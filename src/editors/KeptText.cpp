#include "editors/KeptText.h"

#include "records/Text.h"

#include <QLineEdit>
#include <QPlainTextEdit>
#include <limits>

namespace korvane::KeptText {

namespace {

constexpr const char* kBytes = "korvaneKeptBytes";
// What the edit itself reports right after showing: edits may normalise line breaks or
// control characters, so comparing with the decoded bytes alone would see a change that is none.
constexpr const char* kShown = "korvaneKeptShown";

} // namespace

void show(QLineEdit* edit, const QByteArray& bytes)
{
    edit->setMaxLength(std::numeric_limits<int>::max());
    edit->setText(displayText(bytes));
    edit->setProperty(kBytes, bytes);
    edit->setProperty(kShown, edit->text());
}

QByteArray take(const QLineEdit* edit)
{
    const QVariant shown = edit->property(kShown);
    if (shown.isValid() && shown.toString() == edit->text())
        return edit->property(kBytes).toByteArray();
    return storedText(edit->text());
}

void show(QPlainTextEdit* edit, const QByteArray& bytes)
{
    edit->setPlainText(displayText(bytes));
    edit->setProperty(kBytes, bytes);
    edit->setProperty(kShown, edit->toPlainText());
}

QByteArray take(const QPlainTextEdit* edit)
{
    const QString text = edit->toPlainText();
    const QVariant shown = edit->property(kShown);
    if (shown.isValid() && shown.toString() == text)
        return edit->property(kBytes).toByteArray();
    return storedText(text);
}

} // namespace korvane::KeptText
