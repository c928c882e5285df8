// File status and removal against real files of the Wine prefix.
#include "util/file_status.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <fstream>

#include "win32/second_process.h"

namespace norvane {
namespace {

class FileStatusTest : public ::testing::Test {
  protected:
    void SetUp() override {
        char temp[MAX_PATH];
        GetTempPathA(MAX_PATH, temp);
        folder_.assign(temp).append("norvane-file-status\\");
        CreateDirectoryA(folder_.c_str(), nullptr);
    }
    std::string In(const std::string& name) const {
        std::string path = folder_;
        return path.append(name);
    }
    std::string MakeFile(const std::string& name) {
        const std::string path = In(name);
        SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
        std::ofstream(path) << "content";
        return path;
    }
    static bool Exists(const std::string& path) {
        return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
    }
    static UINT CurrentErrorMode() {
        const UINT mode = SetErrorMode(0);
        SetErrorMode(mode);
        return mode;
    }
    std::string folder_;
};

TEST_F(FileStatusTest, ClosedFileIsClosedAndDeleted) {
    const std::string path = MakeFile("closed.ini");
    EXPECT_EQ(CheckFileStatus(path), "CLOSED");
    EXPECT_TRUE(DeleteClosedFile(path));
    EXPECT_FALSE(Exists(path));
}

TEST_F(FileStatusTest, MissingOrUnnamedFileAnswersEmpty) {
    EXPECT_EQ(CheckFileStatus(In("missing.ini")), "");
    EXPECT_EQ(CheckFileStatus(""), "");
    EXPECT_EQ(CheckFileStatus(folder_), "");  // a folder is no file
    EXPECT_FALSE(DeleteClosedFile(In("missing.ini")));
}

TEST_F(FileStatusTest, FileHeldByAnotherProcessIsOpenAndSurvives) {
    const std::string path = MakeFile("held.ini");
    {
        testing::SecondProcess holder("hold-file", path);
        EXPECT_EQ(CheckFileStatus(path), "OPEN");
        EXPECT_FALSE(DeleteClosedFile(path));
        EXPECT_TRUE(Exists(path));
    }
    EXPECT_EQ(CheckFileStatus(path), "CLOSED");
    EXPECT_TRUE(DeleteClosedFile(path));
}

TEST_F(FileStatusTest, ReadOnlyHiddenFileIsDeleted) {
    const std::string path = MakeFile("readonly.ini");
    // Wine adds the archive flag to every file it reports, so the read-back
    // may hold more than was set; the answer must say whether it matched.
    const bool matched = SetFileAttributeFlags(path, true, false, false, true);
    const DWORD flags = GetFileAttributesA(path.c_str()) & 0xFFFF;
    EXPECT_EQ(matched, flags == (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN));
    EXPECT_TRUE(flags & FILE_ATTRIBUTE_READONLY);
    EXPECT_TRUE(DeleteClosedFile(path));
    EXPECT_FALSE(Exists(path));
}

TEST_F(FileStatusTest, NoFlagsReadsBackAsTheSystemReportsIt) {
    const std::string path = MakeFile("plain.ini");
    const bool answer = SetFileAttributeFlags(path, false, false, false, false);
    EXPECT_EQ(answer, (GetFileAttributesA(path.c_str()) & 0xFFFF) == 0);
    EXPECT_FALSE(SetFileAttributeFlags(In("missing.ini"), true, false, false, false));
}

TEST_F(FileStatusTest, NamesOf128CharactersAreNotExamined) {
    // Pad the name so that the whole path has exactly 127, then 128 characters.
    auto nameOfLength = [&](std::size_t length) {
        std::string name = folder_;
        name.append(length - name.size() - 4, 'x').append(".ini");
        return name;
    };
    ASSERT_LT(folder_.size() + 5, 127u);
    const std::string name127 = nameOfLength(127), name128 = nameOfLength(128);
    MakeFile(name127.substr(folder_.size()));
    MakeFile(name128.substr(folder_.size()));
    {
        testing::SecondProcess holds127("hold-file", name127);
        testing::SecondProcess holds128("hold-file", name128);
        EXPECT_EQ(CheckFileStatus(name127), "OPEN");    // examined
        EXPECT_EQ(CheckFileStatus(name128), "CLOSED");  // not examined
        EXPECT_FALSE(DeleteClosedFile(name128));        // the system still refuses
    }
    EXPECT_TRUE(DeleteClosedFile(name127));
    EXPECT_TRUE(DeleteClosedFile(name128));
}

TEST_F(FileStatusTest, ErrorModeIsRestoredWhateverTheAnswer) {
    SetErrorMode(SEM_NOGPFAULTERRORBOX);
    const std::string held = MakeFile("mode.ini");
    CheckFileStatus(held);
    EXPECT_EQ(CurrentErrorMode(), static_cast<UINT>(SEM_NOGPFAULTERRORBOX));
    {
        testing::SecondProcess holder("hold-file", held);
        CheckFileStatus(held);
        EXPECT_EQ(CurrentErrorMode(), static_cast<UINT>(SEM_NOGPFAULTERRORBOX));
    }
    DeleteFileA(held.c_str());
    SetErrorMode(0);
}

}  // namespace
}  // namespace norvane
