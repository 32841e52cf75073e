#pragma once

#include "journalrecord.h"

#include <QString>

// Takes every secret out of a record before it is stored, whatever the caller passed: the
// values of the secret keys (the parameter catalogue names them) become fingerprints, in the
// changes, in the configuration kept and in any free text that repeats them.
namespace JournalRedaction {

// "sha256:" and the first 8 hex digits of the SHA-256 of the value text (trimmed, hex digits
// in lower case, so one key typed either way has one fingerprint). Enough to tell that a key
// changed or stayed, far too little to learn it.
QString fingerprint(const QString &value);
bool isFingerprint(const QString &text);

// Redacts in place. A configuration that is not a readable document cannot be checked for
// keys and is dropped (false then, so the caller can say so); true otherwise.
bool redact(JournalRecord *record);

} // namespace JournalRedaction
