// Files and folders by name: the current folder, making folders, deleting, renaming and copying
// (with wildcards), full path names, sorted listings, the folder test and the toolkit's own file
// names. Every operating-system failure is error 13 with the system's code as detail.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "toolkit/foundation/CoreTypes.h"

void IOsDirChange(std::string_view dirname);
// The current folder, blank-padded; blank after error 1023 (does not fit) or 13.
void IOsDirName(std::string& dirname);
void IOsDirMake(std::string_view dirname);
// "*" and "?" are allowed in the last part; folders are skipped; a blank name does nothing.
void IOsDeleteFile(std::string_view filename);
void IOsRenameFile(std::string_view oldname, std::string_view newname);
// Overwrites the target; a target folder or wildcards in the source are allowed.
void IOsCopyFile(std::string_view source, std::string_view target);
void IOsFullPathname(std::string_view filename, std::string& fullname);
// One of the toolkit's names (items 1 to 11); 1023 when it does not fit (the cut text is kept).
void WInfoFilename(INTEGER item, std::string& name);
// The entries of the folder that match the filter and the listing mode, sorted ignoring case.
// n in: the capacity (at most names.size()); out: the count. Each element keeps its length.
void IOsDirInfo(std::string_view dirname, std::string_view filter, std::span<std::string> names, INTEGER& n);
// Only counts the matching entries.
void IOsDirInfo(std::string_view dirname, std::string_view filter, INTEGER& n);
// Whether the name is an existing folder; reports nothing.
LOGICAL IOsDirIsPresent(std::string_view dirname);

// Toolkit-internal

// The listing mode: "F"/"f" switches files on, "D"/"d" folders (each flag set or cleared).
void YYDirListModeSet(std::string_view text);
// "F" in position 1 when files are on, "D" in position 2 when folders are on.
void YYDirListModeGet(std::string& text);

// The operating-system layer: NUL-terminated copies of the names go to the system; the result
// is the system's error code, 0 for success.
INTEGER YYFolderSet(std::string_view name);
// The current folder into text (cut to its length); tooLong when it needs more room.
INTEGER YYFolderGet(std::string& text, bool& tooLong);
INTEGER YYFolderMake(std::string_view name);
INTEGER YYFolderRemove(std::string_view name);
INTEGER YYFileDelete(std::string_view name);
INTEGER YYFileMove(std::string_view oldName, std::string_view newName);
// The copy replaces the target only when whole (an earlier target stays after a failure) and keeps
// the source's time of last change.
INTEGER YYFileCopy(std::string_view source, std::string_view target);
INTEGER YYFileAttributesSet(std::string_view name, INTEGER attributes);
INTEGER YYFullPathGet(std::string_view name, std::string& fullName);
INTEGER YYSystemFolder(std::string& folder);
// The process-wide listing: first 0 starts it with the pattern in name, otherwise the next
// entry; the entry's name replaces name. status 0 delivered, 1 no further entry, else the
// error code of the start.
void YYDirListNext(INTEGER first, std::string& name, INTEGER& attributes, INTEGER& dateTime, INTEGER& size,
                   INTEGER& status);
void YYDirListEnd();
// GetDriveTypeA on a root such as "C:\".
INTEGER YYDriveType(std::string_view root);
// size -1 when not found; local time of the last write; size in KiB rounded up.
void YYFileInfo(std::string_view name, INTEGER& size, INTEGER& year, INTEGER& month, INTEGER& day, INTEGER& hour,
                INTEGER& minute, INTEGER& second, INTEGER& attributes, INTEGER& kib);
// Creation, last-access and last-write times as pairs of 32-bit words (low, high).
struct FileTimeWords { std::uint32_t words[6] = {}; };
INTEGER YYFileTimesGet(std::string_view name, FileTimeWords& times);
INTEGER YYFileTimesSet(std::string_view name, const FileTimeWords& times);
INTEGER YYFileTimesCopy(std::string_view source, std::string_view target);

// Names the toolkit keeps elsewhere: start-up installs the sources of items 3, 5 and 7, the
// output devices those of items 1 and 2, the graphics layer that of item 9. A source returns the
// name. Without a source item 3 is "standard.chr", item 9 "H" and the others blank.
struct ToolkitNameHooks {
    std::string (*toolkitName[12])() = {};
};
ToolkitNameHooks& toolkitNameHooks();
