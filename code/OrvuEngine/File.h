#pragma once

#include "OrvuExport.h"

// File, folder and path helpers over the platform's own calls. Every path is
// a zero-terminated wide text; no function keeps a path after it returns or
// hands out memory the caller must free. Nothing here throws: a failed
// platform call gives false (or, for FindFiles, no reports).
namespace Orvu
{

// The path is relative (PathIsRelativeW).
ORVU_API bool IsPathRelative(const wchar_t* path);
// The path names an existing folder (PathIsDirectoryW).
ORVU_API bool IsPathFolder(const wchar_t* path);

namespace File
{

// Copies from onto to, replacing an existing file to.
ORVU_API bool Copy(const wchar_t* from, const wchar_t* to);
ORVU_API bool Delete(const wchar_t* path);
// The path exists and is not a folder.
ORVU_API bool Exists(const wchar_t* path);
// A pointer into path at the last dot of its final component (the dot
// included), or at its terminating zero when that component has no dot.
ORVU_API wchar_t* GetExtension(const wchar_t* path);

} // namespace File

namespace Folder
{

// Receives the entries that FindFiles finds.
class ORVU_API FindFilesCallbackClass
{
public:
    // path is valid only during the call.
    virtual void FindFilesCallback(const wchar_t* path) = 0;

protected:
    // Never deleted through this interface.
    ~FindFilesCallbackClass() {}
};

// True at once when path already names a folder; otherwise creates its last
// component (the parent must exist).
ORVU_API bool Create(const wchar_t* path);
// Removes an empty folder.
ORVU_API bool Delete(const wchar_t* path);
// The path names a folder, whatever its other attributes.
ORVU_API bool Exists(const wchar_t* path);
// The folder holds nothing but "." and "..".
ORVU_API bool IsEmpty(const wchar_t* path);

// Reports every entry of folder whose name matches pattern (FindFirstFileW
// wildcards), as folder + "\" + name, in the order the file system lists
// them. folder is joined to pattern as it stands, so it should end in a
// backslash. With recursive, matching sub-folders are searched depth first
// instead of being reported; without it they are reported like files.
ORVU_API void FindFiles(const wchar_t* folder, FindFilesCallbackClass* callback,
                        const wchar_t* pattern, bool recursive);

} // namespace Folder

} // namespace Orvu
