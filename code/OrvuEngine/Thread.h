#pragma once

#include "OrvuExport.h"

#include <windows.h>

#include <atomic>
#include <vector>

namespace Orvu
{

class Thread;

// One unit of work that a Thread runs once per pass, on its worker thread.
class ORVU_API ThreadProc
{
public:
    virtual ~ThreadProc();
    virtual void Run(Thread* thread) = 0;
};

// Runs its units, in the order they were added, on one worker thread: pass
// after pass, with a sleep after each pass, until it is ended. An exception
// escaping a unit is shown with ShowError on the worker and costs the rest of
// that pass; it never ends the worker.
//
// The unit list is guarded: AddProc and RemoveProc may be called from any
// thread while the worker runs. Called from another thread, they wait for the
// pass in progress to finish, so once RemoveProc has returned the worker no
// longer calls that unit and it may be deleted. Called by a unit during a
// pass, a change takes effect from the next pass. Units are not owned.
class ORVU_API Thread
{
public:
    explicit Thread(int sleep = 100);
    // Waits, without a time limit, for a running worker to finish its pass.
    virtual ~Thread();

    // False when already running or when the worker cannot be created.
    bool Start();
    // kill: terminate the worker at once, in whatever state it is (the unit
    // list's lock, which it may have held, is renewed, so no other thread may
    // be changing the list meanwhile); otherwise wait until it has finished
    // its pass and sleep. A unit may end its own Thread: the worker then
    // leaves its loop after the pass without waiting. A unit may also delete
    // its own Thread: the worker then ends at once, calling no further unit.
    void End(bool kill);

    // False when the unit is already in the list.
    bool AddProc(ThreadProc* proc);
    // False when the unit is not in the list.
    bool RemoveProc(ThreadProc* proc);

    // Milliseconds slept after each pass.
    void SetSleep(int sleep);
    int GetSleep() const;
    bool IsRunning() const;

private:
    Thread(const Thread&) = delete;
    Thread& operator=(const Thread&) = delete;

    static DWORD WINAPI ThreadProcStatic(LPVOID param);
    // Waits for a worker that has been told to end and closes its handle.
    void JoinWorker();

#ifdef _MSC_VER
#pragma warning(push)
#pragma warning(disable : 4251) // private member of an exported class
#endif
    std::atomic<bool> m_bRunning;
    HANDLE m_hThread;
    DWORD m_dwThreadId;
    std::vector<ThreadProc*> m_vProcs;
    std::atomic<int> m_iSleep;
    // Set by the destructor when a unit deletes this Thread on its worker;
    // the flag itself lives on the worker's stack. Used by the worker only.
    bool* m_pDeletedByUnit;
#ifdef _MSC_VER
#pragma warning(pop)
#endif
    // Guards m_vProcs; the worker holds it for the whole of each pass.
    CRITICAL_SECTION m_csProcs;
};

} // namespace Orvu
