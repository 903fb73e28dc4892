#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <initializer_list>
#include <string>
#include <vector>

#include "support/Inject.h"
#include "support/KeyRecorder.h"
#include "support/Launch.h"
#include "support/ProgramFacts.h"
#include "support/Pump.h"
#include "support/Scratch.h"
#include "support/TapwrenProcess.h"

// The program as a new user meets it: the default hotkeys typed by a hand that lets go of Ctrl a
// quarter of a second after the key, and the presses going into a real application, Wine's Notepad.
// Assumes a US keyboard layout.
namespace {

bool IsCtrl(unsigned vk) {
    return vk == VK_CONTROL || vk == VK_LCONTROL || vk == VK_RCONTROL;
}

// What the hook saw while the test's Ctrl was held and after each release.
struct CtrlHolds {
    std::vector<size_t> downsWhileHeld;  // for each hold: key downs of the program's keys with Ctrl down
    std::vector<double> firstDownAfter;  // for each release: ms to the program's next key down, or -1
    size_t holds = 0;
};

CtrlHolds ReadCtrlHolds(const std::vector<KeyEvent>& events, std::initializer_list<unsigned> keys) {
    CtrlHolds seen;
    bool held = false;
    double releasedAt = -1;
    for (const KeyEvent& e : events) {
        if (IsCtrl(e.vk)) {
            if (!e.up && !held) {
                ++seen.holds;
                seen.downsWhileHeld.push_back(0);
            }
            held = !e.up;
            if (e.up) {
                releasedAt = e.ms;
                seen.firstDownAfter.push_back(-1);
            }
            continue;
        }
        if (e.up || std::find(keys.begin(), keys.end(), e.vk) == keys.end())
            continue;
        if (held)
            ++seen.downsWhileHeld.back();
        else if (!seen.firstDownAfter.empty() && seen.firstDownAfter.back() < 0)
            seen.firstDownAfter.back() = e.ms - releasedAt;
    }
    return seen;
}

class FirstUseTest : public testing::Test {
protected:
    FirstUseTest() : m_dir(testing::UnitTest::GetInstance()->current_test_info()->name()), m_app(m_dir.Path()) {}

    std::wstring ConfigFile() const { return m_dir.File(L"cfg.ini"); }
    size_t Downs(unsigned vk) const { return DownTimes(m_recorder.Events(), vk).size(); }
    CScratchDir m_dir;
    CTapwrenProcess m_app;
    CKeyRecorder m_recorder;
};

struct WindowCount {
    DWORD pid;
    size_t n;
};

BOOL CALLBACK CountVisible(HWND window, LPARAM param) {
    WindowCount* count = reinterpret_cast<WindowCount*>(param);
    DWORD pid = 0;
    ::GetWindowThreadProcessId(window, &pid);
    count->n += pid == count->pid && ::IsWindowVisible(window) ? 1 : 0;
    return TRUE;
}

// Wine's Notepad, in the foreground; ended however the test ends.
class CNotepad {
public:
    explicit CNotepad(const std::wstring& dir) {
        if (!Launch(L"notepad.exe", dir, m_pi))
            return;
        PumpUntil(
            [&] {
                m_hWindow = ::FindWindowW(L"Notepad", nullptr);
                m_hEdit = m_hWindow != nullptr ? ::FindWindowExW(m_hWindow, nullptr, L"Edit", nullptr) : nullptr;
                return m_hEdit != nullptr && ::IsWindowVisible(m_hWindow);
            },
            10000);
        ::SetForegroundWindow(m_hWindow);
        SettleKeyboardAfterFocusMoved();
    }
    ~CNotepad() {
        if (m_pi.hProcess == nullptr)
            return;
        ::TerminateProcess(m_pi.hProcess, 0);
        WaitForProcess(m_pi.hProcess, 5000);
        ::CloseHandle(m_pi.hProcess);
        ::CloseHandle(m_pi.hThread);
    }
    CNotepad(const CNotepad&) = delete;
    CNotepad& operator=(const CNotepad&) = delete;

