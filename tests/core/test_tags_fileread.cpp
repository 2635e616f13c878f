// The shared-read file access under the readers, on real files, including
// files that another handle is writing at the same moment.
#include "TagBytes.h"
#include "core/tags/TagReaders.h"
#include "platform/FileRead.h"
#include "platform/SystemPath.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <string>

#ifdef _WIN32
#include <windows.h>
#endif

using namespace tagbytes;

namespace {

std::string TempPath(const std::string& name) { return ::testing::TempDir() + "songlark_fileread_" + name; }

const std::string kTag = Id3Header() + Latin1("TPE1", "Artist") + Latin1("TIT2", "Title") + std::string(500, '\0');

// Holds a file open for writing the way a download client does, and appends to it.
class Writer {
public:
#ifdef _WIN32
    Writer(const std::string& path, DWORD access, DWORD share)
        : h_(::CreateFileA(path.c_str(), access, share, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr))
    {
    }
    ~Writer() { ::CloseHandle(h_); }
    bool Open() const { return h_ != INVALID_HANDLE_VALUE; }
    void Append(const std::string& bytes)
    {
        DWORD written = 0;
        ::WriteFile(h_, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    }

private:
    HANDLE h_;
#else
    explicit Writer(const std::string& path) : out_(path, std::ios::binary) {}
    bool Open() const { return out_.is_open(); }
    void Append(const std::string& bytes) { out_.write(bytes.data(), std::streamsize(bytes.size())).flush(); }

private:
    std::ofstream out_;
#endif
};

int ReadMp3(const std::string& path, std::string& artist, std::string& title)
{
    return songlark::ReadMp3Tags(path, artist, title, 1, songlark::ReadFileHead, songlark::SystemPathSyntax());
}

}  // namespace

TEST(FileHead, ReadsAtMostTheFirstKilobyte)
{
    const std::string path = TempPath("head.mp3");
    std::ofstream(path, std::ios::binary) << kTag << std::string(40000, '\xff');
    unsigned char buffer[1024];
    EXPECT_EQ(songlark::ReadFileHead(path, buffer, sizeof buffer), 1024);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(buffer), 10), kTag.substr(0, 10));
    std::string artist, title;
    EXPECT_EQ(ReadMp3(path, artist, title), 1);
    EXPECT_EQ(artist + "|" + title, "Artist|Title");

    std::ofstream(path, std::ios::binary) << kTag.substr(0, 9);
    EXPECT_EQ(songlark::ReadFileHead(path, buffer, sizeof buffer), 9);
    EXPECT_EQ(ReadMp3(path, artist, title), -1);
    std::remove(path.c_str());
    EXPECT_EQ(songlark::ReadFileHead(path, buffer, sizeof buffer), -1);
    EXPECT_EQ(ReadMp3(path, artist, title), -1);
}

TEST(FileSharing, FilesBeingWrittenAreStillRead)
{
    const std::string mp3 = TempPath("writing.mp3"), dat = TempPath("writing.dat");
    const std::string block = KazaaBlock("Some Artist - A Song.mp3", 0, "");
    {
#ifdef _WIN32
        // The client shares reading and writing; asking for less sharing than
        // all of it, as a plain read-only open does, is refused meanwhile.
        Writer mp3Writer(mp3, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE);
        Writer datWriter(dat, GENERIC_WRITE | DELETE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE);
        HANDLE narrow = ::CreateFileA(mp3.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
        EXPECT_EQ(narrow, INVALID_HANDLE_VALUE);
        if (narrow != INVALID_HANDLE_VALUE) ::CloseHandle(narrow);
        narrow = ::CreateFileA(dat.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0,
                               nullptr);
        EXPECT_EQ(narrow, INVALID_HANDLE_VALUE);
        if (narrow != INVALID_HANDLE_VALUE) ::CloseHandle(narrow);
#else
        Writer mp3Writer(mp3), datWriter(dat);
#endif
        ASSERT_TRUE(mp3Writer.Open());
        ASSERT_TRUE(datWriter.Open());
        std::string artist, title;
        mp3Writer.Append(kTag.substr(0, 20));
        EXPECT_EQ(ReadMp3(mp3, artist, title), -1);
        mp3Writer.Append(kTag.substr(20));
        EXPECT_EQ(ReadMp3(mp3, artist, title), 1);
        EXPECT_EQ(artist + "|" + title, "Artist|Title");

        datWriter.Append(std::string(3000, '\x55') + block);
        EXPECT_EQ(songlark::ReadKazaaSong(dat, artist, title, 0, songlark::ReadFileTail), -1);
        datWriter.Append(KazaaTrailer(int(block.size())));
        artist = title = "";
        EXPECT_EQ(songlark::ReadKazaaSong(dat, artist, title, 0, songlark::ReadFileTail), 1);
        EXPECT_EQ(artist + "|" + title, "Some Artist|A Song");
    }
    std::remove(mp3.c_str());
    std::remove(dat.c_str());
}
