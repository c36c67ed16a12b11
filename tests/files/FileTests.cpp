// File, folder and path helpers against the real file system under Wine.

#include "File.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

namespace
{

std::wstring Widen(const char* ascii)
{
    return std::wstring(ascii, ascii + strlen(ascii));
}

// A fresh folder under the temporary folder for each test, removed with
// everything in it afterwards.
class FileSystemTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        wchar_t temp[MAX_PATH + 1];
        ASSERT_NE(0u, GetTempPathW(MAX_PATH + 1, temp));
        m_root = std::wstring(temp) + L"orvu-files-" + std::to_wstring(GetCurrentProcessId()) +
                 L"-" + Widen(::testing::UnitTest::GetInstance()->current_test_info()->name());
        RemoveTree(m_root);
        ASSERT_TRUE(CreateDirectoryW(m_root.c_str(), nullptr));
    }

    void TearDown() override { RemoveTree(m_root); }

    std::wstring Path(const std::wstring& relative) const { return m_root + L"\\" + relative; }

    void MakeFolder(const std::wstring& relative) const
    {
        ASSERT_TRUE(CreateDirectoryW(Path(relative).c_str(), nullptr)) << GetLastError();
    }

    void WriteFile(const std::wstring& relative, const std::string& content) const
    {
        HANDLE h = CreateFileW(Path(relative).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                               FILE_ATTRIBUTE_NORMAL, nullptr);
        ASSERT_NE(INVALID_HANDLE_VALUE, h);
        DWORD written = 0;
        ::WriteFile(h, content.data(), static_cast<DWORD>(content.size()), &written, nullptr);
        CloseHandle(h);
        ASSERT_EQ(content.size(), written);
    }

    std::string ReadFile(const std::wstring& relative) const
    {
        HANDLE h = CreateFileW(Path(relative).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                               OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (h == INVALID_HANDLE_VALUE)
            return "<missing>";
        char buffer[256];
        DWORD read = 0;
        ::ReadFile(h, buffer, sizeof(buffer), &read, nullptr);
        CloseHandle(h);
        return std::string(buffer, read);
    }

    static void RemoveTree(const std::wstring& folder)
    {
        WIN32_FIND_DATAW entry;
        HANDLE h = FindFirstFileW((folder + L"\\*").c_str(), &entry);
        if (h != INVALID_HANDLE_VALUE)
        {
            do
            {
                const std::wstring name = entry.cFileName;
                if (name == L"." || name == L"..")
                    continue;
                const std::wstring path = folder + L"\\" + name;
                SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
                if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                    RemoveTree(path);
                else
                    DeleteFileW(path.c_str());
            } while (FindNextFileW(h, &entry));
            FindClose(h);
        }
        SetFileAttributesW(folder.c_str(), FILE_ATTRIBUTE_NORMAL);
        RemoveDirectoryW(folder.c_str());
    }

    std::wstring m_root;
};

// Notes every path reported, in order.
class Collector : public Orvu::Folder::FindFilesCallbackClass
{
public:
    void FindFilesCallback(const wchar_t* path) override { paths.push_back(path); }

    std::vector<std::wstring> Sorted() const
    {
        std::vector<std::wstring> sorted = paths;
        std::sort(sorted.begin(), sorted.end());
        return sorted;
    }

    std::vector<std::wstring> paths;
};

} // namespace

TEST(GetExtension, PointsIntoTheGivenTextAtTheLastDotOfTheFinalComponent)
{
    const wchar_t* twoDots = L"C:\\pictures\\archive.tar.gz";
    EXPECT_EQ(twoDots + 23, Orvu::File::GetExtension(twoDots));
    EXPECT_STREQ(L".gz", Orvu::File::GetExtension(twoDots));

    const wchar_t* plugin = L"plugins\\\\OPPic_gdiPlus.dll";
    EXPECT_STREQ(L".dll", Orvu::File::GetExtension(plugin));
}

