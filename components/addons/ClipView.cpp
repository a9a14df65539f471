#include "components/addons/ClipView.h"

#include "components/addons/AdHelpersCore.h"
#include "components/addons/AdHelpersVcl.h"

#include "platform/classes/FormReader.h"
#include "platform/controls/ExtCtrls.h"
#include "platform/controls/Forms.h"
#include "platform/controls/StdEdit.h"
#include "platform/rtl/Streams.h"

#include <cstring>
#include <memory>
#include <vector>

namespace {

const char* const UnknownFormatText = "Cannot display. Data in Clipboard is in an unknown format.";
const char* const EmptyClipboardText = "Clipboard is empty";

bool ClipboardHasAnything()
{
    return CountClipboardFormats() > 0;
}

bool Has(UINT Format)
{
    return Format != 0 && IsClipboardFormatAvailable(Format) != FALSE;
}

// Closes the clipboard when the reading is done, also on failure.
struct TOpenClipboard {
    TOpenClipboard() { Clipboard()->Open(); }
    ~TOpenClipboard() { Clipboard()->Close(); }
    TOpenClipboard(const TOpenClipboard&) = delete;
    TOpenClipboard& operator=(const TOpenClipboard&) = delete;
};

} // namespace

// ---- Icons on the clipboard -------------------------------------------------------------------

UINT IconClipboardFormat = 0;

void RegisterIconClipboardFormat()
{
    IconClipboardFormat = RegisterClipboardFormat("Corrin Icon");
    TPicture::RegisterClipboardFormat(static_cast<WORD>(IconClipboardFormat),
                                      [] { return std::make_unique<TIcon>(); });
}

void LoadIconFromClipboard(TGraphic* Graphic)
{
    if (!Graphic || !Has(IconClipboardFormat))
        return;
    TOpenClipboard Opened;
    HGLOBAL Data = GetClipboardData(IconClipboardFormat);
    if (!Data)
        return;
    const void* Bytes = GlobalLock(Data);
    TMemoryStream Stream;
    try {
        Stream.WriteBuffer(Bytes, static_cast<Longint>(GlobalSize(Data)));
        Stream.SetPosition(0);
        Graphic->LoadFromStream(&Stream);
    } catch (...) {
        GlobalUnlock(Data);
        throw;
    }
    GlobalUnlock(Data);
}

TIcon* IconFromClipboard()
{
    if (!Has(IconClipboardFormat))
        return nullptr;
    auto Icon = std::make_unique<TIcon>();
    LoadIconFromClipboard(Icon.get());
    return Icon.release();
}

// ---- The viewer -------------------------------------------------------------------------------

UINT ClipboardFormatOf(TClipboardViewFormat Format)
{
    switch (Format) {
    case cvText:
        return CF_TEXT;
    case cvBitmap:
        return CF_BITMAP;
    case cvMetafile:
        return CF_METAFILEPICT;
    case cvPalette:
        return CF_PALETTE;
    case cvOemText:
        return CF_OEMTEXT;
    case cvPicture:
        return CF_PICTURE();
    case cvComponent:
        return CF_COMPONENT();
    case cvIcon:
        return IconClipboardFormat;
    default:
        return 0;
    }
}

TCustomClipboardViewer::TCustomClipboardViewer(TComponent* AOwner) : TScrollBox(AOwner)
{
    SetParentColor(false);
    SetColor(clWindow);
}

TCustomClipboardViewer::~TCustomClipboardViewer()
{
    // The view is an owned component; the owner's clean-up frees it.
    FView = nullptr;
}

void TCustomClipboardViewer::CreateWnd()
{
    TScrollBox::CreateWnd();
    FNextViewer = SetClipboardViewer(Handle());
}

void TCustomClipboardViewer::DestroyWnd()
{
    ChangeClipboardChain(Handle(), FNextViewer);
    FNextViewer = nullptr;
    TScrollBox::DestroyWnd();
}

void TCustomClipboardViewer::Notification(TComponent* AComponent, TOperation Operation)
{
    TScrollBox::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FView)
        FView = nullptr;
}

void TCustomClipboardViewer::ForwardToNext(TMessage& Message)
{
    if (FNextViewer)
        SendMessage(FNextViewer, Message.Msg, Message.WParam, Message.LParam);
}

