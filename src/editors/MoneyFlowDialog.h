#pragma once

#include "editors/EditorOutcome.h"
#include "records/Records.h"

#include <QDate>
#include <QDialog>
#include <QString>

class QComboBox;
class QDateEdit;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QWidget;

namespace korvane {

class NumericEdit;
class RecordStore;

/**
 * The "Add Income/Expense" and "Modify Income/Expense" dialog: one income or expense entry of a
 * project with its task name, amount, tax, net amount, date, linked file and kind.
 */
class MoneyFlowDialog : public QDialog
{
    Q_OBJECT

public:
    /** "Add Income/Expense" for the project, preset to kind 0 (income) or 1 (expense); on OK stores the entry. */
    static EditorOutcome addMoneyFlow(RecordStore& store, const QByteArray& projectId, int kind, QWidget* parent);
    /** "Modify Income/Expense" on a copy of the entry; on OK stores it. */
    static EditorOutcome modifyMoneyFlow(RecordStore& store, const QByteArray& moneyFlowId, QWidget* parent);

    /**
     * Fills a Task Name list with the names of the project's tasks and, when asked, its invoices'
     * tasks: each name once (ignoring case, the first one met wins), sorted, each item holding its
     * stored bytes as data.
     */
    static void fillTaskNames(QComboBox* combo, const RecordStore& store, const QByteArray& projectId,
                              bool withInvoiceTasks);

    /** Stores the entry when every value is usable; otherwise says why and keeps the dialog open. */
    void accept() override;

private:
    MoneyFlowDialog(RecordStore& store, const MoneyFlowRecord& record, bool adding, QWidget* parent);

    void buildLayout();
    void showValues();
    void fillTaskNames();
    void showNetAmount();
    void chooseKind(int kind);
    void chooseFile();
    bool takeValues(MoneyFlowRecord& record);
    QByteArray takeTaskName() const;
    bool store(const MoneyFlowRecord& record);

    RecordStore& m_store;
    MoneyFlowRecord m_record;
    bool m_adding;
    std::int32_t m_kind;
    QByteArray m_filePath;
    QString m_shownName;
    QDate m_shownDate;
    QByteArray m_storedIdentifier;

    QLabel* m_heading;
    QComboBox* m_taskName;
    NumericEdit* m_amount;
    NumericEdit* m_tax;
    QLineEdit* m_netAmount;
    QDateEdit* m_date;
    QLineEdit* m_filePathEdit;
    QPushButton* m_fileButton;
    QRadioButton* m_income;
    QRadioButton* m_expense;
    QPushButton* m_okButton;
    QPushButton* m_cancelButton;
};

} // namespace korvane
