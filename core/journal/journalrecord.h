#pragma once

#include <QDateTime>
#include <QList>
#include <QMetaType>
#include <QString>

// One job done to one device, as the device journal keeps it: who did what, on which device,
// by which path, what changed, what the device held before, and how it ended.
struct JournalRecord
{
    enum class Kind {
        Read,
        Write,
        Verify,
        Set,
        Reset,
        Clock,
        Flash,
        Provision,
        Relay,
        Remote,
        Restore
    };
    enum class Result { Ok, Failed, Cancelled };

    // One parameter: the value before and after as the configuration document's hex text, and
    // optionally the human form the caller shows. A secret's values are kept as fingerprints
    // (see DeviceJournal::fingerprint) and its human form is never kept.
    struct Change
    {
        QString element;
        QString oldValue;
        QString newValue;
        QString oldText;
        QString newText;
        bool secret = false; // set by the journal
    };

    qint64 id = 0;        // the store's id; negative for a record still waiting in the local outbox
    QString uid;          // unique across stations, made by the journal
    bool pending = false; // kept in the local outbox, not yet in the shared store
    QDateTime time;       // UTC; the journal takes the moment of record() when invalid
    QString station;      // host name; the journal's own when empty
    QString user;         // login name; the journal's own when empty
    Kind kind = Kind::Read;

    QString model;
    QString revision;
    QString serial;
    QString devEui;
    QString firmwareBefore;
    QString firmwareAfter;
    QString path; // "usb /dev/ttyACM0", "relay via 7500000000012345", "remote 35...": free text

    QList<Change> changes;
    QString configBefore; // the whole configuration document (XML) before a write; may be empty

    Result result = Result::Ok;
    QString reason; // why it failed or was cancelled; empty for success

    // The names stored and printed: "read", "write", ..., and "ok", "failed", "cancelled".
    static QString kindName(Kind kind);
    static bool kindFromName(const QString &name, Kind *kind);
    static QString resultName(Result result);
    static bool resultFromName(const QString &name, Result *result);
};

Q_DECLARE_METATYPE(JournalRecord)