void TCustomClipboardViewer::RefreshWithAlignDisabled()
{
    DisableAlign();
    try {
        RefreshView();
    } catch (...) {
        EnableAlign();
        throw;
    }
    EnableAlign();
}

void TCustomClipboardViewer::WMDrawClipboard(TMessage& Message)
{
    ForwardToNext(Message);
    // The field itself: through SetViewFormat, cvEmpty would read back cvDefault and the view
    // would be built twice.
    if (!ClipboardHasAnything())
        FViewFormat = cvEmpty;
    else if (!Has(ClipboardFormatOf(FViewFormat)))
        FViewFormat = cvDefault;
    Change();
    RefreshWithAlignDisabled();
    DefaultHandler(Message);
}

void TCustomClipboardViewer::WMChangeCBChain(TMessage& Message)
{
    if (reinterpret_cast<HWND>(Message.WParam) == FNextViewer)
        FNextViewer = reinterpret_cast<HWND>(Message.LParam);
    else
        ForwardToNext(Message);
    DefaultHandler(Message);
}

void TCustomClipboardViewer::WMDestroyClipboard(TMessage& Message)
{
    FViewFormat = cvEmpty;
    Change();
    RefreshView();
    DefaultHandler(Message);
}

void TCustomClipboardViewer::WMSize(TWMSize Message)
{
    DefaultHandler(Message);
    if (FView)
        CentreInParent(FView);
}

void TCustomClipboardViewer::Change()
{
    if (OnChange)
        OnChange(this);
}

bool TCustomClipboardViewer::FormatAvailable(TClipboardViewFormat Format)
{
    if (Format == cvDefault || Format == cvEmpty || Format == cvUnknown)
        return true;
    return Has(ClipboardFormatOf(Format));
}

void TCustomClipboardViewer::SetViewFormat(TClipboardViewFormat Value)
{
    if (Value == FViewFormat)
        return;
    const UINT Format = ClipboardFormatOf(Value);
    FViewFormat = Has(Format) && FormatAvailable(Value) ? Value : cvDefault;
    RefreshView();
}

TClipboardViewFormat TCustomClipboardViewer::ChooseDisplayFormat()
{
    if (!ClipboardHasAnything())
        return cvEmpty;
    if (FViewFormat != cvDefault)
        return FViewFormat;
    struct {
        UINT Format;
        TClipboardViewFormat View;
    } const Order[] = {
        {CF_TEXT, cvText},
        {CF_OEMTEXT, cvOemText},
        {CF_BITMAP, cvBitmap},
        {CF_METAFILEPICT, cvMetafile},
        {CF_ENHMETAFILE, cvMetafile},
        {IconClipboardFormat, cvIcon},
        {CF_PICTURE(), cvPicture},
        {CF_COMPONENT(), cvComponent},
        {CF_PALETTE, cvPalette},
    };
    for (const auto& O : Order)
        if (Has(O.Format))
            return O.View;
    return cvUnknown;
}

void TCustomClipboardViewer::RefreshView()
{
    if (ComponentState().Contains(csDesigning))
        return;
    delete FView;
    FView = nullptr;
    if (!ClipboardHasAnything())
        return;
    TClipboardViewFormat F = ChooseDisplayFormat();
    if (!FormatAvailable(F))
        F = cvUnknown;
    switch (F) {
    case cvPalette:
        ShowPalette();
        break;
    case cvComponent:
        ShowComponent();
        break;
    case cvBitmap:
    case cvMetafile:
    case cvPicture:
    case cvIcon:
        ShowPicture(F);
        break;
    default:
        ShowText(F);
        break;
    }
}

void TCustomClipboardViewer::ShowText(TClipboardViewFormat Format)
{
    auto* Memo = new TMemo(this);
    FView = Memo;
    Memo->SetParent(this);
    Memo->SetBorderStyle(bsNone);
    Memo->SetBounds(0, 0, Memo->Width(), Memo->Height());
    Memo->SetScrollBars(ssBoth);
    Memo->SetAlign(alClient);
    if (Format == cvOemText) {
        Memo->SetParentFont(false);
        Memo->Font()->SetName("Terminal");
    }
    Memo->SetVisible(true);
    if (Has(CF_TEXT))
        Memo->PasteFromClipboard();
    else
        Memo->Lines()->SetText(ClipboardHasAnything() ? UnknownFormatText : EmptyClipboardText);
    Memo->SetReadOnly(true);
}

