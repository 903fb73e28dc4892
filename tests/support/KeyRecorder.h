#pragma once

#include <windows.h>

#include <initializer_list>
#include <mutex>
#include <thread>
#include <vector>

// One keyboard event seen by the low-level hook.
struct KeyEvent {
    unsigned vk;
    unsigned scan;
    bool up;
    bool injected;
    bool extended;
    double ms;  // on the performance counter, see NowMs
};

// Records every keyboard event in the system input stream with a WH_KEYBOARD_LL hook installed on a
// thread of its own, which pumps the messages the hook needs. One recorder at a time per process.
class CKeyRecorder {
public:
    CKeyRecorder();
    ~CKeyRecorder();
    CKeyRecorder(const CKeyRecorder&) = delete;
    CKeyRecorder& operator=(const CKeyRecorder&) = delete;

    std::vector<KeyEvent> Events() const;
    void Clear();

    static double NowMs();

private:
    static LRESULT CALLBACK HookProc(int code, WPARAM wParam, LPARAM lParam);
    void Run(HANDLE ready);

    mutable std::mutex m_mutex;
    std::vector<KeyEvent> m_events;
    std::thread m_thread;
    DWORD m_threadId = 0;
};

// Pieces of the recorded stream that tests assert on.
// The events of these keys only: the program's presses, without the test's own hotkeys, which a press
// that follows a hotkey at once can overlap.
std::vector<KeyEvent> OfKeys(const std::vector<KeyEvent>& events, std::initializer_list<unsigned> vks);
std::vector<double> DownTimes(const std::vector<KeyEvent>& events, unsigned vk);
// Every key down of a key is followed by its key up before the next down, and the stream ends up.
bool EveryDownHasItsUp(const std::vector<KeyEvent>& events);
// The time from the first to the last, shared out over the gaps between them; -1 for fewer than two.
// A schedule that catches up after a late press keeps it, where single gaps would shrink.
double AverageGap(const std::vector<double>& times);
// Key down to key up of each press of vk.
std::vector<double> Holds(const std::vector<KeyEvent>& events, unsigned vk);
