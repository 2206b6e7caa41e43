#pragma once

#include <QByteArray>
#include <QString>

namespace korvane {

/**
 * Turns stored text bytes into display text: UTF-8 when the bytes are valid UTF-8, otherwise
 * Windows-1252, so folders written by the Windows program show their accented letters.
 */
QString displayText(const QByteArray& bytes);

/** The bytes Korvane stores for a text typed by the user (UTF-8). */
inline QByteArray storedText(const QString& text)
{
    return text.toUtf8();
}

/** True when the bytes form valid UTF-8. */
bool isValidUtf8(const QByteArray& bytes);

} // namespace korvane
