#include <gtest/gtest.h>

#define DIRECTINPUT_VERSION 0x0800
#include <windows.h>
#include <dinput.h>

#include <algorithm>
#include <vector>

#include "support/KeyRecorder.h"
#include "support/ProgramFacts.h"
#include "support/Pump.h"
#include "support/Scratch.h"
#include "support/TapwrenProcess.h"

// The program's presses as games read them: DirectInput 8, which names a key by its scan code with
// 0x80 added for an extended key, and raw input, which gives the make code and the E0 prefix. An
// arrow pressed without its extended flag reads there as the keypad key that shares its scan code.
namespace {

struct GameKey {
    unsigned code;  // DirectInput's key code, or raw input's make code
    bool e0;        // raw input only
    bool up;
};

std::vector<GameKey> g_rawKeys;

LRESULT CALLBACK RawInputProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INPUT) {
        RAWINPUT input = {};
        UINT size = sizeof(input);
        if (::GetRawInputData(reinterpret_cast<HRAWINPUT>(lParam), RID_INPUT, &input, &size, sizeof(RAWINPUTHEADER)) !=
                static_cast<UINT>(-1) &&
            input.header.dwType == RIM_TYPEKEYBOARD) {
            const RAWKEYBOARD& key = input.data.keyboard;
            g_rawKeys.push_back({key.MakeCode, (key.Flags & RI_KEY_E0) != 0, (key.Flags & RI_KEY_BREAK) != 0});
        }
    }
    return ::DefWindowProcW(window, message, wParam, lParam);
}

// A hidden window of this thread that reads the keyboard both ways, in the background, as a game
// that is not in the foreground would.
class CGameKeyboard {
public:
    CGameKeyboard() {
        g_rawKeys.clear();
        WNDCLASSW wc = {};
        wc.lpfnWndProc = RawInputProc;
        wc.hInstance = ::GetModuleHandleW(nullptr);
        wc.lpszClassName = L"TapwrenGameKeyboard";
        ::RegisterClassW(&wc);
        m_hWnd = ::CreateWindowExW(0, wc.lpszClassName, L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, wc.hInstance,
                                   nullptr);
        const RAWINPUTDEVICE keyboard = {1, 6, RIDEV_INPUTSINK, m_hWnd};
        m_bRaw = ::RegisterRawInputDevices(&keyboard, 1, sizeof(keyboard)) != FALSE;
        if (FAILED(::DirectInput8Create(wc.hInstance, DIRECTINPUT_VERSION, IID_IDirectInput8W,
                                        reinterpret_cast<void**>(&m_input), nullptr)) ||
            FAILED(m_input->CreateDevice(GUID_SysKeyboard, &m_device, nullptr)))
            return;
        DIPROPDWORD buffer = {};
        buffer.diph.dwSize = sizeof(buffer);
        buffer.diph.dwHeaderSize = sizeof(DIPROPHEADER);
        buffer.diph.dwHow = DIPH_DEVICE;
        buffer.dwData = 1024;
        m_bDirect = SUCCEEDED(m_device->SetDataFormat(&c_dfDIKeyboard)) &&
                    SUCCEEDED(m_device->SetCooperativeLevel(m_hWnd, DISCL_BACKGROUND | DISCL_NONEXCLUSIVE)) &&
                    SUCCEEDED(m_device->SetProperty(DIPROP_BUFFERSIZE, &buffer.diph)) && SUCCEEDED(m_device->Acquire());
    }
    ~CGameKeyboard() {
        if (m_device != nullptr) {
            m_device->Unacquire();
            m_device->Release();
        }
        if (m_input != nullptr)
            m_input->Release();
        // A registration left behind names a window that is gone, and the keys of later tests go astray.
        const RAWINPUTDEVICE keyboard = {1, 6, RIDEV_REMOVE, nullptr};
        ::RegisterRawInputDevices(&keyboard, 1, sizeof(keyboard));
        ::DestroyWindow(m_hWnd);
    }
    CGameKeyboard(const CGameKeyboard&) = delete;
    CGameKeyboard& operator=(const CGameKeyboard&) = delete;

    bool Ready() const { return m_bRaw && m_bDirect; }

