#pragma once

// Starts test_shell.exe (tests/support/TestShell) from a test program, sends it
// commands and reads its log, so a test sees the notification-area icons of
// its own process the way the shell sees them. See TestShell.cpp for the log
// format and the commands.
//
//   TestShell shell;
//   ASSERT_TRUE(shell.Start());
//   const size_t mark = shell.Mark();
//   ... code under test calls Shell_NotifyIconW ...
//   std::vector<ShellEvent> seen = shell.EventsSince(mark);
//   shell.Command("dblclick");
//   shell.WaitUntil([&] { return fired; });   // pumps this thread's messages
//
// Only one test shell may run at a time in a Wine prefix: give every test that
// starts one the CTest property RESOURCE_LOCK test_shell.

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>
#include <vector>

// One line of the shell's log.
struct ShellEvent
{
    std::string kind;                          // ADD, MODIFY, DELETE, CMD, RESTART, ...
    std::string line;                          // the whole line
    std::map<std::string, std::string> fields; // key=value pairs, tip unquoted (UTF-8)

    bool Has(const std::string& key) const { return fields.count(key) != 0; }
    std::string Get(const std::string& key) const
    {
        std::map<std::string, std::string>::const_iterator it = fields.find(key);
        return it == fields.end() ? std::string() : it->second;
    }
    unsigned Number(const std::string& key) const
    {
        return static_cast<unsigned>(std::strtoul(Get(key).c_str(), nullptr, 0));
    }
    bool Succeeded() const { return Get("result") == "1"; }
    HWND Owner() const { return reinterpret_cast<HWND>(static_cast<UINT_PTR>(Number("hwnd"))); }
    bool HasTip() const { return Has("tip") && Get("tip") != "none"; }
    // The tooltip as the shell received it.
    std::wstring Tip() const
    {
        const std::string utf8 = Get("tip");
        if (utf8.empty())
            return std::wstring();
        const int size = MultiByteToWideChar(CP_UTF8, 0, utf8.c_str(),
                                             static_cast<int>(utf8.size()), nullptr, 0);
        std::wstring out(static_cast<size_t>(size), L'\0');
        MultiByteToWideChar(CP_UTF8, 0, utf8.c_str(), static_cast<int>(utf8.size()), &out[0], size);
        return out;
    }
    // Checksum part of "mask=0x1234abcd/32" or "color=...".
    unsigned Sum(const std::string& key) const
    {
        return static_cast<unsigned>(std::strtoul(Get(key).c_str(), nullptr, 16));
    }
};

// What the shell logs as mask= and color= for an icon of this process.
struct IconSums
{
    bool valid = false;
    int width = 0;
    int height = 0;
    unsigned mask = 0;
    unsigned color = 0;
};

inline unsigned TestShellFnv1a(const std::vector<unsigned char>& data)
{
    unsigned hash = 2166136261u;
    for (size_t i = 0; i < data.size(); ++i)
    {
        hash ^= data[i];
        hash *= 16777619u;
    }
    return hash;
}

// Reads an icon's bitmaps the way Wine's Shell_NotifyIconW does before it
// hands them to the shell.
inline IconSums ComputeIconSums(HICON icon)
{
    IconSums sums;
    ICONINFO info;
    if (icon == nullptr || !GetIconInfo(icon, &info))
        return sums;
    BITMAP mask = {}, color = {};
    const bool ok = GetObjectW(info.hbmMask, sizeof(mask), &mask) != 0 &&
                    info.hbmColor != nullptr &&
                    GetObjectW(info.hbmColor, sizeof(color), &color) != 0;
    if (ok)
    {
        std::vector<unsigned char> maskBits(
            (mask.bmPlanes * mask.bmWidth * mask.bmHeight * mask.bmBitsPixel + 15) / 16 * 2);
        std::vector<unsigned char> colorBits(
            (color.bmPlanes * color.bmWidth * color.bmHeight * color.bmBitsPixel + 15) / 16 * 2);
        GetBitmapBits(info.hbmMask, static_cast<LONG>(maskBits.size()), maskBits.data());
        GetBitmapBits(info.hbmColor, static_cast<LONG>(colorBits.size()), colorBits.data());
        sums.valid = true;
        sums.width = color.bmWidth;
        sums.height = color.bmHeight;
        sums.mask = TestShellFnv1a(maskBits);
        sums.color = TestShellFnv1a(colorBits);
    }
    DeleteObject(info.hbmMask);
    if (info.hbmColor)
        DeleteObject(info.hbmColor);
    return sums;
}

