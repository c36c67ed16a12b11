// test_shell.exe: a stand-in for the taskbar's notification area, for tests
// under Wine.
//
// Wine's Shell_NotifyIconW looks for the first top-level window of class
// "Shell_TrayWnd" and sends it the icon record as WM_COPYDATA (wParam: the
// owner window, dwData: the NIM_ code; the window's answer becomes the call's
// result). This program owns such a window, so it sees every add, modify and
// delete of every program in the same Wine prefix, the way the shell does,
// from outside the process that owns the icon. Under Wine's null display
// driver nothing else owns that class; under X11 Wine's own explorer does too,
// but the window created last is found first, so the test shell still gets
// every call (checked with Wine 8.0).
//
// Usage:
//   wine test_shell.exe [--log FILE] [--commands FILE] [--icon-dir DIR]
//                       [--timeout SECONDS] [--echo] [--times]
//
//   --log FILE       write the log to FILE (UTF-8, one event per line, flushed
//                    at once); without it the log goes to standard output
//   --echo           with --log, write every line to standard output too
//   --commands FILE  poll FILE (every 20 ms) for commands, one per line; append
//                    lines to it while the shell runs (it may not exist yet)
//   --icon-dir DIR   also save every 32-bit icon received as DIR\icon-NNNN.bmp
//                    (top-down, alpha kept); the log names the file
//   --timeout S      end after S seconds whatever happens (default 300), so a
//                    failed test never leaves the shell running
//   --times          end every log line with " at=<microseconds since 1970>",
//                    the moment the shell received the call, read from the
//                    same clock as the Linux side's (scripts/bench.sh times
//                    the monitor with it)
//
// Paths are Windows paths; relative ones are taken from the working folder
// (tests run in build/bin). Z:\ reaches the Linux file system, and while the
// working folder is on Z: a Linux absolute path such as /tmp/shell.log works.
//
// Log lines (fields in this order; numbers in hex are 0x-prefixed):
//   READY shell=<hwnd> pid=<n>                  the shell window exists
//   ADD|MODIFY|DELETE|SETFOCUS|SETVERSION|NIM(<n>) result=<0|1> hwnd=<owner>
//       uid=<n> flags=<hex> callback=<hex|none> tip="<text>"|none
//       icon=<w>x<h> planes=<n> bpp=<n> mask=<fnv1a>/<bytes>
//       color=<fnv1a>/<bytes> [file=<name>] | icon=none | icon=invalid
//       [version=<n>]
//     callback, tip and icon are what this one call carried (NIF_MESSAGE,
//     NIF_TIP, NIF_ICON); tip is quoted with \" \\ and \xNN escapes; version
//     (SETVERSION only) is the version asked for. result is the shell's
//     answer: ADD fails for an icon that is there already, MODIFY, DELETE,
//     SETFOCUS and SETVERSION for one that is not, SETVERSION also for any
//     version but 0 and 3 and while "version refuse", every call while
//     "refuse on".
//   CMD <command>                               a command was carried out
//   ERROR <command>: <why>                      a command was not understood
//   ICON hwnd=.. uid=.. flags=.. callback=.. tip=.. icon=.. version=<n>
//                                               (from "dump"; version: the one
//                                               granted, 0 when none was)
//   END count=<n>                               end of a dump
//   RESTART                                     icons forgotten (see restart)
//   QUIT | TIMEOUT                              the shell ends
//
// The checksums are 32-bit FNV-1a over the mask bits and the colour bits as
// GetBitmapBits gives them for the icon's ICONINFO bitmaps in the owner's
// process, so a test computes the same values from its own HICON.
//
// Commands (TARGET is "[<owner hwnd> [<uid>]]", by default the icon added
// last that is still there):
//   dblclick TARGET      post the callback message with WM_LBUTTONDOWN,
//                        WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_LBUTTONUP
//   lclick TARGET        ... WM_LBUTTONDOWN, WM_LBUTTONUP
//   rclick TARGET        ... WM_RBUTTONDOWN, WM_RBUTTONUP
//                        For an icon that was granted version 3, as the
//                        real shell does: NIN_SELECT after every
//                        WM_LBUTTONUP, WM_CONTEXTMENU after WM_RBUTTONUP.
//   keyselect TARGET     ... NIN_KEYSELECT (Enter or Space on the icon)
//   contextmenu TARGET   ... WM_CONTEXTMENU (the menu key or Shift+F10)
//                        These two are sent whatever the icon's version.
//   post MSG TARGET      ... with the one mouse message MSG (e.g. 0x0205)
//   cursor X Y           move the mouse pointer (SetCursorPos)
//   taskbarcreated       broadcast the registered message "TaskbarCreated"
//   restart              forget every icon, as a restarted shell does, then
//                        broadcast "TaskbarCreated"
//   refuse on|off        answer FALSE to every call from now on (or not)
//   version accept|refuse  grant NIM_SETVERSION (the default) or refuse it,
//                        as a shell older than Windows 2000 does
//   freeze SECONDS       stop answering for that long, as a hung shell does:
//                        every caller waits until it answers again (logged as
//                        CMD when the freeze starts)
//   dump                 log every icon known (ICON lines, then END)
//   quit                 end the shell
// Before posting a callback message the shell allows the owner's process to
// take the foreground, as the real taskbar does, so its menus can open.
//
// Only one test shell may run at a time in a prefix (Wine talks to the first
// one it finds): give CTest tests that start one RESOURCE_LOCK test_shell.
//
// Example from a shell script (in the null-driver prefix, in build/bin):
//   wine ../tests-bin/test_shell.exe --log shell.log --commands shell.cmd &
//   ... start the program, wait for an ADD line in shell.log ...
//   echo dblclick >> shell.cmd; echo quit >> shell.cmd
// From C++ tests, tests/support/TestShell.h starts and drives it.

