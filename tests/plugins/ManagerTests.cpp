// The plugin manager: binding modules by their three entry points, the
// extension table, and routing pictures to plugins, with test modules and
// with the real plugins in plugins\.

#include "Color.h"
#include "Graphics.h"
#include "PluginTestSupport.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <memory>
#include <string>

namespace
{

std::wstring Fixture(const wchar_t* name)
{
    return FixtureDir() + name;
}

// The test module that throws from call.
std::wstring Throwing(const wchar_t* call)
{
    return ProgramDir() + L"plugin-throwing\\OPPic_tThrow" + call + L".dll";
}

class PluginManager : public ::testing::Test
{
protected:
    void SetUp() override { TakePluginLog(); }
    void TearDown() override { TakePluginLog(); }
};

} // namespace

TEST_F(PluginManager, ModuleOfAnotherVersionIsUnloadedWithoutBeingCreated)
{
    InspectableManager manager;
    EXPECT_FALSE(manager.LoadPlugin(Fixture(L"OPPic_tVersion2.dll").c_str()));
    EXPECT_EQ(L"OPPic_tVersion2:Version;", TakePluginLog());
    EXPECT_FALSE(IsModuleLoaded(L"OPPic_tVersion2.dll"));
    EXPECT_TRUE(manager.Exts().empty());
    EXPECT_TRUE(manager.Plugins().empty());
}

TEST_F(PluginManager, ModuleWithoutReleaseIsUnloadedBeforeAnyEntryPointRuns)
{
    InspectableManager manager;
    EXPECT_FALSE(manager.LoadPlugin(Fixture(L"OPPic_tNoRelease.dll").c_str()));
    EXPECT_EQ(L"", TakePluginLog());
    EXPECT_FALSE(IsModuleLoaded(L"OPPic_tNoRelease.dll"));
    EXPECT_TRUE(manager.Plugins().empty());
}

TEST_F(PluginManager, FilesThatAreNoLibrariesAndMissingFoldersLeaveTheManagerEmpty)
{
    InspectableManager manager;
    EXPECT_FALSE(manager.LoadPlugin(Fixture(L"OPPic_x.dll").c_str()));
    EXPECT_FALSE(manager.LoadPlugin(Fixture(L"OPPic_missing.dll").c_str()));
    manager.LoadPlugins(L"Z:\\no\\such\\folder\\");
    EXPECT_TRUE(manager.Exts().empty());
    EXPECT_TRUE(manager.Plugins().empty());
    EXPECT_EQ(NULL, manager.LoadPicture(L"picture.png"));
    EXPECT_FALSE(manager.SavePicture(L"picture.png", NULL));
}

TEST_F(PluginManager, LoadPluginsTakesTheGoodModulesOfAFolderAndUnloadsThemInOrder)
{
    InspectableManager manager;
    manager.LoadPlugins(FixtureDir().c_str());

    // tLoadable, tNoFlags and tNullCreate; tVersion2, tNoRelease and the
    // text file are skipped. The folder lists them in any order.
    ASSERT_EQ(3u, manager.Plugins().size());
    EXPECT_EQ(3u, manager.Exts().size());
    const std::wstring loaded = TakePluginLog();
    EXPECT_NE(std::wstring::npos, loaded.find(L"OPPic_tLoadable:Create;"));
    EXPECT_NE(std::wstring::npos, loaded.find(L"OPPic_tNoFlags:Create;"));
    EXPECT_NE(std::wstring::npos, loaded.find(L"OPPic_tNullCreate:Create;"));
    EXPECT_EQ(std::wstring::npos, loaded.find(L"OPPic_tVersion2:Create"));
    EXPECT_EQ(std::wstring::npos, loaded.find(L"OPPic_tNoRelease"));
    EXPECT_FALSE(IsModuleLoaded(L"OPPic_tVersion2.dll"));
    EXPECT_TRUE(IsModuleLoaded(L"OPPic_tLoadable.dll"));

    manager.UnLoadPlugins();
    const std::wstring released = TakePluginLog();
    EXPECT_EQ(std::wstring::npos, released.find(L"RecordsStillThere")) << released;
    EXPECT_NE(std::wstring::npos,
              released.find(L"OPPic_tLoadable:Release;OPPic_tLoadable:Delete;"));
    EXPECT_NE(std::wstring::npos, released.find(L"OPPic_tNoFlags:Release;OPPic_tNoFlags:Delete;"));
    EXPECT_NE(std::wstring::npos, released.find(L"OPPic_tNullCreate:ReleaseNull;"));
    EXPECT_TRUE(manager.Exts().empty());
    EXPECT_TRUE(manager.Plugins().empty());
    EXPECT_FALSE(IsModuleLoaded(L"OPPic_tLoadable.dll"));
    EXPECT_FALSE(IsModuleLoaded(L"OPPic_tNoFlags.dll"));
    EXPECT_FALSE(IsModuleLoaded(L"OPPic_tNullCreate.dll"));
}

