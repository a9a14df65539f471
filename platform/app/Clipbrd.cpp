#include "platform/app/Clipbrd.h"

#include "platform/app/Application.h"
#include "platform/app/ShellApi.h"
#include "platform/classes/FormReader.h"
#include "platform/classes/TypInfo.h"
#include "platform/controls/Controls.h"
#include "platform/qt/GdiSurface.h"

#include <QByteArray>
#include <QClipboard>
#include <QGuiApplication>
#include <QImage>
#include <QMimeData>
#include <QObject>
#include <QUrl>

#include <algorithm>
#include <cstring>
#include <map>
#include <memory>

namespace {

constexpr UINT FirstRegistered = 0xC000;
const char* const PaletteMime = "application/x-tw-palette";
const char* const RegisteredPrefix = "application/x-tw-format.";

struct TClipState {
    bool Open = false;
    HWND OpenWnd = nullptr;
    HWND Owner = nullptr;
    // What this opening changes, handed to the desktop on close.
    std::unique_ptr<QMimeData> Pending;
    // Objects given to SetClipboardData (freed on close) and handles given out by
    // GetClipboardData (freed on close or the next change).
    std::vector<HGLOBAL> OwnedBlocks;
    std::vector<HGDIOBJ> OwnedObjects;
    std::vector<HGLOBAL> HandedBlocks;
    std::vector<HGDIOBJ> HandedObjects;
    HWND Viewer = nullptr;
    std::vector<std::string> Names; // registered format FirstRegistered + i
    bool Connected = false;
    bool SelfChange = false;
};

TClipState& State()
{
    static auto* S = new TClipState;
    return *S;
}

QClipboard* SystemClipboard()
{
    return QGuiApplication::instance() ? QGuiApplication::clipboard() : nullptr;
}

void FreeHanded()
{
    TClipState& S = State();
    for (HGLOBAL B : S.HandedBlocks)
        GlobalFree(B);
    for (HGDIOBJ O : S.HandedObjects)
        DeleteObject(O);
    S.HandedBlocks.clear();
    S.HandedObjects.clear();
}

void FreeOwned()
{
    TClipState& S = State();
    for (HGLOBAL B : S.OwnedBlocks)
        GlobalFree(B);
    for (HGDIOBJ O : S.OwnedObjects)
        DeleteObject(O);
    S.OwnedBlocks.clear();
    S.OwnedObjects.clear();
}

void ClipboardChanged()
{
    TClipState& S = State();
    FreeHanded();
    if (!S.SelfChange && S.Owner) {
        // Another program took the clipboard over.
        HWND Old = S.Owner;
        S.Owner = nullptr;
        if (IsWindow(Old))
            SendMessage(Old, WM_DESTROYCLIPBOARD, 0, 0);
    }
    if (S.Viewer && IsWindow(S.Viewer))
        SendMessage(S.Viewer, WM_DRAWCLIPBOARD, 0, 0);
}

void EnsureConnected()
{
    TClipState& S = State();
    if (S.Connected)
        return;
    QClipboard* C = SystemClipboard();
    if (!C)
        return;
    S.Connected = true;
    QObject::connect(C, &QClipboard::dataChanged, C, [] { ClipboardChanged(); });
}

std::string ToLower(std::string S)
{
    for (char& C : S)
        if (C >= 'A' && C <= 'Z')
            C = static_cast<char>(C - 'A' + 'a');
    return S;
}

UINT FormatOfName(const std::string& Name, bool Add)
{
    TClipState& S = State();
    const std::string Key = ToLower(Name);
    for (std::size_t I = 0; I < S.Names.size(); ++I)
        if (ToLower(S.Names[I]) == Key)
            return FirstRegistered + static_cast<UINT>(I);
    if (!Add || S.Names.size() >= 0x3FFF)
        return 0;
    S.Names.push_back(Name);
    return FirstRegistered + static_cast<UINT>(S.Names.size() - 1);
}

QString MimeOf(UINT Format)
{
    const TClipState& S = State();
    if (Format < FirstRegistered || Format - FirstRegistered >= S.Names.size())
        return QString();
    const std::string& Name = S.Names[Format - FirstRegistered];
    return QString::fromLatin1(RegisteredPrefix) +
           QString::fromLatin1(QUrl::toPercentEncoding(QString::fromUtf8(Name.c_str())));
}

// The registered format a MIME type carries (registering names other copies of the program put).
UINT FormatOfMime(const QString& Mime)
{
    const QString Prefix = QString::fromLatin1(RegisteredPrefix);
    if (!Mime.startsWith(Prefix))
        return 0;
    const QString Name = QUrl::fromPercentEncoding(Mime.mid(Prefix.size()).toLatin1());
    if (Name.isEmpty())
        return 0;
    return FormatOfName(Name.toStdString(), true);
}

// What the clipboard holds as this program sees it: the opening's own changes first.
const QMimeData* Current()
{
    TClipState& S = State();
    if (S.Open && S.Pending)
        return S.Pending.get();
    QClipboard* C = SystemClipboard();
    return C ? C->mimeData() : nullptr;
}

std::vector<UINT> FormatsOf(const QMimeData* M)
{
    std::vector<UINT> F;
    if (!M)
        return F;
    if (M->hasText()) {
        F.push_back(CF_TEXT);
        F.push_back(CF_OEMTEXT);
        F.push_back(CF_UNICODETEXT);
    }
    if (M->hasImage())
        F.push_back(CF_BITMAP);
    if (M->hasFormat(QString::fromLatin1(PaletteMime)))
        F.push_back(CF_PALETTE);
    for (const QString& Mime : M->formats())
        if (UINT R = FormatOfMime(Mime))
            if (std::find(F.begin(), F.end(), R) == F.end())
                F.push_back(R);
    if (M->hasUrls()) {
        for (const QUrl& U : M->urls())
            if (U.isLocalFile()) {
                F.push_back(CF_HDROP);
                break;
            }
    }
    return F;
}

// Lines as the programs see them: every break CR LF.
std::string ToCrLf(const QString& Text)
{
    const std::string In = Text.toStdString();
    std::string Out;
    Out.reserve(In.size() + In.size() / 16);
    for (std::size_t I = 0; I < In.size(); ++I) {
        const char C = In[I];
        if (C == '\r') {
            Out += "\r\n";
            if (I + 1 < In.size() && In[I + 1] == '\n')
                ++I;
        } else if (C == '\n') {
            Out += "\r\n";
        } else {
            Out += C;
        }
    }
    return Out;
}

// ... and as the desktop expects them: LF.
QString ToDesktopText(const std::string& Text)
{
    std::string Out;
    Out.reserve(Text.size());
    for (std::size_t I = 0; I < Text.size(); ++I) {
        if (Text[I] == '\r') {
            Out += '\n';
            if (I + 1 < Text.size() && Text[I + 1] == '\n')
                ++I;
        } else {
            Out += Text[I];
        }
    }
    return QString::fromUtf8(Out.data(), static_cast<qsizetype>(Out.size()));
}

std::unique_ptr<QMimeData> CopyOf(const QMimeData* M)
{
    auto Copy = std::make_unique<QMimeData>();
    if (!M)
        return Copy;
    for (const QString& F : M->formats()) {
        if (F == QLatin1String("application/x-qt-image"))
            continue;
        Copy->setData(F, M->data(F));
    }
    if (M->hasImage())
        Copy->setImageData(M->imageData());
    return Copy;
}

QMimeData* PendingData()
{
    TClipState& S = State();
    if (!S.Pending)
        S.Pending = CopyOf(SystemClipboard() ? SystemClipboard()->mimeData() : nullptr);
    return S.Pending.get();
}

std::string PaletteBytes(HPALETTE Palette)
{
    WORD Count = 0;
    if (!Palette || GetObject(Palette, sizeof Count, &Count) <= 0 || Count == 0)
        return {};
    std::vector<PALETTEENTRY> Entries(Count);
    const UINT Got = GetPaletteEntries(Palette, 0, Count, Entries.data());
    return std::string(reinterpret_cast<const char*>(Entries.data()), Got * sizeof(PALETTEENTRY));
}

HPALETTE PaletteFromBytes(const QByteArray& Bytes)
{
    const std::size_t Count = std::min<std::size_t>(std::size_t(Bytes.size()) / sizeof(PALETTEENTRY), 256);
    if (Count == 0)
        return nullptr;
    std::vector<char> Buffer(sizeof(LOGPALETTE) + Count * sizeof(PALETTEENTRY), 0);
    auto* Log = reinterpret_cast<LOGPALETTE*>(Buffer.data());
    Log->palVersion = 0x300;
    Log->palNumEntries = static_cast<WORD>(Count);
    std::memcpy(Log->palPalEntry, Bytes.constData(), Count * sizeof(PALETTEENTRY));
    return CreatePalette(Log);
}

HPALETTE CopyPaletteHandle(HPALETTE Palette)
{
    const std::string B = PaletteBytes(Palette);
    return PaletteFromBytes(QByteArray(B.data(), static_cast<qsizetype>(B.size())));
}

HBITMAP CopyBitmapHandle(HBITMAP Bitmap)
{
    QImage* Image = gdi::BitmapImage(Bitmap);
    if (!Image)
        return nullptr;
    return gdi::CreateBitmapFromImage(*Image, gdi::IsMonochromeBitmap(Bitmap));
}

} // namespace

