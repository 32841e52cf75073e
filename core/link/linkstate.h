#pragma once

// The connection states the device link and the window move through. The numbers travel as
// plain ints through changeDeviceStatus(int) and setGlobalState(int) and appear in logs, so
// they never change; numbers not named here (19, 21, 26 to 29, above 37) carry no meaning.
namespace LinkState {

enum State : int {
    Disconnected = 0,
    Connected = 1,
    Ready = 2,
    ReadConfig = 3,
    ReadStatus = 4,
    WriteConfig = 5,
    ReadError = 6,
    WriteError = 7,
    NotRespond = 8,
    AuthError = 9,
    Reload = 10,
    PasswordChanged = 11,
    PasswordChangeError = 12,
    ReadFile = 13,
    WriteFile = 14,
    FileWritten = 15,
    FileDone = 16,
    FileReadError = 17,
    FileWriteError = 18,
    UpdateApp = 20,
    RemoteNotOnServer = 22,
    RemoteBusy = 23,
    RemoteServerUnavailable = 24,
    RemoteExchangeError = 25,
    ExtraPackSent = 30,
    ExtraPackError = 31,
    FlashFormatted = 32,
    FlashFormatError = 33,
    ApplyingFirmware = 34,
    FskConnected = 35,
    FskDisconnected = 36,
    FskConnectFailed = 37,
};

} // namespace LinkState
