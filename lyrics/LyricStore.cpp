#include "lyrics/LyricStore.h"

#include "core/store/LyricFile.h"
#include "platform/TextCodec.h"

#include <limits>
#include <new>
#include <string>
#include <vector>

namespace {

LyricWriteFn g_pfnWrite = nullptr;

bool SplitStorePath(const CString& path, std::string* artist, std::string* title)
{
    const CString folder = LyricsFolderPath();
    if (folder.IsEmpty()) return false;
    return songlark::SplitLyricPath(folder.str(), path.str(), artist, title);
}

}  // namespace

void SetLyricWriteHook(LyricWriteFn pfnWrite)
{
    g_pfnWrite = pfnWrite;
}

CString LyricsFolderPath()
{
    char module[260];
    const DWORD n = ::GetModuleFileNameA(nullptr, module, sizeof module);
    // n == size means the name was cut: its folder would be some other one.
    if (n == 0 || n >= sizeof module) return CString();
    const CString exe(module, static_cast<int>(n));
    const int slash = exe.ReverseFind('\\');
    if (slash < 0) return CString();
    return exe.Left(slash) + "\\Lyrics\\";
}

CString LyricFilePath(const CString& artist, const CString& title)
{
    const CString folder = LyricsFolderPath();
    if (folder.IsEmpty()) return CString();
    return folder + CString(songlark::StoreName(artist.str())) + "\\" + CString(songlark::StoreName(title.str())) +
           ".lyric";
}

CString PrepareLyricPath(const CString& artist, const CString& title)
{
    const CString folder = LyricsFolderPath();
    if (!folder.IsEmpty()) {
        ::CreateDirectoryA(folder, nullptr);
        ::CreateDirectoryA(folder + CString(songlark::StoreName(artist.str())), nullptr);
    }
    return LyricFilePath(artist, title);
}

bool IsLyricStorePath(const CString& path)
{
    return SplitStorePath(path, nullptr, nullptr);
}

CString ReadLyricFile(const CString& path)
{
    if (!IsLyricStorePath(path)) return CString();
    CFile file;
    if (!file.Open(path, CFile::modeRead | CFile::shareExclusive)) return CString();
    const ULONGLONG length = file.GetLength();
    if (length == 0 || length > std::numeric_limits<UINT>::max() - 2) return CString();
    try {
        std::vector<char> buffer(static_cast<size_t>(length) + 2, '\0');
        const UINT read = file.Read(buffer.data(), static_cast<UINT>(length));
        if (read == 0) return CString();
        return CString(songlark::LyricFileToText(std::string(buffer.data(), read), songlark::ProcessCodePage(),
                                                 songlark::UserLegacyCodePage()));
    } catch (const std::bad_alloc&) {
        return CString();
    }
}

bool StoreLyric(const CString& path, const CString& artist, const CString& title, const CString& lyric)
{
    if (!IsLyricStorePath(path)) return false;
    const std::string text =
        songlark::LyricTextToFile(songlark::FormatLyricFile(artist, title, lyric), songlark::ProcessCodePage());
    if (text.size() > std::numeric_limits<UINT>::max()) return false;

    // The temporary file sits beside the lyric so that putting it in place is
    // a rename within one folder; its ".tmp" name is never listed as a lyric.
    const CString folder = path.Left(path.ReverseFind('\\'));
    char temp[MAX_PATH];
    if (!::GetTempFileNameA(folder, "sl", 0, temp)) return false;

    bool bWritten = false;
    {
        CFile file;
        if (file.Open(temp, CFile::modeCreate | CFile::modeWrite | CFile::shareExclusive)) {
            const UINT n = static_cast<UINT>(text.size());
            bWritten = g_pfnWrite ? g_pfnWrite(file, text.data(), n) : file.Write(text.data(), n);
            bWritten = bWritten && file.Flush();
        }
    }
    if (bWritten && ::MoveFileExA(temp, path, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) return true;
    ::DeleteFileA(temp);
    return false;
}

bool DeleteLyricFile(const CString& path)
{
    if (!IsLyricStorePath(path)) return false;
    return ::DeleteFileA(path) != FALSE;
}
