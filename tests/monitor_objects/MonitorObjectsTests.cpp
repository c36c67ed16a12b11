// The window manager and the monitor's application object, without native
// windows: windows here are engine window objects that never create one.

#include "AllocationCounter.h"
#include "MessageBoxWatcher.h"
#include "Ohmwatch.h"
#include "WindowManager.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

namespace
{

// A window object that notes its own deletion.
class RecordingWindow : public Orvu::WindowBase
{
public:
    RecordingWindow(int id, std::vector<int>& deleted) : m_id(id), m_deleted(deleted) {}
    ~RecordingWindow() override { m_deleted.push_back(m_id); }

private:
    int m_id;
    std::vector<int>& m_deleted;
};

class RecordingManager : public WindowManager
{
public:
    explicit RecordingManager(bool& deleted) : m_deleted(deleted) {}
    ~RecordingManager() override { m_deleted = true; }

private:
    bool& m_deleted;
};

class RecordingListener : public PowerListener
{
public:
    explicit RecordingListener(bool& deleted) : m_deleted(deleted) {}
    ~RecordingListener() override { m_deleted = true; }

private:
    bool& m_deleted;
};

} // namespace

TEST(WindowManager, UnknownIdsAreNeitherFoundNorQueued)
{
    std::vector<int> deleted;
    WindowManager manager;
    manager.AddWindow(1, new RecordingWindow(1, deleted));
    EXPECT_EQ(nullptr, manager.GetWindow(3));
    EXPECT_FALSE(manager.RemoveWindow(3));
    manager.DestroyClosed();
    EXPECT_TRUE(deleted.empty());
    EXPECT_NE(nullptr, manager.GetWindow(1));
}

TEST(WindowManager, AddingATakenIdIsRefusedAndTheRegisteredWindowStays)
{
    std::vector<int> deleted;
    RecordingWindow refused(50, deleted);
    {
        WindowManager manager;
        RecordingWindow* first = new RecordingWindow(5, deleted);
        EXPECT_TRUE(manager.AddWindow(5, first));
        EXPECT_FALSE(manager.AddWindow(5, &refused));
        EXPECT_EQ(first, manager.GetWindow(5));
    }
    // The refused window stays the caller's: the manager never deletes it.
    EXPECT_EQ((std::vector<int>{5}), deleted);
}

TEST(WindowManager, AQueuedWindowStaysRegisteredUntilDestroyClosed)
{
    std::vector<int> deleted;
    WindowManager manager;
    RecordingWindow* about = new RecordingWindow(5, deleted);
    manager.AddWindow(5, about);

    EXPECT_TRUE(manager.RemoveWindow(5));
    EXPECT_EQ(about, manager.GetWindow(5));
    EXPECT_TRUE(deleted.empty());

    manager.DestroyClosed();
    EXPECT_EQ((std::vector<int>{5}), deleted);
    EXPECT_EQ(nullptr, manager.GetWindow(5));
    EXPECT_FALSE(manager.RemoveWindow(5));

    RecordingWindow* again = new RecordingWindow(55, deleted);
    EXPECT_TRUE(manager.AddWindow(5, again));
    EXPECT_EQ(again, manager.GetWindow(5));
}

TEST(WindowManager, DestroyClosedDeletesInTheOrderOfTheRequests)
{
    std::vector<int> deleted;
    WindowManager manager;
    for (int id : {1, 2, 5, 6})
        manager.AddWindow(id, new RecordingWindow(id, deleted));
    manager.RemoveWindow(6);
    manager.RemoveWindow(1);
    manager.RemoveWindow(5);
    manager.DestroyClosed();
    EXPECT_EQ((std::vector<int>{6, 1, 5}), deleted);
    EXPECT_NE(nullptr, manager.GetWindow(2));

    // The queue was emptied: a further pass deletes nothing more.
    manager.DestroyClosed();
    EXPECT_EQ(3u, deleted.size());
}

TEST(WindowManager, AnIdRemovedTwiceBeforeTheTickIsDeletedOnce)
{
    std::vector<int> deleted;
    WindowManager manager;
    manager.AddWindow(5, new RecordingWindow(5, deleted));
    manager.AddWindow(6, new RecordingWindow(6, deleted));
    EXPECT_TRUE(manager.RemoveWindow(5));
    EXPECT_TRUE(manager.RemoveWindow(5));
    EXPECT_TRUE(manager.RemoveWindow(6));

    EXPECT_NO_THROW(manager.DestroyClosed());
    EXPECT_EQ((std::vector<int>{5, 6}), deleted);
    EXPECT_EQ(nullptr, manager.GetWindow(5));
    EXPECT_EQ(nullptr, manager.GetWindow(6));
}