// ---------------------------------------------------------------------------------------------
// Win32 calls

BOOL OpenClipboard(HWND NewOwner)
{
    TClipState& S = State();
    EnsureConnected();
    if (S.Open)
        return FALSE;
    S.Open = true;
    S.OpenWnd = NewOwner;
    S.Pending.reset();
    return TRUE;
}

BOOL CloseClipboard()
{
    TClipState& S = State();
    if (!S.Open)
        return FALSE;
    S.Open = false;
    S.OpenWnd = nullptr;
    std::unique_ptr<QMimeData> Data = std::move(S.Pending);
    FreeHanded();
    FreeOwned();
    if (Data) {
        if (QClipboard* C = SystemClipboard()) {
            S.SelfChange = true;
            C->setMimeData(Data.release());
            S.SelfChange = false;
        }
    }
    return TRUE;
}

BOOL EmptyClipboard()
{
    TClipState& S = State();
    if (!S.Open)
        return FALSE;
    HWND Old = S.Owner;
    S.Owner = S.OpenWnd;
    if (Old && IsWindow(Old))
        SendMessage(Old, WM_DESTROYCLIPBOARD, 0, 0);
    FreeHanded();
    S.Pending = std::make_unique<QMimeData>();
    return TRUE;
}

HANDLE SetClipboardData(UINT Format, HANDLE Data)
{
    TClipState& S = State();
    if (!S.Open || !Data)
        return nullptr;
    QMimeData* M = PendingData();
    switch (Format) {
    case CF_TEXT:
    case CF_OEMTEXT: {
        const std::string Bytes = GlobalBytes(Data);
        M->setText(ToDesktopText(std::string(Bytes.c_str())));
        S.OwnedBlocks.push_back(Data);
        return Data;
    }
    case CF_UNICODETEXT: {
        const std::string Bytes = GlobalBytes(Data);
        std::u16string Text(Bytes.size() / 2, u'\0');
        std::memcpy(Text.data(), Bytes.data(), Text.size() * 2);
        Text = Text.c_str();
        const std::string Utf8 =
            QString::fromUtf16(Text.data(), static_cast<qsizetype>(Text.size())).toStdString();
        M->setText(ToDesktopText(Utf8));
        S.OwnedBlocks.push_back(Data);
        return Data;
    }
    case CF_BITMAP: {
        HBITMAP Bitmap = static_cast<HBITMAP>(Data);
        QImage* Image = gdi::BitmapImage(Bitmap);
        if (!Image)
            return nullptr;
        M->setImageData(Image->copy());
        S.OwnedObjects.push_back(Bitmap);
        return Data;
    }
    case CF_PALETTE: {
        HPALETTE Palette = static_cast<HPALETTE>(Data);
        const std::string Bytes = PaletteBytes(Palette);
        if (Bytes.empty())
            return nullptr;
        M->setData(QString::fromLatin1(PaletteMime),
                   QByteArray(Bytes.data(), static_cast<qsizetype>(Bytes.size())));
        S.OwnedObjects.push_back(Palette);
        return Data;
    }
    default: {
        const QString Mime = MimeOf(Format);
        if (Mime.isEmpty())
            return nullptr;
        const std::string Bytes = GlobalBytes(Data);
        M->setData(Mime, QByteArray(Bytes.data(), static_cast<qsizetype>(Bytes.size())));
        S.OwnedBlocks.push_back(Data);
        return Data;
    }
    }
}

