#include "Thread.h"

#include "Exception.h"

#include <algorithm>
#include <cstdlib>
#include <ctime>

namespace Orvu
{

namespace
{

// Holds a critical section for one scope.
class SectionLock
{
public:
    explicit SectionLock(CRITICAL_SECTION& section) : m_section(section)
    {
        EnterCriticalSection(&m_section);
    }
    ~SectionLock() { LeaveCriticalSection(&m_section); }

private:
    SectionLock(const SectionLock&) = delete;
    SectionLock& operator=(const SectionLock&) = delete;

    CRITICAL_SECTION& m_section;
};

} // namespace

ThreadProc::~ThreadProc() = default;

Thread::Thread(int sleep)
    : m_bRunning(false), m_hThread(nullptr), m_dwThreadId(0), m_iSleep(sleep < 0 ? 0 : sleep),
      m_pDeletedByUnit(nullptr)
{
    InitializeCriticalSection(&m_csProcs);
}

Thread::~Thread()
{
    m_bRunning = false;
    if (m_hThread != nullptr)
    {
        if (GetCurrentThreadId() == m_dwThreadId)
        {
            // Deleted by one of its own units, in the middle of a pass: the
            // worker holds the list's lock, which goes with this object, and
            // must not touch the object again once the unit returns.
            CloseHandle(m_hThread);
            m_hThread = nullptr;
            *m_pDeletedByUnit = true;
            LeaveCriticalSection(&m_csProcs);
        }
        else
        {
            JoinWorker();
        }
    }
    DeleteCriticalSection(&m_csProcs);
}

bool Thread::Start()
{
    if (m_bRunning)
        return false;
    if (m_hThread != nullptr)
    {
        // The worker was ended by one of its own units and may still be
        // finishing its last pass; a unit cannot restart its own Thread.
        if (GetCurrentThreadId() == m_dwThreadId)
            return false;
        JoinWorker();
    }

    m_bRunning = true;
    // Suspended until the handle and the id are stored: a unit that ends or
    // deletes its Thread in the first pass is recognised by them.
    m_hThread = CreateThread(nullptr, 0, &Thread::ThreadProcStatic, this, CREATE_SUSPENDED,
                             &m_dwThreadId);
    if (m_hThread == nullptr)
    {
        m_bRunning = false;
        m_dwThreadId = 0;
        return false;
    }
    ResumeThread(m_hThread);
    return true;
}

void Thread::End(bool kill)
{
    m_bRunning = false;
    if (m_hThread == nullptr)
        return;
    // Waiting for ourselves would never return; the loop ends after this pass
    // and the handle is closed by the next Start, End or the destructor.
    if (GetCurrentThreadId() == m_dwThreadId)
        return;

    if (kill)
    {
        TerminateThread(m_hThread, 0);
        // TerminateThread only starts the termination.
        WaitForSingleObject(m_hThread, INFINITE);
        // The worker may have died holding the list's lock, which would then
        // stay taken for good.
        DeleteCriticalSection(&m_csProcs);
        InitializeCriticalSection(&m_csProcs);
    }
    JoinWorker();
}

void Thread::JoinWorker()
{
    WaitForSingleObject(m_hThread, INFINITE);
    CloseHandle(m_hThread);
    m_hThread = nullptr;
    m_dwThreadId = 0;
}

bool Thread::AddProc(ThreadProc* proc)
{
    SectionLock lock(m_csProcs);
    if (std::find(m_vProcs.begin(), m_vProcs.end(), proc) != m_vProcs.end())
        return false;
    m_vProcs.push_back(proc);
    return true;
}

bool Thread::RemoveProc(ThreadProc* proc)
{
    SectionLock lock(m_csProcs);
    std::vector<ThreadProc*>::iterator it = std::find(m_vProcs.begin(), m_vProcs.end(), proc);
    if (it == m_vProcs.end())
        return false;
    m_vProcs.erase(it);
    return true;
}

void Thread::SetSleep(int sleep)
{
    // Sleep takes an unsigned count: -1 would mean sleeping for ever.
    m_iSleep = sleep < 0 ? 0 : sleep;
}

int Thread::GetSleep() const
{
    return m_iSleep;
}

bool Thread::IsRunning() const
{
    return m_bRunning;
}

DWORD WINAPI Thread::ThreadProcStatic(LPVOID param)
{
    Thread* self = static_cast<Thread*>(param);
    srand(static_cast<unsigned>(time(nullptr)));

    // The pass walks a copy so that a unit may change the list; the copy and
    // the error keep their storage from pass to pass.
    std::vector<ThreadProc*> pass;
    Exception error;
    bool deleted = false;
    self->m_pDeletedByUnit = &deleted;
    while (self->m_bRunning)
    {
        bool failed = false;
        // Taken by hand rather than by a SectionLock: after a unit deleted
        // the Thread, the lock (already released by the destructor) is gone.
        EnterCriticalSection(&self->m_csProcs);
        try
        {
            pass.assign(self->m_vProcs.begin(), self->m_vProcs.end());
            for (size_t i = 0; i < pass.size() && !deleted; ++i)
                pass[i]->Run(self);
        }
        catch (const Exception& e)
        {
            error = e;
            failed = true;
        }
        catch (...)
        {
            error = Exception();
            failed = true;
        }
        if (!deleted)
            LeaveCriticalSection(&self->m_csProcs);
        // Shown after the lock is released: the box blocks this thread until
        // it is closed, and AddProc or RemoveProc must not wait for that.
        if (failed)
            ShowError(error);
        if (deleted)
            return 0;
        Sleep(static_cast<DWORD>(self->m_iSleep.load()));
    }
    return 0;
}

} // namespace Orvu
