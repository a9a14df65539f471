// The panels of a frameset document and the frame viewer that shows them.
//
// TFrameBase is the abstract panel, TFrame one FRAME (it holds a viewer or a nested frameset),
// TSubFrameSet one FRAMESET (a row or column of frames with draggable dividers), TFrameSet the
// top frameset of a frame viewer. TFrameViewer shows a file that may be a frameset: it routes
// link clicks by their target, keeps a history of whole framesets and copies its display
// settings into every view of the frame tree.
//
// Nothing of the tree is freed while one of its own handlers may still be on the stack (a
// link click that replaces the page that holds the link): frames, views and framesets that
// leave the tree are hidden, handed to the frame viewer and freed from a posted message.
#pragma once

#include "html-engine/HtmlImageUtil.h"
#include "html-engine/HtmlParser.h"
#include "html-engine/HtmlViewCtl.h"
#include "platform/classes/Classes.h"
#include "platform/controls/Controls.h"
#include "platform/controls/ExtCtrls.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

class TStream;
class TStrings;
class TFrameSet;
class TSubFrameSet;
class TFrameViewer;

// A frame viewer's answers for a document name (SRC): a stream, a buffer and its size, a string
// list, or another file name. Left untouched, the named file is read.
using TStreamRequestEvent = std::function<void(TObject* Sender, const std::string& SRC, TStream*& Stream)>;
using TBufferRequestEvent =
    std::function<void(TObject* Sender, const std::string& SRC, const char*& Buffer, std::int32_t& BuffSize)>;
using TStringsRequestEvent = std::function<void(TObject* Sender, const std::string& SRC, TStrings*& Strings)>;
using TFileRequestEvent = std::function<void(TObject* Sender, const std::string& SRC, std::string& NewName)>;
using THotSpotTargetClickEvent =
    std::function<void(TObject* Sender, const std::string& Target, const std::string& URL, bool& Handled)>;
using THotSpotTargetEvent =
    std::function<void(TObject* Sender, const std::string& Target, const std::string& URL)>;
using TWindowRequestEvent =
    std::function<void(TObject* Sender, const std::string& Target, const std::string& URL)>;

// Where a frame's document comes from: Kind 0 the file FileName, 1 Buffer and Size, 2 Strings,
// 3 Stream (the frameset builder's numbering). A request event's buffer, list or stream stays
// the program's.
struct TFrameSource {
    int Kind = 0;
    std::string FileName;
    const char* Buffer = nullptr;
    std::size_t Size = 0;
    TStrings* Strings = nullptr;
    TStream* Stream = nullptr;
};

class TFrameBase : public TCustomPanel {
public:
    TFrameBase(TComponent* AOwner, TFrameSet* AMasterSet) : TCustomPanel(AOwner), MasterSet(AMasterSet) {}

    TFrameSet* MasterSet; // the top frameset of the tree; null once the panel has left it

    // Adds the frames of this subtree to the master set's list of frames.
    virtual void RegisterFrames() = 0;
    // Mouse events in this panel's client coordinates; Sender is the panel the mouse is over.
    virtual void EdgeMouseDown(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y) = 0;
    virtual void EdgeMouseMove(TObject* Sender, TShiftState Shift, int X, int Y) = 0;
    virtual void EdgeMouseUp(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y) = 0;
    // Whether a frame of the subtree is NORESIZE; fills the dividers' locks on the way.
    virtual bool GetResizeLocks(bool& LeftLocked, bool& RightLocked) = 0;
    virtual void LoadSources() = 0;
    // Loads every document again and moves to Position (none: where the unload left it).
    virtual void ReloadSources(std::optional<TViewPosition> Position) = 0;
    virtual void UnloadSources() = 0;
    // Computes the sizes of the subtree for a rectangle of the given extent.
    virtual void SizeChildren(int ALeft, int ATop, int AHeight, int AWidth) = 0;
    // Leaves every list of the master set (names, frames, views, focus, drag) for good, before
    // the subtree is freed later.
    virtual void Detach() = 0;

protected:
    // The frameset (or the frame of a nested frameset) this panel sits in, for passing mouse
    // events outwards; null at the top.
    TFrameBase* EnclosingPanel() const;
};

class TFrame : public TFrameBase {
public:
    // One FRAME of AOwner, its SRC resolved against Directory (the frameset document's, with
    // its trailing separator) or BaseHref (the BASE HREF read so far). Attributes may be null.
    TFrame(TSubFrameSet* AOwner, const std::string& Directory, const std::string& BaseHref,
           TFrameSet* AMasterSet, TAttributeList* Attributes);
    ~TFrame() override;