HANDLE GetClipboardData(UINT Format)
{
    TClipState& S = State();
    EnsureConnected();
    const QMimeData* M = Current();
    if (!M)
        return nullptr;
    switch (Format) {
    case CF_TEXT:
    case CF_OEMTEXT: {
        if (!M->hasText())
            return nullptr;
        std::string Text = ToCrLf(M->text());
        Text.push_back('\0');
        HGLOBAL B = GlobalAllocBytes(Text);
        S.HandedBlocks.push_back(B);
        return B;
    }
    case CF_UNICODETEXT: {
        if (!M->hasText())
            return nullptr;
        const std::string Text = ToCrLf(M->text());
        const QString Q = QString::fromUtf8(Text.data(), static_cast<qsizetype>(Text.size()));
        std::string Bytes(reinterpret_cast<const char*>(Q.utf16()), std::size_t(Q.size()) * 2);
        Bytes.append(2, '\0');
        HGLOBAL B = GlobalAllocBytes(Bytes);
        S.HandedBlocks.push_back(B);
        return B;
    }
    case CF_BITMAP: {
        if (!M->hasImage())
            return nullptr;
        const QImage Image = qvariant_cast<QImage>(M->imageData());
        if (Image.isNull())
            return nullptr;
        HBITMAP Bitmap = gdi::CreateBitmapFromImage(Image);
        if (Bitmap)
            S.HandedObjects.push_back(Bitmap);
        return Bitmap;
    }
    case CF_PALETTE: {
        const QString Mime = QString::fromLatin1(PaletteMime);
        if (!M->hasFormat(Mime))
            return nullptr;
        HPALETTE P = PaletteFromBytes(M->data(Mime));
        if (P)
            S.HandedObjects.push_back(P);
        return P;
    }
    case CF_HDROP: {
        std::vector<std::string> Files;
        for (const QUrl& U : M->urls())
            if (U.isLocalFile())
                Files.push_back(U.toLocalFile().toStdString());
        if (Files.empty())
            return nullptr;
        // The receiver of a clipboard drop handle does not finish it; it lives with the program.
        return CreateDropHandle(Files, POINT{}, FALSE);
    }
    default: {
        const QString Mime = MimeOf(Format);
        if (Mime.isEmpty() || !M->hasFormat(Mime))
            return nullptr;
        const QByteArray Data = M->data(Mime);
        HGLOBAL B = GlobalAllocBytes(std::string(Data.constData(), std::size_t(Data.size())));
        S.HandedBlocks.push_back(B);
        return B;
    }
    }
}

