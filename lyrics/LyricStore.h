#pragma once

#include "framework/Afx.h"
#include "framework/CString.h"
#include "framework/File.h"

// The lyric files below the Lyrics folder beside the executable: one folder
// per artist, one "<title>.lyric" per song. Every call that touches the disk
// takes only a path of the shape <Lyrics folder>\<artist>\<title>.lyric with
// plain names (see core/store/LyricFile.h) and does nothing for any other,
// so no file or folder outside the Lyrics folder is ever made, read or
// removed. Failures show no message.

// "<exe folder>\Lyrics\", or empty when the executable's name does not fit
// its 260-byte buffer (then nothing is stored).
CString LyricsFolderPath();

// LyricsFolderPath() + artist + "\" + title + ".lyric", each name as the
// store maps it (songlark::StoreName): a plain name as given, AC/DC as AC_DC.
// The row and the file's first line keep the real names; everything that
// finds a song's file comes through here.
CString LyricFilePath(const CString& artist, const CString& title);

// Creates the Lyrics folder and the artist's folder (failures ignored);
// returns LyricFilePath(artist, title).
CString PrepareLyricPath(const CString& artist, const CString& title);

// True when path has the store's shape and may be touched.
bool IsLyricStorePath(const CString& path);

// The whole file up to its first zero byte; empty when missing, empty or
// unreadable.
CString ReadLyricFile(const CString& path);

// Writes "<artist> - <title>\r\n\r\n<lyric>" to path. The text goes to a
// temporary file in the same folder first and replaces the old file only
// once completely written, so a failed write leaves the old lyric as it was.
// True only when the new file is in place: a song whose lyric could not be
// stored must not look found.
bool StoreLyric(const CString& path, const CString& artist, const CString& title, const CString& lyric);

// Removes the file; false when it could not be (or path is not the store's).
bool DeleteLyricFile(const CString& path);

// Test seam: the write of the temporary file goes through this when set
// (null restores the plain CFile::Write). True means all bytes written.
using LyricWriteFn = bool (*)(CFile& file, const void* pData, UINT nCount);
void SetLyricWriteHook(LyricWriteFn pfnWrite);
