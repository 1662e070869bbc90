#pragma once
// The semaphore file through which programs sharing a table announce index readers and
// writers: a login count, a reader count and a change counter in four bytes, guarded by a lock
// on bytes 1..4. A table opened exclusively needs none of it.

#include <cstdint>
#include <string>

namespace dadav {

enum class SemaphoreAction : std::uint8_t {
  kLogin = 0,
  kLogout = 1,
  kIncRead = 2,
  kDecRead = 3,
  kLockSemaphore = 4,
  kUnlockSemaphore = 5,
};

// Seconds a writer waits for readers to leave; 0 waits for ever.
extern std::uint16_t WriteLockTimeout;
// Folder of the semaphore files; empty: beside the table.
extern std::string SemaphoreDirectory;

// Runs the action for the current work area.
void HandleSemafore(SemaphoreAction action);
// Nesting read and write brackets: the outermost on and off act.
void SetReadSemaphoreProc(bool on);
void SetLockSemaphoreProc(bool on);
std::string SemaphoreFileName();

// True once when the change counter last read differs from the one last seen, which it then
// becomes: another program changed the indexes meanwhile.
bool SemaphoreCounterMoved();
bool SemaphoreLoggedIn();

// Forgets every area's semaphore state without touching the files (module start).
void ResetSemaphores();

}  // namespace dadav
