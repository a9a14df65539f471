#include "apps/html-editor/About.h"

#include "apps/html-editor/Unit13.h"
#include "platform/app/SysInfo.h"
#include "platform/classes/TypInfo.h"
#include "platform/rtl/SysUtils.h"

Tabout* about = nullptr;

const char* const AboutSoundFile = "c:\\windows\\media\\The Microsoft Sound.wav";

void Tabout::FormCreate(TObject*)
{
    OSVERSIONINFO Version;
    GetVersionEx(&Version);
    Label3->SetCaption(Format("%s, version %u.%.2u", {PlatformName(Version.dwPlatformId),
                                                      Version.dwMajorVersion, Version.dwMinorVersion}));
    SYSTEM_INFO System;
    GetSystemInfo(&System);
    Label4->SetCaption(ProcessorName(System.dwProcessorType));
}

void Tabout::FormActivate(TObject*)
{
    PlayWav1->Play(AboutSoundFile);
    // 64-bit figures, so more than 4 GB free reads right instead of wrapping.
    MEMORYSTATUSEX Memory;
    GlobalMemoryStatusEx(&Memory);
    Label7->SetCaption(FormatFloat("#,\"KB Free\"", static_cast<double>(AvailableMemoryKB(Memory))));
    Label8->SetCaption(Format("%d%% Load", {Memory.dwMemoryLoad}));
}

void Tabout::Button1Click(TObject*)
{
    Form13->ShowModal();
}

void Tabout::Button2Click(TObject*)
{
    Close();
}

TW_PUBLISH(Tabout, TForm)
{
    Cls.Field("FormFill1", &Tabout::FormFill1);
    Cls.Field("Image1", &Tabout::Image1);
    Cls.Field("PlayWav1", &Tabout::PlayWav1);
    Cls.Field("Label3", &Tabout::Label3);
    Cls.Field("Label4", &Tabout::Label4);
    Cls.Field("Label7", &Tabout::Label7);
    Cls.Field("Label8", &Tabout::Label8);
    Cls.Field("Button1", &Tabout::Button1);
    Cls.Field("Button2", &Tabout::Button2);
    Cls.Handler("FormCreate", &Tabout::FormCreate);
    Cls.Handler("FormActivate", &Tabout::FormActivate);
    Cls.Handler("Button1Click", &Tabout::Button1Click);
    Cls.Handler("Button2Click", &Tabout::Button2Click);
}
