#pragma once

#include "reports/PageWriter.h"

#include <QByteArray>
#include <QList>
#include <QLocale>
#include <QString>

namespace korvane {

class RecordStore;

/** The "Print.html" page: chosen projects with the chosen modules, printed through the preview. */
class PrintReport
{
public:
    /** The modules a printed project can show, in the order of the Print Preference list. */
    enum class Module
    {
        Leaders = 0,
        Task = 1,
        Meeting = 2,
        PaymentTrack = 3
    };

    /** The module number: 10 to the power (index + 1) summed over the modules, each counted once. */
    static int moduleNumber(const QList<Module>& modules);

    /** The module number of all four modules, as the PDF exports print a project. */
    static int allModules();

    /** True when the module's decimal digit of the number (tens for Leaders, ...) is exactly 1. */
    static bool includes(int moduleNumber, Module module);

    /** One project's part of the page; an unknown project gives a "No Project Is Selected" page. */
    static QString project(const RecordStore& store, const QByteArray& projectIdentifier, int moduleNumber,
                           const QLocale& locale = QLocale::system());

    /** The whole page for the projects, in the order given. */
    static QString page(const RecordStore& store, const QList<QByteArray>& projectIdentifiers,
                        int moduleNumber, const QLocale& locale = QLocale::system());

    /** Generates the page and writes it to "Print.html" in the program's folder. */
    static PageResult write(const RecordStore& store, const QList<QByteArray>& projectIdentifiers,
                            int moduleNumber, const QLocale& locale = QLocale::system());
};

} // namespace korvane