TEST_F(PluginManager, TheListedModuleIsLoadedNotOneOfTheSameNameFoundFirstByWindows)
{
    // The monitor lists "plugins\" of its current folder. For a relative
    // path Windows searches the program's own folder first, so a module of
    // the same relative name there would be loaded in place of the listed one.
    const std::wstring decoyDir = ProgramDir() + L"plugins\\";
    const std::wstring current = ScratchPath(L"current");
    CreateDirectoryW(decoyDir.c_str(), NULL);
    CreateDirectoryW(current.c_str(), NULL);
    CreateDirectoryW((current + L"\\plugins").c_str(), NULL);
    const std::wstring decoy = decoyDir + L"OPPic_tSame.dll";
    ASSERT_TRUE(CopyFileW(Fixture(L"OPPic_tNoFlags.dll").c_str(), decoy.c_str(), FALSE));
    ASSERT_TRUE(CopyFileW(Fixture(L"OPPic_tLoadable.dll").c_str(),
                          (current + L"\\plugins\\OPPic_tSame.dll").c_str(), FALSE));

    wchar_t previous[MAX_PATH] = L"";
    GetCurrentDirectoryW(MAX_PATH, previous);
    ASSERT_TRUE(SetCurrentDirectoryW(current.c_str()));
    {
        InspectableManager manager;
        manager.LoadPlugins(L"plugins\\");
        SetCurrentDirectoryW(previous);
        EXPECT_EQ(L"OPPic_tLoadable:Version;OPPic_tLoadable:Create;", TakePluginLog());
    }
    EXPECT_TRUE(DeleteFileW(decoy.c_str()));
    RemoveDirectoryW(decoyDir.c_str());
}

TEST_F(PluginManager, RecordWithBothFlagsOffIsKeptButNeverChosen)
{
    InspectableManager manager;
    ASSERT_TRUE(manager.LoadPlugin(Fixture(L"OPPic_tNoFlags.dll").c_str()));
    ASSERT_EQ(1u, manager.Exts().size());
    EXPECT_EQ(NULL, manager.FindLoadPlugin(L".tst"));
    EXPECT_EQ(NULL, manager.FindSavePlugin(L".tst"));
    Orvu::Picture picture;
    EXPECT_EQ(NULL, manager.LoadPicture(L"picture.tst"));
    EXPECT_FALSE(manager.SavePicture(L"picture.tst", &picture));
    EXPECT_EQ(1u, manager.Exts().size());
    EXPECT_EQ(std::wstring::npos, TakePluginLog().find(L"OPPic_tNoFlags:Load"));

    // It does not hide a later record for the same extension.
    ASSERT_TRUE(manager.LoadPlugin(Fixture(L"OPPic_tLoadable.dll").c_str()));
    EXPECT_EQ(manager.Plugins()[1].plugin, manager.FindLoadPlugin(L".tst"));
    EXPECT_EQ(manager.Plugins()[1].plugin, manager.FindSavePlugin(L".tst"));
}

TEST_F(PluginManager, NullPluginIsRecordedAndRemovePluginOfNullDropsOnlyItsRecords)
{
    InspectableManager manager;
    ASSERT_TRUE(manager.LoadPlugin(Fixture(L"OPPic_tNullCreate.dll").c_str()));
    ASSERT_TRUE(manager.LoadPlugin(Fixture(L"OPPic_tLoadable.dll").c_str()));
    ASSERT_EQ(2u, manager.Plugins().size());
    EXPECT_EQ(NULL, manager.Plugins()[0].plugin);
    ASSERT_EQ(2u, manager.Exts().size());
    EXPECT_EQ(NULL, manager.LoadPicture(L"picture.nul"));

    manager.RemovePlugin(NULL);
    ASSERT_EQ(1u, manager.Exts().size());
    EXPECT_STREQ(L".tst", manager.Exts()[0].extension);
    EXPECT_TRUE(IsModuleLoaded(L"OPPic_tNullCreate.dll"));
}

