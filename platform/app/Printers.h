// The printer: print jobs drawn on a canvas, and the printer as a text device.
//
// Jobs go to the system's printers. The canvas works in units of 1/96 inch, like the screen, so
// fonts sized for the screen print at the same size; the page size follows the paper and the
// orientation (an A4 page in portrait is about 794 x 1123 units, margins left out).
//
// For tests (and to print to a file), SetPrinterOutputFile or the environment variable
// TW_PRINTER_OUTPUT names a PDF file that every job writes instead.
#pragma once

#include "platform/classes/Classes.h"
#include "platform/graphics/Graphics.h"
#include "platform/rtl/TextIO.h"

#include <memory>
#include <string>
#include <vector>

class EPrinter : public Exception {
public:
    using Exception::Exception;
};

enum TPrinterOrientation { poPortrait, poLandscape };
enum TPrinterCapability { pcCopies, pcOrientation, pcCollation };
using TPrinterCapabilities = TSet<TPrinterCapability>;

class TPrinter : public TObject {
public:
    TPrinter();
    ~TPrinter() override;
    std::string ClassName() const override { return "TPrinter"; }

    // Starts a job on the selected printer: raises EPrinter "Printing in progress" while one
    // runs, "There is no default printer currently selected" when there is no printer, and
    // "Printer selected is not valid" when the job cannot be started.
    void BeginDoc();
    // Ends the job (the pages go to the printer). EPrinter "Printer is not currently printing"
    // without a job.
    void EndDoc();
    // Drops the job: nothing is printed (a file being written is removed).
    void Abort();
    // Starts the next page; the pen position and the canvas state stay.
    void NewPage();

    bool Printing() const { return FPrinting; }
    bool Aborted() const { return FAborted; }
    int PageNumber() const { return FPageNumber; }
    // The canvas of the page being printed; outside a job it measures with the printer's
    // metrics but draws nothing.
    TCanvas* Canvas();
    // The DC of the canvas (a printer DC during a job).
    HDC Handle();
    int PageWidth();
    int PageHeight();

    // The job's name in the printer queue.
    std::string Title;
    int Copies = 1;
    // A PDF file the jobs go to in place of the printer, as chosen in the print dialog ("" for
    // the printer). A file set with SetPrinterOutputFile comes first.
    std::string OutputFile;
    TPrinterOrientation Orientation() const { return FOrientation; }
    void SetOrientation(TPrinterOrientation Value);
    TPrinterCapabilities Capabilities() const { return {pcCopies, pcOrientation, pcCollation}; }

    // The installed printers' names (a PDF file, when one is set, is the only "printer").
    TStrings* Printers();
    // -1: the default printer.
    int PrinterIndex() const;
    void SetPrinterIndex(int Value);
    // The fonts the printer offers: the screen's.
    TStrings* Fonts();

private:
    struct TImpl;
    std::unique_ptr<TImpl> FImpl;
    bool FPrinting = false;
    bool FAborted = false;
    int FPageNumber = 0;
    TPrinterOrientation FOrientation = poPortrait;
    int FPrinterIndex = -1;
};

// The program's printer (made when first asked for).
TPrinter* Printer();
// Puts a new printer object in place and returns the old one (the caller frees it).
TPrinter* SetPrinter(TPrinter* NewPrinter);
// Makes the print dialogs (TPrintDialog, TPrinterSetupDialog) set up Printer(): they open on its
// printer, copies and orientation, and a confirmed choice is put into it. Done when the
// application object or the printer is made.
void LinkPrinterToDialogs();

// Empty: the system's printers again.
void SetPrinterOutputFile(const std::string& PdfFile);
std::string PrinterOutputFile();

// The printer as a text file: Rewrite starts a job (BeginDoc), each line written is printed in
// the canvas's font at the left margin below the previous one, a line that does not fit on the
// page starts a new page, a form feed (#12) starts one too, tabs stop every 8 characters, and
// CloseFile ends the job (EndDoc). Reading from it raises EInOutError.
void AssignPrn(TextFile& F);