TEST(GetExtension, DotOnlyInAFolderNameGivesTheTerminatingZero)
{
    const wchar_t* path = L"C:\\my.folder\\readme";
    const wchar_t* extension = Orvu::File::GetExtension(path);
    EXPECT_EQ(path + wcslen(path), extension);
    EXPECT_EQ(L'\0', *extension);

    const wchar_t* noDot = L"readme";
    EXPECT_EQ(noDot + 6, Orvu::File::GetExtension(noDot));
}

TEST(IsPathRelative, TellsRelativeFromAbsolutePaths)
{
    EXPECT_TRUE(Orvu::IsPathRelative(L"plugins\\"));
    EXPECT_TRUE(Orvu::IsPathRelative(L"Ohmwatch.ini"));
    EXPECT_FALSE(Orvu::IsPathRelative(L"C:\\Windows"));
    EXPECT_FALSE(Orvu::IsPathRelative(L"\\\\server\\share"));
}

TEST_F(FileSystemTest, FilesAndFoldersAreToldApartAndMissingPathsAreNeither)
{
    MakeFolder(L"folder");
    WriteFile(L"file.txt", "x");

    EXPECT_TRUE(Orvu::Folder::Exists(Path(L"folder").c_str()));
    EXPECT_FALSE(Orvu::File::Exists(Path(L"folder").c_str()));
    EXPECT_TRUE(Orvu::IsPathFolder(Path(L"folder").c_str()));

    EXPECT_TRUE(Orvu::File::Exists(Path(L"file.txt").c_str()));
    EXPECT_FALSE(Orvu::Folder::Exists(Path(L"file.txt").c_str()));
    EXPECT_FALSE(Orvu::IsPathFolder(Path(L"file.txt").c_str()));

    EXPECT_FALSE(Orvu::File::Exists(Path(L"missing").c_str()));
    EXPECT_FALSE(Orvu::Folder::Exists(Path(L"missing").c_str()));
    EXPECT_FALSE(Orvu::IsPathFolder(Path(L"missing").c_str()));
}

TEST_F(FileSystemTest, AFolderWithFurtherAttributesStillCountsAsAFolder)
{
    MakeFolder(L"hidden");
    ASSERT_TRUE(
        SetFileAttributesW(Path(L"hidden").c_str(), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM));
    ASSERT_NE(0u, GetFileAttributesW(Path(L"hidden").c_str()) & FILE_ATTRIBUTE_HIDDEN);

    MakeFolder(L"readonly");
    std::wstring readOnly = Path(L"readonly");
    SetFileAttributesW(readOnly.c_str(), FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_ARCHIVE);
    // Wine keeps no read-only flag of its own on folders; it reports one for
    // a Unix folder nobody may write to, such as /proc.
    if ((GetFileAttributesW(readOnly.c_str()) & FILE_ATTRIBUTE_READONLY) == 0)
        readOnly = L"Z:\\proc";
    ASSERT_NE(INVALID_FILE_ATTRIBUTES, GetFileAttributesW(readOnly.c_str()));
    ASSERT_NE(0u, GetFileAttributesW(readOnly.c_str()) & FILE_ATTRIBUTE_READONLY);

    for (const std::wstring& path : {Path(L"hidden"), readOnly})
    {
        EXPECT_TRUE(Orvu::Folder::Exists(path.c_str())) << path;
        EXPECT_FALSE(Orvu::File::Exists(path.c_str())) << path;
        EXPECT_TRUE(Orvu::Folder::Create(path.c_str())) << path;
    }
}

