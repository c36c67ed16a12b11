#pragma once

// One monitor per user session, and room for an installer to replace it.

// Creates and owns the session's instance mutex for the rest of the
// process's life (the handle is never closed: when the process ends, a waiter
// such as the installer learns it at once). False when another process of
// this session holds it already (another monitor, or an installer replacing
// the program's files); true also when the mutex cannot be created at all,
// since a monitor that cannot tell is better running than missing.
bool ClaimSingleInstance();

// For a start that ClaimSingleInstance refused: when an installer holds the
// instance while it replaces the files, tells it that a monitor was wanted,
// so that it starts the new version once it is done. Does nothing otherwise.
void ReportStartDuringUpdate();