#include <windows.h>
#include <shellapi.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <string>
#include <vector>

namespace
{

// Wine 8.0's layout of the WM_COPYDATA record (shell32's notify_data).
const size_t kOffHwnd = 0;
const size_t kOffVersion = 792;
const size_t kOffUid = 4;
const size_t kOffFlags = 8;
const size_t kOffCallback = 12;
const size_t kOffTip = 16;
const size_t kTipChars = 128;
const size_t kOffIconWidth = 944;
const size_t kOffIconBits = 960;

struct Icon
{
    unsigned owner = 0;
    unsigned uid = 0;
    unsigned flags = 0; // every flag seen for this icon so far
    bool hasCallback = false;
    unsigned callback = 0;
    bool hasTip = false;
    std::wstring tip;
    std::string iconText = "icon=none";
    unsigned version = 0; // granted by NIM_SETVERSION; 0 after every add
};

struct Options
{
    std::wstring logPath;
    std::wstring commandPath;
    std::wstring iconDir;
    unsigned timeoutSeconds = 300;
    bool echo = false;
    bool times = false;
};

Options g_options;
FILE* g_log = nullptr;
std::vector<Icon> g_icons;
bool g_refuse = false;
bool g_refuseVersion = false;
unsigned g_iconFiles = 0;
unsigned long long g_commandOffset = 0;
std::string g_pendingCommand;
const UINT_PTR kPollTimer = 1;

// Microseconds since 1970: Wine reads the system time from the host's clock.
std::string TimeStamp()
{
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    const unsigned long long ticks =
        (static_cast<unsigned long long>(now.dwHighDateTime) << 32) | now.dwLowDateTime;
    const unsigned long long unixEpochTicks = 116444736000000000ull;
    char text[32];
    std::snprintf(text, sizeof(text), " at=%llu", (ticks - unixEpochTicks) / 10);
    return text;
}

void Log(const std::string& text)
{
    const std::string line = g_options.times ? text + TimeStamp() : text;
    if (g_log)
    {
        std::fputs(line.c_str(), g_log);
        std::fputc('\n', g_log);
        std::fflush(g_log);
    }
    if (!g_log || g_options.echo)
    {
        std::fputs(line.c_str(), stdout);
        std::fputc('\n', stdout);
        std::fflush(stdout);
    }
}

std::string Hex(unsigned value, int digits = 8)
{
    char text[16];
    std::snprintf(text, sizeof(text), "0x%0*x", digits, value);
    return text;
}

std::string Dec(unsigned value)
{
    char text[16];
    std::snprintf(text, sizeof(text), "%u", value);
    return text;
}

std::string Utf8(const std::wstring& text)
{
    if (text.empty())
        return std::string();
    const int size = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()),
                                         nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), &out[0], size,
                        nullptr, nullptr);
    return out;
}

