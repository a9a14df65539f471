#include "platform/app/Printers.h"

#include "platform/controls/Dialogs.h"

#include "platform/qt/GdiSurface.h"
#include "platform/rtl/SysUtils.h"

#include <QFile>
#include <QFontDatabase>
#include <QPageLayout>
#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>

#include <algorithm>
#include <cstdlib>
#include <optional>

namespace {

// The canvas is in 1/96 inch, as the screen is.
constexpr int CanvasDpi = 96;

std::optional<std::string> gOutputFile;

} // namespace

void SetPrinterOutputFile(const std::string& PdfFile)
{
    if (PdfFile.empty())
        gOutputFile.reset();
    else
        gOutputFile = PdfFile;
}

std::string PrinterOutputFile()
{
    if (gOutputFile)
        return *gOutputFile;
    const char* Env = std::getenv("TW_PRINTER_OUTPUT");
    return Env ? std::string(Env) : std::string();
}

struct TPrinter::TImpl {
    std::unique_ptr<QPrinter> Device;
    std::unique_ptr<QPainter> Painter;
    HDC DC = nullptr;
    HDC InfoDC = nullptr; // measures outside a job
    TCanvas Canvas;
    TStringList Names;
    TStringList FontNames;
    std::string OutputPath;

    // Paper, orientation and printer as the job will use them.
    static std::string JobFile(const TPrinter& Owner)
    {
        const std::string File = PrinterOutputFile();
        return File.empty() ? Owner.OutputFile : File;
    }

    void Configure(QPrinter& P, TPrinter& Owner, bool ForJob)
    {
        const std::string File = JobFile(Owner);
        if (!File.empty()) {
            P.setOutputFormat(QPrinter::PdfFormat);
            if (ForJob)
                P.setOutputFileName(QString::fromStdString(MapWritePath(File)));
        } else {
            const QStringList Available = QPrinterInfo::availablePrinterNames();
            const int Index = Owner.FPrinterIndex;
            if (Index >= 0 && Index < Available.size())
                P.setPrinterName(Available[Index]);
            else if (!QPrinterInfo::defaultPrinterName().isEmpty())
                P.setPrinterName(QPrinterInfo::defaultPrinterName());
        }
        P.setPageOrientation(Owner.FOrientation == poLandscape ? QPageLayout::Landscape
                                                               : QPageLayout::Portrait);
        P.setDocName(QString::fromStdString(Owner.Title));
        P.setCopyCount(Owner.Copies > 0 ? Owner.Copies : 1);
    }

    QRect PaintRect(TPrinter& Owner)
    {
        if (Device)
            return Device->pageLayout().paintRectPixels(CanvasDpi);
        QPrinter P;
        Configure(P, Owner, false);
        return P.pageLayout().paintRectPixels(CanvasDpi);
    }
};

TPrinter::TPrinter() : FImpl(std::make_unique<TImpl>()) {}

TPrinter::~TPrinter()
{
    if (FPrinting)
        Abort();
    FImpl->Canvas.SetHandle(nullptr);
    if (FImpl->InfoDC)
        DeleteDC(FImpl->InfoDC);
}

