#pragma once

#include <QTranslator>

#include <memory>

// The program's translation and Qt's own (the buttons of every message box, the standard
// dialogs), installed together for the interface's language. Russian texts are built into the
// program; Qt's Russian comes from qtbase_ru.qm, shipped beside the program in a portable copy
// or from the system's Qt translations.
class AppTranslators
{
public:
    AppTranslators() = default;
    AppTranslators(const AppTranslators &) = delete;
    AppTranslators &operator=(const AppTranslators &) = delete;

    void load(const QString &languageCode);

private:
    std::unique_ptr<QTranslator> program;
    std::unique_ptr<QTranslator> qt;
};
