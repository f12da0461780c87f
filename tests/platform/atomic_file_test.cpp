#include "platform/atomic_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
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
        for (const auto& e : std::filesystem::directory_iterator(dir_)) {
            names.push_back(e.path().filename().string());
        }
        return names;
    }
    std::string contents() const {
        std::ifstream in(path_, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
    bool save(const std::string& text) {
        return save_file_atomically(path_.c_str(), text.data(), text.size());
    }
    TempFolder folder_{"torvi-atomic-"};
    const std::string dir_ = folder_.path().string();
    const std::string path_ = dir_ + "/file.bin";
};

TEST_F(AtomicFile, InterruptedSaveKeepsTheOldFileAndNoTemporaryAndAGoodOneReplacesItWhole) {
    ASSERT_TRUE(save("a much longer old text"));
    const std::string fresh(5000, 'n');
    for (SaveFault fault : {SaveFault::write, SaveFault::flush, SaveFault::rename}) {
        set_save_fault_for_testing(fault);
        EXPECT_FALSE(save(fresh));
        EXPECT_EQ(contents(), "a much longer old text");
        EXPECT_EQ(entries(), std::vector<std::string>{"file.bin"});
    }
    set_save_fault_for_testing(SaveFault::none);
    EXPECT_TRUE(save(fresh));
    EXPECT_EQ(contents(), fresh);
    EXPECT_TRUE(save("new"));
    EXPECT_EQ(contents(), "new");
    EXPECT_EQ(entries(), std::vector<std::string>{"file.bin"});
}

TEST_F(AtomicFile, SaveKeepsThePermissionsAndFailsCleanlyInAMissingFolder) {
    ASSERT_TRUE(save("x"));
    ::chmod(path_.c_str(), 0600);
    ASSERT_TRUE(save("y"));
    struct stat st;
    ASSERT_EQ(::stat(path_.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
    EXPECT_FALSE(save_file_atomically((dir_ + "/no/such/folder/file.bin").c_str(), "x", 1));
}

TEST_F(AtomicFile, ReadPrefixStopsAtTheBufferAndTellsWhetherMoreFollows) {
    ASSERT_TRUE(save("0123456789"));
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
