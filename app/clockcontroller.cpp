#include "clockcontroller.h"

ClockController::ClockController(const QString &serverHost, QObject *parent)
    : QObject(parent)
{
    base = QDateTime::currentDateTimeUtc();
    sinceStart.start();
    ntpClient = new NtpClient(this);
    connect(ntpClient, &NtpClient::replyReceived, this, &ClockController::updateAppClock);
    QHostInfo::lookupHost(serverHost, this, &ClockController::reqestNtpTime);
}

void ClockController::reqestNtpTime(QHostInfo _hInfo)
{
    if (!_hInfo.addresses().isEmpty())
        ntpClient->sendRequest(_hInfo.addresses().first(), NtpClient::ntpPort);
}

void ClockController::updateAppClock(QHostAddress, quint16, NtpReply _reply)
{
    serverTime = true;
    base = _reply.serverReceiveTime().addMSecs(-sinceStart.elapsed());
    emit serverTimeReceived();
}