    bool Ready() const { return m_hEdit != nullptr && ::GetForegroundWindow() == m_hWindow; }
    std::wstring Text() const {
        std::vector<wchar_t> buffer(4096);
        const LRESULT copied =
            ::SendMessageW(m_hEdit, WM_GETTEXT, buffer.size(), reinterpret_cast<LPARAM>(buffer.data()));
        return std::wstring(buffer.data(), static_cast<size_t>(copied));
    }
    // Its visible top-level windows: a Save dialog opened by Ctrl + S would be a second one.
    size_t VisibleWindows() const {
        WindowCount count = {m_pi.dwProcessId, 0};
        ::EnumWindows(CountVisible, reinterpret_cast<LPARAM>(&count));
        return count.n;
    }

private:
    PROCESS_INFORMATION m_pi = {};
    HWND m_hWindow = nullptr;
    HWND m_hEdit = nullptr;
};

}  // namespace

TEST_F(FirstUseTest, PressesWaitUntilTheHotkeysCtrlIsLetGo) {
    // Key one Ctrl + S (only S is pressed), key two D, back to back so that presses fall due while Ctrl
    // is held; the default hotkeys, Ctrl + F12 and Ctrl + `.
    ASSERT_TRUE(WriteBytes(ConfigFile(), ConfigWith(0x253, 'D', 0)));
    ASSERT_TRUE(m_app.Start());
    CNotepad notepad(m_dir.Path());
    ASSERT_TRUE(notepad.Ready()) << "Notepad did not come to the foreground";
    // Two presses after each release, so that the next hotkey falls in repeating.
    TypeLikeAPerson(kCtrlF12, 250);
    const size_t sAtRelease = Downs('S');
    ASSERT_TRUE(PumpUntil([&] { return Downs('S') >= sAtRelease + 2; }, 10000));
    TypeLikeAPerson(kDefaultNext, 250);
    ASSERT_TRUE(PumpUntil([&] { return Downs('D') >= 2; }, 10000));
    TypeLikeAPerson(kCtrlF12, 250);  // stop: the press waiting for Ctrl is never made
    WatchFor(300);

    const std::vector<KeyEvent> events = m_recorder.Events();
    const CtrlHolds seen = ReadCtrlHolds(events, {'S', 'D'});
    ASSERT_EQ(seen.holds, 3u) << "the program pressed or released Ctrl itself";
    EXPECT_EQ(seen.downsWhileHeld, (std::vector<size_t>{0, 0, 0})) << "a press joined a held Ctrl";
    ASSERT_EQ(seen.firstDownAfter.size(), 3u);
    // Each waiting press is made at once on the release; a second is far more than load adds.
    for (size_t i = 0; i < 2; ++i) {
        EXPECT_GE(seen.firstDownAfter[i], 0) << "hold " << i << ": no press after Ctrl was let go";
        EXPECT_LT(seen.firstDownAfter[i], 1000 * Patience()) << "hold " << i;
    }
    EXPECT_EQ(seen.firstDownAfter[2], -1) << "a press came after the stop";
    EXPECT_TRUE(EveryDownHasItsUp(OfKeys(events, {'S', 'D'})));
    EXPECT_EQ(notepad.VisibleWindows(), 1u) << "Notepad opened another window";
}

TEST_F(FirstUseTest, NotepadGetsOnlyTheRepeatedLetter) {
    // The default keys and hotkeys, back to back.
    ASSERT_TRUE(WriteBytes(ConfigFile(), ConfigWith(kDefaultKey1, kDefaultKey2, 0)));
    ASSERT_TRUE(m_app.Start());
    CNotepad notepad(m_dir.Path());
    ASSERT_TRUE(notepad.Ready()) << "Notepad did not come to the foreground";
    InjectKey(VK_F24, false);
    InjectKey(VK_F24, true);
    PumpFor(200);
    TypeLikeAPerson(kCtrlF12, 250);
    ASSERT_TRUE(PumpUntil([&] { return Downs('S') >= 5; }, 10000));
    TypeLikeAPerson(kCtrlF12, 250);
    WatchFor(300);
    const size_t presses = Downs('S');
    EXPECT_EQ(notepad.Text(), std::wstring(presses, L's'));
    EXPECT_EQ(notepad.VisibleWindows(), 1u) << "Notepad opened another window (its Save dialog?)";
}