    void RegisterFrames() override;
    void EdgeMouseDown(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void EdgeMouseMove(TObject* Sender, TShiftState Shift, int X, int Y) override;
    void EdgeMouseUp(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y) override;
    bool GetResizeLocks(bool& LeftLocked, bool& RightLocked) override;
    void LoadSources() override;
    void ReloadSources(std::optional<TViewPosition> Position) override;
    void UnloadSources() override;
    void SizeChildren(int ALeft, int ATop, int AHeight, int AWidth) override;
    void Detach() override;

    // Shows Name in this frame (a link whose target is this frame): an empty name keeps the
    // document and only moves to Dest ("#name"); Bump records the step in the history.
    void Navigate(const std::string& Name, const std::string& Dest, bool Bump);
    // A new history entry at the front; OldPos goes into the entry being left.
    void PushVisit(const std::string& NewName, const TViewPosition& NewPos, const TViewPosition& OldPos);
    void PushFirstVisit(const std::string& NewName, const TViewPosition& Position);

    TSubFrameSet* ParentSet;
    bool ScrollingOff = false; // SCROLLING="NO"
    TStringList Visits;        // document names, each with the nested frameset shown for it
    TFreeList VisitPositions;  // PositionObj, index-aligned with Visits
    int VisitIndex = 0;
    THTMLViewer* Viewer = nullptr;
    TViewPosition SavedPosition;
    TSubFrameSet* NestedSet = nullptr;
    std::string SourceName;    // the document, as a file name unless requests name it
    std::string Anchor;        // the SRC's "#..." part, with its "#"
    std::string FrameName;     // NAME
    bool ResizeLocked = false; // NORESIZE

private:
    TFrameViewer* Host() const;
    // Where SourceName's document comes from: a request's answer, else the file it names.
    TFrameSource SourceDocument(bool Image, bool Text);
    void MakeViewer();
    // Builds NestedSet from a frameset document.
    void BuildNestedSet(const TFrameSource& Source, const std::string& Name);
    // Loads Source into the viewer by its kind (Image, Text, file or a request's kind).
    void LoadViewer(const TFrameSource& Source, bool Image, bool Text, const std::string& Dest);
    void ShowErrorPage(const std::string& Name);
    // The viewer's border bevel, as the frameset's border width gives it.
    void SetFrameBevel();
    void UseHostMouseEvents();
};

class TSubFrameSet : public TFrameBase {
public:
    // A dimension list keeps at most this many items; a set may hold more frames.
    static constexpr int MaxDims = 20;

    TSubFrameSet(TComponent* AOwner, TFrameSet* AMasterSet);
    ~TSubFrameSet() override;

    // A frame for FRAME's attributes (may be null) in a document named FileName; BaseHref is
    // the document's BASE HREF so far.
    void AppendFrame(TAttributeList* Attributes, const std::string& FileName,
                     const std::string& BaseHref = std::string());
    // A nested FRAMESET as the next child.
    TSubFrameSet* AppendFrameSet();
    // ROWS or COLS of a FRAMESET (and on the top frameset its BORDER or FRAMEBORDER).
    void ReadDimensions(TAttributeList* Attributes);
    // The end of the FRAMESET: frames and dimensions matched up, the document's base taken.
    virtual void CloseFrameSet(const std::string& Title, const std::string& BaseHref,
                               const std::string& BaseTarget);
    // Takes every child out of the tree, the last first, and forgets the dimensions and the base.
    virtual void ClearChildFrames();
    // Replaces the children with one frame showing Name (Dest: "#name" or empty).
    void LoadFromFile(const std::string& Name, const std::string& Dest);
    // Places the children by their sizes over the client rectangle (inside the outer bevel).
    void PlaceChildren();

    void RegisterFrames() override;
    void EdgeMouseDown(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void EdgeMouseMove(TObject* Sender, TShiftState Shift, int X, int Y) override;
    void EdgeMouseUp(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y) override;
    bool GetResizeLocks(bool& LeftLocked, bool& RightLocked) override;
    void LoadSources() override;
    void ReloadSources(std::optional<TViewPosition> Position) override;
    void UnloadSources() override;
    void SizeChildren(int ALeft, int ATop, int AHeight, int AWidth) override;
    void Detach() override;
    // Takes the names of the subtree's frames out of the master set's names.
    void RemoveNames();

    TFrameBase* Child(int Index) const { return Children.ItemAs<TFrameBase>(Index); }

    std::string BaseHref, BaseTarget;
    int OuterBevel = 0;  // only the top frameset has one
    int BorderWidth = 2; // the top frameset's
    TRect DragLine{};    // screen rectangle of the drag line while it is drawn
    bool Fresh = true;
    bool IsRows = false; // frames stacked (ROWS), else side by side (COLS)
    TFreeList Children;  // TFrameBase, owned
    int DimCount = 0;
    // 1..5000 pixels; -1..-99 a share n (n*); -101..-1000 a percentage p as -(100 + p).
    std::vector<int> Dims;
    std::vector<int> Sizes;       // DimCount computed sizes
    std::vector<int> Edges;       // DimCount + 1: where child k starts, and the far end
    std::vector<bool> EdgeLocked; // DimCount + 1: the divider may not be dragged
    int SizeTotal = 0;
    int HotEdge = 0;

protected:
    void Resize() override;
    // Takes a new child: placed inside the outer bevel and shown in this panel.
    void AddChild(TFrameBase* Child);
    // Hands a child that leaves the tree to the frame viewer (or frees it without one).
    void DropChild(TFrameBase* Child);

private:
    bool NearEdge(int X, int Y) const;
    // The coordinate across the dividers (inside the outer bevel).
    int Across(int X, int Y) const { return (IsRows ? Y : X) - OuterBevel; }
    // The drag line's screen rectangle for a point of this set.
    TRect DragLineAt(int X, int Y) const;
    // Takes the line away at From and draws it at To (either may be null).
    void MoveDragLine(const TRect* From, const TRect* To);
    void EdgesFitDims();
};

class TFrameSet : public TSubFrameSet {
public:
    TFrameSet(TComponent* AOwner, TFrameViewer* AHost);
    ~TFrameSet() override;

