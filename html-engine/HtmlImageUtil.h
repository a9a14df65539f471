// Small classes and routines the whole HTML engine shares: an owning list, the selection
// character counter, a link record, a memory block, name clean-up for links and file names,
// and the text and box drawing helpers of form controls drawn on a canvas.
#pragma once

#include "platform/classes/Classes.h"
#include "platform/rtl/Types.h"

#include <cstddef>
#include <memory>
#include <string>

class TCanvas;

int IntMin(int A, int B);
int IntMax(int A, int B);

// A list that owns its items, which are TObject descendants: Clear and the destructor free
// every item in index order; an item that leaves by Delete, Remove, a shrinking SetCount or
// being replaced through SetItems is freed too. Extract hands an item back without freeing it.
class TFreeList : public TList {
public:
    TFreeList() = default;
    ~TFreeList() override;
    void Clear() override;
    // Items go in as objects, so they can be freed as objects.
    int Add(TObject* Item) { return TList::Add(Item); }
    void Insert(int Index, TObject* Item) { TList::Insert(Index, Item); }
    // The item at Index as T (unchecked, as the owner knows what it holds).
    template <class T> T* ItemAs(int Index) const
    {
        return static_cast<T*>(static_cast<TObject*>(Items(Index)));
    }

protected:
    void Notify(void* Ptr, TListNotification Action) override;
};

// Counts the characters of a selection as the text blocks copy it out.
class SelTextCount : public TObject {
public:
    // Adds the characters among the first Count bytes of Buffer (UTF-8), not counting the
    // placeholders of images (code 4) and form controls (code 2).
    void AddText(const char* Buffer, int Count);
    // AddText, then a line end (two more).
    void AddTextCR(const char* Buffer, int Count);
    int Terminate() const { return FCount; }

private:
    int FCount = 0;
};

// A link: its URL and target frame (both empty when there is none).
class TUrlTarget : public TObject {
public:
    // Each argument that is given (not null) replaces the stored string.
    void Assign(const std::string* AnURL, const std::string* ATarget);
    // Both from Source.
    void Copy(const TUrlTarget& Source);
    void Clear();

    std::string URL;
    std::string Target;
};

// A zero-filled block of memory of a given size, freed with the object. Raises EOutOfMemory
// when it cannot be had.
class AllocRec : public TObject {
public:
    explicit AllocRec(std::size_t ASize);
    std::size_t Size() const { return FSize; }
    void* Ptr() const { return FData.get(); }

private:
    std::size_t FSize = 0;
    std::unique_ptr<unsigned char[]> FData;
};

class TAttributeList;

// One client-side image map (MAP): its name and its areas' links. Areas keep their HREF and
// TARGET; the shapes come with image-map hit testing.
class TMapItem : public TObject {
public:
    void AddArea(TAttributeList* Attributes);

    std::string MapName;
    TStringList Areas;       // the area's HREF
    TStringList AreaTargets; // the area's TARGET, index-aligned with Areas
};

// S without trailing bytes of code 32 or below and without leading bytes below 33.
std::string TrimBlanks(const std::string& S);

// A link as written in a document (a "file:" URL, a DOS name, a relative path with "/" or
// "\") turned into a native file name: the "file://" prefix is dropped (any case), "\"
// becomes "/", and a drive letter ("C:", "C|") is mapped by the run-time's path rules. Other
// URLs ("http://...") and plain names come back unchanged.
std::string LinkToDosName(const std::string& Name);

// Width of the first Count bytes of Text (whole UTF-8 characters) in the font selected into DC.
int TextWidthOf(HDC DC, const char* Text, int Count);

// Draws Text word-wrapped into (Left, Top, Right, Bottom) with the canvas's font and brush: words
// go on a line while they fit; a word wider than the rectangle gets a line of its own and is
// clipped; lines that would not fit whole above Bottom are left out.
void DrawWrapped(TCanvas* Canvas, int Left, int Top, const std::string& Text, int Bottom, int Right);

// The picture of a form control on a canvas (printing, off-screen copies): a white box with a
// 3-D edge, raised for buttons and sunken for the rest; a plain black frame on a monochrome
// device. Right and Bottom are exclusive. The pen keeps its last colour.
void DrawControlBox(TCanvas* Canvas, int Left, int Top, bool Raised, int Bottom, int Right);
