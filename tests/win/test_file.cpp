// CFile and CFileFind against real files: the modes the program opens
// files in, and the listing loop's look-ahead semantics.
#include "framework/File.h"
#include "framework/FileFind.h"

#include <gtest/gtest.h>


namespace {

class FileWrappers : public ::testing::Test {
protected:
    void SetUp() override
    {
        char temp[MAX_PATH];
        ASSERT_GT(::GetTempPathA(sizeof temp, temp), 0u);
        dir = CString(temp) + "songlark-file-test";
        ::CreateDirectoryA(dir, nullptr);
    }
    void TearDown() override
    {
        for (const char* name : {"\\a.txt", "\\only.x"}) ::DeleteFileA(dir + name);
        ::RemoveDirectoryA(dir);
    }
    CString dir;
};

TEST_F(FileWrappers, CreateTruncatesAndExclusiveShutsOthersOut)
{
    const CString path = dir + "\\a.txt";
    CFile file;
    EXPECT_FALSE(file.Open(path, CFile::modeRead | CFile::shareExclusive));   // must exist without modeCreate
    ASSERT_TRUE(file.Open(path, CFile::modeCreate | CFile::modeWrite | CFile::shareExclusive));
    EXPECT_TRUE(file.Write("hello world", 11));
    EXPECT_EQ(file.GetLength(), 11u);

    CFile second;
    EXPECT_FALSE(second.Open(path, CFile::modeRead | CFile::shareDenyNone));
    file.Close();
    EXPECT_FALSE(file.IsOpen());
    EXPECT_EQ(file.GetLength(), 0u);
    EXPECT_FALSE(file.Write("x", 1));

    ASSERT_TRUE(file.Open(path, CFile::modeCreate | CFile::modeWrite | CFile::shareExclusive));
    EXPECT_TRUE(file.Write("hi", 2));
    // Open again closes the first handle, so the file is free to share.
    ASSERT_TRUE(file.Open(path, CFile::modeRead | CFile::shareDenyNone));
    ASSERT_TRUE(second.Open(path, CFile::modeRead | CFile::shareDenyNone));
    char buf[16] = {};
    EXPECT_EQ(file.Read(buf, sizeof buf), 2u);
    EXPECT_STREQ(buf, "hi");
    EXPECT_EQ(file.Read(buf, sizeof buf), 0u);
    EXPECT_FALSE(file.Write("x", 1));   // opened for reading only
}

TEST_F(FileWrappers, FindNextFileSaysWhetherAnotherMatchFollows)
{
    CFile f;
    ASSERT_TRUE(f.Open(dir + "\\only.x", CFile::modeCreate | CFile::modeWrite));
    f.Close();

    CFileFind ff;
    ASSERT_TRUE(ff.FindFile(dir + "\\*.x"));
    EXPECT_FALSE(ff.FindNextFile());   // the one match is current and the last
    EXPECT_EQ(ff.GetFileName(), "only.x");
    EXPECT_EQ(ff.GetFilePath(), dir + "\\only.x");
    EXPECT_FALSE(ff.IsDirectory());
    EXPECT_FALSE(ff.FindNextFile());

    EXPECT_FALSE(ff.FindFile(dir + "\\*.none"));
    EXPECT_FALSE(ff.FindNextFile());
    EXPECT_FALSE(ff.FindFile(dir + "\\no such folder\\*"));
}

}  // namespace