std::string Quote(const std::wstring& text)
{
    std::string out = "\"";
    const std::string utf8 = Utf8(text);
    for (size_t i = 0; i < utf8.size(); ++i)
    {
        const unsigned char c = static_cast<unsigned char>(utf8[i]);
        if (c == '"' || c == '\\')
        {
            out += '\\';
            out += static_cast<char>(c);
        }
        else if (c < 0x20 || c == 0x7f)
        {
            char esc[8];
            std::snprintf(esc, sizeof(esc), "\\x%02x", c);
            out += esc;
        }
        else
            out += static_cast<char>(c);
    }
    return out + "\"";
}

unsigned Fnv1a(const unsigned char* data, size_t size)
{
    unsigned hash = 2166136261u;
    for (size_t i = 0; i < size; ++i)
    {
        hash ^= data[i];
        hash *= 16777619u;
    }
    return hash;
}

unsigned ReadU32(const unsigned char* data, size_t offset)
{
    unsigned value;
    std::memcpy(&value, data + offset, sizeof(value));
    return value;
}

std::string SaveIconBitmap(unsigned width, unsigned height, const unsigned char* bits, size_t size)
{
    if (g_options.iconDir.empty() || width == 0 || height == 0 ||
        size < static_cast<size_t>(width) * height * 4)
        return std::string();
    wchar_t name[32];
    std::swprintf(name, 32, L"icon-%04u.bmp", ++g_iconFiles);
    const std::wstring path = g_options.iconDir + L"\\" + name;

    BITMAPINFOHEADER info = {};
    info.biSize = sizeof(info);
    info.biWidth = static_cast<LONG>(width);
    info.biHeight = -static_cast<LONG>(height);
    info.biPlanes = 1;
    info.biBitCount = 32;
    info.biCompression = BI_RGB;
    const DWORD pixelBytes = width * height * 4;
    BITMAPFILEHEADER file = {};
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof(file) + sizeof(info);
    file.bfSize = file.bfOffBits + pixelBytes;

    FILE* out = _wfopen(path.c_str(), L"wb");
    if (!out)
        return std::string();
    std::fwrite(&file, sizeof(file), 1, out);
    std::fwrite(&info, sizeof(info), 1, out);
    std::fwrite(bits, 1, pixelBytes, out);
    std::fclose(out);
    return Utf8(name);
}

std::string DescribeIcon(const unsigned char* data, size_t size)
{
    if (size < kOffIconBits)
        return "icon=invalid";
    const unsigned width = ReadU32(data, kOffIconWidth);
    const unsigned height = ReadU32(data, kOffIconWidth + 4);
    const unsigned planes = ReadU32(data, kOffIconWidth + 8);
    const unsigned bpp = ReadU32(data, kOffIconWidth + 12);
    // The sender attaches no bits when it cannot read the icon handle.
    if (size == kOffIconBits || width == 0 || height == 0)
        return "icon=invalid";
    const size_t payload = size - kOffIconBits;
    size_t maskSize = (static_cast<size_t>(width) * height + 15) / 16 * 2;
    if (maskSize > payload)
        maskSize = payload;
    const unsigned char* mask = data + kOffIconBits;
    const unsigned char* color = mask + maskSize;
    const size_t colorSize = payload - maskSize;

    std::string text =
        "icon=" + Dec(width) + "x" + Dec(height) + " planes=" + Dec(planes) + " bpp=" + Dec(bpp) +
        " mask=" + Hex(Fnv1a(mask, maskSize)) + "/" + Dec(static_cast<unsigned>(maskSize)) +
        " color=" + Hex(Fnv1a(color, colorSize)) + "/" + Dec(static_cast<unsigned>(colorSize));
    if (bpp == 32 && planes == 1)
    {
        const std::string file = SaveIconBitmap(width, height, color, colorSize);
        if (!file.empty())
            text += " file=" + file;
    }
    return text;
}

