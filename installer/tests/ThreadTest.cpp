#include "TestSupport.h"
#include "utils/Thread.h"

#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <vector>

namespace {

struct NamedThread
{
    std::string name;
    DWORD threadId;
};

std::vector<NamedThread> g_namesSeen;

// Plays the debugger: sees the naming exception first, then lets it go on.
LONG CALLBACK RecordThreadName(EXCEPTION_POINTERS *pointers)
{
    const EXCEPTION_RECORD *record = pointers->ExceptionRecord;
    if (record->ExceptionCode == 0x406D1388 && record->NumberParameters == 4 &&
        record->ExceptionInformation[0] == 0x1000) {
        g_namesSeen.push_back({reinterpret_cast<const char *>(record->ExceptionInformation[1]),
                               static_cast<DWORD>(record->ExceptionInformation[2])});
    }
    return EXCEPTION_CONTINUE_SEARCH;
}

uint32_t RecordCaller(void *argument)
{
    *static_cast<std::atomic<DWORD> *>(argument) = GetCurrentThreadId();
    return 5;
}

TEST(Thread, RunsItsBodySuspendedUntilResumedAndResetsOnJoin)
{
    std::atomic<DWORD> ranOn{0};
    Utils::Thread thread;
    thread.Start(RecordCaller, &ranOn, L"Worker");
    ASSERT_TRUE(thread.IsStarted());
    const uint32_t id = thread.Id();
    EXPECT_NE(id, 0u);
    // Suspended once, it has not run; a running or ended thread would answer 0 or fail.
    const HANDLE observer = OpenThread(THREAD_SUSPEND_RESUME, FALSE, id);
    ASSERT_NE(observer, nullptr);
    EXPECT_EQ(SuspendThread(observer), 1u) << "the thread was not created suspended";
    ResumeThread(observer);
    CloseHandle(observer);
    EXPECT_EQ(ranOn.load(), 0u) << "ran before Resume";

    EXPECT_TRUE(thread.Resume());
    EXPECT_TRUE(thread.WaitForEnd(10000));
    thread.Join();

    EXPECT_EQ(ranOn.load(), id);
    EXPECT_EQ(thread.Id(), Utils::Thread::kJoinedId);
    EXPECT_TRUE(thread.Name().empty());
    EXPECT_FALSE(thread.IsStarted());
}

TEST(Thread, TellsTheDebuggerItsNameOrTAndItsId)
{
    Utils::SetThreadName(GetCurrentThreadId(), "warm-up");
    PVOID handler = AddVectoredExceptionHandler(1, RecordThreadName);
    ASSERT_NE(handler, nullptr);
    g_namesSeen.clear();
    std::atomic<DWORD> ignored{0};

    Utils::Thread named;
    named.Start(RecordCaller, &ignored, L"UnInstaller");
    Utils::Thread unnamed;
    unnamed.Start(RecordCaller, &ignored, L"");
    RemoveVectoredExceptionHandler(handler);

    ASSERT_EQ(g_namesSeen.size(), 2u);
    EXPECT_EQ(g_namesSeen[0].name, "UnInstaller");
    EXPECT_EQ(g_namesSeen[0].threadId, named.Id());
    EXPECT_EQ(g_namesSeen[1].name, "t" + std::to_string(unnamed.Id()));
    EXPECT_EQ(g_namesSeen[1].threadId, unnamed.Id());
    EXPECT_TRUE(named.Resume());
    EXPECT_TRUE(unnamed.Resume());
}

TEST(Thread, WithoutAThreadResumeFailsAndANeverResumedThreadEndsWithoutItsBody)
{
    Utils::Thread never;
    EXPECT_FALSE(never.Resume());
    never.Join();
    EXPECT_EQ(never.Id(), Utils::Thread::kJoinedId);

    std::atomic<DWORD> ranOn{0};
    HANDLE observer = nullptr;
    {
        Utils::Thread suspended;
        suspended.Start(RecordCaller, &ranOn, L"Suspended");
        ASSERT_TRUE(suspended.IsStarted());
        observer = OpenThread(SYNCHRONIZE, FALSE, suspended.Id());
        ASSERT_NE(observer, nullptr);
    }
    // Left suspended, the thread would live as long as the process.
    EXPECT_EQ(WaitForSingleObject(observer, TestSupport::kProgramWaitMs), WAIT_OBJECT_0);
    CloseHandle(observer);
    EXPECT_EQ(ranOn.load(), 0u);
}

} // namespace
