#pragma once

#include <QByteArray>

class QLineEdit;
class QPlainTextEdit;

namespace korvane {

/**
 * Shows stored text bytes in an edit and gives them back unchanged when the user left the shown
 * text alone, so fields that were only looked at are written back byte for byte.
 */
namespace KeptText {

/** Shows the bytes in the line edit (never cut) and remembers them. */
void show(QLineEdit* edit, const QByteArray& bytes);
/** The remembered bytes when the shown text is unchanged, otherwise the typed text as stored bytes. */
QByteArray take(const QLineEdit* edit);

/** Shows the bytes in the multi-line edit and remembers them. */
void show(QPlainTextEdit* edit, const QByteArray& bytes);
/** The remembered bytes when the shown text is unchanged, otherwise the typed text as stored bytes. */
QByteArray take(const QPlainTextEdit* edit);

} // namespace KeptText

} // namespace korvane