Icon* FindIcon(unsigned owner, unsigned uid)
{
    for (size_t i = 0; i < g_icons.size(); ++i)
        if (g_icons[i].owner == owner && g_icons[i].uid == uid)
            return &g_icons[i];
    return nullptr;
}

std::string DescribeStored(const Icon& icon)
{
    return "hwnd=" + Hex(icon.owner) + " uid=" + Dec(icon.uid) + " flags=" + Hex(icon.flags) +
           " callback=" + (icon.hasCallback ? Hex(icon.callback, 4) : std::string("none")) +
           " tip=" + (icon.hasTip ? Quote(icon.tip) : std::string("none")) + " " + icon.iconText +
           " version=" + Dec(icon.version);
}

LRESULT HandleNotify(HWND owner, const COPYDATASTRUCT* copy)
{
    const unsigned char* data = static_cast<const unsigned char*>(copy->lpData);
    const size_t size = copy->cbData;
    const char* names[] = {"ADD", "MODIFY", "DELETE", "SETFOCUS", "SETVERSION"};
    const std::string name =
        copy->dwData < 5 ? names[copy->dwData] : "NIM(" + Dec((unsigned)copy->dwData) + ")";
    if (data == nullptr || size < kOffIconWidth)
    {
        Log(name + " result=0 malformed size=" + Dec(static_cast<unsigned>(size)));
        return FALSE;
    }

    Icon call;
    call.owner = ReadU32(data, kOffHwnd);
    call.uid = ReadU32(data, kOffUid);
    call.flags = ReadU32(data, kOffFlags);
    if (call.flags & NIF_MESSAGE)
    {
        call.hasCallback = true;
        call.callback = ReadU32(data, kOffCallback);
    }
    if (call.flags & NIF_TIP)
    {
        const wchar_t* tip = reinterpret_cast<const wchar_t*>(data + kOffTip);
        call.hasTip = true;
        call.tip.assign(tip, wcsnlen(tip, kTipChars));
    }
    if (call.flags & NIF_ICON)
        call.iconText = DescribeIcon(data, size);
    if (static_cast<HWND>(LongToHandle(call.owner)) != owner)
        call.iconText += " wparam=" + Hex(HandleToUlong(owner));

    Icon* known = FindIcon(call.owner, call.uid);
    BOOL result = FALSE;
    if (!g_refuse)
    {
        switch (copy->dwData)
        {
        case NIM_ADD:
            if (!known)
            {
                g_icons.push_back(call);
                result = TRUE;
            }
            break;
        case NIM_MODIFY:
            if (known)
            {
                known->flags |= call.flags;
                if (call.hasCallback)
                {
                    known->hasCallback = true;
                    known->callback = call.callback;
                }
                if (call.hasTip)
                {
                    known->hasTip = true;
                    known->tip = call.tip;
                }
                if (call.flags & NIF_ICON)
                    known->iconText = call.iconText;
                result = TRUE;
            }
            break;
        case NIM_DELETE:
            if (known)
            {
                g_icons.erase(g_icons.begin() + (known - &g_icons[0]));
                result = TRUE;
            }
            break;
        case NIM_SETFOCUS:
            result = known != nullptr;
            break;
        case NIM_SETVERSION:
        {
            const unsigned version = ReadU32(data, kOffVersion);
            if (known && !g_refuseVersion && (version == 0 || version == NOTIFYICON_VERSION))
            {
                known->version = version;
                result = TRUE;
            }
            break;
        }
        default:
            break;
        }
    }
    Log(name + " result=" + Dec(result) + " hwnd=" + Hex(call.owner) + " uid=" + Dec(call.uid) +
        " flags=" + Hex(call.flags) +
        " callback=" + (call.hasCallback ? Hex(call.callback, 4) : std::string("none")) +
        " tip=" + (call.hasTip ? Quote(call.tip) : std::string("none")) + " " + call.iconText +
        (copy->dwData == NIM_SETVERSION ? " version=" + Dec(ReadU32(data, kOffVersion)) : ""));
    return result;
}

