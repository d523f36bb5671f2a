#pragma once

#include <QLockFile>

#include <chrono>

namespace platform {

// A lock file whose owner cannot be read (empty, or cut short: its maker was killed between
// making it and writing its name in it) is stale once it is older than this and no process
// holds it; QLockFile alone would count it as held for ever, or for its stale time.
inline constexpr std::chrono::seconds unreadableLockStaleAfter{5};

// Takes the lock as QLockFile::tryLock does, trying until `timeout` has passed (0: once), and
// takes away a lock whose owner cannot be read, once it is stale as above (said in the log). A
// lock whose owner has gone is taken as QLockFile finds it.
bool tryLock(QLockFile &lock, std::chrono::milliseconds timeout);

} // namespace platform
