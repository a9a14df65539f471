#include "platform/rtl/TextIO.h"

#include "platform/testing/TestSupport.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <vector>

using testing_support::MakeTempDir;
using testing_support::ReadFileBytes;
using testing_support::WriteFileBytes;

namespace {

int IOErrorOf(const std::function<void()>& Action)
{
    try {
        Action();
    } catch (const EInOutError& e) {
        EXPECT_EQ(e.Message(), IOErrorText(e.ErrorCode));
        return e.ErrorCode;
    }
    return 0;
}

TEST(TextIO, WritesLinesAndReadsThemBack)
{
    const std::string f = MakeTempDir("io") + "/out.txt";
    TextFile t;
    AssignFile(t, f);
    Rewrite(t);
    WriteLn(t, "first");
    Write(t, "sec");
    WriteLn(t, "ond");
    WriteLn(t);
    CloseFile(t);
    EXPECT_EQ(ReadFileBytes(f), "first\r\nsecond\r\n\r\n");

    Append(t);
    WriteLn(t, "more");
    CloseFile(t);

    WriteFileBytes(f, ReadFileBytes(f) + "lf\nlast");
    Reset(t);
    std::string line;
    std::vector<std::string> lines;
    while (!Eof(t)) {
        ReadLn(t, line);
        lines.push_back(line);
    }
    EXPECT_EQ(lines, (std::vector<std::string>{"first", "second", "", "more", "lf", "last"}));
    char c = 0;
    Read(t, c);
    EXPECT_EQ(c, '\x1A'); // the end of the file reads as #26
    CloseFile(t);
}

TEST(TextIO, ErrorsAreInOutErrors)
{
    const std::string dir = MakeTempDir("ioe");
    TextFile t;
    EXPECT_EQ(IOErrorOf([&] { Reset(t); }), ioFileNotAssigned);
    AssignFile(t, dir + "/missing.txt");
    EXPECT_EQ(IOErrorOf([&] { Reset(t); }), ioFileNotFound);
    EXPECT_EQ(IOErrorOf([&] { WriteLn(t, "x"); }), ioFileNotOpen);
    EXPECT_EQ(IOErrorOf([&] { CloseFile(t); }), ioFileNotOpen);
    WriteFileBytes(dir + "/file", "keep");
    AssignFile(t, dir + "/file/child.txt");
    EXPECT_EQ(IOErrorOf([&] { Rewrite(t); }), ioPathNotFound);
    AssignFile(t, dir + "/file");
    Reset(t);
    EXPECT_EQ(IOErrorOf([&] { WriteLn(t, "x"); }), ioNotOpenForOutput);
    CloseFile(t);
    Rewrite(t);
    std::string s;
    EXPECT_EQ(IOErrorOf([&] { ReadLn(t, s); }), ioNotOpenForInput);
    CloseFile(t);
    EXPECT_EQ(ReadFileBytes(dir + "/file"), ""); // rewritten, empty
}

TEST(TextIO, ADeviceReceivesTheText)
{
    struct Recorder : TTextDevice {
        std::string* Out;
        int* Closed;
        Recorder(std::string* O, int* C) : Out(O), Closed(C) {}
        void Open(bool ForWriting) override
        {
            if (!ForWriting)
                RaiseInOutError(ioNotOpenForInput);
        }
        void Write(const std::string& Bytes) override { *Out += Bytes; }
        void Close() override { ++*Closed; }
    };
    std::string printed;
    int closed = 0;
    TextFile prn;
    AssignDevice(prn, std::make_unique<Recorder>(&printed, &closed));
    Rewrite(prn);
    for (int i = 0; i < 2000; ++i)
        WriteLn(prn, "line");
    CloseFile(prn);
    EXPECT_EQ(printed.size(), 2000u * 6);
    EXPECT_EQ(closed, 1);
    EXPECT_EQ(IOErrorOf([&] { Reset(prn); }), ioNotOpenForInput);
}

TEST(TextIO, ADeviceIsClosedEvenWhenItsLastTextCannotBeWritten)
{
    struct Failing : TTextDevice {
        int* Closed;
        explicit Failing(int* C) : Closed(C) {}
        void Open(bool) override {}
        void Write(const std::string&) override { RaiseInOutError(ioDiskFull); }
        void Close() override { ++*Closed; }
    };
    int closed = 0;
    TextFile prn;
    AssignDevice(prn, std::make_unique<Failing>(&closed));
    Rewrite(prn);
    WriteLn(prn, "held until the close");
    EXPECT_EQ(IOErrorOf([&] { CloseFile(prn); }), ioDiskFull);
    EXPECT_EQ(closed, 1);
    // Closed for good: nothing is written again when the file goes.
    EXPECT_EQ(prn.Mode(), TextFile::fmClosed);
}

TEST(TextIO, AnOpenFileIsWrittenWhenItGoesOutOfScope)
{
    const std::string f = MakeTempDir("scope") + "/s.txt";
    {
        TextFile t;
        AssignFile(t, f);
        Rewrite(t);
        Write(t, "x");
    }
    EXPECT_EQ(ReadFileBytes(f), "x");
}

} // namespace
