// Reading "Ohmwatch.ini" from the current directory: a missing file, line
// ends, 8-bit and UTF-16 text, and the echo of every line to standard output;
// where a data file is looked for (the current folder, else the program's).

#include "DataFiles.h"
#include "Settings.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>

#include <cstdio>
#include <string>

namespace
{

// Runs each test in a fresh temporary folder as the current directory,
// where "Ohmwatch.ini" is looked for.
class SettingsFile : public ::testing::Test
{
protected:
    void SetUp() override
    {
        wchar_t temp[MAX_PATH];
        GetTempPathW(MAX_PATH, temp);
        m_folder = std::wstring(temp) + L"ohmwatch-settings-" + std::to_wstring(GetTickCount());
        CreateDirectoryW(m_folder.c_str(), nullptr);
        GetCurrentDirectoryW(MAX_PATH, m_previous);
        SetCurrentDirectoryW(m_folder.c_str());
        SetDefaultSettings(m_settings);
    }

    void TearDown() override
    {
        DeleteFileW(L"Ohmwatch.ini");
        SetCurrentDirectoryW(m_previous);
        RemoveDirectoryW(m_folder.c_str());
    }

    void Write(const std::string& bytes)
    {
        FILE* file = _wfopen(L"Ohmwatch.ini", L"wb");
        ASSERT_NE(nullptr, file);
        fwrite(bytes.data(), 1, bytes.size(), file);
        fclose(file);
    }

    // Reads the file, returning what was echoed to standard output (caught
    // in a file put in place of descriptor 1 for the call).
    std::wstring Read(bool expectFile = true)
    {
        fflush(stdout);
        const int saved = _dup(1);
        const int echoFile = _wopen(L"echo.txt", _O_CREAT | _O_TRUNC | _O_WRONLY | _O_BINARY,
                                    _S_IREAD | _S_IWRITE);
        _dup2(echoFile, 1);
        const bool found = ReadSettings(m_settings);
        fflush(stdout);
        _dup2(saved, 1);
        _close(saved);
        _close(echoFile);
        EXPECT_EQ(expectFile, found);

        std::wstring echo;
        FILE* file = _wfopen(L"echo.txt", L"rb");
        for (int c = file ? fgetc(file) : EOF; c != EOF; c = fgetc(file))
            if (c != '\r') // standard output is in text mode
                echo.push_back(static_cast<wchar_t>(static_cast<unsigned char>(c)));
        if (file)
            fclose(file);
        DeleteFileW(L"echo.txt");
        return echo;
    }

    Settings m_settings;
    std::wstring m_folder;
    wchar_t m_previous[MAX_PATH] = {};
};

} // namespace

TEST_F(SettingsFile, MissingFileKeepsDefaultsAndReportsFalse)
{
    EXPECT_EQ(L"", Read(false));
    EXPECT_TRUE(m_settings.AlertDoShow);
    EXPECT_EQ(L"power-disconnected.png", m_settings.AlertImage);
}

TEST_F(SettingsFile, CrLfFileReadsLikeLfAndEveryLineIsEchoed)
{
    Write("# comment\r\nAlertShowPercent:20\r\n\r\nAlertImage:C:\\a b.png\r\nAlertOpacity:300");
    const std::wstring echo = Read();
    EXPECT_EQ(20, m_settings.AlertShowPercent);
    EXPECT_EQ(L"C:\\a b.png", m_settings.AlertImage); // no carriage return left over
    EXPECT_EQ(44, m_settings.AlertOpacity);           // last line without a line feed
    EXPECT_EQ(L"# comment\nAlertShowPercent:20\n\nAlertImage:C:\\a b.png\nAlertOpacity:300\n",
              echo);
}

TEST_F(SettingsFile, EveryByteIsTheSameCodePointUpToTheEndOfTheFile)
{
    // Ctrl-Z (0x1A) is an ordinary character, not the end of the file.
    Write("AlertImage:caf\xE9\x1A.png\n\x1A\nAlertDoShow:0\n");
    const std::wstring echo = Read();
    EXPECT_EQ(std::wstring(L"caf\u00E9\u001A.png"), m_settings.AlertImage);
    EXPECT_FALSE(m_settings.AlertDoShow);
    EXPECT_EQ(std::wstring(L"AlertImage:caf\u00E9\u001A.png\n\u001A\nAlertDoShow:0\n"), echo);
}

TEST_F(SettingsFile, VeryLongLinesAreReadWhole)
{
    const std::string name(100000, 'x');
    Write("AlertImage:" + name + "\nAlertDoShow:0\n");
    Read();
    EXPECT_EQ(name.size(), m_settings.AlertImage.size());
    EXPECT_FALSE(m_settings.AlertDoShow);
}

TEST_F(SettingsFile, Utf16FileIsReadWholeAndEchoedAsUtf8)
{
    // Notepad's "Unicode": half of its bytes are zeros.
    const std::string ascii = "AlertShowPercent:30\r\nAlertImage:Zo";
    std::string bytes = "\xFF\xFE";
    for (char c : ascii)
        bytes += std::string(1, c) + '\0';
    bytes += std::string("\xEB\0.\0p\0n\0g\0", 10);
    Write(bytes);
    const std::wstring echo = Read();
    EXPECT_EQ(30, m_settings.AlertShowPercent);
    EXPECT_EQ(std::wstring(L"Zo\u00EB.png"), m_settings.AlertImage);
    // The echo's bytes, widened one by one by Read.
    EXPECT_EQ(std::wstring(L"AlertShowPercent:30\nAlertImage:Zo\u00C3\u00AB.png\n"), echo);
}

TEST_F(SettingsFile, DataFilesComeFromTheCurrentFolderElseFromTheProgramFolder)
{
    // The folder this test program runs from.
    ASSERT_FALSE(ProgramFolder().empty());
    EXPECT_TRUE(GetFileAttributesW((ProgramFolder() + L"settings_tests.exe").c_str()) !=
                INVALID_FILE_ATTRIBUTES);

    // A stand-in for the program's folder, below the current one.
    const std::wstring beside = m_folder + L"\\program\\";
    CreateDirectoryW(beside.c_str(), nullptr);
    const std::wstring besideFile = beside + L"Ohmwatch.ini";
    FILE* file = _wfopen(besideFile.c_str(), L"wb");
    ASSERT_NE(nullptr, file);
    fclose(file);

    EXPECT_EQ(besideFile, LocateDataFile(L"Ohmwatch.ini", beside));
    // Found nowhere, or absolute: the name as it is.
    EXPECT_EQ(L"other.ini", LocateDataFile(L"other.ini", beside));
    EXPECT_EQ(L"C:\\no\\Ohmwatch.ini", LocateDataFile(L"C:\\no\\Ohmwatch.ini", beside));
    // The current folder's file comes first.
    Write("AlertDoShow:0\n");
    EXPECT_EQ(L"Ohmwatch.ini", LocateDataFile(L"Ohmwatch.ini", beside));

    DeleteFileW(besideFile.c_str());
    RemoveDirectoryW(beside.c_str());
}