TEST_F(FileSystemTest, FolderCreateAcceptsAnExistingFolderButNeedsTheParentAndRefusesAFile)
{
    EXPECT_TRUE(Orvu::Folder::Create(Path(L"new").c_str()));
    EXPECT_TRUE(Orvu::Folder::Exists(Path(L"new").c_str()));
    EXPECT_TRUE(Orvu::Folder::Create(Path(L"new").c_str()));

    EXPECT_FALSE(Orvu::Folder::Create(Path(L"absent\\child").c_str()));
    EXPECT_FALSE(Orvu::Folder::Exists(Path(L"absent").c_str()));

    WriteFile(L"taken", "file");
    EXPECT_FALSE(Orvu::Folder::Create(Path(L"taken").c_str()));
    EXPECT_TRUE(Orvu::File::Exists(Path(L"taken").c_str()));
}

TEST_F(FileSystemTest, FolderDeleteAndIsEmptyOnlyAcceptEmptyFolders)
{
    MakeFolder(L"empty");
    MakeFolder(L"withFile");
    WriteFile(L"withFile\\a.txt", "a");
    MakeFolder(L"withFolder");
    MakeFolder(L"withFolder\\inner");

    EXPECT_TRUE(Orvu::Folder::IsEmpty(Path(L"empty").c_str()));
    EXPECT_FALSE(Orvu::Folder::IsEmpty(Path(L"withFile").c_str()));
    EXPECT_FALSE(Orvu::Folder::IsEmpty(Path(L"withFolder").c_str()));

    EXPECT_FALSE(Orvu::Folder::Delete(Path(L"withFile").c_str()));
    EXPECT_TRUE(Orvu::Folder::Exists(Path(L"withFile").c_str()));
    EXPECT_TRUE(Orvu::Folder::Delete(Path(L"empty").c_str()));
    EXPECT_FALSE(Orvu::Folder::Exists(Path(L"empty").c_str()));
    EXPECT_FALSE(Orvu::Folder::Delete(Path(L"empty").c_str()));
}

TEST_F(FileSystemTest, CopyReplacesAnExistingTargetAndDeleteRemovesOnlyFiles)
{
    WriteFile(L"source.txt", "new content");
    WriteFile(L"target.txt", "old");
    EXPECT_TRUE(Orvu::File::Copy(Path(L"source.txt").c_str(), Path(L"target.txt").c_str()));
    EXPECT_EQ("new content", ReadFile(L"target.txt"));
    EXPECT_EQ("new content", ReadFile(L"source.txt"));

    EXPECT_FALSE(Orvu::File::Copy(Path(L"missing.txt").c_str(), Path(L"target.txt").c_str()));
    EXPECT_EQ("new content", ReadFile(L"target.txt"));

    EXPECT_TRUE(Orvu::File::Delete(Path(L"target.txt").c_str()));
    EXPECT_FALSE(Orvu::File::Exists(Path(L"target.txt").c_str()));
    EXPECT_FALSE(Orvu::File::Delete(Path(L"target.txt").c_str()));

    MakeFolder(L"folder");
    EXPECT_FALSE(Orvu::File::Delete(Path(L"folder").c_str()));
    EXPECT_TRUE(Orvu::Folder::Exists(Path(L"folder").c_str()));
}

// root\ a.dll, b.txt, sub.dll\ {c.dll, d.txt, deep.dll\ {e.dll}}, other\ {f.dll}
class FindFilesTest : public FileSystemTest
{
protected:
    void SetUp() override
    {
        FileSystemTest::SetUp();
        WriteFile(L"a.dll", "");
        WriteFile(L"b.txt", "");
        MakeFolder(L"sub.dll");
        WriteFile(L"sub.dll\\c.dll", "");
        WriteFile(L"sub.dll\\d.txt", "");
        MakeFolder(L"sub.dll\\deep.dll");
        WriteFile(L"sub.dll\\deep.dll\\e.dll", "");
        MakeFolder(L"other");
        WriteFile(L"other\\f.dll", "");
        m_folder = m_root + L"\\";
    }

    // The text a report carries: the folder as given, a backslash, the name.
    std::wstring Reported(const std::wstring& rest) const { return m_folder + L"\\" + rest; }

    std::wstring m_folder;
};

