#include "ExitRequestWindow.h"

#include "ProductInfo.h"

namespace
{

const wchar_t kClassName[] = L"Ohmwatch_ExitRequest";

LRESULT CALLBACK ExitRequestProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == ExitRequestMessage() && message != 0)
    {
        if (TakeExitRequest())
            PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

} // namespace

unsigned int ExitRequestMessage()
{
    static const UINT message = RegisterWindowMessageW(OHMWATCH_EXIT_MESSAGE);
    return message;
}

bool TakeExitRequest()
{
    const HANDLE request = OpenEventW(SYNCHRONIZE, FALSE, OHMWATCH_EXIT_REQUEST);
    if (request == nullptr)
        return false;
    // An auto-reset event: a successful wait takes the signal.
    const bool taken = WaitForSingleObject(request, 0) == WAIT_OBJECT_0;
    CloseHandle(request);
    return taken;
}

ExitRequestWindow::ExitRequestWindow(HINSTANCE instance) : m_instance(instance), m_hWnd(nullptr)
{
    WNDCLASSEXW wc;
    ZeroMemory(&wc, sizeof(wc));
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = ExitRequestProc;
    wc.hInstance = instance;
    wc.lpszClassName = kClassName;
    if (RegisterClassExW(&wc) == 0)
        return;
    // Top-level (message-only windows receive no broadcasts), never shown.
    m_hWnd = CreateWindowExW(0, kClassName, L"", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                             instance, nullptr);
    if (m_hWnd == nullptr)
        UnregisterClassW(kClassName, instance);
}

ExitRequestWindow::~ExitRequestWindow()
{
    if (m_hWnd == nullptr)
        return;
    DestroyWindow(m_hWnd);
    UnregisterClassW(kClassName, m_instance);
}
