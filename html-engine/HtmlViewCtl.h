// The HTML view control: a window that shows one document. It owns the document model, loads
// files, strings, memory buffers and streams through the builder, lays the document out for its
// width, paints it off-screen through a child paint panel, scrolls with a vertical and a
// horizontal bar and by keys, and jumps to named anchors. Under the mouse it follows links,
// selects text and hands form submissions to its host.
#pragma once

#include "html-engine/HtmlModel.h"
#include "html-engine/HtmlParser.h"
#include "platform/classes/Classes.h"
#include "platform/controls/Controls.h"
#include "platform/controls/StdButtons.h"
#include "platform/graphics/Graphics.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

class THTMLViewer;
class TTimer;

// No off-screen bitmap could be made for a paint.
class EOutOfResources : public Exception {
public:
    using Exception::Exception;
};

// A place in a document that survives a re-layout: the block and the offset into it. Kept as two
// full integers so that long documents and tall blocks come back to the same place.
struct TViewPosition {
    int Index = 0;  // block index in the document
    int Offset = 0; // pixels below the block's top
    bool operator==(const TViewPosition&) const = default;
};

// One history entry's position and the kind it was loaded as (0 HTML, 1 text, 2 image).
class PositionObj : public TObject {
public:
    TViewPosition Position;
    int Serial = 0;
};

enum THTMLBorderStyle { htFocused, htNone, htSingle };

using THotSpotEvent = std::function<void(TObject* Sender, const std::string& SRC)>;
using TFormSubmitEvent = std::function<void(TObject* Sender, const std::string& Action,
                                            const std::string& Method, TStringList* Results)>;
using TProcessingEvent = std::function<void(TObject* Sender, bool ProcessingOn)>;
using TPagePrinted =
    std::function<void(TObject* Sender, TCanvas* Canvas, int NumPage, int W, int H, bool& StopPrinting)>;

// The box behind the paint panel that carries the view's 1-pixel frame. (A windowless control
// of its own: the stock paint box's unit clashes with the document model's page block name.)
class TBorderBox : public TGraphicControl {
public:
    explicit TBorderBox(TComponent* AOwner);
    TCanvas* Canvas() const { return TGraphicControl::Canvas(); }
    TNotifyEvent OnPaint;

protected:
    void Paint() override;
};

// The panel the document is painted on: each paint goes through an off-screen bitmap of the
// clip rectangle and is copied to the window in one step.
class TPaintPanel : public TCustomControl {
public:
    TPaintPanel(TComponent* AOwner, THTMLViewer* Viewer);

    // Called with the panel as Sender while painting; it draws on Canvas2().
    TNotifyEvent OnPaint;
    // The canvas over the off-screen bitmap during a paint (nullptr outside one).
    TCanvas* Canvas2() const { return FCanvas2; }
    void DrawBackground(TCanvas* ACanvas);
    bool FErasePending = false;

protected:
    TW_MESSAGE_HANDLERS(TPaintPanel);
    void WMEraseBkgnd(TWMEraseBkgnd Message);
    // A double click selects the word under the pointer (and is no second press).
    void WMLButtonDblClk(TWMLButtonDblClk Message);
    // The pointer left the panel: it is over no link any more.
    void CMMouseLeave(TMessage& Message);
    void Paint() override;

private:
    THTMLViewer* FViewer;
    TCanvas* FCanvas2 = nullptr;
};

// A scroll bar whose position, page and range are full 32-bit values, set in one call.
class T32ScrollBar : public TScrollBar {
public:
    explicit T32ScrollBar(TComponent* AOwner) : TScrollBar(AOwner) {}
    int Position32() const { return FPos; }
    int Min32() const { return FMin32; }
    int Max32() const { return FMax32; }
    int Page() const { return FPage; }
    // Nothing happens when all four are unchanged.
    void SetParams(int APosition, int APage, int AMin, int AMax);
    void SetPosition(int P) { SetParams(P, FPage, FMin32, FMax32); }
    void SetMax(int M) { SetParams(FPos, FPage, FMin32, M); }

protected:
    // The bar's reflected notification goes to the viewer, with the whole 32-bit track position.
    void Scroll(TScrollCode ScrollCode, int& ScrollPos) override;

private:
    int FPos = 0, FMin32 = 0, FMax32 = 0, FPage = 0;
};