// Whether the shell's record of an icon shows exactly this picture.
inline bool ShowsIcon(const ShellEvent& event, HICON icon)
{
    const IconSums sums = ComputeIconSums(icon);
    char size[32];
    std::snprintf(size, sizeof(size), "%dx%d", sums.width, sums.height);
    return sums.valid && event.Get("icon") == size && event.Sum("mask") == sums.mask &&
           event.Sum("color") == sums.color;
}

class TestShell
{
public:
    TestShell()
    {
        static unsigned counter = 0;
        wchar_t temp[MAX_PATH];
        GetTempPathW(MAX_PATH, temp);
        wchar_t stem[MAX_PATH + 64];
        std::swprintf(stem, MAX_PATH + 64, L"%sorvu-test-shell-%lu-%u", temp, GetCurrentProcessId(),
                      ++counter);
        m_logPath = std::wstring(stem) + L".log";
        m_commandPath = std::wstring(stem) + L".cmd";
    }

    ~TestShell() { Stop(); }

    TestShell(const TestShell&) = delete;
    TestShell& operator=(const TestShell&) = delete;

    // Starts the shell beside this test program and waits until its window
    // is the one that Shell_NotifyIconW finds. extraOptions are added to the
    // command line (e.g. L"--icon-dir C:\\icons").
    bool Start(const std::wstring& extraOptions = std::wstring(), DWORD timeoutMs = 10000)
    {
        if (m_process)
            return true;
        DeleteFileW(m_logPath.c_str());
        DeleteFileW(m_commandPath.c_str());
        // A shell started again writes a new log.
        m_events.clear();
        m_partial.clear();
        m_offset = 0;
        wchar_t self[MAX_PATH];
        const DWORD length = GetModuleFileNameW(nullptr, self, MAX_PATH);
        std::wstring exe(self, length);
        exe = exe.substr(0, exe.find_last_of(L"\\/") + 1) + L"test_shell.exe";
        std::wstring command = L"\"" + exe + L"\" --log \"" + m_logPath + L"\" --commands \"" +
                               m_commandPath + L"\" --timeout 600 " + extraOptions;
        STARTUPINFOW startup = {};
        startup.cb = sizeof(startup);
        PROCESS_INFORMATION process = {};
        if (!CreateProcessW(exe.c_str(), &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                            &startup, &process))
            return false;
        CloseHandle(process.hThread);
        m_process = process.hProcess;
        if (!WaitUntil([this] { return Find("READY") != nullptr; }, timeoutMs))
            return false;
        m_window = reinterpret_cast<HWND>(static_cast<UINT_PTR>(Find("READY")->Number("shell")));
        return FindWindowW(L"Shell_TrayWnd", nullptr) == m_window;
    }

    // Asks the shell to end and waits for it (kills it if it does not end).
    // Returns the shell's exit code, or -1 when it had to be killed.
    int Stop()
    {
        if (!m_process)
            return -1;
        Command("quit");
        DWORD code = static_cast<DWORD>(-1);
        if (WaitForSingleObject(m_process, 5000) == WAIT_OBJECT_0)
            GetExitCodeProcess(m_process, &code);
        else
            TerminateProcess(m_process, 99);
        CloseHandle(m_process);
        m_process = nullptr;
        m_window = nullptr;
        DeleteFileW(m_commandPath.c_str());
        DeleteFileW(m_logPath.c_str());
        return static_cast<int>(code);
    }

    HWND Window() const { return m_window; }

    // Appends one command line for the shell to carry out.
    void Command(const std::string& line)
    {
        HANDLE file = CreateFileW(m_commandPath.c_str(), FILE_APPEND_DATA,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                  OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file == INVALID_HANDLE_VALUE)
            return;
        const std::string text = line + "\n";
        DWORD written = 0;
        WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
        CloseHandle(file);
    }

    // Sends a command and waits until the shell has carried it out.
    bool CommandAndWait(const std::string& line, DWORD timeoutMs = 5000)
    {
        const size_t mark = Mark();
        Command(line);
        return WaitUntil(
            [&]
            {
                for (const ShellEvent& e : EventsSince(mark))
                    if ((e.kind == "CMD" || e.kind == "ERROR") &&
                        e.line.compare(e.kind.size() + 1, line.size(), line) == 0)
                        return true;
                return false;
            },
            timeoutMs);
    }

    // Every log line so far.
    const std::vector<ShellEvent>& Events()
    {
        Read();
        return m_events;
    }

    size_t Mark() { return Events().size(); }

    std::vector<ShellEvent> EventsSince(size_t mark)
    {
        const std::vector<ShellEvent>& all = Events();
        return std::vector<ShellEvent>(
            all.begin() + static_cast<long>(mark < all.size() ? mark : all.size()), all.end());
    }

