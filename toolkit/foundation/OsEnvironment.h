// The process environment and the operating system: environment variables, command-line words,
// numeric system facts, the local date, the user name, registry values and running programs.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "toolkit/foundation/CoreTypes.h"

// value := the variable's value, blank when absent; 1023 (value blank) when it does not fit.
void IOsVariable(std::string_view name, std::string& value);
// Word n of the command line (0 = the program's full path); blank when there is none.
void IOsCommandWord(INTEGER n, std::string& word);
INTEGER IOsInfoQuery(INTEGER code);
void IOsLocalDate(INTEGER& year, INTEGER& month, INTEGER& day);
void IOsUserName(std::string& name);
// Reads a value of "ROOT\sub\key" (the default value when valueName is absent). type -1: no such
// key, -2: no such value. Error 1050 for an unknown root, 1023 when the value does not fit in
// data (data blank).
void IOsRegistryGet(std::string_view keyPath, std::string* data = nullptr,
                    std::optional<std::string_view> valueName = std::nullopt, INTEGER* type = nullptr,
                    INTEGER* size = nullptr);
// Writes a value, creating the key; type 1 and 2 store the text without trailing blanks and a NUL.
void IOsRegistryPut(std::string_view keyPath, std::string_view data,
                    std::optional<std::string_view> valueName = std::nullopt, INTEGER type = 1);

// Toolkit-internal

// Runs the command line (hide 0 shows its window). wait 0: WinExec, result above 31 means
// started. Otherwise CreateProcess and wait: seconds < 0 without limit, else up to that many
// seconds; result 32 when the program ended, -1 on time-out, else the system's error code.
void YYRunProgram(std::string_view command, INTEGER hide, INTEGER wait, INTEGER seconds, INTEGER& result);

// Programs are started only through here, so that tests (and the help routines' tests) can see
// the command instead of a viewer or browser appearing.
struct ProgramLaunchHooks {
    // When set, replaces starting the program: gets the command and the arguments, sets result.
    void (*run)(std::string_view command, INTEGER hide, INTEGER wait, INTEGER seconds, INTEGER& result) = nullptr;
};
ProgramLaunchHooks& programLaunchHooks();

// Word n of the command line into word; returns n when that word exists, else the number of
// arguments after the program name. n = -1 only counts.
INTEGER YYCommandLine(INTEGER n, std::string& word);
// The same parse on a given command line (word 0 is then the text's own first word).
INTEGER YYCommandLineParse(std::string_view commandLine, INTEGER n, std::string& word);
void YYLocalTimeForward(INTEGER& month, INTEGER& day);
// The predefined key for the root name (0x80000000 to 0x80000006), or -1.
std::int64_t YYRegistryRootKey(std::string_view name);
INTEGER YYOsInfoValue(INTEGER code);

// Free-space arithmetic of IOsInfoQuery 17 and 21, apart from the system calls.
struct DiskFreeFacts {
    bool extendedCall = false;          // GetDiskFreeSpaceExA exists
    std::uint64_t freeBytesExtended = 0;  // its free bytes for the calling user
    std::uint32_t sectorsPerCluster = 0, bytesPerSector = 0, freeClusters = 0;
};
DiskFreeFacts YYDiskFreeFacts();
INTEGER YYDiskFreeValue(const DiskFreeFacts& facts, bool ntFamily);        // code 17
INTEGER YYDiskFreeMibValue(const DiskFreeFacts& facts);                    // code 21

// The operating-system layer.
INTEGER YYEnvironmentGet(std::string_view name, std::string& value);
INTEGER YYEnvironmentSet(std::string_view name, std::string_view value);
void YYCommandLineText(std::string& text);
void YYProgramFileName(std::string& path);
void YYOsVersion(INTEGER& major, INTEGER& minor);
INTEGER YYOsPlatform();
INTEGER YYVolumeSerial(std::string_view root);
INTEGER YYDiskFree();
INTEGER YYDiskFreeForQuery();
INTEGER YYTickCount31();
void YYLocalDateTime(INTEGER& year, INTEGER& month, INTEGER& day);
void YYLocalTime(INTEGER& hour, INTEGER& minute, INTEGER& second, INTEGER& milliseconds);
INTEGER YYUserNameGet(std::string& name, bool& tooLong);
// type and size of the value, data into buffer (when not empty); nothing written when the key
// cannot be opened (returns false).
bool YYRegistryRead(std::int64_t root, std::string_view subKey, std::string_view valueName, std::vector<char>& buffer,
                    INTEGER& type, INTEGER& size);
INTEGER YYRegistryWrite(std::int64_t root, std::string_view subKey, std::string_view valueName, INTEGER type,
                        const std::vector<char>& data);
INTEGER YYRegistryKeyDelete(std::int64_t root, std::string_view subKey);
INTEGER YYRegistryValueDelete(std::int64_t root, std::string_view subKey, std::string_view valueName);
INTEGER YYCommandStart(std::string_view command);
// 0 found (path copied), 1 file not found, -1 other failure, 1023 path longer than the text.
INTEGER YYProgramForDocument(std::string_view document, std::string& program);

// Mail workers over the system's simple mail interface; nothing in the program sends mail.
void YYMailRecipients(INTEGER n);
void YYMailRecipientAddress(INTEGER entry, std::string_view address);
void YYMailRecipientName(INTEGER entry, std::string_view name);
void YYMailRecipientClass(INTEGER entry, INTEGER recipientClass);
void YYMailAttachments(INTEGER n);
void YYMailAttachmentPath(INTEGER entry, std::string_view path);
// status 0 sent, -1 no send entry, -2 the mail system's failure (its code in code).
void YYMailSend(INTEGER flags, INTEGER& status, INTEGER& code, std::string_view subject, std::string_view text);

// The mail entries the window engine looks up in "mapi32.dll" when it creates the main window.
struct MailEntryPoints {
    void* sendMail = nullptr;     // MAPISendMail
    void* resolveName = nullptr;  // MAPIResolveName
    void* freeBuffer = nullptr;   // MAPIFreeBuffer
};
MailEntryPoints& mailEntryPoints();
