// The clipboard: the Win32 calls and the class library's TClipboard over the desktop's clipboard.
//
// Formats travel as MIME types, so other programs see text and images as usual:
//   CF_TEXT, CF_OEMTEXT, CF_UNICODETEXT  text/plain (UTF-8; our side sees lines ended by CR LF)
//   CF_BITMAP, CF_DIB                    an image (a bitmap handle, or a BMP file image for CF_DIB)
//   CF_PALETTE                           a private type holding the palette entries
//   registered formats                   a private type named after the format, holding the
//                                        bytes of the memory block given to SetClipboardData
// Data handles GetClipboardData returns belong to the clipboard: they stay valid until the
// clipboard is closed or changes, and the caller must not free them.
//
// The viewer chain (SetClipboardViewer / ChangeClipboardChain) is kept here: when the
// clipboard's content changes (by this program or another), WM_DRAWCLIPBOARD is sent to the
// first viewer, which passes it on to the next.
#pragma once

#include "platform/app/SysInfo.h"
#include "platform/classes/Classes.h"
#include "platform/graphics/Graphics.h"
#include "platform/win/WinUser.h"

#include <string>
#include <vector>

constexpr UINT CF_TEXT = 1;
constexpr UINT CF_BITMAP = 2;
constexpr UINT CF_METAFILEPICT = 3;
constexpr UINT CF_SYLK = 4;
constexpr UINT CF_DIF = 5;
constexpr UINT CF_TIFF = 6;
constexpr UINT CF_OEMTEXT = 7;
constexpr UINT CF_DIB = 8;
constexpr UINT CF_PALETTE = 9;
constexpr UINT CF_PENDATA = 10;
constexpr UINT CF_RIFF = 11;
constexpr UINT CF_WAVE = 12;
constexpr UINT CF_UNICODETEXT = 13;
constexpr UINT CF_ENHMETAFILE = 14;
constexpr UINT CF_HDROP = 15;
constexpr UINT CF_LOCALE = 16;

// ---------------------------------------------------------------------------------------------
// Win32 calls.
//
// The clipboard is opened by one window (or none) at a time; while it is open elsewhere,
// OpenClipboard fails. Changes (EmptyClipboard, SetClipboardData) are made while it is open and
// reach the desktop when it is closed. GetClipboardData may also be called without opening
// (the classic call refuses, but nothing is lost by allowing it here).
BOOL OpenClipboard(HWND NewOwner);
BOOL CloseClipboard();
// Clears the clipboard (the clipboard must be open) and makes the opener its owner; the
// previous owner receives WM_DESTROYCLIPBOARD.
BOOL EmptyClipboard();
// Takes over Data (an HGLOBAL block for text and registered formats, an HBITMAP for CF_BITMAP,
// an HPALETTE for CF_PALETTE): it is freed by the clipboard. Null when the clipboard is not open.
HANDLE SetClipboardData(UINT Format, HANDLE Data);
HANDLE GetClipboardData(UINT Format);
BOOL IsClipboardFormatAvailable(UINT Format);
int CountClipboardFormats();
// Enumerates the formats present (0 to start; 0 at the end). Text comes first, then its
// variants, then images, then registered formats in the order they were put.
UINT EnumClipboardFormats(UINT Format);
// The same name always gives the same number (0xC000 and above; names are case-insensitive);
// 0 for an empty name.
UINT RegisterClipboardFormat(const char* FormatName);
// The name of a registered format (its length; 0 for standard or unknown formats).
int GetClipboardFormatName(UINT Format, char* FormatName, int MaxCount);
HWND GetClipboardOwner();
HWND GetOpenClipboardWindow();
// Makes NewViewer the first viewer and returns the previous first one (0 when none), which the
// new viewer must pass the chain messages to. The new viewer receives WM_DRAWCLIPBOARD at once.
HWND SetClipboardViewer(HWND NewViewer);
HWND GetClipboardViewer();
// Takes Remove out of the chain: the first viewer receives WM_CHANGECBCHAIN(Remove, Next)
// (and passes it along), unless Remove was the first, whose place Next then takes.
BOOL ChangeClipboardChain(HWND Remove, HWND Next);

// ---------------------------------------------------------------------------------------------
// TClipboard.

class EClipboardException : public Exception {
public:
    using Exception::Exception;
};

class TClipboard : public TPersistent {
public:
    TClipboard();
    ~TClipboard() override;
    std::string ClassName() const override { return "TClipboard"; }

    // Open and Close nest; the clipboard is opened once (raising "Cannot open clipboard" when
    // another window holds it) and closed when the count returns to 0.
    void Open();
    void Close();
    // Empties the clipboard.
    void Clear();
    bool HasFormat(WORD Format);
    int FormatCount();
    WORD Formats(int Index);

    // The text (CF_TEXT) with every line break as CR LF; "" when there is none.
    std::string AsText();
    void SetAsText(const std::string& Value);
    int GetTextBuf(char* Buffer, int BufSize);
    void SetTextBuf(const char* Buffer);

    // Raw handles: GetAsHandle gives the clipboard's handle for Format (0 when absent);
    // SetAsHandle clears the clipboard and hands it Value (which it then owns).
    THandle GetAsHandle(WORD Format);
    void SetAsHandle(WORD Format, THandle Value);
    // A registered format's data as bytes (the memory block's content), and back (adds the
    // format to what the clipboard holds, inside an Open/Close pair or as a change of its own).
    std::string GetAsBytes(WORD Format);
    void SetAsBytes(WORD Format, const std::string& Bytes);

    // A TBitmap (CF_BITMAP, with CF_PALETTE when it has a palette) or a TPicture holding one,
    // or a graphic whose class is bound to a registered format (TPicture::RegisterClipboardFormat
    // with an icon class: the graphic's stream form under that format). Other sources raise
    // EConvertError.
    void Assign(TPersistent* Source) override;

    // Components in their stored form, under the component format.
    void SetComponent(TComponent* Component);
    // A new component read from the clipboard, owned by Owner and put into Parent (when it is a
    // control); null when the clipboard holds no component.
    TComponent* GetComponent(TComponent* Owner, TComponent* Parent);

protected:
    // To a TBitmap (from CF_BITMAP) or a TPicture (CF_BITMAP, else the first format the picture
    // classes read). EConvertError when the clipboard holds nothing of the kind.
    void AssignTo(TPersistent* Dest) override;

private:
    void Adding(); // empties the clipboard before the first format of this opening
    void SetBuffer(WORD Format, const std::string& Bytes);
    int FOpenRefCount = 0;
    bool FEmptied = false;
    HWND FClipboardWindow = nullptr;
};

// The program's clipboard object (made when first asked for).
TClipboard* Clipboard();
// Puts a new clipboard object in place (returned is the old one, which the caller frees).
TClipboard* SetClipboard(TClipboard* NewClipboard);

// Formats of the class library's own objects.
UINT CF_PICTURE();
UINT CF_COMPONENT();
