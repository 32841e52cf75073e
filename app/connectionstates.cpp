#include "connectionstates.h"

#include <QtGlobal>

namespace ConnectionStates {

namespace {
using namespace LinkState;

constexpr unsigned allControls = ReadConfigButton | WriteConfigButton | RestartButton |
                                 RefreshButton | SaveFileButton | EraseMemButton | UpdateFwButton |
                                 PageList;

// The texts are the main window's: it translates them in its own context.

const Row rows[] = {
    {Disconnected, "\n-----------------DEVICE STATUS: disconnected-----------------\n", Gray,
     QT_TRANSLATE_NOOP("MainWindow", "Ожидание подключения модуля"), nullptr, nullptr,
     RefreshButton | PageList,
     ReadConfigButton | RestartButton | WriteConfigButton | EraseMemButton | UpdateFwButton},
    {Connected, "\n-------------------DEVICE STATUS: connected------------------\n", Green,
     QT_TRANSLATE_NOOP("MainWindow", "Устройство подключено"), nullptr, nullptr,
     ReadConfigButton | RestartButton, 0},
    {Ready, "\n--------------------DEVICE STATUS: ready---------------------\n", Green,
     QT_TRANSLATE_NOOP("MainWindow", "Устройство подключено"),
     QT_TRANSLATE_NOOP("MainWindow", "Устройство подключено по FSK"),
     QT_TRANSLATE_NOOP("MainWindow", "Устройство подключено удаленно"),
     ReadConfigButton | RestartButton | SaveFileButton | RefreshButton | WriteConfigButton |
         PageList | EraseMemButton,
     0},
    {ReadConfig, "\n------------------DEVICE STATUS: read config-----------------\n", Yellow,
     QT_TRANSLATE_NOOP("MainWindow", "Считывание конфигурации"),
     QT_TRANSLATE_NOOP("MainWindow", "Считывание конфигурации по FSK"),
     QT_TRANSLATE_NOOP("MainWindow", "Удаленное считывание конфигурации"), 0,
     ReadConfigButton | RestartButton | SaveFileButton | RefreshButton | PageList | EraseMemButton |
         UpdateFwButton},
    {ReadStatus, "\n-----------------DEVICE STATUS: read status-----------------\n", NoLine,
     nullptr, nullptr, nullptr, 0, 0},
    {WriteConfig, "\n-----------------DEVICE STATUS: write config----------------\n", Yellow,
     QT_TRANSLATE_NOOP("MainWindow", "Запись конфигурации"),
     QT_TRANSLATE_NOOP("MainWindow", "Запись конфигурации по FSK"),
     QT_TRANSLATE_NOOP("MainWindow", "Удаленная запись конфигурации"), 0,
     WriteConfigButton | ReadConfigButton | RestartButton | RefreshButton | PageList |
         EraseMemButton | UpdateFwButton},
    {ReadError, "\n-----------------DEVICE STATUS: read error------------------\n", NoLine, nullptr,
     nullptr, nullptr, 0, 0},
    {WriteError, "\n-----------------DEVICE STATUS: write error-----------------\n", NoLine,
     nullptr, nullptr, nullptr, 0, 0},
    {NotRespond, "\n-----------------DEVICE STATUS: not respond-----------------\n", Red,
     QT_TRANSLATE_NOOP("MainWindow", "Устройство не отвечает"), nullptr, nullptr,
     RestartButton | RefreshButton | PageList, 0},
    {AuthError, nullptr, Red, QT_TRANSLATE_NOOP("MainWindow", "Ошибка авторизации"), nullptr,
     nullptr, RefreshButton, 0},
    // The reload passes through Disconnected; its own controls follow that (see its effects).
    {Reload, "\n-------------------DEVICE STATUS: reload--------------------\n", NoLine, nullptr,
     nullptr, nullptr, 0, 0},
    {ReadFile, "\n-------------------DEVICE STATUS: read file--------------------\n", Yellow,
     QT_TRANSLATE_NOOP("MainWindow", "Чтение файла"), nullptr, nullptr, 0, allControls},
    // A firmware update shows its own line instead (see its effects).
    {WriteFile, "\n-------------------DEVICE STATUS: write file--------------------\n", Yellow,
     QT_TRANSLATE_NOOP("MainWindow", "Запись файла"), nullptr, nullptr, 0, allControls},
    {UpdateApp, "\n----------------------STATUS: UPDATE APP------------------------\n", Yellow,
     QT_TRANSLATE_NOOP("MainWindow", "Загрузка обновления"), nullptr, nullptr, 0, allControls},
    {ApplyingFirmware, nullptr, Yellow, QT_TRANSLATE_NOOP("MainWindow", "Применение прошивки"),
     nullptr, nullptr, 0, 0},
    {FskConnected, nullptr, Green, QT_TRANSLATE_NOOP("MainWindow", "Устройство подключено по FSK"),
     nullptr, nullptr, 0, 0},
};
} // namespace

const Row *row(int state)
{
    for (const Row &r : rows) {
        if (r.state == state)
            return &r;
    }
    return nullptr;
}

const char *picturePath(int picture)
{
    static const char *const paths[] = {":pict/svg/gray.svg", ":pict/svg/green.svg",
                                        ":pict/svg/yellow.svg", ":pict/svg/red.svg"};
    return picture >= Gray && picture <= Red ? paths[picture] : nullptr;
}

} // namespace ConnectionStates
