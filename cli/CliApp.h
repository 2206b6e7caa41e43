#pragma once

#include "store/RecordKind.h"

#include <QByteArray>
#include <QIODevice>
#include <QJsonObject>
#include <QList>
#include <QString>
#include <memory>
#include <optional>

namespace korvane {

class RecordStore;
struct RecordKey;
struct EditResult;

/** korvane-cli: runs one command on a data folder and tells the outcome by its exit status. */
class CliApp
{
public:
    enum ExitCode
    {
        Success = 0,
        BadUsage = 1,
        InvalidInput = 2,
        ProblemsFound = 3
    };

    /** Reads standard input from `in`, prints results to `out` and messages to `err`. */
    CliApp(QIODevice& in, QIODevice& out, QIODevice& err);
    ~CliApp();

    /** True when the command lays out pages (PDF), which needs a GUI application object, never a window. */
    static bool drawsPages(const QList<QByteArray>& arguments);

    /** Runs the command the arguments give (without the program name) and returns the exit status. */
    int run(const QList<QByteArray>& arguments);

private:
    /** Ends the command with an exit status and a message for standard error. */
    struct Failure
    {
        int code;
        QString message;
    };
    [[noreturn]] static void fail(int code, const QString& message);
    [[noreturn]] static void usageError(const QString& message);
    /** Ends the command with the usage line of one command. */
    [[noreturn]] static void usageLine(const char* usage);
    static void expectCount(const QList<QByteArray>& args, qsizetype count, const char* usage);

    int dispatch(const QByteArray& command, const QList<QByteArray>& args);
    int list(const QList<QByteArray>& args);
    int show(const QList<QByteArray>& args);
    int add(const QList<QByteArray>& args);
    int modify(const QList<QByteArray>& args);
    int remove(const QList<QByteArray>& args);
    int write(const QList<QByteArray>& args);
    int words(const QList<QByteArray>& args);
    int encipher(const QList<QByteArray>& args);
    int decipher(const QList<QByteArray>& args);
    int check(const QList<QByteArray>& args);
    int demo(const QList<QByteArray>& args);
    int projects(const QList<QByteArray>& args);
    int tree(const QList<QByteArray>& args);
    int graph(const QList<QByteArray>& args);
    int search(const QList<QByteArray>& args);
    int history(const QList<QByteArray>& args);
    int undo(const QList<QByteArray>& args);
    int restore(const QList<QByteArray>& args);
    int conflicts(const QList<QByteArray>& args);
    int resolve(const QList<QByteArray>& args);
    /** Ends the command with the edit's reason when it changed nothing; a refusal tells of --force. */
    static void failUnless(const EditResult& result);
    /** Takes a trailing `--force` off the arguments: changes then overwrite files changed elsewhere. */
    QList<QByteArray> takeForce(QList<QByteArray> args);
    void showChange(const QByteArray& id);
    int report(const QList<QByteArray>& args);
    int exportTo(const QList<QByteArray>& args);
    int importFile(const QList<QByteArray>& args);
    int publish(const QList<QByteArray>& args);
    void exportHtml(const QByteArray& project, const QString& file);
    void exportInvoiceHtml(const QByteArray& invoice, const QString& file);
    void exportDocx(const QByteArray& project, const QString& file);
    void exportInvoiceDocx(const QByteArray& invoice, const QString& file);
    void exportXlsx(const QByteArray& project, const QString& file);
    void exportPdf(const QList<QByteArray>& args);
    /** The module number of a comma-separated list of leaders, task, meeting and payment. */
    static int modulesArgument(const QByteArray& list);
    /** Writes the tasks and meetings of the project, or of every project when it is empty, as iCalendar. */
    void exportIcs(const QByteArray& project, const QString& file);

    template <class R> void listRecords();
    template <class R> void showRecord(const QByteArray& identifier);
    template <class R> void addRecord(int batch, const QByteArray& parent);
    template <class R> void modifyRecord();
    template <class Item> void listItems(ListFile file, const QByteArray& meeting);
    template <class Item> void writeItems(ListFile file, const QByteArray& meeting);
    void showDocuments(const QByteArray& project);
    void checkListFiles(QStringList& problems) const;

    /** The data folder the command works on, from --data or the remembered setting. */
    QString dataFolder() const;
    /** The store of the data folder, with nothing read yet; a missing folder ends the command. */
    RecordStore& openStore();
    /** The store of the data folder, loaded whole on first use. */
    RecordStore& store();
    /**
     * The store with at least the given records read (and what was read before), read alone where
     * the folder's names tell where they are, for commands on one record of a large folder.
     */
    RecordStore& storeWith(const QList<RecordKey>& wanted);
    /** Ends the command unless the identifier is one that can safely name a file of the data folder. */
    static void requireFileSafe(const QByteArray& identifier);
    static RecordKind kindArgument(const QByteArray& word);

    /** All of standard input. */
    QByteArray readInput();
    /** Standard input as one JSON object. */
    QJsonObject readObject();
    void print(const QByteArray& line);
    void printUsage(QIODevice& device);

    QIODevice& m_in;
    QIODevice& m_out;
    QIODevice& m_err;
    std::optional<QString> m_dataOption;
    std::unique_ptr<RecordStore> m_store;
    /** True when the store is loaded for a command that must not write (check). */
    bool m_readOnly = false;
    bool m_loadedWhole = false;
    /** True when the command overwrites files changed elsewhere since it read them (--force). */
    bool m_force = false;
};

} // namespace korvane