BOOL IsClipboardFormatAvailable(UINT Format)
{
    EnsureConnected();
    const std::vector<UINT> F = FormatsOf(Current());
    return std::find(F.begin(), F.end(), Format) != F.end() ? TRUE : FALSE;
}

int CountClipboardFormats()
{
    EnsureConnected();
    return static_cast<int>(FormatsOf(Current()).size());
}

UINT EnumClipboardFormats(UINT Format)
{
    const std::vector<UINT> F = FormatsOf(Current());
    if (F.empty())
        return 0;
    if (Format == 0)
        return F.front();
    auto It = std::find(F.begin(), F.end(), Format);
    if (It == F.end() || ++It == F.end())
        return 0;
    return *It;
}

UINT RegisterClipboardFormat(const char* FormatName)
{
    if (!FormatName || !*FormatName)
        return 0;
    return FormatOfName(FormatName, true);
}

int GetClipboardFormatName(UINT Format, char* FormatName, int MaxCount)
{
    const TClipState& S = State();
    if (Format < FirstRegistered || Format - FirstRegistered >= S.Names.size() || !FormatName ||
        MaxCount <= 0)
        return 0;
    const std::string& Name = S.Names[Format - FirstRegistered];
    const std::size_t N = std::min<std::size_t>(Name.size(), std::size_t(MaxCount - 1));
    std::memcpy(FormatName, Name.data(), N);
    FormatName[N] = '\0';
    return static_cast<int>(N);
}

HWND GetClipboardOwner()
{
    HWND O = State().Owner;
    return IsWindow(O) ? O : nullptr;
}

HWND GetOpenClipboardWindow()
{
    return State().Open ? State().OpenWnd : nullptr;
}

HWND SetClipboardViewer(HWND NewViewer)
{
    TClipState& S = State();
    EnsureConnected();
    if (!IsWindow(NewViewer))
        return nullptr;
    HWND Previous = S.Viewer && IsWindow(S.Viewer) ? S.Viewer : nullptr;
    S.Viewer = NewViewer;
    SendMessage(NewViewer, WM_DRAWCLIPBOARD, 0, 0);
    return Previous;
}

HWND GetClipboardViewer()
{
    HWND V = State().Viewer;
    return IsWindow(V) ? V : nullptr;
}

