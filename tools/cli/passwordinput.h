#pragma once

#include <QString>
#include <QTextStream>

struct CliOptions;

// Where the remote device's password comes from: a file (or a line of standard input) keeps it
// out of the process list, where --password shows it to every user of the computer; without
// either, a terminal is asked with the echo off.
namespace PasswordInput {
// A line longer than any password is cut here.
constexpr int maxPasswordChars = 1024;
// Fills o->remotePassword for --remote; inputFd is standard input (or a test's). False with
// *error when there is no password to be had.
bool resolve(CliOptions *o, int inputFd, QTextStream &err, QString *error);
} // namespace PasswordInput
