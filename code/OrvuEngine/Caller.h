#pragma once

#include "OrvuExport.h"

#include <vector>

namespace Orvu
{

class Caller;

// A listener: registers with one or more callers and is told which one fired.
class ORVU_API Callable
{
public:
    Callable();
    virtual ~Callable();
    virtual void Action(Caller* caller) = 0;
};

// A source of actions. Listeners are called in the order they registered; the
// caller does not own them, so a listener must be removed (or the caller
// destroyed) before the listener goes away.
class ORVU_API Caller
{
public:
    Caller();
    virtual ~Caller();

    Caller(const Caller&) = delete;
    Caller& operator=(const Caller&) = delete;

    // False, and nothing changes, when the listener is registered already.
    bool AddActionListener(Callable* listener);
    // False when the listener was not registered.
    bool RemoveActionListener(Callable* listener);

protected:
    // Calls Action(this) on every listener registered when the call starts, in
    // order. A listener may add or remove listeners of this caller meanwhile:
    // one added is called from the next action on, one removed is not called.
    void CallAction();

private:
#ifdef _MSC_VER
#pragma warning(push)
#pragma warning(disable : 4251) // private member of an exported class
#endif
    std::vector<Callable*> m_vListeners;
#ifdef _MSC_VER
#pragma warning(pop)
#endif
};

} // namespace Orvu
