#pragma once

#include <QDialog>

class QCheckBox;
class QLineEdit;
class QPushButton;

namespace korvane {

class ProjectRangePicker;
class RecordStore;
struct PublishSummary;

/**
 * "Publish To Calendar Server": the address of a CalDAV calendar, the login, and the projects
 * whose tasks and meetings are sent there; items changed on the server are listed and replaced
 * only when the user says so.
 */
class CalendarPublishDialog : public QDialog
{
    Q_OBJECT

public:
    /** The address and user name start as they were at the last publish. */
    explicit CalendarPublishDialog(const RecordStore& store, QWidget* parent = nullptr);

    ProjectRangePicker* picker() const { return m_picker; }
    QLineEdit* urlEdit() const { return m_url; }
    QLineEdit* userEdit() const { return m_user; }
    QLineEdit* passwordEdit() const { return m_password; }
    QPushButton* publishButton() const { return m_publish; }

    /** Publishes the checked projects, with progress shown, and reports what was done. */
    void publishChecked();

    /** How long one request may take; tests shorten it. */
    void setTimeout(int milliseconds) { m_timeout = milliseconds; }

private:
    PublishSummary run(const QList<QByteArray>& projects, const QString& password, bool overwrite);
    QString keyringKey() const;

    const RecordStore& m_store;
    ProjectRangePicker* m_picker = nullptr;
    QLineEdit* m_url = nullptr;
    QLineEdit* m_user = nullptr;
    QLineEdit* m_password = nullptr;
    QCheckBox* m_remember = nullptr;
    QPushButton* m_publish = nullptr;
    int m_timeout = 30000;
};

} // namespace korvane