std::vector<std::string> Split(const std::string& line)
{
    std::vector<std::string> words;
    size_t pos = 0;
    while (pos < line.size())
    {
        while (pos < line.size() && (line[pos] == ' ' || line[pos] == '\t'))
            ++pos;
        size_t end = pos;
        while (end < line.size() && line[end] != ' ' && line[end] != '\t')
            ++end;
        if (end > pos)
            words.push_back(line.substr(pos, end - pos));
        pos = end;
    }
    return words;
}

bool ParseNumber(const std::string& word, unsigned& value)
{
    if (word.empty())
        return false;
    char* end = nullptr;
    const unsigned long parsed = std::strtoul(word.c_str(), &end, 0);
    if (end == nullptr || *end != '\0')
        return false;
    value = static_cast<unsigned>(parsed);
    return true;
}

// Finds the icon named by words[first...] (owner, uid), or the icon added last.
Icon* ResolveTarget(const std::vector<std::string>& words, size_t first, std::string& why)
{
    if (words.size() <= first)
    {
        if (g_icons.empty())
        {
            why = "no icon";
            return nullptr;
        }
        return &g_icons.back();
    }
    unsigned owner = 0, uid = 0;
    if (!ParseNumber(words[first], owner) ||
        (words.size() > first + 1 && !ParseNumber(words[first + 1], uid)))
    {
        why = "bad target";
        return nullptr;
    }
    Icon* icon = FindIcon(owner, uid);
    if (!icon)
        why = "no such icon";
    return icon;
}

bool PostCallback(const Icon& icon, const std::vector<UINT>& mouseMessages, std::string& why)
{
    if (!icon.hasCallback)
    {
        why = "icon has no callback message";
        return false;
    }
    const HWND owner = static_cast<HWND>(LongToHandle(icon.owner));
    DWORD process = 0;
    GetWindowThreadProcessId(owner, &process);
    // The real taskbar lets the icon's program take the foreground before it
    // reports a click, so that program can open a menu or raise a window.
    if (process != 0)
        AllowSetForegroundWindow(process);
    for (size_t i = 0; i < mouseMessages.size(); ++i)
        if (!PostMessageW(owner, icon.callback, icon.uid, mouseMessages[i]))
        {
            why = "PostMessage failed";
            return false;
        }
    return true;
}

// What a shell that granted version 3 adds to the mouse messages: NIN_SELECT
// after a left button goes up, WM_CONTEXTMENU after the right one.
std::vector<UINT> WithVersion3Notifications(const std::vector<UINT>& mouseMessages)
{
    std::vector<UINT> out;
    for (size_t i = 0; i < mouseMessages.size(); ++i)
    {
        out.push_back(mouseMessages[i]);
        if (mouseMessages[i] == WM_LBUTTONUP)
            out.push_back(NIN_SELECT);
        else if (mouseMessages[i] == WM_RBUTTONUP)
            out.push_back(WM_CONTEXTMENU);
    }
    return out;
}

void BroadcastTaskbarCreated()
{
    static const UINT taskbarCreated = RegisterWindowMessageW(L"TaskbarCreated");
    PostMessageW(HWND_BROADCAST, taskbarCreated, 0, 0);
}

