#include "binarylog.h"

#include <QDebug>

bool BinaryLog::start(const QString &path)
{
    stop();
    file.setFileName(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        qWarning().noquote() << "Cannot create the exchange log" << path << "/C:12";
        return false;
    }
    return true;
}

void BinaryLog::stop()
{
    if (file.isOpen())
        file.close();
}

void BinaryLog::append(const QByteArray &bytes)
{
    if (!file.isOpen())
        return;
    if (file.write(bytes) != bytes.size() || !file.flush()) {
        const QString path = file.fileName();
        qWarning().noquote() << "Cannot write the exchange log" << path << "/C:12";
        file.close();
        if (failed)
            failed(path);
    }
}
