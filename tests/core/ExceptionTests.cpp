// Exception values, the error box and turning system errors into exceptions.

#include "Exception.h"
#include "MessageBoxWatcher.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <string>

TEST(Exception, DefaultsAreUndefinedAndUnknown)
{
    Orvu::Exception e;
    EXPECT_STREQ(L"Undefined", e.GetMsg());
    EXPECT_STREQ(L"Unknown", e.GetTitle());
}

TEST(Exception, CopiesOutliveTheirSourceAndSelfAssignmentKeepsTexts)
{
    Orvu::Exception* source = new Orvu::Exception(L"message text", L"title text");
    Orvu::Exception copy(*source);
    Orvu::Exception assigned;
    assigned = *source;
    delete source;
    EXPECT_STREQ(L"message text", copy.GetMsg());
    EXPECT_STREQ(L"title text", copy.GetTitle());
    EXPECT_STREQ(L"message text", assigned.GetMsg());

    Orvu::Exception& alias = assigned;
    assigned = alias;
    EXPECT_STREQ(L"message text", assigned.GetMsg());
    EXPECT_STREQ(L"title text", assigned.GetTitle());
}

TEST(Exception, ShowErrorCaptionsTheBoxWithTheTitle)
{
    MessageBoxWatcher watcher;
    Orvu::ShowError(Orvu::Exception(L"the message", L"The Title"));
    const auto boxes = watcher.Seen();
    ASSERT_EQ(1u, boxes.size());
    EXPECT_EQ(L"Orvu - Error: The Title", boxes[0].caption);
    EXPECT_EQ(L"the message", boxes[0].text);
}

TEST(Exception, ShowErrorTakesTitlesOfAnyLength)
{
    MessageBoxWatcher watcher;
    const std::wstring title(4000, L'T');
    Orvu::ShowError(Orvu::Exception(L"long", title.c_str()));
    const auto boxes = watcher.Seen();
    ASSERT_EQ(1u, boxes.size());
    EXPECT_EQ(L"Orvu - Error: " + title, boxes[0].caption);
}

TEST(LastWindowsError, ReturnsQuietlyWhenThereIsNoError)
{
    SetLastError(0);
    EXPECT_NO_THROW(Orvu::GetLastWindowsError());
}

TEST(LastWindowsError, MissingFileThrowsTheSystemTextUnderWindows)
{
    const HANDLE file =
        CreateFileW(L"Z:\\no\\such\\file.txt", GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_EQ(INVALID_HANDLE_VALUE, file);
    const DWORD code = GetLastError();
    ASSERT_TRUE(code == ERROR_FILE_NOT_FOUND || code == ERROR_PATH_NOT_FOUND);

    wchar_t expected[1024] = {};
    FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, 0,
                   expected, 1024, nullptr);
    ASSERT_NE(L'\0', expected[0]);

    SetLastError(code);
    try
    {
        Orvu::GetLastWindowsError();
        FAIL() << "no exception";
    }
    catch (const Orvu::Exception& e) // thrown inside the engine DLL, caught here
    {
        EXPECT_STREQ(L"Windows", e.GetTitle());
        EXPECT_STREQ(expected, e.GetMsg());
    }
}

TEST(LastWindowsError, CodeWithoutSystemTextGivesUndefinedError)
{
    SetLastError(0x2FFFFFFF);
    try
    {
        Orvu::GetLastWindowsError();
        FAIL() << "no exception";
    }
    catch (const Orvu::Exception& e)
    {
        EXPECT_STREQ(L"Undefined Error", e.GetMsg());
        EXPECT_STREQ(L"Windows", e.GetTitle());
    }
}
