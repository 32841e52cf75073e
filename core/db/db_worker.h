#pragma once

#include "dbrecords.h"

#include <QList>
#include <QMap>
#include <QObject>
#include <QSqlDatabase>
#include <QStringList>

class QSqlTableModel;

// Read-only access to devices.db: which firmware group a device's firmware belongs to, and
// what that group supports (parameter codes, pages, status requests, per-widget form data),
// plus the model ids, status-bit texts and the provider and GPS lists. Lives in the GUI thread;
// its slots are also reached through direct signal connections that return their value.
class DB_Worker : public QObject
{
    Q_OBJECT
public:
    explicit DB_Worker(QObject *parent = nullptr);
    ~DB_Worker() override;

    static QString databasePath();

public slots:
    bool checkDb();
    QString getFwGroup(QString curFwVer, QString devId);
    void setCurrentFwGroup(QString fwGroup);
    bool checkSupportedCmd(int cmd);
    QList<int> getCommandList();
    QList<int> getStatusCommandList();
    bool checkSupportPage(QString pageName);
    QStringList getFormElements(QString elementName);
    // The same items with their texts as the database holds them (Russian, untranslated).
    QStringList getFormElementSource(QString elementName);
    QMap<int, QStringList> getStatusBits();
    QList<GPRS_CONFIG> getProviderList();
    QList<GPS_CONFIG> getGpsList();
    int getIdByName(QString _name);
    QString getNameById(int _id);
    QMap<QString, int> getDevNameList();
    void closeDb();

private:
    bool openIfClosed();
    // The first table the program reads that the open database lacks (empty: none): the
    // fixed ones, a model table, and every firmware group a model table names.
    QString missingTable();
    // Selects a table into a new model with every row fetched; nullptr on failure.
    QSqlTableModel *selectTable(const QString &table);

    QSqlDatabase db;
    QSqlTableModel *groupModel = nullptr;
    bool groupSet = false;
    QList<int> commandList;
    QList<int> statusCommandList;
};
