// Showing the active document in a web browser through a saved copy beside it.
#pragma once

#include "platform/classes/TypInfo.h"

#include <string>

class TMainForm;

// The preview file of the document captioned Caption: "temp.html" in its directory (an untitled
// document has none, so the file goes to the root), with one separator before the name.
std::string PreviewFileName(const std::string& Caption);

// The settings file that names the two browser programs, its section and keys, and what a
// missing key reads as.
inline const char* const BrowserIniName = "browser.ini";
inline const char* const BrowserSection = "Configuration";
inline const char* const FirstBrowserKey = "IE";
inline const char* const SecondBrowserKey = "Netscape";
inline const char* const MissingBrowser = "ERROR";

// Registers the frame's preview handlers.
void PublishPreviewMembers(TClassBuilder<TMainForm>& Cls);
