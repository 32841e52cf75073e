#pragma once

#include "framelessdialog.h"

#include <QMap>
#include <QStringList>

class DB_Worker;
class QRegularExpressionValidator;

namespace Ui {
class StatusCalc;
}

// Decodes a 32-bit status word bit by bit into the conditions the device database names, and
// lets the user mark per bit whether the condition is an event (the status event mask).
// Deletes itself on close; the mask goes back to the main window only through the close button.
class StatusCalc : public FramelessDialog
{
    Q_OBJECT
public:
    // statusCode: initial value text (hexadecimal, no "0x"); empty keeps "00000000".
    StatusCalc(QWidget *parent, const QString &statusCode, quint32 statusEventMask);
    ~StatusCalc() override;

    quint32 statusEventMask() const { return statusMask; }
    quint32 supportStatusMask() const { return supportMask; }
    // The conditions a device can report: every bit the database names, less those of
    // hardware the identified model lacks (all of them when no model is identified).
    static quint32 supportedMask(DB_Worker *db, bool identified);

signals:
    void getStatusCode();
    // Bit number -> name, text for 0, text for 1; answered by the device database.
    QMap<int, QStringList> getStatusBits();
    void updateStatusMask(quint32 statusMask);

public slots:
    void updateStatusCode(QString statusCode);
    void decryptStatus();
    void setSupportStatusMask(int statMask);
    void setServSettings(bool _main, bool _alt);
    void on_decryptButton_clicked();
    void on_refreshStatusButton_clicked();
    void on_closeStatusCalcButton_clicked();
    void setCheckBoxses();
    void changeStatusMask();
    void typeValueChanged();
    void addRows(int col, QString txt, int bitNum);

protected:
    void changeEvent(QEvent *event) override;

private:
    static QString bitWidgetName(int bitNum);

    Ui::StatusCalc *ui;
    QRegularExpressionValidator *validator = nullptr;
    quint32 statusMask = 0;
    quint32 supportMask = 0;
    bool mainServer = false;
    bool altServer = false;
    int currentRow = 0;
};