// Returns false when the shell should end.
bool RunCommand(const std::string& line)
{
    const std::vector<std::string> words = Split(line);
    if (words.empty())
        return true;
    const std::string& verb = words[0];
    std::string why;

    std::vector<UINT> clicks;
    size_t targetAt = 1;
    bool mouse = true;
    if (verb == "dblclick")
        clicks = {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_LBUTTONUP};
    else if (verb == "lclick")
        clicks = {WM_LBUTTONDOWN, WM_LBUTTONUP};
    else if (verb == "rclick")
        clicks = {WM_RBUTTONDOWN, WM_RBUTTONUP};
    else if (verb == "keyselect" || verb == "contextmenu")
    {
        clicks.push_back(verb == "keyselect" ? NIN_KEYSELECT : WM_CONTEXTMENU);
        mouse = false;
    }
    else if (verb == "post")
    {
        unsigned message = 0;
        if (words.size() < 2 || !ParseNumber(words[1], message))
        {
            Log("ERROR " + line + ": post needs a mouse message number");
            return true;
        }
        clicks.push_back(message);
        targetAt = 2;
        mouse = false;
    }

    if (!clicks.empty())
    {
        Icon* icon = ResolveTarget(words, targetAt, why);
        if (icon && mouse && icon->version == NOTIFYICON_VERSION)
            clicks = WithVersion3Notifications(clicks);
        if (!icon || !PostCallback(*icon, clicks, why))
        {
            Log("ERROR " + line + ": " + why);
            return true;
        }
    }
    else if (verb == "cursor")
    {
        unsigned x = 0, y = 0;
        if (words.size() != 3 || !ParseNumber(words[1], x) || !ParseNumber(words[2], y))
        {
            Log("ERROR " + line + ": cursor needs X Y");
            return true;
        }
        SetCursorPos(static_cast<int>(x), static_cast<int>(y));
    }
    else if (verb == "taskbarcreated")
        BroadcastTaskbarCreated();
    else if (verb == "restart")
    {
        g_icons.clear();
        Log("RESTART");
        BroadcastTaskbarCreated();
    }
    else if (verb == "refuse" && words.size() == 2 && (words[1] == "on" || words[1] == "off"))
        g_refuse = words[1] == "on";
    else if (verb == "version" && words.size() == 2 &&
             (words[1] == "accept" || words[1] == "refuse"))
        g_refuseVersion = words[1] == "refuse";
    else if (verb == "freeze")
    {
        unsigned seconds = 0;
        if (words.size() != 2 || !ParseNumber(words[1], seconds))
        {
            Log("ERROR " + line + ": freeze needs SECONDS");
            return true;
        }
        Log("CMD " + line);
        // Nothing is taken from the queue meanwhile, so every call waits.
        Sleep(seconds * 1000u);
        return true;
    }
    else if (verb == "dump")
    {
        for (size_t i = 0; i < g_icons.size(); ++i)
            Log("ICON " + DescribeStored(g_icons[i]));
        Log("END count=" + Dec(static_cast<unsigned>(g_icons.size())));
        return true;
    }
    else if (verb == "quit")
        return false;
    else
    {
        Log("ERROR " + line + ": unknown command");
        return true;
    }
    Log("CMD " + line);
    return true;
}

// Reads what was appended to the command file since the last poll and runs
// every complete line. Returns false when a command ends the shell.
bool PollCommands()
{
    if (g_options.commandPath.empty())
        return true;
    HANDLE file = CreateFileW(g_options.commandPath.c_str(), GENERIC_READ,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return true;
    LARGE_INTEGER offset;
    offset.QuadPart = static_cast<LONGLONG>(g_commandOffset);
    std::string fresh;
    if (SetFilePointerEx(file, offset, nullptr, FILE_BEGIN))
    {
        char buffer[4096];
        DWORD got = 0;
        while (ReadFile(file, buffer, sizeof(buffer), &got, nullptr) && got > 0)
        {
            fresh.append(buffer, got);
            g_commandOffset += got;
        }
    }
    CloseHandle(file);

    g_pendingCommand += fresh;
    size_t newline;
    while ((newline = g_pendingCommand.find('\n')) != std::string::npos)
    {
        std::string line = g_pendingCommand.substr(0, newline);
        g_pendingCommand.erase(0, newline + 1);
        if (!line.empty() && line[line.size() - 1] == '\r')
            line.erase(line.size() - 1);
        if (!RunCommand(line))
            return false;
    }
    return true;
}

LRESULT CALLBACK ShellProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg)
    {
    case WM_COPYDATA:
        return HandleNotify(reinterpret_cast<HWND>(wParam),
                            reinterpret_cast<const COPYDATASTRUCT*>(lParam));
    case WM_TIMER:
        if (wParam == kPollTimer && !PollCommands())
        {
            Log("QUIT");
            DestroyWindow(hwnd);
        }
        return 0;
    case WM_CLOSE:
        Log("QUIT");
        DestroyWindow(hwnd);
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    default:
        return DefWindowProcW(hwnd, msg, wParam, lParam);
    }
}