class THTMLViewer : public TWinControl {
public:
    // Kept inside the view: the colouring memo's click event has the same name without Handled,
    // and the editor uses both in one window.
    using THotSpotClickEvent = std::function<void(TObject* Sender, const std::string& SRC, bool& Handled)>;

    explicit THTMLViewer(TComponent* AOwner);
    ~THTMLViewer() override;

    // ---- Loading (each is ignored while processing) ----
    // "Name#dest" jumps to dest after loading. A missing file raises EInOutError
    // "Can't locate file: <name>" and leaves the shown document as it was.
    void LoadFromFile(const std::string& Name);
    void LoadPlainTextFile(const std::string& Name);
    // Shows a picture file alone, as a one-image page.
    void LoadPictureFile(const std::string& Name);
    void LoadFromStrings(TStrings* Strings) { LoadStringsAs(Strings, 0); }
    // Kind 0 HTML, 1 plain text.
    void LoadStringsAs(TStrings* Strings, int Kind);
    void LoadFromMemory(const void* Buffer, std::size_t Size);
    void LoadFromStream(TStream* Stream);

    // ---- Position ----
    bool JumpToAnchor(const std::string& Name);
    void ScrollTo(int Y);
    TViewPosition GetPosition();
    void SetPosition(const TViewPosition& P);
    void Reformat();
    void SetProcessing(bool Value);
    bool Processing() const { return FProcessing; }
    virtual void Clear();

    // The vertical scroll position (document Y at the panel's top) and the horizontal one.
    int VScrollPosition() const { return FVScrollBar->Position32(); }
    int HScrollPosition() const { return FHScrollBar->Position(); }

    // ---- Read-only values ----
    const std::string& GetBase() const { return FBase; }
    // Keeps an existing base; sets only an empty one.
    void SetBase(const std::string& Value);
    const std::string& GetBaseTarget() const { return FBaseTarget; }
    const std::string& GetDocumentTitle() const { return FTitle; }
    const std::string& GetCurrentFile() const { return FCurrentFile; }
    int CurrentKind() const { return FCurrentKind; }
    const std::string& GetLinkUrl() const { return FURL; }
    const std::string& GetLinkTarget() const { return FTarget; }
    // The selection: its first character position, its length in characters (a line end
    // counts two) and its text (lines end in CR LF).
    int SelStart() const;
    // An empty selection at Value, which becomes the caret.
    void SetSelStart(int Value);
    int SelLength();
    // Only 0 acts (empties the selection).
    void SetSelLength(int Value);
    std::string SelText();
    int MaxWidth() const { return FMaxWidth; }
    int DocHeight() const { return FDocHeight; }

    // ---- Properties ----
    bool ViewImages() const;
    void SetViewImages(bool Value);
    TColor DefBackground() const { return FBackground; }
    void SetDefBackground(TColor Value);
    THTMLBorderStyle BorderStyle() const { return FBorderStyle; }
    void SetBorderStyle(THTMLBorderStyle Value);
    int HistoryMaxCount() const { return FHistoryMaxCount; }
    void SetHistoryMaxCount(int Value);
    const std::string& DefFontName() const { return FFontName; }
    void SetDefFontName(const std::string& Value);
    const std::string& DefPreFontName() const { return FPreFontName; }
    void SetDefPreFontName(const std::string& Value);
    int DefFontSize() const { return FFontSize; }
    void SetDefFontSize(int Value);
    TColor DefFontColor() const { return FFontColor; }
    void SetDefFontColor(TColor Value);
    TColor DefHotSpotColor() const { return FHotSpotColor; }
    void SetDefHotSpotColor(TColor Value);
    int ImageCacheCount() const { return FImageCacheCount; }
    void SetImageCacheCount(int Value);
    bool NoSelect() const { return FNoSelect; }
    void SetNoSelect(bool Value);
    TScrollStyle ScrollBars() const { return FScrollBars; }
    void SetScrollBars(TScrollStyle Value);
    double PrintMarginLeft = 2.0, PrintMarginRight = 2.0, PrintMarginTop = 2.0, PrintMarginBottom = 2.0;
    TPagePrinted OnPrintHeader, OnPrintFooter;

