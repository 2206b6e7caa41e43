#pragma once

#include "records/Clock.h"
#include "store/RecordStore.h"

#include <QDirIterator>
#include <QFile>
#include <QMap>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace korvane::test {

/** A store on an empty temporary data folder, with the clock fixed. */
class StoreFolderTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        m_store.setWorkingDirectory(m_dir.path());
        Clock::setFixed(QDateTime(QDate(2007, 7, 3), QTime(14, 5, 9)));
    }
    void TearDown() override { Clock::setFixed({}); }

    QString path(const QString& name) const { return m_dir.filePath(name); }

    /** The files of the data folder with their bytes (its subfolders aside), to compare it before and after. */
    QMap<QString, QByteArray> folderBytes() const
    {
        QMap<QString, QByteArray> files;
        QDirIterator it(m_dir.path(), QDir::Files | QDir::Hidden);
        while (it.hasNext()) {
            it.next();
            QFile file(it.filePath());
            files[it.fileName()] = file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
        }
        return files;
    }

    static TaskRecord task(const QByteArray& project, const QByteArray& name,
                           const char* kind = TaskRecord::kTopLevel)
    {
        TaskRecord record = emptyRecord<TaskRecord>();
        record.projectIdentifier = project;
        record.name = name;
        record.kind = kind;
        return record;
    }

    QTemporaryDir m_dir;
    RecordStore m_store;
};

} // namespace korvane::test