bool ParseOptions()
{
    int argc = 0;
    LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    if (!argv)
        return false;
    bool ok = true;
    for (int i = 1; i < argc && ok; ++i)
    {
        const std::wstring arg = argv[i];
        const bool hasValue = i + 1 < argc;
        if (arg == L"--log" && hasValue)
            g_options.logPath = argv[++i];
        else if (arg == L"--commands" && hasValue)
            g_options.commandPath = argv[++i];
        else if (arg == L"--icon-dir" && hasValue)
            g_options.iconDir = argv[++i];
        else if (arg == L"--timeout" && hasValue)
            g_options.timeoutSeconds = static_cast<unsigned>(std::wcstoul(argv[++i], nullptr, 10));
        else if (arg == L"--echo")
            g_options.echo = true;
        else if (arg == L"--times")
            g_options.times = true;
        else
        {
            std::fprintf(stderr, "test_shell: unknown or incomplete option %s\n",
                         Utf8(arg).c_str());
            ok = false;
        }
    }
    LocalFree(argv);
    return ok;
}

} // namespace

int main()
{
    if (!ParseOptions())
    {
        std::fputs("usage: test_shell.exe [--log FILE] [--commands FILE] [--icon-dir DIR] "
                   "[--timeout SECONDS] [--echo] [--times]\n",
                   stderr);
        return 2;
    }
    if (!g_options.logPath.empty())
    {
        g_log = _wfopen(g_options.logPath.c_str(), L"wb");
        if (!g_log)
        {
            std::fprintf(stderr, "test_shell: cannot write %s\n", Utf8(g_options.logPath).c_str());
            return 2;
        }
    }
    // Commands already in the file belong to an earlier run.
    g_commandOffset = 0;
    if (!g_options.commandPath.empty())
    {
        WIN32_FILE_ATTRIBUTE_DATA info;
        if (GetFileAttributesExW(g_options.commandPath.c_str(), GetFileExInfoStandard, &info))
            g_commandOffset =
                (static_cast<unsigned long long>(info.nFileSizeHigh) << 32) | info.nFileSizeLow;
    }

    WNDCLASSEXW wc = {};
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = ShellProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"Shell_TrayWnd";
    if (!RegisterClassExW(&wc))
    {
        Log("ERROR startup: cannot register Shell_TrayWnd");
        return 3;
    }
    const HWND other = FindWindowW(L"Shell_TrayWnd", nullptr);
    // Top-level and never shown: Wine finds it by class, and a hidden window
    // costs nothing under any display driver.
    const HWND shell = CreateWindowExW(0, L"Shell_TrayWnd", L"test_shell", WS_POPUP, 0, 0, 0, 0,
                                       nullptr, nullptr, wc.hInstance, nullptr);
    if (!shell)
    {
        Log("ERROR startup: cannot create the shell window");
        return 3;
    }
    if (other)
        Log("WARNING another Shell_TrayWnd exists: " + Hex(HandleToUlong(other)));
    SetTimer(shell, kPollTimer, 20, nullptr);
    const DWORD deadline = GetTickCount() + g_options.timeoutSeconds * 1000u;
    Log("READY shell=" + Hex(HandleToUlong(shell)) + " pid=" + Dec(GetCurrentProcessId()));

    MSG msg;
    int code = 0;
    for (;;)
    {
        const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
        if (got == 0 || got == -1)
            break;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
        if (code == 0 && static_cast<int>(deadline - GetTickCount()) < 0)
        {
            Log("TIMEOUT");
            DestroyWindow(shell);
            code = 1;
        }
    }
    if (g_log)
        std::fclose(g_log);
    return code;
}
