#pragma once

#include "store/CurrencyList.h"

#include <QDialog>
#include <QString>

class QLineEdit;
class QListWidget;
class QListWidgetItem;

namespace korvane {

class RecordStore;

/** Lets the user pick the project's currency text from the shared list of formats, or add one. */
class CurrencyDialog : public QDialog
{
    Q_OBJECT

public:
    /**
     * Runs the dialog on the current currency text; returns the text to use (also after Cancel, as
     * designed); saves the list on every close, through `store`'s history when one is given.
     */
    static QString choose(const QString& current, QWidget* parent, RecordStore* store = nullptr);

    /** Builds the dialog on the list file, marking (and adding when missing) the current text. */
    CurrencyDialog(const QString& current, QWidget* parent = nullptr, RecordStore* store = nullptr);

    /** The text the caller takes: the last clicked row, the last added text, or the edit's text on OK. */
    QString chosenText() const { return m_result; }

    /** Closes the dialog: OK takes the edit's text; either way the list is saved and a failure shown. */
    void done(int result) override;

private:
    void addFromEdit();
    void takeRow(QListWidgetItem* item);
    void markRow(qsizetype index);
    void fillList();
    void finish(int result);

    RecordStore* m_store = nullptr;
    CurrencyList m_list;
    QString m_result;
    qsizetype m_marked = -1;
    bool m_finished = false;
    QLineEdit* m_edit = nullptr;
    QListWidget* m_view = nullptr;
};

} // namespace korvane
