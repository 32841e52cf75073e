#pragma once

#include "configdocument.h"
#include "deviceidentity.h"
#include "paramcodec.h"
#include "writereport.h"

#include <QDomDocument>
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

// The edits waiting to be written to one device: each with the value that device held when it
// was made, and the identity of the device they were made for, so they are never taken for
// another one's.
class PendingChanges
{
public:
    struct Change
    {
        QString element;
        AttributeList value;
        bool fromFile = false; // taken from a file, not typed by the user
    };

    // The one rule for "is this the same value": both stand for the same bytes on the wire, so
    // "FF" and "ff", "0" and "00000000" are the same; a value that is no value of its parameter
    // is only the same as the very same attributes.
    static bool sameValue(const QString &element, const QDomElement &a, const QDomElement &b);
    static bool sameValue(const QString &element, const AttributeList &a, const AttributeList &b);

    // Whose edits these are. Edits made without a device (a file opened first) belong to
    // whichever device comes.
    const DeviceIdentity &device() const { return owner; }
    void setDevice(const DeviceIdentity &identity) { owner = identity; }
    bool belongsTo(const DeviceIdentity &identity) const
    {
        return !owner.isKnown() || owner.sameDevice(identity);
    }

    // The device's configuration as read: the "before" of every edit. Edits the device already
    // holds are no longer pending.
    void setDeviceValues(const QDomDocument &read);
    bool hasDeviceValues() const { return !deviceDoc.documentElement().isNull(); }
    QDomElement deviceValue(const QString &element) const;
    // Without a device: the configuration the editor shows (a file's), with nothing to compare
    // the edits with.
    void setShownValues(const QDomDocument &shown);

    // An edit of one element: pending while it differs from the device's value; an edit back to
    // the device's value takes the element out. True when the element is pending afterwards.
    bool edit(const QString &element, const AttributeList &value, bool fromFile = false);
    // A configuration file: its writable elements that differ from the device become pending
    // (replacing edits of the same elements), the rest of the file only shows; non-writable
    // elements never are pending. Gives the user's own edits the file replaced or dropped.
    QList<Change> applyFile(const QDomDocument &file);
    // Takes over edits made for another device as edits for this one (compared anew with this
    // device's values).
    void adopt(const PendingChanges &other);

    bool isEmpty() const { return changeList.isEmpty(); }
    int count() const { return changeList.size(); }
    bool contains(const QString &element) const { return indexOf(element) >= 0; }
    const QList<Change> &changes() const { return changeList; }
    // Drops every edit; the device and its values stay.
    void clear() { changeList.clear(); }

    // The edits as a configuration document, in the order they were made: what a write sends.
    QDomDocument document() const;
    // What the editor shows: the device's (or the file's) configuration with the edits over it.
    QDomDocument configuration() const;

    // A write of document() starts: its values are the ones accept() compares with.
    QDomDocument startWrite();
    // The write ended: every value the device took is no longer pending (an edit made during
    // the write stays), and is the device's value from now on. (The read-back after the
    // reboot is compared by the session that wrote them.)
    void accept(const WriteReport &report);

private:
    int indexOf(const QString &element) const;
    // Drops the edits the device's values already hold.
    void dropUnchanged();

    DeviceIdentity owner;
    QDomDocument deviceDoc; // the device's configuration as read (null: no device read)
    QDomDocument shownDoc;  // without a device: what the editor shows beneath the edits
    QList<Change> changeList;
    QList<Change> inFlight; // what the write under way sends
};
