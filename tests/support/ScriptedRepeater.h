#pragma once

#include <windows.h>

#include <algorithm>
#include <functional>
#include <map>
#include <ostream>
#include <string>
#include <vector>

#include "repeater/KeyOutput.h"
#include "repeater/KeyState.h"
#include "repeater/Pause.h"
#include "repeater/RepeaterState.h"
#include "repeater/RepeatThreadProc.h"

// The worker's whole world, played by a test on one thread: the repeater state, a clock that moves
// only when the worker waits (straight to the deadline), a script of actions run at the times it
// gives, a keyboard whose modifiers the script holds, and a key output that records each press at
// the clock's time. The worker runs until the
// script has ended, so every result is exact and nothing depends on the machine's timing.
class CScriptedRepeater : public IRepeaterState, public IPause, public IKeyOutput, public IKeyState {
public:
    struct Event {
        double ms;
        unsigned vk;
        bool up;
        bool extended = false;
        bool operator==(const Event& other) const {
            return ms == other.ms && vk == other.vk && up == other.up && extended == other.extended;
        }
        friend std::ostream& operator<<(std::ostream& out, const Event& e) {
            return out << e.ms << " ms: " << e.vk << (e.extended ? " extended" : "") << (e.up ? " up" : " down");
        }
    };

    // The performance counter's frequency on current Windows; any would do.
    static constexpr LONGLONG kFrequency = 10000000;

    // Runs `action` when the clock reaches `ms` (from the start of the scene).
    void At(double ms, std::function<void()> action) { m_script.emplace(kOrigin + ToTicks(ms), std::move(action)); }
    // The user-interface thread's side: the start/stop and switch hotkeys, an edit, and teardown.
    void ToggleRunning() { m_bRunning = !m_bRunning; }
    void Teardown() {
        m_bAlive = false;
        m_bCancelled = true;
    }
    // The pause cancelled while the alive flag still reads true, as a teardown that cancelled first
    // would leave it for a moment.
    void CancelOnly() { m_bCancelled = true; }

    // Plays the scene with the worker's loop; returns what it returned.
    DWORD Run() { return RunRepeater(*this, *this, *this); }
    double NowMs() const { return static_cast<double>(m_now - kOrigin) * 1000.0 / kFrequency; }
    // Extra time the next key down takes to send, as the first input call on a new thread does.
    void SlowNextKeyDown(double ms) { m_keyDownCost = ms; }
    // Extra time each read of the interval text takes, as a busy user-interface thread would.
    std::function<double()> m_readCost = [] { return 0.0; };

    KeyValue m_dwCurKey = 0;
    bool m_bRunning = false;
    bool m_bAlive = true;
    bool m_bModifierDown = false;  // the user holds Shift, Ctrl, Alt or a Windows key
    std::wstring m_interval;
    std::vector<Event> m_events;
    std::vector<double> m_reads;  // when the interval text was read

    // IRepeaterState
    KeyValue CurrentKey() const override { return m_dwCurKey; }
    bool IsRunning() const override { return m_bRunning; }
    bool IsAlive() const override { return m_bAlive; }
    IPause& Pause() override { return *this; }
    std::wstring ReadInterval() override {
        m_reads.push_back(NowMs());
        m_now += ToTicks(m_readCost());
        return m_interval;
    }

    // IPause
    LONGLONG Now() override { return m_now; }
    LONGLONG Ticks(LONGLONG milliseconds) override { return milliseconds * kFrequency / 1000; }
    bool WaitUntil(LONGLONG deadline) override {
        while (!m_bCancelled && !m_script.empty() && m_script.begin()->first <= deadline)
            RunNextAction();
        if (m_bCancelled)
            return false;
        m_now = std::max(m_now, deadline);
        return true;
    }
    // Only the script can wake an idle worker: once it has ended, so has the scene. A worker that
    // keeps waiting once cancelled would spin; the scene ends it after a few such waits.
    bool WaitForWake() override {
        if (m_bCancelled && ++m_cancelledWakeWaits >= 3)
            m_bAlive = false;
        if (!m_bCancelled && m_script.empty())
            Teardown();
        if (!m_bCancelled)
            RunNextAction();
        return !m_bCancelled;
    }
    int m_cancelledWakeWaits = 0;  // waits for a wake begun after the cancel
    bool IsCancelled() const override { return m_bCancelled; }

    // IKeyOutput
    void KeyDown(BYTE vk, bool extended) override {
        m_now += ToTicks(m_keyDownCost);
        m_keyDownCost = 0;
        m_events.push_back({NowMs(), vk, false, extended});
    }
    void KeyUp(BYTE vk, bool extended) override { m_events.push_back({NowMs(), vk, true, extended}); }

    // IKeyState
    bool IsModifierDown() override { return m_bModifierDown; }

private:
    static constexpr LONGLONG kOrigin = 1000 * kFrequency;  // far from 0, which the worker never sees
    static LONGLONG ToTicks(double ms) { return static_cast<LONGLONG>(ms * kFrequency / 1000.0 + 0.5); }

    void RunNextAction() {
        auto next = m_script.begin();
        m_now = std::max(m_now, next->first);
        const std::function<void()> action = std::move(next->second);
        m_script.erase(next);
        action();
    }

    LONGLONG m_now = kOrigin;
    bool m_bCancelled = false;
    double m_keyDownCost = 0;
    std::multimap<LONGLONG, std::function<void()>> m_script;
};

// The times of the key downs of `vk`.
inline std::vector<double> DownsOf(const std::vector<CScriptedRepeater::Event>& events, unsigned vk) {
    std::vector<double> downs;
    for (const CScriptedRepeater::Event& e : events) {
        if (e.vk == vk && !e.up)
            downs.push_back(e.ms);
    }
    return downs;
}