    // ---- Events ----
    THotSpotEvent OnHotSpotCovered;
    THotSpotClickEvent OnHotSpotClick;
    // Copied into the document, which asks them for pictures.
    TGetBitmapEvent OnBitmapRequest() const { return FSectionList->OnBitmapRequest; }
    void SetOnBitmapRequest(TGetBitmapEvent Value) { FSectionList->OnBitmapRequest = std::move(Value); }
    TGetImageEvent OnImageRequest() const { return FSectionList->OnImageRequest; }
    void SetOnImageRequest(TGetImageEvent Value) { FSectionList->OnImageRequest = std::move(Value); }
    TScriptEvent OnScript() const { return FSectionList->OnScript; }
    void SetOnScript(TScriptEvent Value) { FSectionList->OnScript = std::move(Value); }
    TFormSubmitEvent OnFormSubmit() const { return FOnFormSubmit; }
    void SetOnFormSubmit(TFormSubmitEvent Value);
    TNotifyEvent OnHistoryChange;
    TProcessingEvent OnProcessing;

    // ---- Mouse, links and selection ----
    // Selects the word (letters and digits) under the panel point.
    void SelectWordAt(int X, int Y);
    // Moves the selection's free end to the panel point (Y is held inside the panel; below the
    // last line the end is the document's end).
    void ExtendSelection(int X, int Y);
    // Acts on the link URL: OnHotSpotClick first; unhandled, "#name" jumps in the document, a
    // page loads (or jumps, when it is the one shown) and a picture shows alone. Other files
    // and web addresses do nothing here.
    virtual void FollowLink();
    // True while the selection drag scrolls the view because the pointer is above or below it.
    bool AutoScrolling() const { return FAutoScrolling; }
    // The document's submit hook: the submission is handed to OnFormSubmit once the click that
    // made it has finished; the view frees Results after the handler.
    void SubmitForm(const std::string& Action, const std::string& Method,
                    std::unique_ptr<TStringList> Results);

    // ---- History ----
    TStringList* History() const { return FHistory; }
    TStringList* TitleHistory() const { return FTitleHistory; }
    TFreeList* PositionHistory() const { return FPositionHistory; }
    int HistoryIndex() const { return FHistoryIndex; }
    void AddHistoryEntry(const std::string& OldFile, const std::string& OldTitle, int OldKind,
                         const TViewPosition& OldPos);
    void ClearHistory();

    // ---- Parts other units reach ----
    TSectionList* SectionList() const { return FSectionList; }
    TStringList* NameList() const { return FNameList; }
    TPaintPanel* PaintPanel() const { return FPaintPanel; }
    T32ScrollBar* VScrollBar() const { return FVScrollBar; }
    TScrollBar* HScrollBar() const { return FHScrollBar; }
    TBorderBox* BorderPanel() const { return FBorderPanel; }
    // Character positions of the last click and of the selection drag's start (-1: none).
    int CaretPos = 0;
    int SelAnchor = -1;