TEST_F(PluginManager, ExtensionIsTheFinalComponentsInAnyCase)
{
    InspectableManager manager;
    ASSERT_TRUE(manager.LoadPlugin(Fixture(L"OPPic_tLoadable.dll").c_str()));
    TakePluginLog();

    std::unique_ptr<Orvu::Picture> picture(manager.LoadPicture(L"C:\\some.dir\\PICTURE.TsT"));
    ASSERT_TRUE(picture);
    Orvu::Color pixel;
    ASSERT_TRUE(picture->GetPixel(pixel, 0, 0));
    EXPECT_EQ(Orvu::Color(1, 2, 3, 4), pixel);
    EXPECT_EQ(L"OPPic_tLoadable:Load;", TakePluginLog());

    EXPECT_EQ(NULL, manager.LoadPicture(L"C:\\pictures.tst\\picture"));
    EXPECT_EQ(NULL, manager.LoadPicture(L"picture"));
    EXPECT_EQ(NULL, manager.LoadPicture(L"picture.tstx"));
    EXPECT_EQ(NULL, manager.LoadPicture(L"picture.tst."));
    EXPECT_FALSE(manager.SavePicture(L"C:\\pictures.tst\\picture", picture.get()));
    EXPECT_EQ(L"", TakePluginLog());
}

TEST_F(PluginManager, FailuresOfThePluginAreReportedAsNullAndFalse)
{
    InspectableManager manager;
    ASSERT_TRUE(manager.LoadPlugin(Fixture(L"OPPic_tLoadable.dll").c_str()));
    TakePluginLog();
    Orvu::Picture picture;
    EXPECT_EQ(NULL, manager.LoadPicture(L"fail.tst"));
    EXPECT_FALSE(manager.SavePicture(L"fail.TST", &picture));
    EXPECT_TRUE(manager.SavePicture(L"saved.TST", &picture));
    EXPECT_EQ(L"OPPic_tLoadable:Load;OPPic_tLoadable:Save;OPPic_tLoadable:Save;", TakePluginLog());
}

TEST_F(PluginManager, DestroyingTheManagerReleasesAndUnloadsEveryModule)
{
    {
        InspectableManager manager;
        ASSERT_TRUE(manager.LoadPlugin(Fixture(L"OPPic_tLoadable.dll").c_str()));
        TakePluginLog();
    }
    EXPECT_EQ(L"OPPic_tLoadable:Release;OPPic_tLoadable:Delete;", TakePluginLog());
    EXPECT_FALSE(IsModuleLoaded(L"OPPic_tLoadable.dll"));
}

// A plugin that throws fails on its own; the program and the other plugins
// go on.
TEST_F(PluginManager, ModuleThatThrowsWhileLoadingIsUnloadedAndItsRecordsDropped)
{
    InspectableManager manager;
    ASSERT_TRUE(manager.LoadPlugin(Fixture(L"OPPic_tLoadable.dll").c_str()));
    EXPECT_FALSE(manager.LoadPlugin(Throwing(L"Version").c_str()));
    EXPECT_FALSE(manager.LoadPlugin(Throwing(L"Create").c_str()));
    EXPECT_EQ(L"OPPic_tLoadable:Version;OPPic_tLoadable:Create;"
              L"OPPic_tThrow:Version;OPPic_tThrow:Throw;"
              L"OPPic_tThrow:Version;OPPic_tThrow:Create;OPPic_tThrow:Throw;",
              TakePluginLog());
    EXPECT_FALSE(IsModuleLoaded(L"OPPic_tThrowVersion.dll"));
    EXPECT_FALSE(IsModuleLoaded(L"OPPic_tThrowCreate.dll"));
    // The record made before the throw pointed into the unloaded module.
    ASSERT_EQ(1u, manager.Exts().size());
    EXPECT_STREQ(L".tst", manager.Exts()[0].extension);
    EXPECT_EQ(1u, manager.Plugins().size());
}