TEST(WindowManager, DeletingTheManagerDeletesEveryWindowOnceInAscendingIdOrder)
{
    std::vector<int> deleted;
    WindowManager* manager = new WindowManager();
    for (int id : {6, 2, 1})
        manager->AddWindow(id, new RecordingWindow(id, deleted));
    // A queued window not yet destroyed belongs to the manager all the same.
    manager->RemoveWindow(2);
    delete manager;
    EXPECT_EQ((std::vector<int>{1, 2, 6}), deleted);
}

TEST(WindowManager, DestroyClosedWithAnEmptyQueueAllocatesNothing)
{
    std::vector<int> deleted;
    deleted.reserve(8);
    WindowManager fresh;
    WindowManager used;
    used.AddWindow(5, new RecordingWindow(5, deleted));
    used.RemoveWindow(5);
    used.DestroyClosed();
    used.AddWindow(6, new RecordingWindow(6, deleted));

    AllocationCounter counter;
    for (int i = 0; i < 1000; ++i)
    {
        fresh.DestroyClosed();
        used.DestroyClosed();
    }
    // Once the queue has held an id, queueing again reuses its storage.
    used.RemoveWindow(6);
    EXPECT_EQ(0, counter.News());
    used.DestroyClosed();
    EXPECT_EQ((std::vector<int>{5, 6}), deleted);
}

TEST(Ohmwatch, AFreshObjectHoldsNullPointersTheInitialStatusAndAnEmptyPicture)
{
    AllocationCounter counter;
    Ohmwatch app;
    EXPECT_EQ(0, counter.News());
    EXPECT_EQ(nullptr, app.m_pWindowManager);
    EXPECT_EQ(nullptr, app.m_pTray);
    EXPECT_EQ(nullptr, app.m_pPowerListener);
    EXPECT_EQ(nullptr, app.m_pPicManager);
    EXPECT_EQ(PowerSource::Unknown, app.m_lastStatus.source);
    EXPECT_EQ(255, app.m_lastStatus.percent);
    EXPECT_EQ(BatteryState::NoBattery, app.m_lastStatus.batteryState);
    EXPECT_TRUE(app.m_settings.AlertImage.empty());
}

TEST(Ohmwatch, DestroyingWithoutInitFreesOnlyTheText)
{
    bool managerDeleted = false;
    bool listenerDeleted = false;
    RecordingManager* manager = new RecordingManager(managerDeleted);
    RecordingListener* listener = new RecordingListener(listenerDeleted);

    Ohmwatch* app = new Ohmwatch();
    app->m_pWindowManager = manager;
    app->m_pPowerListener = listener;
    app->m_settings.AlertImage = std::wstring(200, L'p') + L".png";
    {
        AllocationCounter counter;
        delete app;
        // The object itself and its picture name's storage.
        EXPECT_EQ(2, counter.Deletes());
    }
    EXPECT_FALSE(managerDeleted);
    EXPECT_FALSE(listenerDeleted);
    delete manager;
    delete listener;
}

TEST(Ohmwatch, TickKeepsTheNewStatusDestroysQueuedWindowsAndAllocatesNothingWithoutAChange)
{
    std::vector<int> deleted;
    deleted.reserve(8);
    Ohmwatch app;
    app.m_pWindowManager = new WindowManager();
    app.m_pPowerListener = new PowerListener();
    app.m_pWindowManager->AddWindow(6, new RecordingWindow(6, deleted));
    app.m_pWindowManager->RemoveWindow(6);

    app.Tick();
    EXPECT_EQ(app.m_pPowerListener->m_status, app.m_lastStatus);
    EXPECT_EQ((std::vector<int>{6}), deleted);

    {
        AllocationCounter counter;
        for (int i = 0; i < 200; ++i)
            app.Tick();
        EXPECT_EQ(0, counter.News());
    }

    app.Release();
    EXPECT_EQ(nullptr, app.m_pWindowManager);
    EXPECT_EQ(nullptr, app.m_pPowerListener);
}
