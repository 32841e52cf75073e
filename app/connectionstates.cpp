#include "connectionstates.h"

#include <QtGlobal>

namespace ConnectionStates {

namespace {
using namespace LinkState;

constexpr unsigned allControls = ReadConfigButton | WriteConfigButton | RestartButton |
                                 RefreshButton | SaveFileButton | EraseMemButton | UpdateFwButton |
                                 PageList;

// The texts are the main window's: it translates them in its own context.
#define MW_TEXT(text) QT_TRANSLATE_NOOP("MainWindow", text)

const Row rows[] = {
    {Disconnected, "\n-----------------DEVICE STATUS: disconnected-----------------\n", Gray,
     MW_TEXT("Ожидание подключения модуля"), nullptr, nullptr, RefreshButton | PageList,
     ReadConfigButton | RestartButton | WriteConfigButton | EraseMemButton | UpdateFwButton},
    {Connected, "\n-------------------DEVICE STATUS: connected------------------\n", Green,
     MW_TEXT("Устройство подключено"), nullptr, nullptr, ReadConfigButton | RestartButton, 0},
    {Ready, "\n--------------------DEVICE STATUS: ready---------------------\n", Green,
     MW_TEXT("Устройство подключено"), MW_TEXT("Устройство подключено по FSK"),
     MW_TEXT("Устройство подключено удаленно"),
     ReadConfigButton | RestartButton | SaveFileButton | RefreshButton | WriteConfigButton |
         PageList | EraseMemButton,
     0},
    {ReadConfig, "\n------------------DEVICE STATUS: read config-----------------\n", Yellow,
     MW_TEXT("Считывание конфигурации"), MW_TEXT("Считывание конфигурации по FSK"),
     MW_TEXT("Удаленное считывание конфигурации"), 0,
     ReadConfigButton | RestartButton | SaveFileButton | RefreshButton | PageList | EraseMemButton |
         UpdateFwButton},
    {ReadStatus, "\n-----------------DEVICE STATUS: read status-----------------\n", NoLine,
     nullptr, nullptr, nullptr, 0, 0},
    {WriteConfig, "\n-----------------DEVICE STATUS: write config----------------\n", Yellow,
     MW_TEXT("Запись конфигурации"), MW_TEXT("Запись конфигурации по FSK"),
     MW_TEXT("Удаленная запись конфигурации"), 0,
     WriteConfigButton | ReadConfigButton | RestartButton | RefreshButton | PageList |
         EraseMemButton | UpdateFwButton},
    {ReadError, "\n-----------------DEVICE STATUS: read error------------------\n", NoLine, nullptr,
     nullptr, nullptr, 0, 0},
    {WriteError, "\n-----------------DEVICE STATUS: write error-----------------\n", NoLine,
     nullptr, nullptr, nullptr, 0, 0},
    {NotRespond, "\n-----------------DEVICE STATUS: not respond-----------------\n", Red,
     MW_TEXT("Устройство не отвечает"), nullptr, nullptr, RestartButton | RefreshButton | PageList,
     0},
    {AuthError, nullptr, Red, MW_TEXT("Ошибка авторизации"), nullptr, nullptr, RefreshButton, 0},
    // The reload passes through Disconnected; its own controls follow that (see its effects).
    {Reload, "\n-------------------DEVICE STATUS: reload--------------------\n", NoLine, nullptr,
     nullptr, nullptr, 0, 0},
    {PasswordChanged, nullptr, NoLine, nullptr, nullptr, nullptr, 0, 0},
    {PasswordChangeError, nullptr, NoLine, nullptr, nullptr, nullptr, 0, 0},
    {ReadFile, "\n-------------------DEVICE STATUS: read file--------------------\n", Yellow,
     MW_TEXT("Чтение файла"), nullptr, nullptr, 0, allControls},
    // A firmware update shows its own line instead (see its effects).
    {WriteFile, "\n-------------------DEVICE STATUS: write file--------------------\n", Yellow,
     MW_TEXT("Запись файла"), nullptr, nullptr, 0, allControls},
    {FileWritten, nullptr, NoLine, nullptr, nullptr, nullptr, 0, 0},
    {FileDone, nullptr, NoLine, nullptr, nullptr, nullptr, 0, 0},
    {FileReadError, nullptr, NoLine, nullptr, nullptr, nullptr, 0, 0},
    {FileWriteError, nullptr, NoLine, nullptr, nullptr, nullptr, 0, 0},
    {UpdateApp, "\n----------------------STATUS: UPDATE APP------------------------\n", Yellow,
     MW_TEXT("Загрузка обновления"), nullptr, nullptr, 0, allControls},
    {RemoteNotOnServer, nullptr, NoLine, nullptr, nullptr, nullptr, 0, 0},
    {RemoteBusy, nullptr, NoLine, nullptr, nullptr, nullptr, 0, 0},
    {RemoteServerUnavailable, nullptr, NoLine, nullptr, nullptr, nullptr, 0, 0},
    {RemoteExchangeError, nullptr, NoLine, nullptr, nullptr, nullptr, 0, 0},
    // Only a packet the user asked for shows a line (see their effects).
    {ExtraPackSent, nullptr, NoLine, nullptr, nullptr, nullptr, 0, 0},
    {ExtraPackError, nullptr, NoLine, nullptr, nullptr, nullptr, 0, 0},
    {FlashFormatted, nullptr, NoLine, nullptr, nullptr, nullptr, 0, 0},
    {FlashFormatError, nullptr, NoLine, nullptr, nullptr, nullptr, 0, 0},
    {ApplyingFirmware, nullptr, Yellow, MW_TEXT("Применение прошивки"), nullptr, nullptr, 0, 0},
    {FskConnected, nullptr, Green, MW_TEXT("Устройство подключено по FSK"), nullptr, nullptr, 0, 0},
    {FskDisconnected, nullptr, NoLine, nullptr, nullptr, nullptr, 0, 0},
    {FskConnectFailed, nullptr, NoLine, nullptr, nullptr, nullptr, 0, 0},
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
