#pragma once

#include "editors/EditorOutcome.h"
#include "records/DateTime.h"

#include <QDate>
#include <QString>
#include <optional>

class QComboBox;
class QDateEdit;
class QDialog;
class QWidget;

namespace korvane {

class NumericEdit;

/**
 * What the income/expense and invoice dialogs share: their task name box, date format, how the
 * net amount follows the amount and tax fields, and how a dialog run turns into an editor outcome.
 */
namespace MoneyFields {

/** An editable combination box that takes any text, however long, and adds nothing to its list. */
QComboBox* editableCombo(QWidget* parent, const char* objectName, const QString& accessibleName);

/** Shows a text in an editable combination box, selecting the list entry that matches it exactly. */
void showComboText(QComboBox* combo, const QString& text);

/** The locale's short date, but always with four year digits so any year can be typed. */
QString shortDateFormat();

/** True when the net amount is computed again: on Add, or once either field has been typed into. */
bool netChanged(const NumericEdit* amount, const NumericEdit* tax, bool adding);

/**
 * The net amount to show: the stored one while the fields still show a stored record's values,
 * otherwise computed from the fields; nothing while either field holds no number.
 */
std::optional<double> shownNet(const NumericEdit* amount, const NumericEdit* tax, bool adding, double storedNet);

/** The number in the field; when it holds none, says so naming the field, selects it and gives nothing. */
std::optional<double> numberOf(NumericEdit* edit, const QString& field, QWidget* parent);

/**
 * The stored moment while the picker still shows the day shown at opening; otherwise the picked
 * day at the stored time of day (midnight when nothing usable was stored).
 */
DateTime takeDate(const QDateEdit* edit, QDate shown, const DateTime& stored);

/** Runs the dialog; finished with the identifier read once it closed when the user pressed OK. */
EditorOutcome run(QDialog& dialog, const QByteArray& storedIdentifier);

} // namespace MoneyFields

} // namespace korvane
