#include "platform/app/Printers.h"
#include "platform/controls/Dialogs.h"
#include "platform/testing/FormTesting.h"
#include "platform/testing/TestSupport.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

using namespace testing_support;

namespace {

bool HavePdfToText()
{
    return std::system("command -v pdftotext >/dev/null 2>&1") == 0;
}

// The pages of a PDF file as text, one string per page (pdftotext ends each page with a form
// feed).
std::vector<std::string> PdfPages(const std::string& File)
{
    std::vector<std::string> Pages;
    const std::string Cmd = "pdftotext -layout '" + File + "' - 2>/dev/null";
    FILE* P = popen(Cmd.c_str(), "r");
    if (!P)
        return Pages;
    std::string All;
    char Buf[4096];
    while (std::size_t N = fread(Buf, 1, sizeof Buf, P))
        All.append(Buf, N);
    pclose(P);
    std::size_t Start = 0;
    for (std::size_t I = 0; I < All.size(); ++I)
        if (All[I] == '\f') {
            Pages.push_back(All.substr(Start, I - Start));
            Start = I + 1;
        }
    if (Start < All.size() && All.find_first_not_of(" \n", Start) != std::string::npos)
        Pages.push_back(All.substr(Start));
    return Pages;
}

std::vector<std::string> NonEmptyLines(const std::string& Text)
{
    std::vector<std::string> Lines;
    std::istringstream In(Text);
    std::string L;
    while (std::getline(In, L)) {
        const auto B = L.find_first_not_of(' ');
        if (B == std::string::npos)
            continue;
        const auto E = L.find_last_not_of(' ');
        Lines.push_back(L.substr(B, E - B + 1));
    }
    return Lines;
}

class PrinterTest : public ::testing::Test {
protected:
    PrinterTest()
    {
        Pdf = MakeTempDir("print") + "/job.pdf";
        SetPrinterOutputFile(Pdf);
        delete SetPrinter(new TPrinter);
    }
    ~PrinterTest() override
    {
        delete SetPrinter(nullptr);
        SetPrinterOutputFile("");
    }
    TWindowTest Windows;
    std::string Pdf;
};

TEST_F(PrinterTest, TextJobPrintsTheLinesInOrder)
{
    if (!HavePdfToText())
        GTEST_SKIP() << "pdftotext is not installed";
    const std::vector<std::string> Lines = {"<html>", "  <title>Printed page</title>", "a; b | c $(d)",
                                            "</html>"};
    TextFile F;
    AssignPrn(F);
    Rewrite(F);
    Printer()->Canvas()->Font()->SetName("Courier New");
    Printer()->Canvas()->Font()->SetSize(10);
    for (const std::string& L : Lines)
        WriteLn(F, L);
    CloseFile(F);
    EXPECT_FALSE(Printer()->Printing());

    const std::vector<std::string> Pages = PdfPages(Pdf);
    ASSERT_EQ(Pages.size(), 1u);
    const std::vector<std::string> Got = NonEmptyLines(Pages[0]);
    ASSERT_EQ(Got.size(), Lines.size());
    EXPECT_EQ(Got[0], "<html>");
    EXPECT_EQ(Got[1], "<title>Printed page</title>");
    EXPECT_EQ(Got[2], "a; b | c $(d)");
    EXPECT_EQ(Got[3], "</html>");
}

TEST_F(PrinterTest, LongTextJobRunsOntoFurtherPages)
{
    if (!HavePdfToText())
        GTEST_SKIP() << "pdftotext is not installed";
    TextFile F;
    AssignPrn(F);
    Rewrite(F);
    Printer()->Canvas()->Font()->SetName("Courier New");
    Printer()->Canvas()->Font()->SetSize(10);
    const int Count = 150;
    for (int I = 1; I <= Count; ++I)
        WriteLn(F, "Line " + std::to_string(I));
    CloseFile(F);
    const int Printed = Printer()->PageNumber();
    EXPECT_GE(Printed, 2);

    const std::vector<std::string> Pages = PdfPages(Pdf);
    ASSERT_EQ(int(Pages.size()), Printed);
    std::vector<std::string> All;
    for (const std::string& P : Pages) {
        const std::vector<std::string> L = NonEmptyLines(P);
        EXPECT_FALSE(L.empty());
        All.insert(All.end(), L.begin(), L.end());
    }
    ASSERT_EQ(int(All.size()), Count);
    for (int I = 0; I < Count; ++I)
        EXPECT_EQ(All[I], "Line " + std::to_string(I + 1));
}

TEST_F(PrinterTest, FormFeedAndTabsInText)
{
    if (!HavePdfToText())
        GTEST_SKIP() << "pdftotext is not installed";
    TextFile F;
    AssignPrn(F);
    Rewrite(F);
    WriteLn(F, "page one");
    Write(F, "\f");
    WriteLn(F, "ab\tcd");
    CloseFile(F);
    const std::vector<std::string> Pages = PdfPages(Pdf);
    ASSERT_EQ(Pages.size(), 2u);
    EXPECT_EQ(NonEmptyLines(Pages[0]), std::vector<std::string>{"page one"});
    const std::vector<std::string> Second = NonEmptyLines(Pages[1]);
    ASSERT_EQ(Second.size(), 1u);
    EXPECT_EQ(Second[0].substr(0, 2), "ab");
    EXPECT_NE(Second[0].find("cd"), std::string::npos);
}

TEST_F(PrinterTest, CanvasJobWithPages)
{
    TPrinter* P = Printer();
    P->Title = "Canvas job";
    P->BeginDoc();
    EXPECT_TRUE(P->Printing());
    EXPECT_EQ(P->PageNumber(), 1);
    EXPECT_EQ(GetDeviceCaps(P->Handle(), HORZRES), P->PageWidth());
    EXPECT_EQ(GetDeviceCaps(P->Handle(), LOGPIXELSY), 96);
    P->Canvas()->TextOut(50, 50, "Hello canvas");
    P->NewPage();
    EXPECT_EQ(P->PageNumber(), 2);
    P->Canvas()->Rectangle(10, 10, 100, 100);
    P->Canvas()->TextOut(50, 200, "Second page");
    P->EndDoc();
    EXPECT_FALSE(P->Printing());
    EXPECT_GT(FileSizeOf(Pdf), 0);
    if (HavePdfToText()) {
        const std::vector<std::string> Pages = PdfPages(Pdf);
        ASSERT_EQ(Pages.size(), 2u);
        EXPECT_NE(Pages[0].find("Hello canvas"), std::string::npos);
        EXPECT_NE(Pages[1].find("Second page"), std::string::npos);
        // The job's title is the document's title.
        std::string Info;
        if (FILE* In = popen(("pdfinfo '" + Pdf + "' 2>/dev/null").c_str(), "r")) {
            char Buf[512];
            while (std::size_t N = fread(Buf, 1, sizeof Buf, In))
                Info.append(Buf, N);
            pclose(In);
        }
        EXPECT_NE(Info.find("Canvas job"), std::string::npos) << Info;
    }
}

TEST_F(PrinterTest, PageSizeFollowsTheOrientation)
{
    TPrinter* P = Printer();
    const int W = P->PageWidth(), H = P->PageHeight();
    // A letter or A4 sheet at 96 units per inch, margins taken off.
    EXPECT_GT(W, 600);
    EXPECT_LT(W, 850);
    EXPECT_GT(H, W);
    P->SetOrientation(poLandscape);
    EXPECT_NEAR(P->PageWidth(), H, 2);
    EXPECT_NEAR(P->PageHeight(), W, 2);
    P->BeginDoc();
    EXPECT_NEAR(GetDeviceCaps(P->Handle(), HORZRES), H, 2);
    EXPECT_THROW(P->SetOrientation(poPortrait), EPrinter);
    P->EndDoc();
}

TEST_F(PrinterTest, MisuseRaisesPrinterErrors)
{
    TPrinter* P = Printer();
    EXPECT_THROW(P->EndDoc(), EPrinter);
    EXPECT_THROW(P->NewPage(), EPrinter);
    P->BeginDoc();
    EXPECT_THROW(P->BeginDoc(), EPrinter);
    P->Abort();
    EXPECT_TRUE(P->Aborted());
    EXPECT_FALSE(P->Printing());
    EXPECT_FALSE(FileExists(Pdf)); // an aborted job leaves nothing

    TextFile F;
    AssignPrn(F);
    EXPECT_THROW(Reset(F), EInOutError);

    // Measuring works outside a job, drawing goes nowhere.
    EXPECT_GT(P->Canvas()->TextWidth("measure"), 0);
    EXPECT_EQ(P->Printers()->Count(), 1);
    EXPECT_THROW(P->SetPrinterIndex(5), EPrinter);
}

TEST_F(PrinterTest, WithoutPrintersOrFileBeginDocFails)
{
    SetPrinterOutputFile("");
    const char* Env = std::getenv("TW_PRINTER_OUTPUT");
    const std::string SavedEnv = Env ? Env : "";
    unsetenv("TW_PRINTER_OUTPUT");
    if (Printer()->Printers()->Count() > 0) {
        if (!SavedEnv.empty())
            setenv("TW_PRINTER_OUTPUT", SavedEnv.c_str(), 1);
        GTEST_SKIP() << "this machine has printers";
    }
    try {
        Printer()->BeginDoc();
        ADD_FAILURE() << "BeginDoc printed without a printer";
        Printer()->Abort();
    } catch (const EPrinter& E) {
        EXPECT_STREQ(E.what(), "There is no default printer currently selected");
    }
    EXPECT_FALSE(Printer()->Printing());
    // The environment names a file just as well.
    setenv("TW_PRINTER_OUTPUT", Pdf.c_str(), 1);
    Printer()->BeginDoc();
    Printer()->EndDoc();
    EXPECT_TRUE(FileExists(Pdf));
    if (SavedEnv.empty())
        unsetenv("TW_PRINTER_OUTPUT");
    else
        setenv("TW_PRINTER_OUTPUT", SavedEnv.c_str(), 1);
}

TEST_F(PrinterTest, PdfFileChosenInTheDialogTakesTheJobsWithoutAPrinter)
{
    SetPrinterOutputFile("");
    const char* Env = std::getenv("TW_PRINTER_OUTPUT");
    const std::string SavedEnv = Env ? Env : "";
    unsetenv("TW_PRINTER_OUTPUT");
    const std::string Chosen = MakeTempDir("chosen") + "/chosen.pdf";
    TPrintDialog Print(nullptr);
    Windows.Dialogs.Expect(TDialogKind::Print, [&](TDialogRequest& R) {
        EXPECT_TRUE(R.Printer->OutputFile.empty());
        R.Printer->OutputFile = Chosen;
        return 1;
    });
    ASSERT_TRUE(Print.Execute());
    EXPECT_EQ(Printer()->OutputFile, Chosen);
    TextFile F;
    AssignPrn(F);
    Rewrite(F);
    WriteLn(F, "to the chosen file");
    CloseFile(F);
    EXPECT_TRUE(FileExists(Chosen));
    // The next dialog starts from that choice; choosing a printer again drops the file.
    Windows.Dialogs.Expect(TDialogKind::Print, [&](TDialogRequest& R) {
        EXPECT_EQ(R.Printer->OutputFile, Chosen);
        R.Printer->OutputFile.clear();
        return 1;
    });
    ASSERT_TRUE(Print.Execute());
    EXPECT_TRUE(Printer()->OutputFile.empty());
    if (!SavedEnv.empty())
        setenv("TW_PRINTER_OUTPUT", SavedEnv.c_str(), 1);
}

} // namespace