    void CloseFrameSet(const std::string& ATitle, const std::string& ABaseHref,
                       const std::string& ABaseTarget) override;
    void ClearChildFrames() override;
    void RegisterFrames() override;
    void Detach() override;
    // Shows Name (a frameset document or one page, Dest its "#name" or empty).
    void LoadFromFile(const std::string& Name, const std::string& Dest);
    // Sizes and places the children when the client rectangle changed size.
    void ResizeTop();
    // The frame viewer answers document requests itself (one of its request events is set), so
    // frame sources are names for it rather than files.
    bool UsesRequests() const;
    // Asks the first request event of the frame viewer for Name; true when it delivered.
    bool RequestDocument(const std::string& Name, TFrameSource& Source);
    // Every frame's forward history entries go; framesets no entry names any more are freed.
    void DropForwardVisits();
    // The only view when there is one, else the one entered last.
    THTMLViewer* CurrentViewer() const;
    void ViewerEntered(TObject* Sender);
    // The frame viewer's script handler; none without a host.
    TScriptEvent ScriptHandler() const;

    std::string Title;
    std::string CurrentFile;
    TStringList NamedFrames; // upper-cased NAME, object = its TFrame (several may share a name)
    TList AllViewers;
    TList AllFrames;
    TSubFrameSet* DragOwner = nullptr;
    int LastWidth = 0, LastHeight = 0;
    int LoadDepth = 0;
    THTMLViewer* FocusedViewer = nullptr;
    TFrameViewer* Host;

protected:
    void Resize() override;
};

class TFrameViewer : public TWinControl {
public:
    explicit TFrameViewer(TComponent* AOwner);
    ~TFrameViewer() override;

    // Shows the file Name ("file#name" scrolls to the anchor). Ignored while processing; a
    // missing file raises EInOutError "Can't locate file: <file>" and the shown page stays.
    void LoadFromFile(const std::string& Name);
    void LoadFrameDocument(const std::string& Name);
    const std::string& GetDocumentTitle() const;
    THTMLViewer* ActiveFrameViewer() const;
    int SelLength() const;
    void SetSelLength(int Value);
    bool IsProcessing() const { return Loading || ViewersBusy; }
    bool FwdButtonEnabled() const;
    bool BackButtonEnabled() const;
    std::string GetActiveBase() const;
    std::string GetActiveBaseTarget() const;
    // A link or frame source as a file name, from the active view's base or file.
    virtual std::string ResolveFileName(const std::string& URL);

    // Hooks every frame view takes.
    void FrameHotSpotClick(TObject* Sender, const std::string& URL, bool& Handled);
    void FrameLinkCovered(TObject* Sender, const std::string& URL);
    void ViewerBusyChanged(TObject* Viewer, bool Busy);

    // History: entry 0 is the newest, PageIndex the one shown.
    void AddFrameSetHistory(TFrameSet* OldFrameSet, const TViewPosition& OldPos);
    void AddFrameHistory(const std::string& OldName, const std::string& OldTitle,
                         const TViewPosition& OldPos);
    void AddPositionHistory(const TViewPosition& OldPos);
    void ReleaseHistoryFrameSet(TFrameSet* FrameSet);
    void ClearHistory();

    // Hides Control, takes it out of the frame tree and frees it once the handlers running now
    // have returned.
    void FreeLater(TControl* Control);

