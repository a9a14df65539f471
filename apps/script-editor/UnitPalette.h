// The UNIT palette: fifty toolbar buttons that paste installed snippet packages (a directory
// holding unit1.js, unit1.bmp and unit1.txt each), the wizard that creates a package and the
// viewer of their help texts.
#pragma once

#include "platform/classes/TypInfo.h"

#include <string>

class TMainForm;

// The settings file that assigns UNIT directories to buttons, its section, and what a missing
// key reads as (an unassigned button).
inline const char* const LibIniName = "lib.ini";
inline const char* const LibSection = "Lib";
inline const char* const UnassignedUnit = "ERROR";

// The key of palette button Number as typed ("q" + the number's text).
std::string UnitKey(const std::string& Number);
// The value stored for a chosen UNIT directory: the text with one separator after it ("\" when
// it has none yet).
std::string StoredUnitDir(const std::string& Dir);

// Registers the frame's UNIT wizard and help viewer members.
void PublishUnitMembers(TClassBuilder<TMainForm>& Cls);