    std::vector<GameKey> DirectInputKeys() {
        std::vector<GameKey> keys;
        DIDEVICEOBJECTDATA data[256];
        DWORD count = 256;
        if (SUCCEEDED(m_device->GetDeviceData(sizeof(DIDEVICEOBJECTDATA), data, &count, 0))) {
            for (DWORD i = 0; i < count; ++i)
                keys.push_back({data[i].dwOfs, false, (data[i].dwData & 0x80) == 0});
        }
        return keys;
    }

private:
    HWND m_hWnd = nullptr;
    IDirectInput8W* m_input = nullptr;
    IDirectInputDevice8W* m_device = nullptr;
    bool m_bRaw = false;
    bool m_bDirect = false;
};

size_t CountOf(const std::vector<GameKey>& keys, unsigned code, bool up, bool e0 = false) {
    return static_cast<size_t>(std::count_if(
        keys.begin(), keys.end(), [&](const GameKey& k) { return k.code == code && k.up == up && k.e0 == e0; }));
}

}  // namespace

TEST(GameInputTest, ArrowsAndInsertReachGamesAsThemselvesAndLettersAsTyped) {
    CScratchDir dir("GameInputTest");
    // Key one the Left arrow and key two Insert, as the hotkey control reports them, with their
    // extended flag.
    ASSERT_TRUE(WriteBytes(dir.File(L"cfg.ini"), ConfigWith(0x825, 0x82D, 150)));
    CKeyRecorder recorder;
    CGameKeyboard game;
    ASSERT_TRUE(game.Ready()) << "DirectInput or raw input could not be set up";
    CTapwrenProcess app(dir.Path());
    ASSERT_TRUE(app.Start());
    const auto downs = [&](unsigned vk) { return DownTimes(recorder.Events(), vk).size(); };
    app.PostHotKey(HOTKEY_ID_STOP);
    ASSERT_TRUE(PumpUntil([&] { return downs(VK_LEFT) >= 2; }, 10000));
    app.PostHotKey(HOTKEY_ID_NEXT);
    ASSERT_TRUE(PumpUntil([&] { return downs(VK_INSERT) >= 2; }, 10000));
    app.SetHotKey(IDC_HOTKEY_KEY1, 'S');
    ASSERT_TRUE(app.Sync());
    app.PostHotKey(HOTKEY_ID_NEXT);
    ASSERT_TRUE(PumpUntil([&] { return downs('S') >= 2; }, 10000));
    app.PostHotKey(HOTKEY_ID_STOP);
    ASSERT_TRUE(PumpUntil(
        [&] {
            return EveryDownHasItsUp(OfKeys(recorder.Events(), {VK_LEFT, VK_INSERT, 'S'}));
        },
        5000));
    WatchFor(300);  // the last key up's way to the game's reads

    const std::vector<KeyEvent> seen = recorder.Events();
    const std::vector<GameKey> direct = game.DirectInputKeys();
    const std::vector<GameKey>& raw = g_rawKeys;
    const struct {
        unsigned vk;
        unsigned dik;   // DIK_LEFT, DIK_INSERT, DIK_S
        unsigned make;  // raw input's make code
        bool e0;
        unsigned keypad;  // the keypad key a missing extended flag turns it into: DIK_NUMPAD4, DIK_NUMPAD0
    } rows[] = {{VK_LEFT, 0xCB, 0x4B, true, 0x4B}, {VK_INSERT, 0xD2, 0x52, true, 0x52}, {'S', 0x1F, 0x1F, false, 0}};
    for (const auto& row : rows) {
        SCOPED_TRACE(testing::Message() << "virtual key 0x" << std::hex << row.vk);
        const size_t presses = DownTimes(seen, row.vk).size();
        ASSERT_GE(presses, 2u);
        EXPECT_EQ(CountOf(direct, row.dik, false), presses);
        EXPECT_EQ(CountOf(direct, row.dik, true), presses);
        EXPECT_EQ(CountOf(raw, row.make, false, row.e0), presses);
        EXPECT_EQ(CountOf(raw, row.make, true, row.e0), presses);
        if (row.keypad != 0) {
            EXPECT_EQ(CountOf(direct, row.keypad, false), 0u) << "DirectInput saw the keypad key";
            EXPECT_EQ(CountOf(raw, row.make, false, false), 0u) << "raw input saw the keypad key";
        }
    }
}