void TPrinter::BeginDoc()
{
    if (FPrinting)
        throw EPrinter("Printing in progress");
    const std::string File = TImpl::JobFile(*this);
    if (File.empty() && QPrinterInfo::availablePrinterNames().isEmpty())
        throw EPrinter("There is no default printer currently selected");

    auto Device = std::make_unique<QPrinter>(QPrinter::HighResolution);
    FImpl->Configure(*Device, *this, true);
    auto Painter = std::make_unique<QPainter>();
    if (!Painter->begin(Device.get()))
        throw EPrinter("Printer selected is not valid");
    const double Sx = Device->logicalDpiX() / double(CanvasDpi);
    const double Sy = Device->logicalDpiY() / double(CanvasDpi);
    Painter->scale(Sx, Sy);

    const QPageLayout Layout = Device->pageLayout();
    const QRect Paint = Layout.paintRectPixels(CanvasDpi);
    const QRect Full = Layout.fullRectPixels(CanvasDpi);
    gdi::TDeviceCaps Caps;
    Caps.Width = Paint.width();
    Caps.Height = Paint.height();
    Caps.DpiX = Caps.DpiY = CanvasDpi;
    Caps.BitsPixel = 24;
    Caps.Technology = DT_RASPRINTER;
    Caps.PhysicalWidth = Full.width();
    Caps.PhysicalHeight = Full.height();
    Caps.OffsetX = Paint.left() - Full.left();
    Caps.OffsetY = Paint.top() - Full.top();

    FImpl->OutputPath = File.empty() ? std::string() : MapWritePath(File);
    FImpl->Device = std::move(Device);
    FImpl->Painter = std::move(Painter);
    FImpl->DC = gdi::CreatePainterDC(FImpl->Painter.get(), Caps);
    FImpl->Canvas.SetHandle(FImpl->DC);
    FImpl->Canvas.Refresh();
    FPrinting = true;
    FAborted = false;
    FPageNumber = 1;
}

void TPrinter::EndDoc()
{
    if (!FPrinting)
        throw EPrinter("Printer is not currently printing");
    FImpl->Canvas.SetHandle(nullptr);
    DeleteDC(FImpl->DC);
    FImpl->DC = nullptr;
    FImpl->Painter->end();
    FImpl->Painter.reset();
    FImpl->Device.reset();
    FPrinting = false;
    FAborted = false;
}

void TPrinter::Abort()
{
    if (!FPrinting)
        throw EPrinter("Printer is not currently printing");
    FImpl->Canvas.SetHandle(nullptr);
    DeleteDC(FImpl->DC);
    FImpl->DC = nullptr;
    FImpl->Device->abort();
    if (FImpl->Painter->isActive())
        FImpl->Painter->end();
    FImpl->Painter.reset();
    FImpl->Device.reset();
    if (!FImpl->OutputPath.empty())
        QFile::remove(QString::fromStdString(FImpl->OutputPath));
    FPrinting = false;
    FAborted = true;
}

void TPrinter::NewPage()
{
    if (!FPrinting)
        throw EPrinter("Printer is not currently printing");
    FImpl->Device->newPage();
    ++FPageNumber;
}

TCanvas* TPrinter::Canvas()
{
    if (!FPrinting && !FImpl->Canvas.HandleAllocated()) {
        if (!FImpl->InfoDC)
            FImpl->InfoDC = CreateCompatibleDC(nullptr);
        FImpl->Canvas.SetHandle(FImpl->InfoDC);
    }
    return &FImpl->Canvas;
}

HDC TPrinter::Handle()
{
    return Canvas()->Handle();
}

int TPrinter::PageWidth()
{
    return FImpl->PaintRect(*this).width();
}

int TPrinter::PageHeight()
{
    return FImpl->PaintRect(*this).height();
}

void TPrinter::SetOrientation(TPrinterOrientation Value)
{
    if (FPrinting)
        throw EPrinter("Printing in progress");
    FOrientation = Value;
}

TStrings* TPrinter::Printers()
{
    FImpl->Names.Clear();
    const std::string File = PrinterOutputFile();
    if (!File.empty()) {
        FImpl->Names.Add("PDF file " + File);
    } else {
        for (const QString& Name : QPrinterInfo::availablePrinterNames())
            FImpl->Names.Add(Name.toStdString());
    }
    return &FImpl->Names;
}

int TPrinter::PrinterIndex() const
{
    return FPrinterIndex;
}

void TPrinter::SetPrinterIndex(int Value)
{
    if (FPrinting)
        throw EPrinter("Printing in progress");
    const int Count = Printers()->Count();
    if (Value < -1 || Value >= Count)
        throw EPrinter("Printer index out of range");
    FPrinterIndex = Value;
}

TStrings* TPrinter::Fonts()
{
    if (FImpl->FontNames.Count() == 0)
        for (const QString& Family : QFontDatabase::families())
            FImpl->FontNames.Add(Family.toStdString());
    return &FImpl->FontNames;
}

