#include "KeyRecorder.h"

#include <algorithm>
#include <map>

namespace {
CKeyRecorder* g_recorder = nullptr;
}

CKeyRecorder::CKeyRecorder() {
    HANDLE ready = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
    g_recorder = this;
    m_thread = std::thread([this, ready] { Run(ready); });
    ::WaitForSingleObject(ready, 5000);
    ::CloseHandle(ready);
}

CKeyRecorder::~CKeyRecorder() {
    ::PostThreadMessageW(m_threadId, WM_QUIT, 0, 0);
    m_thread.join();
    g_recorder = nullptr;
}

void CKeyRecorder::Run(HANDLE ready) {
    m_threadId = ::GetCurrentThreadId();
    MSG msg;
    ::PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE);  // the thread needs a queue before anyone posts
    HHOOK hook = ::SetWindowsHookExW(WH_KEYBOARD_LL, HookProc, ::GetModuleHandleW(nullptr), 0);
    ::SetEvent(ready);
    while (::GetMessageW(&msg, nullptr, 0, 0) > 0)
        ::DispatchMessageW(&msg);
    ::UnhookWindowsHookEx(hook);
}

LRESULT CALLBACK CKeyRecorder::HookProc(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HC_ACTION && g_recorder != nullptr) {
        const KBDLLHOOKSTRUCT* key = reinterpret_cast<const KBDLLHOOKSTRUCT*>(lParam);
        const KeyEvent event = {key->vkCode,
                                key->scanCode,
                                (key->flags & LLKHF_UP) != 0,
                                (key->flags & LLKHF_INJECTED) != 0,
                                (key->flags & LLKHF_EXTENDED) != 0,
                                NowMs()};
        std::lock_guard<std::mutex> lock(g_recorder->m_mutex);
        g_recorder->m_events.push_back(event);
    }
    return ::CallNextHookEx(nullptr, code, wParam, lParam);
}

std::vector<KeyEvent> CKeyRecorder::Events() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_events;
}

void CKeyRecorder::Clear() {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_events.clear();
}

double CKeyRecorder::NowMs() {
    LARGE_INTEGER now, frequency;
    ::QueryPerformanceCounter(&now);
    ::QueryPerformanceFrequency(&frequency);
    return static_cast<double>(now.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

std::vector<double> DownTimes(const std::vector<KeyEvent>& events, unsigned vk) {
    std::vector<double> times;
    for (const KeyEvent& e : events) {
        if (e.vk == vk && !e.up)
            times.push_back(e.ms);
    }
    return times;
}

std::vector<KeyEvent> OfKeys(const std::vector<KeyEvent>& events, std::initializer_list<unsigned> vks) {
    std::vector<KeyEvent> kept;
    for (const KeyEvent& e : events) {
        if (std::find(vks.begin(), vks.end(), e.vk) != vks.end())
            kept.push_back(e);
    }
    return kept;
}

bool EveryDownHasItsUp(const std::vector<KeyEvent>& events) {
    std::map<unsigned, bool> down;
    for (const KeyEvent& e : events) {
        if (e.up == !down[e.vk])
            return false;
        down[e.vk] = !e.up;
    }
    for (const auto& [vk, isDown] : down) {
        if (isDown)
            return false;
    }
    return true;
}

double AverageGap(const std::vector<double>& times) {
    if (times.size() < 2)
        return -1;
    return (times.back() - times.front()) / static_cast<double>(times.size() - 1);
}

std::vector<double> Holds(const std::vector<KeyEvent>& events, unsigned vk) {
    std::vector<double> holds;
    double downAt = -1;
    for (const KeyEvent& e : events) {
        if (e.vk != vk)
            continue;
        if (!e.up) {
            downAt = e.ms;
        } else if (downAt >= 0) {
            holds.push_back(e.ms - downAt);
            downAt = -1;
        }
    }
    return holds;
}
