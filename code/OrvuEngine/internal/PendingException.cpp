#include "internal/PendingException.h"

namespace Orvu
{
namespace Internal
{

namespace
{

// One per thread: windows, their handlers and the run loop that rethrows
// belong to the thread that created the windows.
thread_local std::exception_ptr t_pending;

} // namespace

void KeepPendingException(std::exception_ptr exception)
{
    if (!t_pending)
        t_pending = exception;
}

bool HasPendingException()
{
    return static_cast<bool>(t_pending);
}

void RethrowPendingException()
{
    if (!t_pending)
        return;
    std::exception_ptr exception = t_pending;
    t_pending = nullptr;
    std::rethrow_exception(exception);
}

} // namespace Internal
} // namespace Orvu
