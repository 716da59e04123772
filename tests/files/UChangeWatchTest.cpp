#include "files/UChangeWatch_C.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <thread>

#include "TestSupport.h"

namespace fs = std::filesystem;
using NS_Data::UChangeWatch_C;

// A picture saved in place, one replaced by renaming over it (as editors save), one added to a
// subfolder being watched, one removed: each is told once, after the burst ends, and the
// program's own temporaries are not; a quiet folder times out with nothing.
TEST(ChangeWatch, TellsEachChangedEntryOnceAfterTheBurst) {
    UTempDirectory folder;
    const std::string sub = folder.root + "sub";
    fs::create_directory(sub);
    std::ofstream(folder.root + "saved.png") << "a";
    std::ofstream(folder.root + "gone.png") << "a";
    UChangeWatch_C watch({folder.root, sub},
                         [](const std::string& path) { return path.ends_with(".tmp"); });
    EXPECT_TRUE(watch.Wait(20, 50).empty());

    std::thread saving([&] {
        std::ofstream(folder.root + "saved.png") << "bb";
        std::ofstream(folder.root + "new.tmp") << "c";
        fs::rename(folder.root + "new.tmp", folder.root + "replaced.png");
        std::this_thread::sleep_for(std::chrono::milliseconds(30));
        std::ofstream(sub + "/added.png") << "d";
        fs::remove(folder.root + "gone.png");
    });
    const std::vector<std::string> changed = watch.Wait(150, 5000);
    saving.join();
    const std::vector<std::string> expected = {folder.root + "gone.png",
                                               folder.root + "replaced.png",
                                               folder.root + "saved.png", sub + "/added.png"};
    EXPECT_EQ(changed, expected);
    EXPECT_TRUE(watch.Wait(20, 50).empty()) << "a change told twice";
}

TEST(ChangeWatch, RefusesAFolderThatIsNone) {
    UTempDirectory folder;
    std::ofstream(folder.root + "file") << "x";
    EXPECT_THROW(UChangeWatch_C({folder.root + "file"}, {}), NS_Base::UError_C);
}
