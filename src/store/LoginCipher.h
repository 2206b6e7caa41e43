#pragma once

#include <QByteArray>
#include <optional>

namespace korvane {

/**
 * Enciphers a login name or password for the login details file: the text and a closing zero byte,
 * zero-padded to whole 8-byte blocks, each block enciphered on its own, as lowercase hexadecimal.
 */
QByteArray encipherLoginText(const QByteArray& text);

/**
 * Recovers the text from its stored form. A digit count that is not a positive multiple of 16
 * (an empty stored text included) is malformed and gives std::nullopt, which matches nothing;
 * any character other than "0"-"9" or "a"-"f" (capitals too) gives the empty text.
 */
std::optional<QByteArray> decipherLoginText(const QByteArray& hex);

/** Tells whether a stored enciphered text holds exactly the typed text, byte for byte. */
bool loginTextMatches(const QByteArray& stored, const QByteArray& typed);

} // namespace korvane
