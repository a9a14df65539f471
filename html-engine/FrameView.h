// The panels of a frameset document: TFrameBase is the abstract panel, TFrame one FRAME (it will
// hold a viewer or a nested frameset), TSubFrameSet one FRAMESET (a row or column of frames),
// TFrameSet the top frameset of a frame viewer.
//
// Here is what the frameset builder fills as it parses a frameset document: the frame tree, each
// frameset's dimension list, each frame's source name and attributes, and the document's title
// and base. Sizing the frames, loading their documents, their histories and dragging the
// dividers come with the frame viewer proper; until then TFrameViewer is a stand-in that holds
// only the events the builder asks for.
#pragma once

#include "html-engine/HtmlImageUtil.h"
#include "html-engine/HtmlParser.h"
#include "platform/classes/Classes.h"
#include "platform/controls/Controls.h"
#include "platform/controls/ExtCtrls.h"

#include <array>
#include <cstdint>
#include <functional>
#include <string>

class TStream;
class TStrings;
class THTMLViewer;
class TFrameSet;
class TSubFrameSet;

// A frame viewer's answers for a document name (SRC): a stream, a buffer and its size, a string
// list, or another file name. Left untouched, the named file is read.
using TStreamRequestEvent = std::function<void(TObject* Sender, const std::string& SRC, TStream*& Stream)>;
using TBufferRequestEvent =
    std::function<void(TObject* Sender, const std::string& SRC, const char*& Buffer, std::int32_t& BuffSize)>;
using TStringsRequestEvent = std::function<void(TObject* Sender, const std::string& SRC, TStrings*& Strings)>;
using TFileRequestEvent = std::function<void(TObject* Sender, const std::string& SRC, std::string& NewName)>;

// Stand-in: the frame viewer as far as the frameset builder reaches it (its script handler and
// the request events that decide how frames name their documents). Showing framesets, link
// routing and history come with the frames.
class TFrameViewer : public TWinControl {
public:
    explicit TFrameViewer(TComponent* AOwner) : TWinControl(AOwner) {}

    TScriptEvent OnScript;
    TStreamRequestEvent OnStreamRequest;
    TBufferRequestEvent OnBufferRequest;
    TStringsRequestEvent OnStringsRequest;
    TFileRequestEvent OnFileRequest;
};

class TFrameBase : public TCustomPanel {
public:
    TFrameBase(TComponent* AOwner, TFrameSet* AMasterSet) : TCustomPanel(AOwner), MasterSet(AMasterSet) {}

    TFrameSet* MasterSet; // the top frameset of the tree
};

class TFrame : public TFrameBase {
public:
    // One FRAME of AOwner, its SRC resolved against Directory (the frameset document's, with
    // its trailing separator) or BaseHref (the BASE HREF read so far). Attributes may be null.
    TFrame(TSubFrameSet* AOwner, const std::string& Directory, const std::string& BaseHref,
           TFrameSet* AMasterSet, TAttributeList* Attributes);
    ~TFrame() override;

    TSubFrameSet* ParentSet;
    bool ScrollingOff = false; // SCROLLING="NO"
    TStringList Visits;        // document names, each with the nested frameset shown for it
    TFreeList VisitPositions;
    int VisitIndex = 0;
    THTMLViewer* Viewer = nullptr;
    int SavedPosition = 0;
    TSubFrameSet* NestedSet = nullptr;
    std::string SourceName;    // the document, as a file name unless requests name it
    std::string Anchor;        // the SRC's "#..." part, with its "#"
    std::string FrameName;     // NAME
    bool ResizeLocked = false; // NORESIZE
};

class TSubFrameSet : public TFrameBase {
public:
    static constexpr int MaxDims = 20;

    TSubFrameSet(TComponent* AOwner, TFrameSet* AMasterSet);
    ~TSubFrameSet() override;

    // A frame for FRAME's attributes (may be null) in a document named FileName; BaseHref is
    // the document's BASE HREF so far. A set holds at most MaxDims children: more are ignored.
    void AppendFrame(TAttributeList* Attributes, const std::string& FileName,
                     const std::string& BaseHref = std::string());
    // A nested FRAMESET as the next child; null when the set is full.
    TSubFrameSet* AppendFrameSet();
    // ROWS or COLS of a FRAMESET (and on the top frameset its BORDER or FRAMEBORDER).
    void ReadDimensions(TAttributeList* Attributes);
    // The end of the FRAMESET: frames and dimensions matched up, the document's base taken.
    virtual void CloseFrameSet(const std::string& Title, const std::string& BaseHref,
                               const std::string& BaseTarget);
    // Frees every child, the last first, and forgets the dimensions and the base.
    virtual void ClearChildFrames();

    TFrameBase* Child(int Index) const { return Children.ItemAs<TFrameBase>(Index); }

    std::string BaseHref, BaseTarget;
    int OuterBevel = 0;  // only the top frameset has one
    int BorderWidth = 2; // the top frameset's
    TRect DragLine{};
    bool Fresh = true;
    bool IsRows = false; // frames stacked (ROWS), else side by side (COLS)
    TFreeList Children;  // TFrameBase, owned
    int DimCount = 0;
    // 1..5000 pixels; -1..-99 a share n (n*); -101..-1000 a percentage p as -(100 + p).
    std::array<std::int16_t, MaxDims> Dims{};
    std::array<std::int16_t, MaxDims + 1> Sizes{};
    std::array<std::int16_t, MaxDims + 1> Edges{};
    std::array<bool, MaxDims + 1> EdgeLocked{};
    int SizeTotal = 0;
    int HotEdge = 0;

private:
    // Takes a new child: placed inside the outer bevel and shown in this panel.
    void AddChild(TFrameBase* Child);
};

class TFrameSet : public TSubFrameSet {
public:
    TFrameSet(TComponent* AOwner, TFrameViewer* AHost);
    ~TFrameSet() override;

    void CloseFrameSet(const std::string& ATitle, const std::string& ABaseHref,
                       const std::string& ABaseTarget) override;
    void ClearChildFrames() override;
    // The frame viewer answers document requests itself (one of its request events is set), so
    // frame sources are names for it rather than files.
    bool UsesRequests() const;
    // The frame viewer's script handler; none without a host.
    TScriptEvent ScriptHandler() const;

    std::string Title;
    std::string CurrentFile;
    TStringList NamedFrames; // upper-cased NAME, object = its TFrame
    TList AllViewers;
    TList AllFrames;
    TSubFrameSet* DragOwner = nullptr;
    int LastWidth = 0, LastHeight = 0;
    int LoadDepth = 0;
    THTMLViewer* FocusedViewer = nullptr;
    TFrameViewer* Host;
};

// One dimension list (ROWS or COLS) as codes; at most MaxDims items, each counts even empty.
int ParseDimensions(const std::string& Text, std::array<std::int16_t, TSubFrameSet::MaxDims>& Dims);
