#pragma once

#include "linkstate.h"

// What each connection state shows: its log banner, the status line and the main controls it
// enables or disables. What a state does besides is MainWindow::applyStateEffects.
namespace ConnectionStates {

// The main controls the states govern, as bits.
enum Control : unsigned {
    ReadConfigButton = 1u << 0,
    WriteConfigButton = 1u << 1,
    RestartButton = 1u << 2,
    RefreshButton = 1u << 3,
    SaveFileButton = 1u << 4,
    EraseMemButton = 1u << 5,
    UpdateFwButton = 1u << 6,
    PageList = 1u << 7,
};

// The indicator of the status line (the number displayDeviceStatus takes).
enum Picture : int { NoLine = -1, Gray = 0, Green = 1, Yellow = 2, Red = 3 };

struct Row
{
    LinkState::State state;
    const char *banner;     // logged on entry; nullptr for none
    Picture picture;        // NoLine: the status line stays as it is
    const char *text;       // the line for a device on this computer's port
    const char *fskText;    // ... relayed over FSK (nullptr: as text)
    const char *remoteText; // ... reached through the configuration server (nullptr: as text)
    unsigned enable;
    unsigned disable;
};

// The row of a state; nullptr for a state without banner, line or controls of its own (its
// effects are all it does) and for numbers that carry no meaning.
const Row *row(int state);

// Resource of an indicator picture; nullptr for a number that is none.
const char *picturePath(int picture);

} // namespace ConnectionStates
