#pragma once

class QHBoxLayout;
class QPushButton;

namespace korvane {

/**
 * Names the OK and Cancel buttons of a login dialog ("okButton", "cancelButton"), makes OK the
 * button Enter presses, and lines both up on the right of a row for the dialog's layout.
 */
QHBoxLayout* okCancelRow(QPushButton* ok, QPushButton* cancel);

} // namespace korvane
