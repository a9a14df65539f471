// What the programs ask of the desktop beyond their own windows: opening a document or address
// with its program, starting a program, playing a sound, showing help. The services that do
// these route every request through one handler, so tests can record them instead.
#pragma once

#include "platform/rtl/Types.h"

#include <string>

struct TSystemCall {
    enum TKind { ShellExecute, StartProgram, PlaySound, MessageBeep, Help } Kind = ShellExecute;
    std::string Operation;  // "open", "print" ... (ShellExecute); the help command (Help)
    std::string File;       // document, address, program, sound or help file
    std::string Parameters; // command line arguments, help keyword
    std::string Directory;
    int ShowCmd = 0; // SW_* for programs
    UINT Flags = 0;  // SND_* / MB_* / help data
};

class TSystemCallHandler {
public:
    virtual ~TSystemCallHandler() = default;
    // Performs (or records) the call; the result is what the service returns to its caller
    // (e.g. a value above 32 for a ShellExecute that succeeded).
    virtual int Perform(const TSystemCall& Call) = 0;
};

// nullptr: the services perform the calls themselves.
void SetSystemCallHandler(TSystemCallHandler* Handler);
TSystemCallHandler* SystemCallHandler();
