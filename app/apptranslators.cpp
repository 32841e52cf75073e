#include "apptranslators.h"

#include "apppaths.h"
#include "qtcompat.h"

#include <QCoreApplication>

namespace {

// Other threads translate too (a database driver words its errors through the application's
// translators), and Qt guards only the list of translators, not one being reloaded: an
// installed translator is never loaded again. The new one goes in first, and the old one is
// deleted only after its removal, which waits for any translation still reading it.
void replace(std::unique_ptr<QTranslator> &current, std::unique_ptr<QTranslator> next)
{
    if (next)
        QCoreApplication::installTranslator(next.get());
    if (current)
        QCoreApplication::removeTranslator(current.get());
    current = std::move(next);
}

} // namespace

void AppTranslators::load(const QString &code)
{
    const QString folder = AppPaths::filePath(QStringLiteral("translations"));
    auto nextProgram = std::make_unique<QTranslator>();
    // Russian texts are built in: no file, no translator.
    if (!nextProgram->load(folder + QLatin1Char('/') + code + QStringLiteral(".qm")))
        nextProgram.reset();
    replace(program, std::move(nextProgram));

    const QString qtName = QStringLiteral("qtbase_") + code;
    auto nextQt = std::make_unique<QTranslator>();
    // Qt's own texts are English without one.
    if (!nextQt->load(qtName, folder) && !nextQt->load(qtName, QtCompat::qtTranslationsPath()))
        nextQt.reset();
    replace(qt, std::move(nextQt));
}
