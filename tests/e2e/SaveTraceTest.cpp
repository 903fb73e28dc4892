#include <gtest/gtest.h>

#include <windows.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "support/CpuTime.h"
#include "support/Launch.h"
#include "support/ProgramFacts.h"
#include "support/Scratch.h"
#include "support/TapwrenProcess.h"

// One save of the real program traced at its system calls (tests/support/trace-files.sh, with
// strace): the data the save writes must be on the disk before the rename that puts it in place, or
// a power cut just after the save can leave the settings file empty.
namespace {

struct Call {
    double at;         // when it began, in seconds
    std::string name;  // write, fsync, rename...
    std::string text;  // the whole call, with each descriptor's file
};

bool IsWrite(const Call& c) {
    return c.name.compare(0, 5, "write") == 0 || c.name.compare(0, 6, "pwrite") == 0;
}

bool IsFlush(const Call& c) {
    return c.name == "fsync" || c.name == "fdatasync";
}

bool IsRename(const Call& c) {
    return c.name.compare(0, 6, "rename") == 0;
}

bool OnFile(const Call& c, const std::string& name) {
    return c.text.find("/" + name + ">") != std::string::npos;
}

// The lines strace writes with -f -ttt: "PID SECONDS call(...) = result"; calls cut in two by another
// process's are "... <unfinished ...>", then "<... call resumed>", and only the first half counts.
std::vector<Call> ReadTrace(const std::wstring& file) {
    std::vector<Call> calls;
    std::string bytes;
    ReadBytes(file, bytes);
    std::istringstream lines(bytes);
    std::string line;
    while (std::getline(lines, line)) {
        std::istringstream fields(line);
        long pid = 0;
        Call call;
        if (!(fields >> pid >> call.at))
            continue;
        std::getline(fields >> std::ws, call.text);
        const size_t open = call.text.find('(');
        if (call.text.compare(0, 4, "<...") == 0 || open == std::string::npos)
            continue;
        call.name = call.text.substr(0, open);
        calls.push_back(call);
    }
    return calls;
}

class SaveTraceTest : public testing::Test {
protected:
    SaveTraceTest() : m_dir(testing::UnitTest::GetInstance()->current_test_info()->name()) {}

    // Starts the program and traces the save the sync makes of an edited key two.
    std::vector<Call> TraceOneSave() {
        CTapwrenProcess app(m_dir.Path());
        EXPECT_TRUE(app.Start());
        const std::wstring stat = StatFileOfProgram(m_dir.File(L"Tapwren.exe"));
        const std::wstring pid = stat.substr(8, stat.size() - 8 - 5);  // Z:\proc\<pid>\stat
        const std::string script = "sh " + UnixPathOf(ExecutableDir() + L"trace-files.sh");
        const std::wstring trace = ExecutableDir() + L"trace-" + std::wstring(m_name.begin(), m_name.end()) + L".txt";
        const int started =
            RunUnixCommand(script + " start " + std::string(pid.begin(), pid.end()) + " " + UnixPathOf(trace));
        if (started == 4) {
            m_skipped = true;
            return {};
        }
        EXPECT_EQ(started, 0) << "the trace did not start";
        app.SetHotKey(IDC_HOTKEY_KEY2, 0x78);  // F9
        EXPECT_TRUE(app.Sync());
        EXPECT_EQ(RunUnixCommand(script + " stop " + UnixPathOf(trace)), 0);
        EXPECT_GE(app.CloseWith(WM_CLOSE), 0);
        const std::vector<Call> calls = ReadTrace(trace);
        for (const wchar_t* end : {L"", L".err", L".pid"})
            ::DeleteFileW((trace + end).c_str());
        return calls;
    }

    // The last write to the file before `before` and the first flush of it after that write;
    // negative times when there is none.
    static void LastWriteAndFlush(const std::vector<Call>& calls,
                                  const std::string& file,
                                  double before,
                                  double& written,
                                  double& flushed) {
        written = -1;
        flushed = -1;
        for (const Call& c : calls) {
            if (c.at < before && OnFile(c, file) && IsWrite(c))
                written = c.at;
        }
        for (const Call& c : calls) {
            if (c.at >= written && written >= 0 && OnFile(c, file) && IsFlush(c) && flushed < 0)
                flushed = c.at;
        }
    }

    std::string m_name = testing::UnitTest::GetInstance()->current_test_info()->name();
    CScratchDir m_dir;
    bool m_skipped = false;
};

}  // namespace

TEST_F(SaveTraceTest, CopysNewBytesAreOnTheDiskBeforeItReplacesTheFile) {
    ASSERT_TRUE(WriteBytes(m_dir.File(L"cfg.ini"), ConfigWith(VK_F8, VK_F7, 300)));
    const std::vector<Call> calls = TraceOneSave();
    if (m_skipped)
        GTEST_SKIP() << "strace may not attach to processes here: the save's order on the disk was not traced";
    EXPECT_EQ(m_dir.Bytes(L"cfg.ini"), ConfigWith(VK_F8, VK_F9, 300));
    double renamed = -1;
    for (const Call& c : calls) {
        if (IsRename(c) && c.text.find("cfg.ini.tmp") != std::string::npos && renamed < 0)
            renamed = c.at;
    }
    ASSERT_GE(renamed, 0) << "no rename of the copy was traced";
    double written, flushed;
    LastWriteAndFlush(calls, "cfg.ini.tmp", renamed, written, flushed);
    ASSERT_GE(written, 0) << "no write to the copy was traced";
    EXPECT_GE(flushed, 0) << "the copy's last write was never flushed";
    EXPECT_LT(flushed, renamed) << "the copy was put in place before its last write was flushed";
}

// Where no copy can be made (a folder in its way stands for a folder that allows no new file).
TEST_F(SaveTraceTest, RewriteInPlaceIsFlushedToo) {
    ASSERT_TRUE(WriteBytes(m_dir.File(L"cfg.ini"), ConfigWith(VK_F8, VK_F7, 300)));
    ASSERT_TRUE(::CreateDirectoryW(m_dir.File(L"cfg.ini.tmp").c_str(), nullptr));
    const std::vector<Call> calls = TraceOneSave();
    if (m_skipped)
        GTEST_SKIP() << "strace may not attach to processes here: the save's order on the disk was not traced";
    EXPECT_EQ(m_dir.Bytes(L"cfg.ini"), ConfigWith(VK_F8, VK_F9, 300));
    double written, flushed;
    LastWriteAndFlush(calls, "cfg.ini", 1e300, written, flushed);
    ASSERT_GE(written, 0) << "no write to the file was traced";
    EXPECT_GE(flushed, 0) << "the rewritten file was never flushed";
}
