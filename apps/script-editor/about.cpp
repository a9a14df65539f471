#include "apps/script-editor/about.h"

#include "platform/app/ShellApi.h"
#include "platform/app/SysInfo.h"
#include "platform/classes/TypInfo.h"
#include "platform/rtl/SysUtils.h"

Taboutbox* aboutbox = nullptr;

const char* const WendleHomePage = "http://www.orvane.example/wendle/";

void Taboutbox::FormCreate(TObject*)
{
    OSVERSIONINFO Version;
    GetVersionEx(&Version);
    // Only the name shows: the version numbers are passed but the format has no place for them.
    Label3->SetCaption(
        Format("%s", {PlatformName(Version.dwPlatformId), Version.dwMajorVersion, Version.dwMinorVersion}));
    SYSTEM_INFO System;
    GetSystemInfo(&System);
    Label4->SetCaption(ProcessorName(System.dwProcessorType));
}

void Taboutbox::FormActivate(TObject*)
{
    // The 64-bit figures: free memory beyond 4 GB must not wrap.
    MEMORYSTATUSEX Memory;
    GlobalMemoryStatusEx(&Memory);
    Label7->SetCaption(FormatFloat("#,\"KB Free\"", static_cast<double>(AvailableMemoryKB(Memory))));
    Label8->SetCaption(Format("%d%% Load", {Memory.dwMemoryLoad}));
}

void Taboutbox::Button1Click(TObject*)
{
    Close();
}

void Taboutbox::Button2Click(TObject*)
{
    ShellExecute(Handle(), "open", WendleHomePage, nullptr, nullptr, SW_SHOWNORMAL);
}

TW_PUBLISH(Taboutbox, TForm)
{
    Cls.Field("Label3", &Taboutbox::Label3);
    Cls.Field("Label4", &Taboutbox::Label4);
    Cls.Field("Label7", &Taboutbox::Label7);
    Cls.Field("Label8", &Taboutbox::Label8);
    Cls.Field("Button1", &Taboutbox::Button1);
    Cls.Field("Button2", &Taboutbox::Button2);
    Cls.Handler("FormCreate", &Taboutbox::FormCreate);
    Cls.Handler("FormActivate", &Taboutbox::FormActivate);
    Cls.Handler("Button1Click", &Taboutbox::Button1Click);
    Cls.Handler("Button2Click", &Taboutbox::Button2Click);
}