BOOL ChangeClipboardChain(HWND Remove, HWND Next)
{
    TClipState& S = State();
    if (!Remove)
        return FALSE;
    if (S.Viewer == Remove) {
        S.Viewer = Next;
        return TRUE;
    }
    if (S.Viewer && IsWindow(S.Viewer))
        SendMessage(S.Viewer, WM_CHANGECBCHAIN, reinterpret_cast<WPARAM>(Remove),
                    reinterpret_cast<LPARAM>(Next));
    return TRUE;
}

// ---------------------------------------------------------------------------------------------
// TClipboard

UINT CF_PICTURE()
{
    static const UINT F = RegisterClipboardFormat("Platform Picture");
    return F;
}

UINT CF_COMPONENT()
{
    static const UINT F = RegisterClipboardFormat("Platform Component");
    return F;
}

TClipboard::TClipboard() = default;

TClipboard::~TClipboard()
{
    if (FOpenRefCount > 0)
        CloseClipboard();
}

void TClipboard::Open()
{
    if (FOpenRefCount == 0) {
        FClipboardWindow = Application ? Application->Handle() : nullptr;
        if (!OpenClipboard(FClipboardWindow))
            throw EClipboardException("Cannot open clipboard");
        FEmptied = false;
    }
    ++FOpenRefCount;
}

void TClipboard::Close()
{
    if (FOpenRefCount == 0)
        return;
    if (--FOpenRefCount == 0) {
        CloseClipboard();
        FEmptied = false;
    }
}

void TClipboard::Clear()
{
    Open();
    EmptyClipboard();
    FEmptied = true;
    Close();
}

void TClipboard::Adding()
{
    if (FOpenRefCount > 0 && !FEmptied) {
        Clear();
        FEmptied = true;
    }
}

bool TClipboard::HasFormat(WORD Format)
{
    return IsClipboardFormatAvailable(Format) != FALSE;
}

int TClipboard::FormatCount()
{
    return CountClipboardFormats();
}

WORD TClipboard::Formats(int Index)
{
    if (Index < 0)
        return 0;
    Open();
    UINT F = 0;
    try {
        F = EnumClipboardFormats(0);
        for (int I = 0; I < Index && F; ++I)
            F = EnumClipboardFormats(F);
    } catch (...) {
        Close();
        throw;
    }
    Close();
    return static_cast<WORD>(F);
}

void TClipboard::SetBuffer(WORD Format, const std::string& Bytes)
{
    Open();
    try {
        Adding();
        HGLOBAL Data = GlobalAllocBytes(Bytes);
        if (!SetClipboardData(Format, Data))
            GlobalFree(Data);
    } catch (...) {
        Close();
        throw;
    }
    Close();
}

std::string TClipboard::AsText()
{
    Open();
    std::string Text;
    HGLOBAL Data = GetClipboardData(CF_TEXT);
    if (Data)
        Text = std::string(GlobalBytes(Data).c_str());
    Close();
    return Text;
}

void TClipboard::SetAsText(const std::string& Value)
{
    std::string Bytes = Value;
    Bytes.push_back('\0');
    SetBuffer(CF_TEXT, Bytes);
}

int TClipboard::GetTextBuf(char* Buffer, int BufSize)
{
    if (!Buffer || BufSize <= 0)
        return 0;
    const std::string Text = AsText();
    const std::size_t N = std::min<std::size_t>(Text.size(), std::size_t(BufSize - 1));
    std::memcpy(Buffer, Text.data(), N);
    Buffer[N] = '\0';
    return static_cast<int>(N);
}

void TClipboard::SetTextBuf(const char* Buffer)
{
    SetAsText(Buffer ? Buffer : "");
}

THandle TClipboard::GetAsHandle(WORD Format)
{
    Open();
    HANDLE H = GetClipboardData(Format);
    Close();
    return reinterpret_cast<THandle>(H);
}

void TClipboard::SetAsHandle(WORD Format, THandle Value)
{
    Open();
    try {
        Adding();
        SetClipboardData(Format, reinterpret_cast<HANDLE>(Value));
    } catch (...) {
        Close();
        throw;
    }
    Close();
}

std::string TClipboard::GetAsBytes(WORD Format)
{
    Open();
    std::string Bytes;
    if (HGLOBAL Data = GetClipboardData(Format))
        Bytes = GlobalBytes(Data);
    Close();
    return Bytes;
}

void TClipboard::SetAsBytes(WORD Format, const std::string& Bytes)
{
    SetBuffer(Format, Bytes);
}