    // The panel's paint hook.
    virtual void DrawDocument(TObject* Sender);
    // The panel's mouse events; the mouse, link and selection handling hangs off these.
    virtual void ViewerMouseDown(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
    virtual void ViewerMouseMove(TObject* Sender, TShiftState Shift, int X, int Y);
    virtual void ViewerMouseUp(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);

    void PaintWindow(HDC DC) override;
    // The vertical bar's reflected notification (code and 32-bit track position).
    void VScrollNotify(TScrollCode Code, int TrackPos);
    // True while a layout runs: painting does nothing then.
    bool NoPaint() const { return FNoPaint; }
    // A link or image name as a file name: "file:" addresses, "\" separators and drive letters
    // made native; a relative name is taken from the base (none with the base "DosPath"), else
    // from the shown file's directory, and expanded. A web address stays as it is.
    virtual std::string ResolveFileName(const std::string& URL);
    // Whether a link names something on the web (a scheme other than "file:"), not a file here.
    static bool IsWebAddress(const std::string& URL);
    // The generated one-image page of LoadPictureFile for a file name.
    static std::string PicturePageMarkup(const std::string& FileName);

protected:
    TW_MESSAGE_HANDLERS(THTMLViewer);
    void WMGetDlgCode(TWMGetDlgCode Message);
    // A submission that SubmitForm kept (LParam: its number) goes to OnFormSubmit.
    void WMFormSubmit(TMessage& Message);
    // A paint of the panel has covered the frame: draw it again.
    void WMRedrawFrame(TMessage& Message);

    // Fires OnHotSpotClick; true when the handler took the link.
    virtual bool DoHotSpotClick(const std::string& URL);
    void KeyDown(WORD& Key, TShiftState Shift) override;
    void DoEnter() override;
    void DoExit() override;
    // The size changed (the window's WM_SIZE or a move before it has one).
    void SizeChanged() override;

private:
    friend class TPaintPanel;
    struct TSubmission;
    // The character position under a panel point (-1: none), with the document Y of that line's
    // top and its height.
    int CursorAt(int X, int Y, int* LineTop = nullptr, int* LineHeight = nullptr);
    // The link (or form image) under a panel point; URL and target empty for a form image.
    bool LinkAt(int X, int Y, TFormControlObj*& FormControl, TUrlTarget& Link);
    void AutoScrollTick(TObject* Sender);
    void StopAutoScroll();
    void PointerLeft();
    void LoadDocument(const std::string& Name, int Kind);
    void LoadWithHistory(const std::string& Name, int Kind);
    // Empties the document for new content; a load also ages the image cache.
    void ResetForLoad(bool ForLoad = true);
    // One load into a fresh document: Parse builds it with a parser of the load's own, the
    // document shows as File of Kind and Place scrolls it; also when the parse stopped with an
    // error, which then passes on.
    void LoadWith(const std::string& File, int Kind, const std::function<void(THtmlParser&)>& Parse,
                  const std::function<void()>& Place);
    // A load from strings, memory or a stream: no file, shown from the top.
    void LoadUnnamed(int Kind, const std::function<void(THtmlParser&)>& Parse);
    void TakeParseResults(const THtmlParser& Parser);
    void LayoutDocument();
    void UpdateScrollBars();
    void DrawBorder();
    void HScrollChange(TObject* Sender, TScrollCode ScrollCode, int& ScrollPos);
    void BackgroundChange(TSectionList* Sender);
    // Moves the vertical position to Y (clamped): one line scrolls the window, others repaint.
    void MoveVertical(int Y, int SmallChange);
    void SetHPosition(int Value);
    int PanelWidth() const;
    int PanelHeight() const;
    TCanvas* LayoutCanvas();

    TSectionList* FSectionList;
    TStringList* FNameList;
    TBorderBox* FBorderPanel;
    TPaintPanel* FPaintPanel;
    T32ScrollBar* FVScrollBar;
    TScrollBar* FHScrollBar;
    std::unique_ptr<TBitmap> FMeasureBitmap; // a canvas for layout before the panel has a window
    int FScrollWidth = 16;
    std::string FBase, FBaseTarget, FTitle;
    std::string FCurrentFile;
    int FCurrentKind = 0;
    int FMaxWidth = 0;
    int FDocHeight = 0;
    bool FProcessing = false;
    bool FNoPaint = false;
    int FLastWidth = -1;
    std::string FURL, FTarget;
    bool FLoading = false;

    // Mouse state: the view had the focus when the button went down; the left button went down
    // on the panel; the last press followed a link.
    bool FFocusedAtClick = false;
    bool FLeftDown = false;
    bool FLinkFollowed = false;
    bool FAutoScrolling = false;
    TTimer* FAutoScrollTimer;
    // Goes false when the view is destroyed: code that called a handler checks it before it
    // touches the view again.
    std::shared_ptr<bool> FAlive = std::make_shared<bool>(true);
    // Counts the loads and clears, so a caller sees that a handler replaced the document.
    unsigned FLoadSerial = 0;
    std::vector<std::unique_ptr<TSubmission>> FSubmissions;
    unsigned FNextSubmission = 0;

    TColor FBackground = clBtnFace;
    THTMLBorderStyle FBorderStyle = htFocused;
    int FHistoryMaxCount = 0;
    std::string FFontName = "Times New Roman";
    std::string FPreFontName = "Courier New";
    int FFontSize = 12;
    TColor FFontColor = clBtnText;
    TColor FHotSpotColor = clBlue;
    int FImageCacheCount = 5;
    bool FNoSelect = false;
    TScrollStyle FScrollBars = ssBoth;
    TFormSubmitEvent FOnFormSubmit;

    TStringList* FHistory;
    TStringList* FTitleHistory;
    TFreeList* FPositionHistory;
    int FHistoryIndex = 0;
};