TEST_F(PluginManager, LoadOrSaveThatThrowsFailsAndAReleaseThatThrowsStillUnloads)
{
    InspectableManager manager;
    ASSERT_TRUE(manager.LoadPlugin(Throwing(L"Load").c_str()));
    ASSERT_TRUE(manager.LoadPlugin(Throwing(L"Save").c_str()));
    ASSERT_TRUE(manager.LoadPlugin(Throwing(L"Release").c_str()));
    ASSERT_TRUE(manager.LoadPlugin(Fixture(L"OPPic_tLoadable.dll").c_str()));
    TakePluginLog();

    Orvu::Picture picture;
    EXPECT_EQ(NULL, manager.LoadPicture(L"picture.load"));
    EXPECT_FALSE(manager.SavePicture(L"picture.save", &picture));
    std::unique_ptr<Orvu::Picture> loaded(manager.LoadPicture(L"picture.release"));
    EXPECT_TRUE(loaded);
    EXPECT_EQ(L"OPPic_tThrow:Load;OPPic_tThrow:Throw;OPPic_tThrow:Save;OPPic_tThrow:Throw;"
              L"OPPic_tThrow:Load;",
              TakePluginLog());

    manager.UnLoadPlugins();
    EXPECT_EQ(L"OPPic_tThrow:Release;OPPic_tThrow:Delete;OPPic_tThrow:Release;OPPic_tThrow:Delete;"
              L"OPPic_tThrow:Release;OPPic_tThrow:Throw;"
              L"OPPic_tLoadable:Release;OPPic_tLoadable:Delete;",
              TakePluginLog());
    EXPECT_FALSE(IsModuleLoaded(L"OPPic_tThrowRelease.dll"));
    EXPECT_FALSE(IsModuleLoaded(L"OPPic_tLoadable.dll"));
    EXPECT_TRUE(manager.Exts().empty());
}

// The real plugins, found as the monitor finds them: "plugins\" in the
// working folder.
class RealPlugins : public ::testing::Test
{
protected:
    void SetUp() override
    {
        manager.LoadPlugins(L"plugins\\");
        ASSERT_EQ(2u, manager.Plugins().size());
        ASSERT_EQ(11u, manager.Exts().size());
    }

    std::wstring CopyOfAlphaPng(const wchar_t* name)
    {
        const std::wstring path = ScratchPath(name);
        EXPECT_TRUE(CopyFileW((PicturesDir() + L"alpha.png").c_str(), path.c_str(), FALSE));
        return path;
    }

    InspectableManager manager;
};

TEST_F(RealPlugins, PngPathInCapitalsLoads)
{
    const std::wstring path = CopyOfAlphaPng(L"ALPHA.PNG");
    std::unique_ptr<Orvu::Picture> picture(manager.LoadPicture(path.c_str()));
    ASSERT_TRUE(picture);
    EXPECT_EQ(3, picture->GetWidth());
    EXPECT_EQ(2, picture->GetHeight());
    EXPECT_TRUE(picture->IsBuffered());
}

TEST_F(RealPlugins, PathsWithoutExtensionLoadNothing)
{
    const std::wstring folder = ScratchPath(L"folder.png");
    CreateDirectoryW(folder.c_str(), NULL);
    const std::wstring inFolder = folder + L"\\alpha";
    ASSERT_TRUE(CopyFileW((PicturesDir() + L"alpha.png").c_str(), inFolder.c_str(), FALSE));
    const std::wstring bare = CopyOfAlphaPng(L"alpha");
    EXPECT_EQ(NULL, manager.LoadPicture(inFolder.c_str()));
    EXPECT_EQ(NULL, manager.LoadPicture(bare.c_str()));
}

TEST_F(RealPlugins, EmfLoadsThroughGdiPlusButCannotBeSaved)
{
    // GDI+ decodes by content, so a PNG named ".emf" shows that the load
    // request for ".emf" reached the GDI+ plugin.
    const std::wstring path = CopyOfAlphaPng(L"png-inside.emf");
    std::unique_ptr<Orvu::Picture> picture(manager.LoadPicture(path.c_str()));
    ASSERT_TRUE(picture);
    EXPECT_EQ(3, picture->GetWidth());

    const std::wstring target = ScratchPath(L"saved.emf");
    DeleteFileW(target.c_str());
    EXPECT_FALSE(manager.SavePicture(target.c_str(), picture.get()));
    EXPECT_FALSE(FileExists(target));
    EXPECT_EQ(manager.FindLoadPlugin(L".png"), manager.FindLoadPlugin(L".EMF"));
    EXPECT_EQ(NULL, manager.FindSavePlugin(L".emf"));
}

