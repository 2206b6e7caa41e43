#pragma once

#include <QPixmap>

class QWizard;

namespace korvane {

/** The pictures every Korvane wizard shows: a tall watermark, a header banner and a small logo. */
namespace WizardPictures {

/** The tall picture on the left of pages without a header (164 x 400). */
QPixmap watermark();

/** The header background of pages with a title (640 x 60, the width the sheets open with). */
QPixmap banner();

/** The small mark at the right of the header (48 x 48). */
QPixmap logo();

/** Puts the wizard in the modern style, gives it the three pictures and names its buttons alike. */
void apply(QWizard& wizard);

} // namespace WizardPictures

} // namespace korvane
