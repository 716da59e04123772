#include "files/UFileSet_C.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <thread>

#include "TestSupport.h"
#include "files/USignalBlock_C.h"

namespace fs = std::filesystem;
using NS_Data::UAtomicFile_C;
using NS_Data::UFileSet_C;

namespace {

void Write(UAtomicFile_C& file, const std::string& path, const std::string& text) {
    file.Open(path.c_str(), UAtomicFile_C::RegularFiles);
    ASSERT_EQ(::write(file.GetDescriptor(), text.data(), text.size()), ssize_t(text.size()));
}

class FileSetTest : public ::testing::Test {
protected:
    void TearDown() override { unsetenv("TAVRIN_TEST_STOP_WRITING"); }
    std::string In(const std::string& name) const { return temp.root + name; }

    UTempDirectory temp;
};

}  // namespace

// 150 files pending in one folder (75 sheets with their data files) go in place together, named
// or unnamed while written, and the stale files given go with them; no temporary stays.
TEST_F(FileSetTest, AnyNumberOfFilesInOneFolderCommitAsOneSet) {
    constexpr int Count = 150;
    for (const char* hook : {"unnamed", "named"}) {
        SCOPED_TRACE(hook);
        setenv("TAVRIN_TEST_STOP_WRITING", hook, 1);
        for (const char* stale : {"old-0", "old-1"}) {
            WriteFile(In(stale), {'o'});
        }
        UFileSet_C set;
        for (int i = 0; i < Count; ++i) {
            Write(set.Add(), In("f" + std::to_string(i)), std::string(hook) + std::to_string(i));
        }
        EXPECT_EQ(FailureOf([&] { set.Commit({In("old-0"), In("gone"), In("old-1")}); }), "");
        for (int i = 0; i < Count; ++i) {
            ASSERT_EQ(Text(In("f" + std::to_string(i))), hook + std::to_string(i));
        }
        EXPECT_FALSE(Exists(In("old-0")) || Exists(In("old-1"))) << "a stale file stayed";
        EXPECT_EQ(NamesWith(temp.root, ".tmp"), std::vector<std::string>{});
    }
    // A stale path that cannot be removed is told once the set is in place.
    fs::create_directories(In("folder/inner"));
    UFileSet_C set;
    Write(set.Add(), In("f0"), "last");
    EXPECT_EQ(FailureOf([&] { set.Commit({In("folder")}); }),
              "UFileSet_C 1 Fail to remove the file:|" + In("folder") + " : Is a directory");
    EXPECT_EQ(Text(In("f0")), "last");
}

// What SIGKILL or the OOM killer leaves, a named and an unnamed file's temporary, goes with the
// next set committed in that folder; a temporary of a running process stays, and so does
// anything that merely looks like an abandoned one.
TEST_F(FileSetTest, TemporariesOfEndedProcessesGoWithTheNextSet) {
    const pid_t child = fork();
    if (child == 0) {
        for (const char* hook : {"unnamed", "named"}) {
            setenv("TAVRIN_TEST_STOP_WRITING", hook, 1);
            auto* file = new UAtomicFile_C;  // never ended, as by SIGKILL
            Write(*file, In(hook), "x");
            file->Prepare();
        }
        _exit(0);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    std::vector<std::string> dead = NamesWith(temp.root, ".tavrin-");
    ASSERT_EQ(dead.size(), 2u) << "the ended process left no temporaries";
    UAtomicFile_C running;
    Write(running, In("running"), "r");
    running.Prepare();
    // ".tavrin-HOST-PID-N.tmp" of the dead process, changed one part at a time.
    const std::string& name = dead[0];
    const std::size_t host = name.find('-') + 1, id = name.find('-', host) + 1;
    const std::size_t count = name.find('-', id) + 1;
    const std::string lookalikes[] = {
        name.substr(0, id) + std::to_string(getppid()) + name.substr(count - 1),
        name.substr(0, host) + (name[host] == 'f' ? "e" : "f") + name.substr(host + 1),
        name.substr(0, count) + "0" + name.substr(count),
        name + "~",
        "x" + name,
    };
    for (const std::string& lookalike : lookalikes) {
        fs::copy_file(In(name), In(lookalike));
    }
    fs::create_directory(In(name.substr(0, count) + "70000000.tmp"));
    fs::create_symlink(In("running"), In(name.substr(0, count) + "80000000.tmp"));
    fs::create_hard_link(In(name), In("second name"));

    UFileSet_C set;
    Write(set.Add(), In("next"), "n");
    set.Commit();
    const std::vector<std::string> left = NamesWith(temp.root, ".tavrin-");
    EXPECT_EQ(std::ranges::count(left, dead[1]), 0) << dead[1] << " stayed";
    EXPECT_EQ(left.size(), std::size(lookalikes) + 4) << "removed more than the dead temporaries";
    EXPECT_TRUE(Exists(In(name))) << "a file with a second name was removed";
}

// SIGTERM taken by a thread that holds nothing back, while another thread puts files in place
// (the window's worker), ends the process only once that thread is done, and still removes the
// temporaries.
TEST_F(FileSetTest, AnEndingSignalWaitsWhileAnyThreadPutsFilesInPlace) {
    const pid_t child = fork();
    if (child == 0) {
        UAtomicFile_C pending;
        Write(pending, In("pending"), "p");
        pending.Prepare();
        std::atomic<bool> holding = false;
        std::thread worker([&] {
            const NS_Data::USignalBlock_C block;
            holding = true;
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
            WriteFile(In("done"), {'d'});
        });
        while (!holding) {
        }
        kill(getpid(), SIGTERM);
        worker.join();
        _exit(0);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGTERM) << "status " << status;
    EXPECT_TRUE(Exists(In("done"))) << "ended before the other thread was done";
    EXPECT_EQ(NamesWith(temp.root, ".tmp"), std::vector<std::string>{});
}
