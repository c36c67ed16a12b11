#include "Caller.h"

#include <algorithm>

namespace Orvu
{

Callable::Callable() {}

Callable::~Callable() {}

Caller::Caller() {}

Caller::~Caller() {}

bool Caller::AddActionListener(Callable* listener)
{
    if (std::find(m_vListeners.begin(), m_vListeners.end(), listener) != m_vListeners.end())
        return false;
    m_vListeners.push_back(listener);
    return true;
}

bool Caller::RemoveActionListener(Callable* listener)
{
    std::vector<Callable*>::iterator it =
        std::find(m_vListeners.begin(), m_vListeners.end(), listener);
    if (it == m_vListeners.end())
        return false;
    m_vListeners.erase(it);
    return true;
}

void Caller::CallAction()
{
    // A listener may change the list while it runs (remove itself, add
    // another), so the walk goes over a copy taken before the first call.
    // Listeners added meanwhile wait for the next action; one removed meanwhile
    // is skipped, since its owner may already have deleted it.
    const std::vector<Callable*> listeners(m_vListeners);
    for (size_t i = 0; i < listeners.size(); ++i)
    {
        if (std::find(m_vListeners.begin(), m_vListeners.end(), listeners[i]) != m_vListeners.end())
            listeners[i]->Action(this);
    }
}

} // namespace Orvu
