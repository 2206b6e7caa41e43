#include "editors/MoneyFields.h"
#include "edits/InvoiceRules.h"

#include "editors/NumericEdit.h"
#include "editors/PageLayout.h"
#include "ui/UserDialogs.h"

#include <QComboBox>
#include <QDateEdit>
#include <QDialog>
#include <QLineEdit>
#include <QLocale>
#include <limits>

namespace korvane::MoneyFields {

QComboBox* editableCombo(QWidget* parent, const char* objectName, const QString& accessibleName)
{
    auto* combo = PageLayout::named(new QComboBox(parent), objectName, accessibleName);
    combo->setEditable(true);
    combo->setInsertPolicy(QComboBox::NoInsert);
    combo->lineEdit()->setMaxLength(std::numeric_limits<int>::max());
    return combo;
}

void showComboText(QComboBox* combo, const QString& text)
{
    const int index = combo->findText(text, Qt::MatchExactly | Qt::MatchCaseSensitive);
    combo->setCurrentIndex(index);
    if (index < 0)
        combo->setEditText(text);
}

QString shortDateFormat()
{
    QString format = QLocale().dateFormat(QLocale::ShortFormat);
    if (!format.contains(QStringLiteral("yyyy")))
        format.replace(QStringLiteral("yy"), QStringLiteral("yyyy"));
    return format;
}

bool netChanged(const NumericEdit* amount, const NumericEdit* tax, bool adding)
{
    return adding || !amount->isUnchanged() || !tax->isUnchanged();
}

std::optional<double> shownNet(const NumericEdit* amount, const NumericEdit* tax, bool adding, double storedNet)
{
    const std::optional<double> amountValue = amount->value();
    const std::optional<double> taxValue = tax->value();
    if (!amountValue || !taxValue)
        return std::nullopt;
    return netChanged(amount, tax, adding) ? InvoiceRules::netAmount(*amountValue, *taxValue) : storedNet;
}

std::optional<double> numberOf(NumericEdit* edit, const QString& field, QWidget* parent)
{
    const std::optional<double> number = edit->value();
    if (!number) {
        UserDialogs::message(parent,
                             QStringLiteral("The %1 field does not hold a number.\nPlease enter a number, "
                                            "for example 1250.50.")
                                 .arg(field),
                             UserDialogs::Icon::Warning);
        edit->setFocus(Qt::OtherFocusReason);
        edit->selectAll();
    }
    return number;
}

DateTime takeDate(const QDateEdit* edit, QDate shown, const DateTime& stored)
{
    if (edit->date() == shown)
        return stored;
    const QDateTime before = stored.toQDateTime();
    return DateTime::fromQDateTime(QDateTime(edit->date(), before.isValid() ? before.time() : QTime(0, 0)));
}

EditorOutcome run(QDialog& dialog, const QByteArray& storedIdentifier)
{
    EditorOutcome outcome;
    outcome.finished = UserDialogs::exec(dialog) == QDialog::Accepted;
    if (outcome.finished)
        outcome.identifier = storedIdentifier;
    return outcome;
}

} // namespace korvane::MoneyFields
