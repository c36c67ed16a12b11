#pragma once

#include "OrvuExport.h"

#include <string>

namespace Orvu
{

// The engine's one exception type: a message and a title. Thrown by value,
// caught by reference, shown to the user with ShowError.
class ORVU_API Exception
{
public:
    Exception(const wchar_t* msg = L"Undefined", const wchar_t* title = L"Unknown");
    Exception(const Exception& other);
    Exception& operator=(const Exception& other);
    virtual ~Exception();

    const wchar_t* GetMsg() const;
    const wchar_t* GetTitle() const;

private:
    std::wstring m_sMsg;
    std::wstring m_sTitle;
};

// Shows the exception in a task-modal, top-most error box captioned
// "Orvu - Error: " followed by its title; returns when the box is closed.
ORVU_API void ShowError(const Exception& e);

// Throws the calling thread's last system error as Exception(text, "Windows");
// returns normally when there is none.
ORVU_API void GetLastWindowsError();

// Give a windowed program a console for standard output and input.
ORVU_API void OpenConsole();
ORVU_API void CloseConsole();

} // namespace Orvu
