#!/usr/bin/python3
"""A second CalDAV client for the publish tests.

  caldav_client.py make URL USER PASSWORD NAME      makes a calendar, prints its URL
  caldav_client.py list CALENDAR_URL USER PASSWORD  prints UID, a tab and SUMMARY of every item
  caldav_client.py edit CALENDAR_URL USER PASSWORD UID SUMMARY   changes an item's SUMMARY
"""
import sys

import caldav
import icalendar


def items(calendar):
    for item in calendar.objects():
        try:
            item.load()
        except caldav.lib.error.NotFoundError:
            continue  # the collection's change list also names the items deleted since it began
        parsed = icalendar.Calendar.from_ical(item.data)
        for component in parsed.walk():
            if component.name in ("VTODO", "VEVENT"):
                yield item, parsed, component


def main(argv):
    command, url, user, password = argv[1:5]
    client = caldav.DAVClient(url, username=user, password=password)
    if command == "make":
        print(client.principal().make_calendar(name=argv[5]).url)
        return 0
    calendar = client.calendar(url=url)
    if command == "list":
        for _, _, component in items(calendar):
            print("%s\t%s" % (component["UID"], component["SUMMARY"]))
        return 0
    if command == "edit":
        for item, parsed, component in items(calendar):
            if str(component["UID"]) == argv[5]:
                component["SUMMARY"] = argv[6]
                # A plain PUT, as a phone sends it: the server gives the item a new ETag.
                reply = client.put(str(item.url), parsed.to_ical().decode("utf-8"),
                                   {"Content-Type": "text/calendar; charset=utf-8"})
                return 0 if reply.status in (200, 201, 204) else 1
                return 0
        print("no item with UID " + argv[5], file=sys.stderr)
        return 1
    print(__doc__, file=sys.stderr)
    return 1


if __name__ == "__main__":
    sys.exit(main(sys.argv))
