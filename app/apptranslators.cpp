#include "apptranslators.h"

#include "apppaths.h"
#include "qtcompat.h"

#include <QCoreApplication>

void AppTranslators::load(const QString &code)
{
    const QString folder = AppPaths::filePath(QStringLiteral("translations"));
    if (program.load(folder + QLatin1Char('/') + code + QStringLiteral(".qm")))
        QCoreApplication::installTranslator(&program);
    else
        QCoreApplication::removeTranslator(&program); // Russian texts are built in
    const QString qtName = QStringLiteral("qtbase_") + code;
    if (qt.load(qtName, folder) ||
        qt.load(qtName, QtCompat::qtTranslationsPath()))
        QCoreApplication::installTranslator(&qt);
    else
        QCoreApplication::removeTranslator(&qt); // Qt's texts are English
}