    // The icon notifications (ADD, MODIFY, DELETE, ...) since the mark.
    std::vector<ShellEvent> NotificationsSince(size_t mark)
    {
        std::vector<ShellEvent> out;
        for (const ShellEvent& e : EventsSince(mark))
            if (e.kind == "ADD" || e.kind == "MODIFY" || e.kind == "DELETE" ||
                e.kind == "SETFOCUS" || e.kind == "SETVERSION")
                out.push_back(e);
        return out;
    }

    // The shell's current icons ("dump"), one ICON event each.
    std::vector<ShellEvent> Icons()
    {
        const size_t mark = Mark();
        Command("dump");
        std::vector<ShellEvent> icons;
        WaitUntil(
            [&]
            {
                icons.clear();
                for (const ShellEvent& e : EventsSince(mark))
                {
                    if (e.kind == "END")
                        return true;
                    if (e.kind == "ICON")
                        icons.push_back(e);
                }
                return false;
            });
        return icons;
    }

    // The first event of this kind, or null.
    const ShellEvent* Find(const std::string& kind, size_t since = 0)
    {
        const std::vector<ShellEvent>& all = Events();
        for (size_t i = since; i < all.size(); ++i)
            if (all[i].kind == kind)
                return &all[i];
        return nullptr;
    }

    // Waits until done() holds, dispatching this thread's messages meanwhile
    // (the icon's window usually belongs to the waiting thread).
    template <typename Done> static bool WaitUntil(Done done, DWORD timeoutMs = 5000)
    {
        const DWORD start = GetTickCount();
        for (;;)
        {
            MSG msg;
            while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
            {
                TranslateMessage(&msg);
                DispatchMessageW(&msg);
            }
            if (done())
                return true;
            if (GetTickCount() - start >= timeoutMs)
                return false;
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
        }
    }

    // Dispatches this thread's messages for a while.
    static void Pump(DWORD ms)
    {
        WaitUntil([] { return false; }, ms);
    }

private:
    void Read()
    {
        HANDLE file = CreateFileW(m_logPath.c_str(), GENERIC_READ,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file == INVALID_HANDLE_VALUE)
            return;
        LARGE_INTEGER offset;
        offset.QuadPart = static_cast<LONGLONG>(m_offset);
        if (SetFilePointerEx(file, offset, nullptr, FILE_BEGIN))
        {
            char buffer[8192];
            DWORD got = 0;
            while (ReadFile(file, buffer, sizeof(buffer), &got, nullptr) && got > 0)
            {
                m_partial.append(buffer, got);
                m_offset += got;
            }
        }
        CloseHandle(file);
        size_t newline;
        while ((newline = m_partial.find('\n')) != std::string::npos)
        {
            m_events.push_back(Parse(m_partial.substr(0, newline)));
            m_partial.erase(0, newline + 1);
        }
    }

    static ShellEvent Parse(const std::string& line)
    {
        ShellEvent event;
        event.line = line;
        size_t pos = line.find(' ');
        event.kind = line.substr(0, pos);
        while (pos != std::string::npos && pos < line.size())
        {
            while (pos < line.size() && line[pos] == ' ')
                ++pos;
            const size_t equals = line.find('=', pos);
            const size_t space = line.find(' ', pos);
            if (equals == std::string::npos || (space != std::string::npos && space < equals))
            {
                pos = space;
                continue;
            }
            const std::string key = line.substr(pos, equals - pos);
            pos = equals + 1;
            std::string value;
            if (pos < line.size() && line[pos] == '"')
            {
                for (++pos; pos < line.size() && line[pos] != '"'; ++pos)
                {
                    if (line[pos] == '\\' && pos + 1 < line.size())
                    {
                        ++pos;
                        if (line[pos] == 'x' && pos + 2 < line.size())
                        {
                            value += static_cast<char>(
                                std::strtoul(line.substr(pos + 1, 2).c_str(), nullptr, 16));
                            pos += 2;
                            continue;
                        }
                    }
                    value += line[pos];
                }
                ++pos;
            }
            else
            {
                const size_t end = line.find(' ', pos);
                value = line.substr(pos, end == std::string::npos ? std::string::npos : end - pos);
                pos = end;
            }
            event.fields[key] = value;
        }
        return event;
    }

    std::wstring m_logPath;
    std::wstring m_commandPath;
    HANDLE m_process = nullptr;
    HWND m_window = nullptr;
    unsigned long long m_offset = 0;
    std::string m_partial;
    std::vector<ShellEvent> m_events;
};
