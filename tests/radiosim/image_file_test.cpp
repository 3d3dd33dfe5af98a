#include "radiosim/image_file.h"

#include <gtest/gtest.h>

#include <dirent.h>
#include <fstream>
#include <stdlib.h>
#include <string>
#include <unistd.h>

#include "radiosim/default_radio.h"

namespace {

class ImageFile : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/radiosim-image-XXXXXX";
        ASSERT_NE(nullptr, ::mkdtemp(pattern));
        dir = pattern;
    }
    void TearDown() override {
        for (const std::string& name : Entries()) {
            ::unlink((dir + "/" + name).c_str());
        }
        ::rmdir(dir.c_str());
    }
    std::vector<std::string> Entries() const {
        std::vector<std::string> names;
        if (DIR* d = ::opendir(dir.c_str())) {
            while (dirent* e = ::readdir(d)) {
                if (std::string(e->d_name) != "." && std::string(e->d_name) != "..") {
                    names.push_back(e->d_name);
                }
            }
            ::closedir(d);
        }
        return names;
    }
    void WriteFile(const std::string& name, size_t size) const {
        std::ofstream(dir + "/" + name, std::ios::binary) << std::string(size, 'x');
    }

    std::string dir;
};

TEST_F(ImageFile, SaveThenLoadGivesTheSameMemoryAndLeavesNoTemporaryFile) {
    radiosim::RadioMemory memory = radiosim::MakeDefaultRadio();
    memory[0] = 0xEE;
    memory[65535] = 0x77;
    std::string error;
    ASSERT_TRUE(radiosim::SaveImage(dir + "/memory.bin", memory, error)) << error;
    EXPECT_EQ(std::vector<std::string>{"memory.bin"}, Entries());

    radiosim::RadioMemory loaded;
    ASSERT_TRUE(radiosim::LoadImage(dir + "/memory.bin", loaded, error)) << error;
    EXPECT_TRUE(loaded == memory);

    // Saving again replaces the file.
    memory[1] = 0x01;
    ASSERT_TRUE(radiosim::SaveImage(dir + "/memory.bin", memory, error)) << error;
    ASSERT_TRUE(radiosim::LoadImage(dir + "/memory.bin", loaded, error)) << error;
    EXPECT_EQ(0x01, loaded[1]);
}

TEST_F(ImageFile, WrongSizesAreRefusedAndLeaveMemoryAlone) {
    struct Case {
        size_t size;
        const char* message;
    };
    const Case cases[] = {
        {0, "must be exactly 65536 bytes, it has 0"},
        {65535, "must be exactly 65536 bytes, it has 65535"},
        {65537, "must be exactly 65536 bytes, it has more"},
    };
    for (const Case& c : cases) {
        WriteFile("image.bin", c.size);
        radiosim::RadioMemory memory = radiosim::MakeDefaultRadio();
        std::string error;
        EXPECT_FALSE(radiosim::LoadImage(dir + "/image.bin", memory, error));
        EXPECT_NE(std::string::npos, error.find(c.message)) << error;
        EXPECT_NE(std::string::npos, error.find(dir + "/image.bin")) << error;
        EXPECT_TRUE(memory == radiosim::MakeDefaultRadio());
    }
}

TEST_F(ImageFile, MissingFilesAndFoldersAreReported) {
    radiosim::RadioMemory memory;
    std::string error;
    EXPECT_FALSE(radiosim::LoadImage(dir + "/absent.bin", memory, error));
    EXPECT_NE(std::string::npos, error.find("cannot open image")) << error;
    EXPECT_FALSE(radiosim::SaveImage(dir + "/no/such/folder.bin", memory, error));
    EXPECT_NE(std::string::npos, error.find("cannot create")) << error;
}

} // namespace
