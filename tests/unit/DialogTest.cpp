#include <gtest/gtest.h>

#include <windows.h>

#include <functional>
#include <vector>

#include "framework/Dialog.h"
#include "support/Pump.h"
#include "support/TestApp.h"

namespace {

constexpr UINT kTemplate = 200;
constexpr UINT kPlacedTemplate = 201;
constexpr UINT WM_CONSUMED = WM_APP + 1;
// Ends a dialog whose script never did (a failed assertion returns from the script before the line
// that would end it), so that the test fails instead of waiting for ever.
constexpr UINT_PTR kGiveUpTimer = 99;
constexpr double kGiveUpMs = 10000;

// A dialog whose start-up runs the test's script and which records what reaches its handlers.
class CScriptedDlg : public CDialog {
public:
    explicit CScriptedDlg(UINT nIDTemplate = kTemplate) : CDialog(nIDTemplate) {}

    BOOL PreTranslateMessage(MSG* pMsg) override {
        if (pMsg->message == WM_CONSUMED) {
            ++m_consumed;
            return TRUE;
        }
        return CDialog::PreTranslateMessage(pMsg);
    }

    std::function<void(CScriptedDlg&)> m_script;
    int m_consumed = 0;
    int m_shows = 0;  // WM_SHOWWINDOW showing it
    bool m_visibleAtTimer = false;
    bool m_focusOnEditAtTimer = false;
    bool m_dispatchedConsumed = false;
    bool m_destroyed = false;
    RECT m_rect = {};

protected:
    BOOL OnInitDialog() override {
        CDialog::OnInitDialog();
        ::SetTimer(m_hWnd, kGiveUpTimer, static_cast<UINT>(kGiveUpMs * Patience()), nullptr);
        if (m_script)
            m_script(*this);
        return TRUE;
    }

    bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override {
        switch (message) {
            case WM_CONSUMED:
                m_dispatchedConsumed = true;
                return true;
            case WM_SHOWWINDOW:
                m_shows += wParam ? 1 : 0;
                return false;
            case WM_TIMER:
                if (wParam == kGiveUpTimer) {
                    ADD_FAILURE() << "the dialog was still open " << kGiveUpMs << " ms after its start-up";
                    EndDialog(IDABORT);
                    return true;
                }
                // The first timer tick of the script's ends the dialog, noting what it looked like by then.
                ::KillTimer(m_hWnd, wParam);
                m_visibleAtTimer = ::IsWindowVisible(m_hWnd) != FALSE;
                m_focusOnEditAtTimer = ::GetFocus() == ::GetDlgItem(m_hWnd, 1001);
                EndDialog(IDCANCEL);
                return true;
            case WM_DESTROY:
                m_destroyed = true;
                ::GetWindowRect(m_hWnd, &m_rect);
                return false;
            default:
                return CDialog::OnMessage(message, wParam, lParam, result);
        }
    }
};

// Posts a key to the control with the focus, so it passes through the dialog's own loop as typed keys do.
void PostKey(HWND dialog, UINT vk) {
    HWND target = ::GetFocus() != nullptr ? ::GetFocus() : ::GetDlgItem(dialog, 1001);
    ::PostMessageW(target, WM_KEYDOWN, vk, 1);
    ::PostMessageW(target, WM_KEYUP, vk, 0xC0000001);
}

INT_PTR RunWith(CScriptedDlg& dialog, std::function<void(CScriptedDlg&)> script) {
    dialog.m_script = std::move(script);
    return dialog.DoModal();
}

}  // namespace

TEST(Dialog, PreTranslateMessageCanConsumeAMessage) {
    CScriptedDlg dialog;
    const INT_PTR result = RunWith(dialog, [](CScriptedDlg& d) {
        ::PostMessageW(d.m_hWnd, WM_CONSUMED, 0, 0);
        ::PostMessageW(d.m_hWnd, WM_COMMAND, IDCANCEL, 0);
    });
    EXPECT_EQ(result, IDCANCEL);
    EXPECT_EQ(dialog.m_consumed, 1);
    EXPECT_FALSE(dialog.m_dispatchedConsumed);
    EXPECT_TRUE(dialog.m_destroyed) << "the window must be destroyed inside DoModal";
    EXPECT_EQ(dialog.m_hWnd, nullptr);
}