namespace {
TPrinter* gPrinter = nullptr;
}

TPrinter* Printer()
{
    if (!gPrinter) {
        LinkPrinterToDialogs();
        gPrinter = new TPrinter;
    }
    return gPrinter;
}

namespace {

TPrinterSettings PrinterSettingsNow()
{
    TPrinter* P = Printer();
    TPrinterSettings S;
    TStrings* Names = P->Printers();
    for (int I = 0; I < Names->Count(); ++I)
        S.Printers.push_back(Names->Strings(I));
    S.PrinterIndex = P->PrinterIndex();
    S.Copies = P->Copies;
    S.Landscape = P->Orientation() == poLandscape;
    S.OutputFile = P->OutputFile;
    return S;
}

// Raises EPrinter "Printing in progress" during a job, as setting the printer directly does.
void ApplyPrinterChoice(const TPrinterSettings& S)
{
    TPrinter* P = Printer();
    const int Count = P->Printers()->Count();
    P->SetPrinterIndex(S.PrinterIndex >= 0 && S.PrinterIndex < Count ? S.PrinterIndex : -1);
    P->SetOrientation(S.Landscape ? poLandscape : poPortrait);
    P->Copies = std::max(1, S.Copies);
    P->OutputFile = S.OutputFile;
}

} // namespace

void LinkPrinterToDialogs()
{
    SetPrinterLink(TPrinterLink{&PrinterSettingsNow, &ApplyPrinterChoice});
}

TPrinter* SetPrinter(TPrinter* NewPrinter)
{
    LinkPrinterToDialogs();
    TPrinter* Old = gPrinter;
    gPrinter = NewPrinter;
    return Old;
}

// ---------------------------------------------------------------------------------------------
// The printer as a text file

namespace {

class TPrinterDevice : public TTextDevice {
public:
    void Open(bool ForWriting) override
    {
        if (!ForWriting)
            RaiseInOutError(ioNotOpenForInput);
        Printer()->BeginDoc();
        FX = FY = 0;
        FColumn = 0;
        FLine.clear();
    }
    void Write(const std::string& Bytes) override
    {
        for (char C : Bytes) {
            switch (C) {
            case '\r':
                PrintPending();
                FX = 0;
                FColumn = 0;
                break;
            case '\n':
                PrintPending();
                FX = 0;
                FColumn = 0;
                FY += LineHeight();
                break;
            case '\f':
                PrintPending();
                if (Printer()->Printing())
                    Printer()->NewPage();
                FX = FY = 0;
                FColumn = 0;
                break;
            case '\t':
                do {
                    FLine += ' ';
                    ++FColumn;
                } while (FColumn % 8 != 0);
                break;
            default:
                FLine += C;
                // Columns count characters, not the bytes of UTF-8 sequences.
                if ((static_cast<unsigned char>(C) & 0xC0) != 0x80)
                    ++FColumn;
                break;
            }
        }
    }
    void Close() override
    {
        PrintPending();
        if (Printer()->Printing())
            Printer()->EndDoc();
    }

private:
    int LineHeight()
    {
        TEXTMETRIC Tm{};
        TCanvas* C = Printer()->Canvas();
        if (GetTextMetrics(C->Handle(), &Tm) && Tm.tmHeight > 0)
            return Tm.tmHeight + Tm.tmExternalLeading;
        return std::max(1, C->TextHeight("Wg"));
    }
    void PrintPending()
    {
        if (FLine.empty() || !Printer()->Printing())
            return;
        TPrinter* P = Printer();
        const int H = LineHeight();
        if (FY > 0 && FY + H > P->PageHeight()) {
            P->NewPage();
            FY = 0;
        }
        TCanvas* C = P->Canvas();
        C->TextOut(FX, FY, FLine);
        FX += C->TextWidth(FLine);
        FLine.clear();
    }

    int FX = 0, FY = 0;
    int FColumn = 0;
    std::string FLine;
};

} // namespace

void AssignPrn(TextFile& F)
{
    AssignDevice(F, std::make_unique<TPrinterDevice>());
}