void TCustomClipboardViewer::ShowPalette()
{
    auto Grid = std::make_unique<TPaletteGrid>(this);
    Grid->SetParent(this);
    Grid->SetBorderStyle(bsNone);
    Grid->Ctl3D = false;
    Grid->SetAlign(alClient);
    {
        TOpenClipboard Opened;
        Grid->SetPalette(static_cast<HPALETTE>(GetClipboardData(CF_PALETTE)));
    }
    FView = Grid.release();
}

void TCustomClipboardViewer::ShowComponent()
{
    TComponent* Component = Clipboard()->GetComponent(this, this);
    if (!Component)
        return;
    if (auto* Control = dynamic_cast<TControl*>(Component)) {
        FView = Control;
        Control->SetBounds(1, 1, Control->Width(), Control->Height());
        CentreInParent(Control);
        return;
    }
    // Not a control: its stored form as text.
    std::unique_ptr<TComponent> Owned(Component);
    const std::string Text = WriteForm(Component);
    Owned.reset();
    ShowText(cvText);
    auto* Memo = static_cast<TMemo*>(FView);
    Memo->SetReadOnly(false);
    Memo->Lines()->SetText(Text);
    Memo->SetReadOnly(true);
}

void TCustomClipboardViewer::ShowPicture(TClipboardViewFormat Format)
{
    auto* Image = new TImage(this);
    FView = Image;
    Image->SetParent(this);
    Image->SetAutoSize(true);
    Image->SetBounds(0, 0, Image->Width(), Image->Height());
    Image->SetVisible(true);
    if (Format == cvIcon) {
        if (Has(IconClipboardFormat)) {
            std::unique_ptr<TIcon> Icon(IconFromClipboard());
            Image->Picture()->Assign(Icon.get());
        }
    } else if ((Format == cvBitmap && Has(CF_BITMAP)) || (Format == cvMetafile && Has(CF_METAFILEPICT)) ||
               Has(CF_ENHMETAFILE) || (Format == cvPicture && Has(CF_PICTURE()))) {
        Image->Picture()->Assign(Clipboard());
    }
    CentreInParent(Image);
}

// ---- The palette view -------------------------------------------------------------------------

TPaletteGrid::TPaletteGrid(TComponent* AOwner) : TDrawGrid(AOwner)
{
    SetDefaultColWidth(20);
    SetDefaultRowHeight(20);
    SetOptions(TGridOptions{});
    SetGridLineWidth(0);
    SetFixedCols(0);
    SetFixedRows(0);
    SetColCount(0);
    SetRowCount(0);
    DefaultDrawing = false;
    SetScrollBars(ssVertical);
}

TPaletteGrid::~TPaletteGrid()
{
    if (FPalette)
        DeleteObject(FPalette);
}

void TPaletteGrid::SetPalette(HPALETTE Palette)
{
    if (FPalette) {
        DeleteObject(FPalette);
        FPalette = nullptr;
    }
    if (Palette) {
        WORD Count = 0;
        GetObject(Palette, sizeof Count, &Count);
        std::vector<char> Record(sizeof(LOGPALETTE) + std::size_t(Count) * sizeof(PALETTEENTRY), 0);
        auto* Log = reinterpret_cast<LOGPALETTE*>(Record.data());
        Log->palVersion = 0x300;
        Log->palNumEntries = Count;
        GetPaletteEntries(Palette, 0, Count, Log->palPalEntry);
        FPalette = CreatePalette(Log);
    }
    FCount = FPalette ? SmallerOf(PaletteEntryCount(FPalette), 256) : 0;
    if (FCount > 0)
        GetPaletteEntries(FPalette, 0, static_cast<UINT>(FCount), FEntries.data());
    for (int I = FCount; I < 256; ++I)
        std::memset(&FEntries[std::size_t(I)], 128, sizeof(PALETTEENTRY));
    UpdateSize();
    if (Visible() && !ComponentState().Contains(csLoading))
        if (TCustomForm* Form = GetParentForm(this); Form && Form->Active() && Form->HandleAllocated())
            PostMessage(Form->Handle(), WM_QUERYNEWPALETTE, 0, 0);
    Invalidate();
}

