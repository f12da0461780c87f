#include "platform/atomic_file.h"

#include <dirent.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "support/temp_folder.h"

namespace {

class AtomicFile : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_TRUE(folder_.ok()); }
    void TearDown() override { set_save_fault_for_testing(SaveFault::none); }
    std::vector<std::string> entries() const {
        std::vector<std::string> names;
        if (DIR* d = ::opendir(dir_.c_str())) {
            while (dirent* e = ::readdir(d))
                if (std::string(e->d_name) != "." && std::string(e->d_name) != "..")
                    names.push_back(e->d_name);
            ::closedir(d);
        }
        return names;
    }
    std::string contents() const {
        std::ifstream in(path_, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
    TempFolder folder_{"torvi-atomic-"};
    const std::string dir_ = folder_.path().string();
    const std::string path_ = dir_ + "/file.bin";
};

TEST_F(AtomicFile, SaveReplacesTheWholeFile) {
    ASSERT_TRUE(save_file_atomically(path_.c_str(), "a much longer old text", 22));
    ASSERT_TRUE(save_file_atomically(path_.c_str(), "new", 3));
    EXPECT_EQ(contents(), "new");
    EXPECT_EQ(entries(), std::vector<std::string>{"file.bin"});
}

TEST_F(AtomicFile, InterruptedSaveKeepsTheOldFileAndNoTemporary) {
    ASSERT_TRUE(save_file_atomically(path_.c_str(), "old contents", 12));
    const std::string fresh(5000, 'n');
    for (SaveFault fault : {SaveFault::write, SaveFault::flush, SaveFault::rename}) {
        set_save_fault_for_testing(fault);
        EXPECT_FALSE(save_file_atomically(path_.c_str(), fresh.data(), fresh.size()));
        EXPECT_EQ(contents(), "old contents");
        EXPECT_EQ(entries(), std::vector<std::string>{"file.bin"});
    }
    set_save_fault_for_testing(SaveFault::none);
    EXPECT_TRUE(save_file_atomically(path_.c_str(), fresh.data(), fresh.size()));
    EXPECT_EQ(contents(), fresh);
}

TEST_F(AtomicFile, SaveIntoAMissingFolderFailsCleanly) {
    const std::string nowhere = dir_ + "/no/such/folder/file.bin";
    EXPECT_FALSE(save_file_atomically(nowhere.c_str(), "x", 1));
}

TEST_F(AtomicFile, SaveKeepsThePermissionsOfTheReplacedFile) {
    ASSERT_TRUE(save_file_atomically(path_.c_str(), "x", 1));
    ::chmod(path_.c_str(), 0600);
    ASSERT_TRUE(save_file_atomically(path_.c_str(), "y", 1));
    struct stat st;
    ASSERT_EQ(::stat(path_.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
}

TEST_F(AtomicFile, ReadPrefixStopsAtTheBufferAndTellsWhetherMoreFollows) {
    ASSERT_TRUE(save_file_atomically(path_.c_str(), "0123456789", 10));
    char buf[10];
    FileRead r = read_file_prefix(path_.c_str(), buf, 4);
    EXPECT_EQ(r.status, ReadStatus::ok);
    EXPECT_EQ(r.size, 4u);
    EXPECT_TRUE(r.longer);
    EXPECT_EQ(std::string(buf, 4), "0123");

    r = read_file_prefix(path_.c_str(), buf, 10);
    EXPECT_EQ(r.size, 10u);
    EXPECT_FALSE(r.longer);

    EXPECT_EQ(read_file_prefix((dir_ + "/missing").c_str(), buf, 10).status,
              ReadStatus::cannot_open);
    EXPECT_EQ(read_file_prefix(dir_.c_str(), buf, 10).status, ReadStatus::read_error);
}

}  // namespace
