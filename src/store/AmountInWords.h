#pragma once

#include <QByteArray>

namespace korvane {

/**
 * Writes the whole part of an invoice amount in English words, each word with one blank on
 * either side (" One  Thousand  Two  Hundred  and  Thirty  Four "); empty for amounts below 1.
 */
QByteArray amountInWords(double value);

} // namespace korvane
