// Building a FRAMESET document into the frame tree, and the probe that tells a frameset
// document from a page. Neither touches a document: only the title, the base and the scripts
// of the source besides its framesets.
#include "html-engine/FrameView.h"
#include "html-engine/HtmlParser.h"
#include "platform/rtl/Streams.h"

namespace {

// The symbols of body content: a document that has one before any FRAMESET is a page.
bool IsBodySymbol(THtmlSymbol Sy)
{
    switch (Sy) {
    case BodySy:
    case PSy:
    case HeadingSy:
    case HRSy:
    case OLSy:
    case ULSy:
    case DirSy:
    case MenuSy:
    case DLSy:
    case AddressSy:
    case BlockQuoteSy:
    case PreSy:
    case ImageSy:
    case TableSy:
    case FormSy:
        return true;
    default:
        return false;
    }
}

TScriptEvent HandlerOf(const TSubFrameSet* Set)
{
    return Set->MasterSet ? Set->MasterSet->ScriptHandler() : TScriptEvent();
}

} // namespace

// Opens the source, prepares the scanner and runs Run(Found). A file's errors pass on; those of
// the other sources end the run with what was found until then.
template <class TRun>
bool THtmlParser::RunFrameset(int Kind, const std::string& FileName, const void* Buffer, std::size_t Size,
                              TStream* Stream, TStrings* Strings, TRun Run)
{
    if (Kind < 0 || Kind > 3)
        return false;
    RefuseNestedParse(nullptr);
    struct TEnd {
        THtmlParser& Parser;
        ~TEnd()
        {
            Parser.CloseSource();
            Parser.PS.Attributes.Clear();
            Parser.PS.ScriptMode = false;
            Parser.PS.NestDepth = 0;
            Parser.PS.Parsing = false;
        }
    } End{*this};
    PS.Parsing = true;
    PS.NestDepth = 0;
    PS.Title.clear();
    PS.Base.clear();
    PS.BaseTarget.clear();
    bool Found = false;
    auto Open = [&] {
        switch (Kind) {
        case 0:
            OpenSourceFile(FileName);
            break;
        case 1:
            OpenSourceBuffer(Buffer, Size);
            break;
        case 2:
            OpenSourceStrings(Strings);
            break;
        default:
            if (Stream)
                Stream->SetPosition(0);
            OpenSourceStream(Stream);
            break;
        }
        ResetScanner();
    };
    if (Kind == 0) {
        Open();
        Run(Found);
        return Found;
    }
    try {
        Open();
        Run(Found);
    } catch (const std::exception&) {
    }
    return Found;
}

void THtmlParser::SkipNoFrames()
{
    do
        GetSymbol();
    while (PS.Sy != NoFramesEndSy && PS.Sy != EofSy);
}

// One FRAMESET (current) into Set; returns with its end tag (or the end of input) current.
void THtmlParser::FramesetBuild(TSubFrameSet* Set, const std::string& FileName)
{
    Set->ReadDimensions(&PS.Attributes);
    GetSymbol();
    while (PS.Sy != FrameSetEndSy && PS.Sy != EofSy) {
        switch (PS.Sy) {
        case FrameSetSy: {
            TNestGuard Nest(PS.NestDepth);
            if (!Nest.Allowed)
                break;
            FramesetBuild(Set->AppendFrameSet(), FileName);
            break;
        }
        case FrameSy:
            Set->AppendFrame(&PS.Attributes, FileName, PS.Base);
            break;
        case NoFramesSy:
            SkipNoFrames();
            break;
        case ScriptSy:
            // Every frameset hands its scripts to the frame viewer's handler, nested ones too.
            ParseScript(Set, HandlerOf(Set));
            break;
        default:
            break;
        }
        GetSymbol();
    }
    Set->CloseFrameSet(PS.Title, PS.Base, PS.BaseTarget);
}

void THtmlParser::FramesetTop(TSubFrameSet* Frameset, const std::string& FileName, bool& Found)
{
    NextCh();
    GetSymbol();
    while (PS.Sy != EofSy && !IsBodySymbol(PS.Sy)) {
        switch (PS.Sy) {
        case TitleSy:
            ParseTitle();
            break;
        case BaseSy:
            ParseBase();
            break;
        case FrameSetSy:
            Found = true;
            // Leaves its end tag current, which the next pass skips.
            FramesetBuild(Frameset, FileName);
            break;
        case NoFramesSy:
            SkipNoFrames();
            GetSymbol();
            break;
        case ScriptSy:
            ParseScript(Frameset, HandlerOf(Frameset));
            GetSymbol();
            break;
        default:
            GetSymbol();
            break;
        }
    }
}

bool THtmlParser::FramesetProbe()
{
    NextCh();
    GetSymbol();
    for (;;) {
        if (PS.Sy == EofSy || IsBodySymbol(PS.Sy))
            return false;
        if (PS.Sy == FrameSetSy)
            return true;
        if (PS.Sy == ScriptSy)
            ParseScript(nullptr, TScriptEvent());
        GetSymbol();
    }
}

bool THtmlParser::FramesetParse(TSubFrameSet* Frameset, int Kind, const std::string& FileName,
                                const void* Buffer, std::size_t Size, TStream* Stream, TStrings* Strings)
{
    if (!Frameset)
        return false;
    return RunFrameset(Kind, FileName, Buffer, Size, Stream, Strings,
                       [&](bool& Found) { FramesetTop(Frameset, FileName, Found); });
}

bool THtmlParser::IsFramesetDocument(int Kind, const std::string& FileName, TStrings* Strings,
                                     const void* Buffer, std::size_t Size, TStream* Stream)
{
    return RunFrameset(Kind, FileName, Buffer, Size, Stream, Strings,
                       [&](bool& Found) { Found = FramesetProbe(); });
}