TEST_F(RealPlugins, OmpIsKnownButNeitherLoadsNorSaves)
{
    const std::wstring path = ScratchPath(L"header.omp");
    WriteFileBytes(path, std::string("om1\x02\x00\x03\x00", 7));
    EXPECT_EQ(NULL, manager.LoadPicture(path.c_str()));

    Orvu::Picture picture;
    ASSERT_TRUE(picture.Create(2, 2));
    const std::wstring target = ScratchPath(L"saved.omp");
    DeleteFileW(target.c_str());
    EXPECT_FALSE(manager.SavePicture(target.c_str(), &picture));
    EXPECT_FALSE(FileExists(target));
}

TEST_F(RealPlugins, LoadingTheFolderTwiceRecordsEveryModuleTwiceAndUnloadingFreesBoth)
{
    manager.LoadPlugins(L"plugins\\");
    EXPECT_EQ(4u, manager.Plugins().size());
    EXPECT_EQ(22u, manager.Exts().size());

    // The first registration wins; without it the second one is found.
    Orvu::PicturePlugin* first = manager.FindLoadPlugin(L".png");
    ASSERT_TRUE(first);
    manager.RemovePlugin(first);
    Orvu::PicturePlugin* second = manager.FindLoadPlugin(L".png");
    EXPECT_TRUE(second);
    EXPECT_NE(first, second);

    manager.UnLoadPlugins();
    EXPECT_TRUE(manager.Exts().empty());
    EXPECT_TRUE(manager.Plugins().empty());
    EXPECT_FALSE(IsModuleLoaded(L"OPPic_gdiPlus.dll"));
    EXPECT_FALSE(IsModuleLoaded(L"OPPic_omp.dll"));
}

TEST_F(RealPlugins, RemovedPluginIsNotFoundWhileItsModuleStaysLoaded)
{
    manager.RemovePlugin(manager.FindLoadPlugin(L".png"));
    ASSERT_EQ(1u, manager.Exts().size());
    EXPECT_STREQ(L".omp", manager.Exts()[0].extension);
    const std::wstring path = CopyOfAlphaPng(L"removed.png");
    EXPECT_EQ(NULL, manager.LoadPicture(path.c_str()));
    EXPECT_EQ(NULL, manager.FindLoadPlugin(L".bmp"));
    EXPECT_EQ(NULL, manager.FindSavePlugin(L".png"));
    EXPECT_EQ(2u, manager.Plugins().size());
    EXPECT_TRUE(IsModuleLoaded(L"OPPic_gdiPlus.dll"));
}

TEST_F(RealPlugins, PicturesOutliveTheUnloadedPlugins)
{
    const std::wstring path = CopyOfAlphaPng(L"outlive.png");
    Orvu::Picture* picture = manager.LoadPicture(path.c_str());
    ASSERT_TRUE(picture);
    manager.UnLoadPlugins();
    ASSERT_FALSE(IsModuleLoaded(L"OPPic_gdiPlus.dll"));

    // Drawn onto white: its opaque red top-left pixel stays red (the
    // drawing blends at 254/255), its transparent top-right one shows white.
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = 3;
    info.bmiHeader.biHeight = -2;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = NULL;
    HBITMAP target = CreateDIBSection(NULL, &info, DIB_RGB_COLORS, &bits, NULL, 0);
    ASSERT_TRUE(target);
    unsigned int* pixels = static_cast<unsigned int*>(bits);
    for (int i = 0; i < 6; ++i)
        pixels[i] = 0x00FFFFFF;
    HDC dc = CreateCompatibleDC(NULL);
    HGDIOBJ old = SelectObject(dc, target);
    Orvu::Graphics graphics;
    EXPECT_TRUE(graphics.DrawPicture(picture, 0, 0, dc));
    GdiFlush();
    EXPECT_GE((pixels[0] >> 16) & 0xFF, 250u);
    EXPECT_LE((pixels[0] >> 8) & 0xFF, 5u);
    EXPECT_LE(pixels[0] & 0xFF, 5u);
    EXPECT_EQ(0xFFFFFFu, pixels[2] & 0xFFFFFF);
    SelectObject(dc, old);
    DeleteDC(dc);
    DeleteObject(target);

    delete picture;
}
