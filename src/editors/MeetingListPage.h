#pragma once

#include "records/RecordCodec.h"
#include "store/RecordStore.h"

#include <QByteArray>
#include <QList>
#include <QWizardPage>

class QAbstractItemView;
class QDialog;
class QFormLayout;
class QPushButton;

namespace korvane {

/**
 * A meeting sheet page that edits one of the meeting's list files (agenda or actions): a list
 * with ADD, MODIFY and DELETE beside it, read when the page first opens and written back
 * whenever the page is left by Next.
 */
class MeetingListPage : public QWizardPage
{
    Q_OBJECT

public:
    /** The words a list page shows; the rest of its texts are built from them. */
    struct Texts
    {
        QString title;
        QString subTitle;
        /** The caption above the list, with its mnemonic ("Agenda &items:"). */
        QString caption;
        /** The list's accessible name. */
        QString listName;
        /** One item, for the buttons' accessible names ("agenda item" gives "Add agenda item"). */
        QString itemNoun;
        /** The whole list, for the messages ("agenda" gives "The agenda could not be saved."). */
        QString listNoun;
    };

    /** The meeting whose list file the page reads and writes. */
    void setMeetingIdentifier(const QByteArray& identifier);
    /** True once the page has been opened and its list read from the file. */
    bool wasShown() const { return m_loaded; }
    /** Writes the whole list to the meeting's list file; "" or the reason it failed. */
    QString writeFile() const;
    /** The list file's bytes as the page holds them. */
    QByteArray fileBytes() const { return encodedItems(); }

    /** Reads the list file the first time the page opens; later visits keep the list as edited. */
    void initializePage() override;
    /** Leaving by Next writes the list; a failed write is shown and keeps the user on the page. */
    bool validatePage() override;

    /** Lays out an item dialog once its fields are made: OK and Cancel under the form it returns for them. */
    static QFormLayout* itemDialogForm(QDialog& dialog);

protected:
    /**
     * Lays out the page around the list view (taking it over); object names start with `name`
     * ("agenda" gives agendaPage, agendaList, agendaAddButton and so on).
     */
    MeetingListPage(RecordStore& store, ListFile file, const char* name, const Texts& texts,
                    QAbstractItemView* view, QWidget* parent);

    /** The Delete key in the list deletes the selected item. */
    bool eventFilter(QObject* watched, QEvent* event) override;

    QAbstractItemView* view() const { return m_view; }
    const RecordStore& store() const { return m_store; }
    ListFile file() const { return m_file; }
    const QByteArray& meetingIdentifier() const { return m_meetingIdentifier; }

    /** Reads the items from the list file; false when the file could not be read (the list is then empty). */
    virtual bool readItems() = 0;
    /** Notes the list file as just read, so that saving over a change made elsewhere meanwhile is refused. */
    void noteRead();
    /** The items as the list file stores them. */
    virtual QByteArray encodedItems() const = 0;
    virtual qsizetype itemCount() const = 0;
    /** Runs the item dialog on the item at `row`, or on a new item appended when `row` is -1; true on OK. */
    virtual bool editItem(qsizetype row) = 0;
    virtual void removeItem(qsizetype row) = 0;
    /** Fills the list view with one row per item, in order. */
    virtual void fillList() = 0;

private:
    void addItem();
    void modifyItem();
    void deleteItem();
    qsizetype currentRow() const;
    void showItems(qsizetype current);
    void updateButtons();

    RecordStore& m_store;
    const ListFile m_file;
    const QString m_listNoun;
    QByteArray m_meetingIdentifier;
    bool m_loaded = false;
    QAbstractItemView* m_view;
    QPushButton* m_add;
    QPushButton* m_modify;
    QPushButton* m_delete;
};

/** A meeting list page over the records of its list file; the page itself shows and edits one record. */
template <class Record>
class MeetingListPageOf : public MeetingListPage
{
public:
    /** The items as the list shows them, in list order. */
    const QList<Record>& items() const { return m_items; }

protected:
    using MeetingListPage::MeetingListPage;

    /** A record for ADD to start from. */
    virtual Record newItem() const { return emptyRecord<Record>(); }
    /** Runs the "Add" or "Modify" dialog on the item; true when the user pressed OK, with the item changed. */
    virtual bool runItemDialog(Record& item, bool adding) = 0;

private:
    bool readItems() override
    {
        const auto read = store().template readMeetingList<Record>(file(), meetingIdentifier());
        m_items = read.value_or(QList<Record>());
        noteRead();
        return read.has_value();
    }
    QByteArray encodedItems() const override { return encodeList(m_items); }
    qsizetype itemCount() const override { return m_items.size(); }
    bool editItem(qsizetype row) override
    {
        const bool adding = row < 0;
        Record item = adding ? newItem() : m_items[row];
        if (!runItemDialog(item, adding))
            return false;
        if (adding)
            m_items.append(item);
        else
            m_items[row] = item;
        return true;
    }
    void removeItem(qsizetype row) override { m_items.removeAt(row); }

    QList<Record> m_items;
};

} // namespace korvane
