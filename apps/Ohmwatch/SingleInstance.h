#pragma once

// One monitor per user session, and a way for the installer to end it.

// Creates and owns the session's instance mutex for the rest of the
// process's life (the handle is never closed: when the process ends, a waiter
// such as the installer learns it at once). False when another process of
// this session owns it already; true also when the mutex cannot be created
// at all, since a monitor that cannot tell is better running than missing.
bool ClaimSingleInstance();

// The registered message that asks the monitor to exit the way its "Exit"
// command does; the installer broadcasts it before it replaces the files.
unsigned int ExitRequestMessage();
