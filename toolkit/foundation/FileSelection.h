// File selection: the system's open and save dialogs with the toolkit's "|" filters and flags,
// modal over every toolkit window, their outcome kept as the last dialog result.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "toolkit/foundation/CoreTypes.h"
#include "toolkit/foundation/WinApi.h"

enum FileSelectFlagCode : INTEGER {
    kSelectSave = 1, kSelectPrompt = 2, kSelectFolderMayBeMissing = 4, kSelectKeepFolder = 8, kSelectMultiple = 16,
    kSelectDefaultExtension = 32, kSelectMustExist = 128,
};

// filterMode -1: filter is the text; 0: no filter; other: the string resource with that id.
// fileName comes in as the proposed path and goes out as the chosen one, blank-padded to its length.
void WSelectFile(INTEGER filterMode, std::string_view filter, INTEGER flags, std::string& fileName,
                 std::string_view title, INTEGER& filterIndex, INTEGER snapshotFlag);
void WSelectFileFiltered(std::string_view filter, INTEGER flags, std::string& fileName,
                         std::optional<std::string_view> title = std::nullopt, INTEGER* filterIndex = nullptr);

// Toolkit-internal

// Splits a path into its folder (back in path) and file name. A drive root keeps its separator.
void YYPathSplit(std::string& path, std::string& file);
// The system's filter list: every separator (the text's last character) becomes a NUL.
std::string YYFilterList(std::string_view filter);
// OPENFILENAME flags for the toolkit's flag bits.
DWORD YYFileDialogFlags(INTEGER flags, INTEGER osMajorVersion);
void YYFileDialog(INTEGER& filterIndex, INTEGER flags, INTEGER& result, DWORD& error, std::string_view title,
                  std::string& fileBuffer, std::string_view initialFolder, const std::string& filterText);
