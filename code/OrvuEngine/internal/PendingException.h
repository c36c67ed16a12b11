#pragma once

// Engine-internal (not exported): an exception that escaped a window's
// handler, kept until the thread's run loop can rethrow it.
//
// With this toolchain an exception cannot unwind from a window procedure
// through the system's frames back to DispatchMessage's caller (the process
// terminates instead). So the engine's window procedure catches whatever
// escapes a handler, keeps it here and returns to the system; the run loop
// (Core::Run) calls RethrowPendingException each time control is back in it
// (after Init, DispatchMessage, Tick and Release), which ends the loop through
// its error path.
//
// Only the first exception is kept: while one is pending (for example while a
// modal loop such as a message box or a menu, opened by a handler, keeps
// dispatching messages), later ones are dropped. The state belongs to the
// calling thread.

#include <exception>

namespace Orvu
{
namespace Internal
{

// Keeps the exception unless one is already pending on this thread.
void KeepPendingException(std::exception_ptr exception);

// True while an exception is pending on this thread.
bool HasPendingException();

// If an exception is pending on this thread, clears it and rethrows it;
// otherwise returns.
void RethrowPendingException();

} // namespace Internal
} // namespace Orvu
