// The application's error and notice box, in an object of its own: tests of code that reports
// through it link tests/support/MessageRecorder.cpp instead.
#include "WBRVLib/Brvl95.h"

void WINMSG(std::string_view text) { WMessageBox(0, 4, 1, text, kLibraryCaption); }
