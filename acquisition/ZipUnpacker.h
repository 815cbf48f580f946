// Unpacks a ZIP archive into a directory with minizip. Paths are Windows-style CP936 texts.
#pragma once

#include "shell/SharedTypes.h"

// Unpacks every member into `targetDirectory`, creating it and any member folders and replacing
// existing files (each file is written under a temporary name and renamed into place, so a file in
// use, such as a loaded library, is replaced rather than overwritten). Returns 1 on success.
// An archive with any member whose path would land outside the target (an absolute path, a drive,
// a ".." segment) is refused as a whole: nothing is written and the result is 0.
int UnpackZip(const AnsiText& archivePath, const AnsiText& targetDirectory);

// Installs a tool: unpacks into a staging folder beside `installDirectory`, adds the files of an
// existing install that the archive does not name (a reinstall keeps what the user saved there),
// and renames it into place only when every member was written and passed its check. Returns 1
// on success; on any failure nothing of the archive is left and an existing folder of that name
// is unchanged. A file or link standing at that name is refused (0), never replaced.
int InstallZip(const AnsiText& archivePath, const AnsiText& installDirectory);

// The member name as a relative POSIX path (UTF-8), or empty when it would leave the target.
// Member names are CP936 unless the archive marks them as UTF-8.
std::string SafeMemberPath(const AnsiText& memberName, bool namesAreUtf8);
