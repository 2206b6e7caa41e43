#pragma once

#include "editors/EditorOutcome.h"
#include "records/Records.h"

#include <QDate>
#include <QDialog>
#include <QString>
#include <optional>

class QComboBox;
class QDateEdit;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QWidget;

namespace korvane {

class NumericEdit;
class RecordStore;

/**
 * The "Add Invoice" and "Modify Invoice" dialog: who bills whom for which task, the amount with
 * tax and in words, the currency, the signatory with an optional signature image, and the letter.
 */
class InvoiceDialog : public QDialog
{
    Q_OBJECT

public:
    /** Add invoice with "Mr." and "$ - US DOLLAR" preset; on OK stores it. */
    static EditorOutcome addInvoice(RecordStore& store, const QByteArray& projectId, QWidget* parent);
    /** "Modify Invoice" on a copy of the invoice; on OK stores it. */
    static EditorOutcome modifyInvoice(RecordStore& store, const QByteArray& invoiceId, QWidget* parent);

    /** Stores the invoice when every value is usable; otherwise says why and keeps the dialog open. */
    void accept() override;

private:
    InvoiceDialog(RecordStore& store, const InvoiceRecord& record, bool adding, QWidget* parent);

    QWidget* buildDetailsArea();
    QWidget* buildPricingArea();
    QWidget* buildCreatorArea();
    QWidget* buildClientArea();
    void showAddressee();
    void showSignatureStatus();
    void showNetAmount();
    void chooseSignature();
    bool takeValues(InvoiceRecord& record);
    QByteArray takeAddressee() const;
    bool store(const InvoiceRecord& record);

    RecordStore& m_store;
    InvoiceRecord m_record;
    bool m_adding;
    QByteArray m_signatureImage;
    QString m_shownTask;
    QString m_shownSalutation;
    QString m_shownBillingName;
    QString m_shownCurrency;
    QDate m_shownDate;
    QByteArray m_storedIdentifier;

    QComboBox* m_task;
    QLineEdit* m_invoiceNumber;
    QDateEdit* m_date;
    QComboBox* m_salutation;
    QLineEdit* m_billingName;
    QLineEdit* m_signatory;
    QPushButton* m_signatureButton;
    QLabel* m_signatureStatus;
    NumericEdit* m_amount;
    NumericEdit* m_tax;
    QLineEdit* m_netAmount;
    QPlainTextEdit* m_amountInWords;
    QComboBox* m_currency;
    QLineEdit* m_company;
    QPlainTextEdit* m_fromAddress;
    QLineEdit* m_subject;
    QPlainTextEdit* m_body;
    QPlainTextEdit* m_toAddress;
    QPushButton* m_okButton;
    QPushButton* m_cancelButton;
};

} // namespace korvane
