#pragma once

#include <QByteArray>
#include <QDateTime>

namespace korvane {

/** A contact as read from a vCard, in the properties the resource records are built from. */
struct ContactItem
{
    QByteArray title;
    QByteArray firstName;
    QByteArray middleName;
    QByteArray lastName;
    QByteArray jobTitle;
    QByteArray department;
    QByteArray homeTelephoneNumber;
    QByteArray mobileTelephoneNumber;
    QByteArray home2TelephoneNumber;
    QByteArray primaryTelephoneNumber;
    QByteArray companyMainTelephoneNumber;
    QByteArray businessTelephoneNumber;
    QByteArray business2TelephoneNumber;
    QByteArray businessFaxNumber;
    QByteArray assistantTelephoneNumber;
    QByteArray callbackTelephoneNumber;
    QByteArray carTelephoneNumber;
    QByteArray homeFaxNumber;
    QByteArray pagerNumber;
};

/** A task as read from an iCalendar VTODO; times are local. */
struct TaskItem
{
    enum Importance
    {
        Low = 0,
        Normal = 1,
        High = 2
    };

    QByteArray subject;
    int importance = Normal;
    QDateTime startDate;
    QDateTime dueDate;
    QDateTime reminderTime;
    bool reminderSet = false;
};

/** An appointment as read from an iCalendar VEVENT; times are local. */
struct AppointmentItem
{
    QByteArray subject;
    QByteArray location;
    QDateTime start;
    QDateTime end;
    QByteArray body;
};

} // namespace korvane