namespace {

// The print dialogs open on the program's printer and put the confirmed choice into it.
TEST_F(PrinterTest, PrintDialogChoiceReachesTheProgramsPrinter)
{
    ASSERT_EQ(Printer()->Printers()->Count(), 1); // the PDF file
    Printer()->Copies = 2;
    TPrintDialog Print(nullptr);
    Print.Copies = 4;
    Windows.Dialogs.Expect(TDialogKind::Print, [](TDialogRequest& R) {
        EXPECT_NE(R.Printer, nullptr);
        if (!R.Printer)
            return 0;
        EXPECT_EQ(R.Printer->Printers.size(), 1u);
        EXPECT_EQ(R.Printer->PrinterIndex, -1);
        EXPECT_EQ(R.Printer->Copies, 4); // the dialog's own count
        EXPECT_FALSE(R.Printer->Landscape);
        R.Printer->PrinterIndex = 0;
        R.Printer->Landscape = true;
        static_cast<TPrintDialog*>(R.Dialog)->Copies = 3;
        return 1;
    });
    ASSERT_TRUE(Print.Execute());
    EXPECT_EQ(Printer()->PrinterIndex(), 0);
    EXPECT_EQ(Printer()->Orientation(), poLandscape);
    EXPECT_EQ(Printer()->Copies, 3);

    // Cancelled: the printer keeps its settings.
    TPrinterSetupDialog Setup(nullptr);
    Windows.Dialogs.Expect(TDialogKind::PrinterSetup, [](TDialogRequest& R) {
        R.Printer->Landscape = false;
        R.Printer->PrinterIndex = -1;
        return 0;
    });
    EXPECT_FALSE(Setup.Execute());
    EXPECT_EQ(Printer()->Orientation(), poLandscape);
    EXPECT_EQ(Printer()->PrinterIndex(), 0);

    // Confirmed: the setup starts from the printer, and an index that no longer names a printer
    // falls back to the default one.
    Windows.Dialogs.Expect(TDialogKind::PrinterSetup, [](TDialogRequest& R) {
        EXPECT_TRUE(R.Printer->Landscape);
        EXPECT_EQ(R.Printer->PrinterIndex, 0);
        EXPECT_EQ(R.Printer->Copies, 3);
        R.Printer->Landscape = false;
        R.Printer->PrinterIndex = 7;
        R.Printer->Copies = 0;
        return 1;
    });
    EXPECT_TRUE(Setup.Execute());
    EXPECT_EQ(Printer()->Orientation(), poPortrait);
    EXPECT_EQ(Printer()->PrinterIndex(), -1);
    EXPECT_EQ(Printer()->Copies, 1);
    Windows.Dialogs.VerifyAllUsed();
}

} // namespace
