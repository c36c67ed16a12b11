#include "Exception.h"

#include <windows.h>

#include <cstdio>

namespace Orvu
{

Exception::Exception(const wchar_t* msg, const wchar_t* title)
    : m_sMsg(msg ? msg : L""), m_sTitle(title ? title : L"")
{
}

Exception::Exception(const Exception& other) = default;

Exception& Exception::operator=(const Exception& other) = default;

Exception::~Exception() = default;

const wchar_t* Exception::GetMsg() const
{
    return m_sMsg.c_str();
}

const wchar_t* Exception::GetTitle() const
{
    return m_sTitle.c_str();
}

void ShowError(const Exception& e)
{
    const std::wstring caption = std::wstring(L"Orvu - Error: ") + e.GetTitle();
    // A quit message already waiting in this thread's queue would end the
    // box's own message loop and close the box before anyone has read it (a
    // window without a handler posts one when it is destroyed while an
    // exception unwinds). It waits until the box is closed.
    MSG quit;
    const bool quitPending = PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE) != FALSE;
    MessageBoxW(nullptr, e.GetMsg(), caption.c_str(),
                MB_OK | MB_ICONERROR | MB_TASKMODAL | MB_SETFOREGROUND | MB_TOPMOST);
    if (quitPending)
        PostQuitMessage(static_cast<int>(quit.wParam));
}

void GetLastWindowsError()
{
    const DWORD code = GetLastError();
    if (code == 0)
        return;

    wchar_t text[1024] = {};
    const DWORD length =
        FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, 0,
                       text, sizeof(text) / sizeof(text[0]), nullptr);
    if (length == 0)
        throw Exception(L"Undefined Error", L"Windows");
    throw Exception(text, L"Windows");
}

namespace
{

// Points one of the C runtime's standard streams at the console, unbuffered,
// so that what the program prints appears at once. Reopening the console
// device works with every C runtime, unlike copying FILE structures.
void AttachStream(const wchar_t* device, const wchar_t* mode, FILE* stream)
{
    if (_wfreopen(device, mode, stream) != nullptr)
        setvbuf(stream, nullptr, _IONBF, 0);
}

} // namespace

void OpenConsole()
{
    AllocConsole();
    AttachStream(L"CONOUT$", L"w", stdout);
    AttachStream(L"CONIN$", L"r", stdin);
}

void CloseConsole()
{
    FreeConsole();
}

} // namespace Orvu
