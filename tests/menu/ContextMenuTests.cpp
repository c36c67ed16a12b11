// Popup menus opened for real and driven from a watcher thread: the choice
// reported to the listeners, dismissal, greyed items, check marks, submenus,
// separators and the owner window.

#include "ContextMenu.h"
#include "MenuDriver.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <vector>

namespace
{

// Notes every action: who fired and what was chosen at that moment.
class ChoiceListener : public Orvu::Callable
{
public:
    void Action(Orvu::Caller* caller) override
    {
        callers.push_back(caller);
        Orvu::ContextMenu* menu = dynamic_cast<Orvu::ContextMenu*>(caller);
        choices.push_back(menu ? menu->GetLastPressedItem() : 0xDEAD);
    }
    std::vector<Orvu::Caller*> callers;
    std::vector<unsigned int> choices;
};

// Exposes the menu handle to check who owns it.
class ProbeMenu : public Orvu::ContextMenu
{
public:
    HMENU Handle() const { return m_hMenu; }
};

class ContextMenuTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        WNDCLASSW wc = {};
        wc.lpfnWndProc = DefWindowProcW;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = L"MenuTestOwner";
        RegisterClassW(&wc);
        m_owner = CreateWindowExW(0, L"MenuTestOwner", L"owner", WS_OVERLAPPEDWINDOW, 0, 0, 200,
                                  200, nullptr, nullptr, wc.hInstance, nullptr);
        ASSERT_NE(nullptr, m_owner);
        // The monitor's menu.
        m_menu.AddMenuItem(L"Options", 6);
        m_menu.AddMenuItem(L"About", 5);
        m_menu.AddSeperator();
        m_menu.AddMenuItem(L"Exit", 1);
        m_menu.AddActionListener(&m_listener);
    }

    void TearDown() override { DestroyWindow(m_owner); }

    HWND m_owner = nullptr;
    Orvu::ContextMenu m_menu;
    ChoiceListener m_listener;
};

} // namespace

TEST_F(ContextMenuTest, ChoosingAnItemFiresOnceWithItsIdAndKeepsThePoint)
{
    int x = -1, y = -1;
    m_menu.GetLastPos(x, y);
    EXPECT_EQ(0, x);
    EXPECT_EQ(0, y);
    EXPECT_EQ(0u, m_menu.GetLastPressedItem());

    MenuDriver driver({VK_DOWN, VK_RETURN});
    m_menu.OpenMenu(120, 80, m_owner);
    driver.Join();

    ASSERT_TRUE(driver.SawMenu());
    EXPECT_FALSE(driver.StayedOpenAfterKeys());
    EXPECT_EQ(std::vector<unsigned int>{6}, m_listener.choices);
    EXPECT_EQ(&m_menu, m_listener.callers.at(0));
    EXPECT_EQ(6u, m_menu.GetLastPressedItem());
    m_menu.GetLastPos(x, y);
    EXPECT_EQ(120, x);
    EXPECT_EQ(80, y);
    EXPECT_EQ(120, driver.MenuRect().left) << "the menu's corner is at the point";
    EXPECT_EQ(80, driver.MenuRect().top);
}

TEST_F(ContextMenuTest, DismissingWithEscapeFiresWithNothingChosen)
{
    {
        MenuDriver driver({VK_DOWN, VK_DOWN, VK_RETURN});
        m_menu.OpenMenu(10, 10, m_owner);
    }
    ASSERT_EQ(5u, m_menu.GetLastPressedItem());

    MenuDriver driver({VK_DOWN, VK_ESCAPE});
    m_menu.OpenMenu(30, 40, m_owner);
    driver.Join();
    ASSERT_TRUE(driver.SawMenu());
    EXPECT_EQ((std::vector<unsigned int>{5, 0}), m_listener.choices);
    EXPECT_EQ(0u, m_menu.GetLastPressedItem()) << "the earlier choice must not linger";
}

TEST_F(ContextMenuTest, SeparatorIsSkippedByTheKeyboard)
{
    MenuDriver driver({VK_DOWN, VK_DOWN, VK_DOWN, VK_RETURN});
    m_menu.OpenMenu(10, 10, m_owner);
    EXPECT_EQ(1u, m_menu.GetLastPressedItem()) << "third step lands on Exit, past the separator";
}

