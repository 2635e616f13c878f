#pragma once

// Files and folders for tests that work on real disks under Wine.
#include "framework/FileFind.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

// The whole file, or "<missing>" when it cannot be opened.
inline std::string ReadBytes(const char* path)
{
    std::string bytes;
    HANDLE h = ::CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE) return "<missing>";
    char buf[4096];
    DWORD n = 0;
    while (::ReadFile(h, buf, sizeof buf, &n, nullptr) && n > 0) bytes.append(buf, n);
    ::CloseHandle(h);
    return bytes;
}

inline void WriteBytes(const char* path, const std::string& bytes)
{
    HANDLE h = ::CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE) << path;
    DWORD n = 0;
    ::WriteFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &n, nullptr);
    ::CloseHandle(h);
}

inline void WriteBytes(const std::string& path, const std::string& bytes)
{
    WriteBytes(path.c_str(), bytes);
}

inline bool Exists(const char* path)
{
    return ::GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES;
}

// Names in a folder, without "." and "..".
inline std::vector<std::string> List(const CString& folder)
{
    std::vector<std::string> names;
    CFileFind ff;
    BOOL more = ff.FindFile(folder + "\\*");
    while (more) {
        more = ff.FindNextFile();
        if (!ff.IsDots()) names.push_back(ff.GetFileName().str());
    }
    return names;
}

// Removes a folder with everything in it.
inline void RemoveTree(const CString& folder)
{
    // An empty name would make "\\*" the root of the current drive, and a
    // linked folder (a prefix's Desktop is the user's home) leads out of the
    // tree: neither is ever walked.
    if (folder.IsEmpty()) return;
    const DWORD attributes = ::GetFileAttributesA(folder);
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT)) return;
    CFileFind ff;
    BOOL more = ff.FindFile(folder + "\\*");
    while (more) {
        more = ff.FindNextFile();
        if (ff.IsDots()) continue;
        if (ff.IsDirectory())
            RemoveTree(ff.GetFilePath());
        else
            ::DeleteFileA(ff.GetFilePath());
    }
    ff.Close();
    ::RemoveDirectoryA(folder);
}
