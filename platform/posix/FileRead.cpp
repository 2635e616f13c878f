#include "platform/FileRead.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <vector>

namespace songlark {
namespace {

// Closes the descriptor on every way out.
struct Fd {
    int fd;
    ~Fd()
    {
        if (fd >= 0) ::close(fd);
    }
};

// pread until `count` bytes or end of file; a short count means the file
// changed under us, which the caller treats as a failed read.
bool ReadExactly(int fd, unsigned char* buffer, int count, off_t offset)
{
    int done = 0;
    while (done < count) {
        const ssize_t r = ::pread(fd, buffer + done, static_cast<size_t>(count - done), offset + done);
        if (r <= 0) return false;
        done += static_cast<int>(r);
    }
    return true;
}

}  // namespace

int ReadFileHead(const std::string& path, unsigned char* buffer, int capacity)
{
    if (capacity < 0) return -1;
    Fd f{::open(path.c_str(), O_RDONLY | O_CLOEXEC)};
    if (f.fd < 0) return -1;
    const ssize_t r = ::read(f.fd, buffer, static_cast<size_t>(capacity));
    return r < 0 ? -1 : static_cast<int>(r);
}

int ReadFileTail(const std::string& path, int trailerSize, int (*blockLength)(const unsigned char* trailer),
                 unsigned char* block, int capacity)
{
    if (trailerSize <= 0) return -1;
    Fd f{::open(path.c_str(), O_RDONLY | O_CLOEXEC)};
    if (f.fd < 0) return -1;
    struct stat st;
    if (::fstat(f.fd, &st) != 0 || st.st_size < trailerSize) return -1;
    std::vector<unsigned char> trailer(static_cast<size_t>(trailerSize));
    const off_t trailerAt = st.st_size - trailerSize;
    if (!ReadExactly(f.fd, trailer.data(), trailerSize, trailerAt)) return -1;
    const int length = blockLength(trailer.data());
    if (length < 0 || length > capacity || length > trailerAt) return -1;
    if (!ReadExactly(f.fd, block, length, trailerAt - length)) return -1;
    return length;
}

}  // namespace songlark