TEST(Dialog, EscapeEnterCloseAndCancelEndIt) {
    struct Row {
        const char* name;
        std::function<void(CScriptedDlg&)> script;
        INT_PTR expected;
    };
    const Row rows[] = {
        {"Escape", [](CScriptedDlg& d) { PostKey(d.m_hWnd, VK_ESCAPE); }, IDCANCEL},
        {"Enter", [](CScriptedDlg& d) { PostKey(d.m_hWnd, VK_RETURN); }, IDOK},
        {"close box", [](CScriptedDlg& d) { ::PostMessageW(d.m_hWnd, WM_SYSCOMMAND, SC_CLOSE, 0); }, IDCANCEL},
        {"WM_CLOSE", [](CScriptedDlg& d) { ::PostMessageW(d.m_hWnd, WM_CLOSE, 0, 0); }, IDCANCEL},
        {"IDCANCEL", [](CScriptedDlg& d) { ::PostMessageW(d.m_hWnd, WM_COMMAND, IDCANCEL, 0); }, IDCANCEL},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        CScriptedDlg dialog;
        EXPECT_EQ(RunWith(dialog, row.script), row.expected);
        EXPECT_TRUE(dialog.m_destroyed);
    }
}

TEST(Dialog, QuitMessageEndsItAndIsPostedAgain) {
    CScriptedDlg dialog;
    EXPECT_EQ(RunWith(dialog, [](CScriptedDlg&) { ::PostQuitMessage(7); }), -1);
    EXPECT_TRUE(dialog.m_destroyed);
    EXPECT_EQ(dialog.m_shows, 0) << "a dialog whose start-up queued the quit message was shown";
    MSG msg;
    ASSERT_TRUE(::PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(msg.wParam, 7u);
}

TEST(Dialog, VisibleTemplateShowsOnceAfterStartUpWithTheFocusOnTheFirstTabStop) {
    CScriptedDlg dialog;
    bool visibleDuringStartUp = true;
    RunWith(dialog, [&](CScriptedDlg& d) {
        visibleDuringStartUp = ::IsWindowVisible(d.m_hWnd) != FALSE;
        // Start-up, and the show when the queue first goes idle, are over long before this.
        ::SetTimer(d.m_hWnd, 1, static_cast<UINT>(50 * Patience()), nullptr);
    });
    EXPECT_FALSE(visibleDuringStartUp);
    EXPECT_EQ(dialog.m_shows, 1);
    EXPECT_TRUE(dialog.m_visibleAtTimer);
    EXPECT_TRUE(dialog.m_focusOnEditAtTimer);
}

TEST(Dialog, UnownedDialogIsCentredUnlessItsTemplatePlacesIt) {
    CScriptedDlg dialog;
    RunWith(dialog, [](CScriptedDlg& d) { ::PostMessageW(d.m_hWnd, WM_COMMAND, IDCANCEL, 0); });
    RECT work;
    ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    EXPECT_NEAR((dialog.m_rect.left + dialog.m_rect.right) / 2, (work.left + work.right) / 2, 1);
    EXPECT_NEAR((dialog.m_rect.top + dialog.m_rect.bottom) / 2, (work.top + work.bottom) / 2, 1);

    ::SetCursorPos(5, 5);
    CScriptedDlg placed(kPlacedTemplate);
    RunWith(placed, [](CScriptedDlg& d) { ::PostMessageW(d.m_hWnd, WM_COMMAND, IDCANCEL, 0); });
    EXPECT_GT(std::abs((placed.m_rect.left + placed.m_rect.right) / 2 - (work.left + work.right) / 2), 50);
}

TEST(Dialog, F1AloneAsksForTheTemplatesHelpContext) {
    g_testApp.m_helpContexts.clear();
    CScriptedDlg dialog;
    RunWith(dialog, [](CScriptedDlg& d) {
        PostKey(d.m_hWnd, VK_F1);
        ::PostMessageW(d.m_hWnd, WM_COMMAND, IDCANCEL, 0);
    });
    ASSERT_EQ(g_testApp.m_helpContexts.size(), 1u);
    EXPECT_EQ(g_testApp.m_helpContexts[0], 0x20000u + kTemplate);
}

TEST(Dialog, ControlsAreLookedUpOnceAndOwnedByTheDialog) {
    CScriptedDlg dialog;
    RunWith(dialog, [](CScriptedDlg& d) {
        CWnd* edit = d.GetDlgItem(1001);
        ASSERT_NE(edit, nullptr);
        EXPECT_EQ(edit, d.GetDlgItem(1001));
        EXPECT_EQ(edit->m_hWnd, ::GetDlgItem(d.m_hWnd, 1001));
        EXPECT_EQ(d.GetDlgItem(4242), nullptr);
        ::PostMessageW(d.m_hWnd, WM_COMMAND, IDCANCEL, 0);
    });
}