    // ---- Properties (the setters copy into every view) ----
    bool ViewImages() const { return FViewImages; }
    void SetViewImages(bool Value);
    int ImageCacheCount() const { return FImageCacheCount; }
    void SetImageCacheCount(int Value);
    bool NoSelect() const { return FNoSelect; }
    void SetNoSelect(bool Value);
    int HistoryMaxCount() const { return FHistoryMaxCount; }
    void SetHistoryMaxCount(int Value);
    TColor DefBackground() const { return FDefBackground; }
    void SetDefBackground(TColor Value);
    const std::string& DefFontName() const { return FDefFontName; }
    void SetDefFontName(const std::string& Value);
    const std::string& DefPreFontName() const { return FDefPreFontName; }
    void SetDefPreFontName(const std::string& Value);
    int DefFontSize() const { return FDefFontSize; }
    void SetDefFontSize(int Value);
    TColor DefFontColor() const { return FDefFontColor; }
    void SetDefFontColor(TColor Value);
    TColor DefHotSpotColor() const { return FDefHotSpotColor; }
    void SetDefHotSpotColor(TColor Value);
    TCursor Cursor() const { return TControl::Cursor(); }
    void SetCursor(TCursor Value);
    double PrintMarginLeft() const { return FMargins[0]; }
    void SetPrintMarginLeft(double Value) { SetMargin(0, Value); }
    double PrintMarginRight() const { return FMargins[1]; }
    void SetPrintMarginRight(double Value) { SetMargin(1, Value); }
    double PrintMarginTop() const { return FMargins[2]; }
    void SetPrintMarginTop(double Value) { SetMargin(2, Value); }
    double PrintMarginBottom() const { return FMargins[3]; }
    void SetPrintMarginBottom(double Value) { SetMargin(3, Value); }
    TFormSubmitEvent OnFormSubmit() const { return FOnFormSubmit; }
    void SetOnFormSubmit(TFormSubmitEvent Value);
    TGetBitmapEvent OnBitmapRequest() const { return FOnBitmapRequest; }
    void SetOnBitmapRequest(TGetBitmapEvent Value);
    TGetImageEvent OnImageRequest() const { return FOnImageRequest; }
    void SetOnImageRequest(TGetImageEvent Value);
    TScriptEvent OnScript() const { return FOnScript; }
    void SetOnScript(TScriptEvent Value);
    TPagePrinted OnPrintHeader() const { return FOnPrintHeader; }
    void SetOnPrintHeader(TPagePrinted Value);
    TPagePrinted OnPrintFooter() const { return FOnPrintFooter; }
    void SetOnPrintFooter(TPagePrinted Value);

    std::string LastUrl, LastTarget;
    THotSpotTargetClickEvent OnHotSpotTargetClick;
    THotSpotTargetEvent OnHotSpotTargetCovered;
    TList BusyViewers;
    TNotifyEvent OnHistoryChange;
    TStringList PageNames; // file names, each with its TFrameSet
    TStringList PageTitles;
    std::vector<TViewPosition> PagePositions;
    int PageIndex = 0;
    TWindowRequestEvent OnBlankWindowRequest;
    TStreamRequestEvent OnStreamRequest;
    TBufferRequestEvent OnBufferRequest;
    TStringsRequestEvent OnStringsRequest;
    TFileRequestEvent OnFileRequest;
    bool Loading = false;
    bool ViewersBusy = false;
    TProcessingEvent OnProcessing;
    TFrameSet* ShownSet;

protected:
    TW_MESSAGE_HANDLERS(TFrameViewer);
    // Frees what FreeLater collected.
    void WMFreePending(TMessage& Message);

private:
    template <class F> void ForEachViewer(F Each) const;
    void SetMargin(int Index, double Value);
    void SetProcessingOn(bool On);
    // The history's common step: forward entries go, the shown set becomes entry 0, the list is
    // trimmed to HistoryMaxCount.
    void PushPage();
    void DeletePage(int Index);
    void FreePending();

    bool FViewImages = true;
    int FImageCacheCount = 5;
    bool FNoSelect = false;
    int FHistoryMaxCount = 0;
    TColor FDefBackground = clBtnFace;
    std::string FDefFontName = "Times New Roman";
    std::string FDefPreFontName = "Courier New";
    int FDefFontSize = 12;
    TColor FDefFontColor = clBtnText;
    TColor FDefHotSpotColor = clBlue;
    double FMargins[4] = {2.0, 2.0, 2.0, 2.0};
    TFormSubmitEvent FOnFormSubmit;
    TGetBitmapEvent FOnBitmapRequest;
    TGetImageEvent FOnImageRequest;
    TScriptEvent FOnScript;
    TPagePrinted FOnPrintHeader, FOnPrintFooter;
    std::vector<TControl*> FPending;
    bool FFreePosted = false;
    bool FDestroying = false;
};

// One dimension list (ROWS or COLS) as codes; at most MaxDims items, each counts even empty.
std::vector<int> ParseDimensions(const std::string& Text);