TEST_F(ContextMenuTest, GreyedItemCannotBeChosenUntilEnabledAgain)
{
    Orvu::ContextMenu menu;
    menu.AddMenuItem(L"Only", 5);
    menu.AddActionListener(&m_listener);
    menu.DisableMenuItem(5, true);
    {
        MenuDriver driver({VK_DOWN, VK_RETURN});
        menu.OpenMenu(10, 10, m_owner);
        driver.Join();
        ASSERT_TRUE(driver.SawMenu());
    }
    EXPECT_EQ(0u, menu.GetLastPressedItem());

    menu.DisableMenuItem(5, false);
    {
        MenuDriver driver({VK_DOWN, VK_RETURN});
        menu.OpenMenu(10, 10, m_owner);
    }
    EXPECT_EQ(5u, menu.GetLastPressedItem());
    EXPECT_EQ((std::vector<unsigned int>{0, 5}), m_listener.choices);
}

TEST_F(ContextMenuTest, CheckMarksRoundTripByCommandId)
{
    EXPECT_FALSE(m_menu.IsMenuItemChecked(5));
    m_menu.CheckMenuItem(5, true);
    EXPECT_TRUE(m_menu.IsMenuItemChecked(5));
    EXPECT_FALSE(m_menu.IsMenuItemChecked(6)) << "only the addressed item";
    m_menu.CheckMenuItem(5, false);
    EXPECT_FALSE(m_menu.IsMenuItemChecked(5));
    EXPECT_FALSE(m_menu.IsMenuItemChecked(4242)) << "an id the menu does not hold";
    m_menu.CheckMenuItem(4242, true);
    EXPECT_FALSE(m_menu.IsMenuItemChecked(4242));
}

TEST_F(ContextMenuTest, SubmenuItemsAreChosenAndCheckedThroughTheParent)
{
    Orvu::ContextMenu sub;
    sub.AddMenuItem(L"Fast", 21);
    sub.AddMenuItem(L"Slow", 22);
    Orvu::ContextMenu top;
    top.AddSubMenu(L"Speed", &sub);
    top.AddMenuItem(L"Exit", 1);
    top.AddActionListener(&m_listener);

    top.CheckMenuItem(22, true);
    EXPECT_TRUE(sub.IsMenuItemChecked(22));

    // Opening a submenu from the keyboard highlights its first item.
    MenuDriver driver({VK_DOWN, VK_RIGHT, VK_DOWN, VK_RETURN});
    top.OpenMenu(10, 10, m_owner);
    driver.Join();
    EXPECT_EQ(22u, top.GetLastPressedItem());
    EXPECT_EQ(std::vector<unsigned int>{22}, m_listener.choices)
        << "only the menu that was opened fires";
}

TEST_F(ContextMenuTest, DeletingTheParentFirstLeavesTheSubmenuToItsOwnObject)
{
    ProbeMenu* sub = new ProbeMenu;
    sub->AddMenuItem(L"Inner", 3);
    const HMENU subHandle = sub->Handle();
    Orvu::ContextMenu* top = new Orvu::ContextMenu;
    top->AddSubMenu(L"More", sub);

    delete top;
    EXPECT_TRUE(IsMenu(subHandle)) << "the submenu still belongs to its object";
    sub->CheckMenuItem(3, true);
    EXPECT_TRUE(sub->IsMenuItemChecked(3));
    delete sub;
    EXPECT_FALSE(IsMenu(subHandle));
}

TEST_F(ContextMenuTest, OwnerIsBroughtToTheForegroundAndOwnsTheMenu)
{
    const HWND other =
        CreateWindowExW(0, L"MenuTestOwner", L"other", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100, nullptr,
                        nullptr, GetModuleHandleW(nullptr), nullptr);
    ShowWindow(other, SW_SHOW);
    SetForegroundWindow(other);
    ASSERT_EQ(other, GetForegroundWindow());

    MenuDriver driver({VK_ESCAPE});
    m_menu.OpenMenu(10, 10, m_owner);
    driver.Join();
    EXPECT_EQ(m_owner, driver.Foreground());
    EXPECT_EQ(m_owner, driver.MenuOwner());
    DestroyWindow(other);
}

TEST_F(ContextMenuTest, WithoutAnOwnerTheForegroundWindowOwnsTheMenu)
{
    const HWND front =
        CreateWindowExW(0, L"MenuTestOwner", L"front", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100, nullptr,
                        nullptr, GetModuleHandleW(nullptr), nullptr);
    ShowWindow(front, SW_SHOW);
    SetForegroundWindow(front);
    ASSERT_EQ(front, GetForegroundWindow());

    MenuDriver driver({VK_DOWN, VK_RETURN});
    m_menu.OpenMenu(10, 10, nullptr);
    driver.Join();
    EXPECT_EQ(front, driver.MenuOwner());
    EXPECT_EQ(6u, m_menu.GetLastPressedItem());
    DestroyWindow(front);
}
