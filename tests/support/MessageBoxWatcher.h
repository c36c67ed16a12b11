#pragma once

// Closes the message boxes that the code under test opens, from a thread of
// its own, after noting each box's caption and text. No test waits for a
// person. Given a hold time, it leaves each box open that long first, as a
// person reading it would, and notes whether the box went away by itself.

#include <windows.h>

#include <atomic>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

struct SeenMessageBox
{
    std::wstring caption;
    std::wstring text;
    bool closedByItself = false;
};

class MessageBoxWatcher
{
public:
    explicit MessageBoxWatcher(DWORD holdMs = 0)
        : m_holdMs(holdMs), m_running(true), m_thread([this] { Watch(); })
    {
    }

    ~MessageBoxWatcher()
    {
        m_running = false;
        m_thread.join();
    }

    MessageBoxWatcher(const MessageBoxWatcher&) = delete;
    MessageBoxWatcher& operator=(const MessageBoxWatcher&) = delete;

    std::vector<SeenMessageBox> Seen()
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_seen;
    }

    // Waits until at least count boxes were seen, or the timeout passes.
    bool WaitFor(size_t count, DWORD timeoutMs = 5000)
    {
        const DWORD start = GetTickCount();
        while (GetTickCount() - start < timeoutMs)
        {
            if (Seen().size() >= count)
                return true;
            Sleep(10);
        }
        return false;
    }

private:
    void Watch()
    {
        while (m_running)
        {
            HWND box = FindWindowW(L"#32770", nullptr);
            if (box != nullptr && IsWindowVisible(box))
            {
                SeenMessageBox seen;
                seen.caption = ReadText(box);
                HWND label = GetDlgItem(box, 0xFFFF);
                seen.text = label ? ReadText(label) : L"";
                const DWORD shown = GetTickCount();
                while (GetTickCount() - shown < m_holdMs && IsWindow(box))
                    Sleep(5);
                seen.closedByItself = !IsWindow(box);
                {
                    std::lock_guard<std::mutex> lock(m_mutex);
                    m_seen.push_back(seen);
                }
                PostMessageW(box, WM_COMMAND, IDOK, 0);
                // Wait for the box to go away so it is counted once.
                for (int i = 0; i < 500 && IsWindow(box); ++i)
                    Sleep(5);
            }
            Sleep(5);
        }
    }

    static std::wstring ReadText(HWND window)
    {
        const int length = GetWindowTextLengthW(window);
        std::wstring text(static_cast<size_t>(length) + 1, L'\0');
        const int copied = GetWindowTextW(window, &text[0], length + 1);
        text.resize(static_cast<size_t>(copied > 0 ? copied : 0));
        return text;
    }

    const DWORD m_holdMs;
    std::atomic<bool> m_running;
    std::mutex m_mutex;
    std::vector<SeenMessageBox> m_seen;
    std::thread m_thread;
};