void TClipboard::Assign(TPersistent* Source)
{
    TGraphic* Graphic = nullptr;
    if (auto* Picture = dynamic_cast<TPicture*>(Source))
        Graphic = Picture->Graphic();
    else
        Graphic = dynamic_cast<TGraphic*>(Source);
    if (auto* Bitmap = dynamic_cast<TBitmap*>(Graphic)) {
        Open();
        try {
            Adding();
            TBitmap Copy;
            Copy.Assign(Bitmap);
            HPALETTE Palette = Bitmap->Palette() ? CopyPaletteHandle(Bitmap->Palette()) : nullptr;
            HBITMAP Handle = Copy.ReleaseHandle();
            if (Handle && !SetClipboardData(CF_BITMAP, Handle))
                DeleteObject(Handle);
            if (Palette && !SetClipboardData(CF_PALETTE, Palette))
                DeleteObject(Palette);
        } catch (...) {
            Close();
            throw;
        }
        Close();
        return;
    }
    TPersistent::Assign(Source);
}

void TClipboard::AssignTo(TPersistent* Dest)
{
    if (auto* Picture = dynamic_cast<TPicture*>(Dest)) {
        if (HasFormat(CF_BITMAP)) {
            TBitmap Bitmap;
            AssignTo(&Bitmap);
            Picture->SetGraphic(&Bitmap);
            return;
        }
        Open();
        try {
            for (UINT F = EnumClipboardFormats(0); F; F = EnumClipboardFormats(F)) {
                if (F > 0xFFFF || !TPicture::SupportsClipboardFormat(static_cast<WORD>(F)))
                    continue;
                const std::string Bytes = GlobalBytes(GetClipboardData(F));
                HPALETTE Palette = static_cast<HPALETTE>(GetClipboardData(CF_PALETTE));
                Picture->LoadFromClipboardFormat(static_cast<WORD>(F), Bytes, Palette);
                Close();
                return;
            }
        } catch (...) {
            Close();
            throw;
        }
        Close();
    } else if (auto* Bitmap = dynamic_cast<TBitmap*>(Dest)) {
        Open();
        try {
            HBITMAP Handle = static_cast<HBITMAP>(GetClipboardData(CF_BITMAP));
            if (Handle) {
                Bitmap->SetHandle(CopyBitmapHandle(Handle));
                if (HPALETTE Palette = static_cast<HPALETTE>(GetClipboardData(CF_PALETTE)))
                    Bitmap->SetPalette(CopyPaletteHandle(Palette));
                Close();
                return;
            }
        } catch (...) {
            Close();
            throw;
        }
        Close();
    }
    TPersistent::AssignTo(Dest);
}

void TClipboard::SetComponent(TComponent* Component)
{
    if (!Component)
        return;
    SetBuffer(static_cast<WORD>(CF_COMPONENT()), WriteForm(Component));
}

TComponent* TClipboard::GetComponent(TComponent* Owner, TComponent* Parent)
{
    const std::string Text = GetAsBytes(static_cast<WORD>(CF_COMPONENT()));
    if (Text.empty())
        return nullptr;
    // "object Name: TClass" (or "inherited ..."): the class names what to make.
    const auto Colon = Text.find(':');
    const auto LineEnd = Text.find_first_of("\r\n");
    if (Colon == std::string::npos || (LineEnd != std::string::npos && Colon > LineEnd))
        throw EClipboardException("Invalid component data on the clipboard");
    std::size_t B = Colon + 1;
    while (B < Text.size() && Text[B] == ' ')
        ++B;
    std::size_t E = B;
    while (E < Text.size() && Text[E] != ' ' && Text[E] != '\r' && Text[E] != '\n' && Text[E] != '[')
        ++E;
    const std::string ClassName = Text.substr(B, E - B);
    TComponent* Component = CreateComponent(ClassName, Owner);
    if (!Component)
        throw EClipboardException("Class " + ClassName + " not found");
    try {
        if (auto* Control = dynamic_cast<TControl*>(Component))
            if (auto* ParentControl = dynamic_cast<TWinControl*>(Parent))
                Control->SetParent(ParentControl);
        ReadForm(Component, Text, ClassName);
    } catch (...) {
        delete Component;
        throw;
    }
    return Component;
}

namespace {
TClipboard* gClipboard = nullptr;
}

TClipboard* Clipboard()
{
    if (!gClipboard)
        gClipboard = new TClipboard;
    return gClipboard;
}

TClipboard* SetClipboard(TClipboard* NewClipboard)
{
    TClipboard* Old = gClipboard;
    gClipboard = NewClipboard;
    return Old;
}
