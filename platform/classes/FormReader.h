// The form reader: builds a component tree from a stored form description.
//
//     object Form1: TForm1
//       Caption = 'Tamsel Pro'#13#10'second line'      strings: '' is a quote, #nn a character
//       Left = -8                                       (a code point, written as UTF-8), + joins
//       Tag = $7F                                        integers, $hex
//       Ratio = 1.5E2                                    floats
//       Font.Style = [fsBold, fsItalic]                  sets; dotted paths into sub-objects
//       Color = clBtnFace                                enumerations, colours, cursors by name
//       Visible = False
//       PopupMenu = PopupMenu1                           component references (nil for none)
//       OnActivate = FormActivate                        handler methods of the form (nil)
//       Glyph = 'SB_NEWFILE'                             a string for a sub-object whose class
//                                                        loads itself from one (FromString)
//       object Memo1: TColorMemo                         nested components (owned by the root,
//         Lines.Strings = ( 'one' 'two' )                the enclosing one becomes their parent)
//         ColorRules = <
//           item
//             KeyDrawingType = dtBeginEnd
//             KeyBegEndLst.Strings = ( '<!--;-->;gray' )
//           end>
//       end
//       object AdTrayIcon1: TAdTrayIcon
//         Icons.Icons = { 01000000 00000000 }            binary data in hex
//       end
//     end
//
// `inherited Name: TClass` names a component the root already holds; `inline` reads like
// `object`. Keywords,
// names and identifiers are matched without regard to case; a line may end in a // comment.
// String lists and collections are read into the objects the getters answer (their setters do
// not run): a list is cleared and gets the lines, a collection is cleared and gets one Add()ed
// item per `item ... end`. Every component read is in csLoading (and csReading) meanwhile;
// when the whole description is read and every component reference resolved, each gets
// Loaded(), the root first, then the others in the order they were read.
#pragma once

#include "platform/classes/Classes.h"
#include "platform/classes/TypInfo.h"
#include "platform/rtl/Streams.h"
#include "platform/rtl/SysUtils.h"

#include <string>

// A description that cannot be read: malformed text, or an unknown class, property, value or
// handler. The message names the form, the 1-based line and the word at fault, e.g.
// "Unit1.form, line 12: Unknown property 'Colour'".
class EFormError : public EReadError {
public:
    EFormError(const std::string& FormName, int Line, const std::string& Word, const std::string& Problem);
    const std::string& FormName() const { return FFormName; }
    int Line() const { return FLine; }
    const std::string& Word() const { return FWord; }
    const std::string& Problem() const { return FProblem; }

private:
    std::string FFormName;
    int FLine = 0;
    std::string FWord;
    std::string FProblem;
};

// Reads the description Text into Root, a component that exists already (a form's constructor
// calls this with itself). The root's class must be the one the description names or descend
// from it; its Name is set from the description. FormName names the description in errors.
// Raises EFormError; an exception raised by a property setter or a constructor passes on with
// the form and line put in front of its message. After an error no component is left in
// csLoading, and the components already made stay with the root.
void ReadForm(TComponent* Root, const std::string& Text, const std::string& FormName);

void ReadForm(TComponent* Root, TStream* Stream, const std::string& FormName); // the rest of Stream

// Writes Root and the components it owns as a form description that ReadForm reads back: for
// each object the published properties that differ from their declared defaults (strings when
// not empty, floats when not zero, ordinals without a default always), sub-objects by dotted
// path, string lists, collections, component references by name and binary data. Events are
// left out: a closure does not know the name of the method it calls.
std::string WriteForm(TComponent* Root);

class TFormReader {
public:
    static void Read(TComponent* Root, const std::string& Text, const std::string& FormName);

private:
    class TImpl;
    static void SetState(TComponent* Component, TComponentStateItem Item, bool On)
    {
        Component->SetComponentStateItem(Item, On);
    }
};