TEST_F(FindFilesTest, WithoutRecursionAMatchingSubFolderIsReportedLikeAFile)
{
    Collector found;
    Orvu::Folder::FindFiles(m_folder.c_str(), &found, L"*.dll", false);
    EXPECT_EQ((std::vector<std::wstring>{Reported(L"a.dll"), Reported(L"sub.dll")}),
              found.Sorted());
}

TEST_F(FindFilesTest, RecursionDescendsOnlyIntoMatchingSubFolders)
{
    Collector found;
    Orvu::Folder::FindFiles(m_folder.c_str(), &found, L"*.dll", true);
    // other\ does not match "*.dll", so f.dll is never seen; each descent
    // adds a backslash to the folder text before the entry's own one.
    EXPECT_EQ((std::vector<std::wstring>{Reported(L"a.dll"), Reported(L"sub.dll\\\\c.dll"),
                                         Reported(L"sub.dll\\\\deep.dll\\\\e.dll")}),
              found.Sorted());
}

TEST_F(FindFilesTest, RecursionOverEverythingSearchesEachSubFolderCompletelyFirst)
{
    Collector found;
    Orvu::Folder::FindFiles(m_folder.c_str(), &found, L"*", true);
    EXPECT_EQ((std::vector<std::wstring>{Reported(L"a.dll"), Reported(L"b.txt"),
                                         Reported(L"other\\\\f.dll"), Reported(L"sub.dll\\\\c.dll"),
                                         Reported(L"sub.dll\\\\d.txt"),
                                         Reported(L"sub.dll\\\\deep.dll\\\\e.dll")}),
              found.Sorted());

    // Depth first: the reports from inside sub.dll\ form one run.
    const std::wstring inner = Reported(L"sub.dll\\\\");
    std::vector<bool> isInner;
    for (const std::wstring& path : found.paths)
        isInner.push_back(path.compare(0, inner.size(), inner) == 0);
    const auto first = std::find(isInner.begin(), isInner.end(), true);
    const auto last = std::find(isInner.rbegin(), isInner.rend(), true).base();
    EXPECT_EQ(3, std::count(first, last, true));
    EXPECT_EQ(3, last - first);
}

TEST_F(FindFilesTest, DotEntriesAreNeverReported)
{
    for (bool recursive : {false, true})
    {
        Collector found;
        Orvu::Folder::FindFiles(m_folder.c_str(), &found, L"*", recursive);
        EXPECT_FALSE(found.paths.empty());
        for (const std::wstring& path : found.paths)
        {
            const std::wstring name = path.substr(path.find_last_of(L'\\') + 1);
            EXPECT_NE(L".", name) << recursive;
            EXPECT_NE(L"..", name) << recursive;
        }
    }
    Collector onlyDots;
    Orvu::Folder::FindFiles(m_folder.c_str(), &onlyDots, L".*", true);
    EXPECT_TRUE(onlyDots.paths.empty());
}

TEST_F(FindFilesTest, AMissingFolderOrNoMatchReportsNothing)
{
    Collector found;
    Orvu::Folder::FindFiles((m_root + L"\\absent\\").c_str(), &found, L"*", true);
    Orvu::Folder::FindFiles(m_folder.c_str(), &found, L"*.none", false);
    EXPECT_TRUE(found.paths.empty());
}

TEST_F(FindFilesTest, PathsLongerThanTheClassicLimitArriveWhole)
{
    // The folder text winds in and out of other\ until it is far longer
    // than MAX_PATH; the reports must carry it in full or not at all.
    std::wstring folder = m_root;
    while (folder.size() < 2 * MAX_PATH)
        folder += L"\\other\\..";
    folder += L"\\";
    Collector found;
    Orvu::Folder::FindFiles(folder.c_str(), &found, L"a.*", false);
    for (const std::wstring& path : found.paths)
        EXPECT_EQ(folder + L"\\a.dll", path);
    EXPECT_LE(found.paths.size(), 1u);
}