void TPaletteGrid::UpdateSize()
{
    if (FSizing)
        return;
    FSizing = true;
    try {
        const int Cols = LargerOf(1, (ClientWidth() - GetSystemMetrics(SM_CXVSCROLL)) / DefaultColWidth());
        SetColCount(Cols);
        SetRowCount(LargerOf(1, FCount / Cols + (FCount % Cols > 0 ? 1 : 0)));
        SetClientHeight(DefaultRowHeight() * RowCount());
    } catch (...) {
        FSizing = false;
        throw;
    }
    FSizing = false;
}

void TPaletteGrid::WMSize(TWMSize Message)
{
    TDrawGrid::DefaultHandler(Message);
    UpdateSize();
}

TColor TPaletteGrid::CellColor(int ACol, int ARow) const
{
    const int Index = ACol + ARow * ColCount();
    if (Index < 0 || Index >= FCount)
        return NoTransparentColor;
    const PALETTEENTRY& E = FEntries[std::size_t(Index)];
    return RGB(E.peRed, E.peGreen, E.peBlue);
}

void TPaletteGrid::DrawCell(int ACol, int ARow, const TRect& ARect, TGridDrawState AState)
{
    TCanvas* C = Canvas();
    const TColor Entry = CellColor(ACol, ARow);
    if (Entry == NoTransparentColor) {
        C->Brush()->SetColor(Color());
        C->FillRect(ARect);
        return;
    }
    TRect R = ARect;
    C->Pen()->SetColor(clBtnFace);
    C->Brush()->SetColor(clBtnFace);
    C->Rectangle(R.left, R.top, R.right, R.bottom);
    InflateRect(&R, -1, -1);
    Frame3D(C, R, clBtnShadow, clBtnHighlight, 2);
    if (AState.Contains(gdFocused)) {
        C->Brush()->SetColor(Color());
        C->Pen()->SetColor(Color());
        C->Rectangle(R.left, R.top, R.right, R.bottom);
        InflateRect(&R, -1, -1);
        C->DrawFocusRect(R);
        InflateRect(&R, -1, -1);
    }
    HPALETTE Old = FPalette ? SelectPalette(C->Handle(), FPalette, FALSE) : nullptr;
    if (FPalette)
        RealizePalette(C->Handle());
    C->Brush()->SetColor(PaletteRelativeColor(Entry));
    C->Pen()->SetColor(PaletteRelativeColor(Entry));
    C->Rectangle(R.left, R.top, R.right, R.bottom);
    if (FPalette)
        SelectPalette(C->Handle(), Old, TRUE);
}

bool TPaletteGrid::SelectCell(int ACol, int ARow)
{
    if (ACol == 0 && ARow == 0)
        return true;
    return CellColor(ACol, ARow) != NoTransparentColor;
}

// ---- Published properties ---------------------------------------------------------------------

TW_ENUM(TClipboardViewFormat, "cvDefault", "cvEmpty", "cvUnknown", "cvText", "cvBitmap", "cvMetafile",
        "cvPalette", "cvOemText", "cvPicture", "cvComponent", "cvIcon");

TW_PUBLISH(TCustomClipboardViewer, TScrollBox)
{
    Cls.Message(WM_DRAWCLIPBOARD, &TCustomClipboardViewer::WMDrawClipboard);
    Cls.Message(WM_CHANGECBCHAIN, &TCustomClipboardViewer::WMChangeCBChain);
    Cls.Message(WM_DESTROYCLIPBOARD, &TCustomClipboardViewer::WMDestroyClipboard);
    Cls.Message(WM_SIZE, &TCustomClipboardViewer::WMSize);
}

TW_PUBLISH(TClipboardViewer, TCustomClipboardViewer)
{
    Cls.Enum("ViewFormat", &TClipboardViewer::ViewFormat, &TClipboardViewer::SetViewFormat)
        .Default(cvDefault);
    Cls.Event("OnChange", &TClipboardViewer::OnChange);
    Cls.Color("Color", &TControl::Color, &TControl::SetColor).Default(clWindow);
    Cls.Bool("ParentColor", &TControl::ParentColor, &TControl::SetParentColor).Default(false);
}

TW_PUBLISH(TPaletteGrid, TDrawGrid)
{
    Cls.Message(WM_SIZE, &TPaletteGrid::WMSize);
}
