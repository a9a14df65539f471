// Forms: top-level windows (normal, dialog, tool windows, stay-on-top), modal forms with their
// nested message loop, multiple-document frames and their child windows, forms built from their
// stored description, and the screen object that tracks forms, the active form and cursors.
#pragma once

#include "platform/controls/Controls.h"

#include <map>
#include <memory>
#include <string>
#include <vector>

class TMainMenu;
class TMenuItem;
class TCustomForm;

enum TFormStyle { fsNormal, fsMDIChild, fsMDIForm, fsStayOnTop };
enum TBorderIcon { biSystemMenu, biMinimize, biMaximize, biHelp };
using TBorderIcons = TSet<TBorderIcon>;
enum TPosition {
    poDesigned,
    poDefault,
    poDefaultPosOnly,
    poDefaultSizeOnly,
    poScreenCenter,
    poMainFormCenter
};
enum TWindowState { wsNormal, wsMinimized, wsMaximized };
enum TCloseAction { caNone, caHide, caFree, caMinimize };
enum TFormStateItem { fsCreating, fsVisible, fsShowing, fsModal, fsCreatedMDIChild, fsActivated };
using TFormState = TSet<TFormStateItem>;
enum TTileMode { tbHorizontal, tbVertical };

using TModalResult = int;
inline constexpr TModalResult mrNone = 0;
inline constexpr TModalResult mrOk = 1;
inline constexpr TModalResult mrCancel = 2;
inline constexpr TModalResult mrAbort = 3;
inline constexpr TModalResult mrRetry = 4;
inline constexpr TModalResult mrIgnore = 5;
inline constexpr TModalResult mrYes = 6;
inline constexpr TModalResult mrNo = 7;
inline constexpr TModalResult mrAll = 8;

using TCloseEvent = std::function<void(TObject* Sender, TCloseAction& Action)>;
using TCloseQueryEvent = std::function<void(TObject* Sender, bool& CanClose)>;
using TShortCutEvent = std::function<void(TMessage& Msg, bool& Handled)>;

// A windowed control whose client area can be larger than the window. Scrolling itself comes
// with the standard controls; the forms only need the base.
class TScrollingWinControl : public TWinControl {
public:
    using TWinControl::TWinControl;
};

class TCustomForm : public TScrollingWinControl {
public:
    // A form without a stored description (the description, if any, is read by
    // InitInheritedComponent, which the form factories call once the whole object exists).
    explicit TCustomForm(TComponent* AOwner);
    ~TCustomForm() override;

    // Reads the stored description of this form class (by ClassName, from the resources) when
    // there is one, then fires OnCreate. The factories (CreateNewForm, TApplication::CreateForm)
    // call it; a form made with `new` calls it itself.
    void InitInheritedComponent();
    // The same from a description given as text (tests, forms built at run time).
    void ReadDescription(const std::string& Text);
    // Fires OnDestroy once; called before the form is deleted (the destructor calls it too,
    // but by then the members of the derived class are gone).
    void BeforeDestruction();

    TBorderStyle BorderStyle() const { return FBorderStyle; }
    void SetBorderStyle(TBorderStyle Value);
    TBorderIcons BorderIcons() const { return FBorderIcons; }
    void SetBorderIcons(TBorderIcons Value);
    TFormStyle FormStyle() const { return FFormStyle; }
    void SetFormStyle(TFormStyle Value);
    TPosition Position() const { return FPosition; }
    void SetPosition(TPosition Value) { FPosition = Value; }
    TWindowState WindowState() const { return FWindowState; }
    void SetWindowState(TWindowState Value);
    TFormState FormState;

    TMainMenu* Menu() const { return FMenu; }
    void SetMenu(TMainMenu* Value);
    TMenuItem* WindowMenu() const { return FWindowMenu; }
    void SetWindowMenu(TMenuItem* Value);

    TWinControl* ActiveControl() const { return FActiveControl; }
    void SetActiveControl(TWinControl* Control);
    // Called by controls when they get the focus.
    bool SetFocusedControl(TWinControl* Control);
    void FocusControl(TWinControl* Control);
    // Ends the modes the form's controls are in (drop-downs, drags): CM_CANCELMODE with Sender to
    // the active control (and to the active document of a frame).
    void SendCancelMode(TControl* Sender);
    // A control is leaving the form: forget it as the active or focused control.
    void ControlRemoving(TControl* Control);
    // Control is being hidden: when it holds the active control, that is forgotten, and an
    // active form gives the keyboard to what it would focus now.
    void DefocusControl(TWinControl* Control);
    bool KeyPreview = false;
    bool Active() const { return FActive; }

    TModalResult ModalResult() const { return FModalResult; }
    void SetModalResult(TModalResult Value) { FModalResult = Value; }
    virtual int ShowModal();
    void Show();
    void Hide();
    void Close();
    virtual bool CloseQuery();
    // Frees the form once the messages now queued are handled (safe from its own handlers).
    void Release();
    void SetFocus() override;
    bool CanFocus() const override;
    void BringToFront();

    // Multiple-document frames.
    HWND ClientHandle() const { return FClientHandle; }
    int MDIChildCount() const;
    // In activation order: index 0 is the active child.
    TCustomForm* MDIChildren(int Index) const;
    TCustomForm* ActiveMDIChild() const;
    void Cascade();
    void Tile();
    TTileMode TileMode = tbHorizontal;
    void ArrangeIcons();
    void Next();
    void Previous();
    // Makes an MDI child the active one (the frame's) and puts it on top.
    void ActivateMDIChild(TCustomForm* Child);

    // The menu shortcut machinery: true when a shortcut was found and run.
    virtual bool IsShortCut(TMessage& Message);

    TNotifyEvent OnCreate;
    TNotifyEvent OnDestroy;
    TNotifyEvent OnShow;
    TNotifyEvent OnHide;
    TNotifyEvent OnActivate;
    TNotifyEvent OnDeactivate;
    TNotifyEvent OnPaint;
    TCloseEvent OnClose;
    TCloseQueryEvent OnCloseQuery;
    TShortCutEvent OnShortCut;

    // The canvas OnPaint draws on.
    TCanvas* Canvas() const { return FCanvas; }
    void PaintWindow(HDC DC) override;
    TRect ClientRect() const override;
    void SetClientWidth(int Value) override;
    void SetClientHeight(int Value) override;

    // Activation, driven by the screen: fires OnActivate / OnDeactivate.
    virtual void Activate();
    virtual void Deactivate();

protected:
    // Message handlers.
    TW_MESSAGE_HANDLERS(TCustomForm);
    void WMActivate(TWMActivate Message);
    void WMNCPaint(TWMNCPaint Message);
    void WMNCActivate(TWMNCActivate Message);
    void WMParentNotify(TWMParentNotify Message);
    void WMNCLButtonDown(TWMNCLButtonDown Message);
    void WMSysColorChange(TMessage& Message);
    void WMWinIniChange(TWMWinIniChange Message);
    void WMFontChange(TMessage& Message);
    void WMTimeChange(TMessage& Message);
    void WMActivateApp(TWMActivateApp Message);
    void WMMouseActivate(TWMMouseActivate Message);
    void WMSetFocus(TWMSetFocus Message);
    void WMClose(TWMClose Message);
    void WMQueryEndSession(TWMQueryEndSession Message);
    void WMSysCommand(TWMSysCommand Message);
    // The hint of a highlighted menu item reaches the application.
    void WMMenuSelect(TWMMenuSelect Message);
    void WMInitMenuPopup(TWMInitMenuPopup Message);
    void WMCommand(TWMCommand Message);
    void WMSetText(TWMSetText Message);
    void CMDialogKey(TCMDialogKey Message);
    void CMActivate(TMessage& Message);
    void CMDeactivate(TMessage& Message);
    void CMShowingChanged(TMessage& Message);
    void CMVisibleChanged(TMessage& Message);
    void CMTextChanged(TMessage& Message);
    // The deferred free of Release: nothing of this form runs after it.
    void CMRelease(TMessage& Message);

    void CreateParams(TCreateParams& Params) override;
    void CreateWnd() override;
    void DestroyWnd() override;
    void AlignControls(TControl* AControl, TRect& Rect) override;
    void UpdateShowing() override;
    virtual void DoShow();
    virtual void DoHide();
    virtual void DoCreate();
    virtual void DoDestroy();
    virtual void DoClose(TCloseAction& Action);
    virtual void Paint();
    void Notification(TComponent* AComponent, TOperation Operation) override;
    void Loaded() override;
    void CloseModal();
    bool ShouldShow() const override;
    void SizeChanged() override;
    void MergeWindowMenu();
    // Frames: the documents in the order they were opened (the window list's order).
    std::vector<TCustomForm*> DocumentsInOpeningOrder() const;
    // Activates a document of the window list, restoring it from an icon.
    void BringDocumentForward(TCustomForm* Child);
    // "More Windows...": every document in a list to choose from.
    void SelectDocumentFromList();
    void MDIChildListChanged();
    void PlaceForm();

public:
    // The menu bar: each visible top-level item and its rectangle in window coordinates.
    std::vector<std::pair<TMenuItem*, TRect>> MenuBarLayout();
    // Opens a top-level item's drop-down under it (or clicks an item without children).
    void TrackMenuBarItem(TMenuItem* Item);
    // A frame whose active document is maximised shows that document's buttons at the right of
    // its menu bar: each one's command (SC_MINIMIZE, SC_RESTORE, SC_CLOSE) and rectangle in
    // window coordinates. Empty otherwise.
    std::vector<std::pair<UINT, TRect>> MenuBarButtons();

private:
    void PaintMenuBar();
    // The desktop changed: every control of the form hears of it as Notice.
    void DesktopChanged(TMessage& Message, UINT Notice);
    // A document window pressed on or focused becomes its frame's active one.
    void ActivateAsMDIChild();
    void FrameStyles(DWORD& Style, DWORD& ExStyle) const;
    TCustomForm* FindMDIFrame() const;
    void SetWindowFocus();
    // The frame's active document when it can take the focus, else nullptr.
    TCustomForm* ActiveDocumentToFocus() const;
    void MoveActivationAway();
    void AddMDIChild(TCustomForm* Child);
    void RemoveMDIChild(TCustomForm* Child);
    void ApplyWindowState();

    TBorderStyle FBorderStyle = bsSizeable;
    TBorderIcons FBorderIcons{biSystemMenu, biMinimize, biMaximize};
    TFormStyle FFormStyle = fsNormal;
    TPosition FPosition = poDesigned;
    TWindowState FWindowState = wsNormal;
    TMainMenu* FMenu = nullptr;
    TMenuItem* FWindowMenu = nullptr;
    std::vector<TMenuItem*> FWindowMenuItems; // the window list items this form added
    TWinControl* FActiveControl = nullptr;
    TWinControl* FFocusedControl = nullptr;
    TModalResult FModalResult = mrNone;
    bool FActive = false;
    bool FDestroyCalled = false;
    bool FCreateCalled = false;
    bool FPlaced = false;
    TControlCanvas* FCanvas = nullptr;
    HWND FClientHandle = nullptr;           // MDI frames: the window the children live in
    std::vector<TCustomForm*> FMDIChildren; // MDI frames: activation order
    TCustomForm* FMDIFrame = nullptr;       // MDI children: their frame
    TRect FNormalBounds{};                  // bounds before minimise/maximise
    int FPendingClientWidth = -1;           // read from a description, applied at Loaded
    int FPendingClientHeight = -1;
    friend class TScreen;
};

class TForm : public TCustomForm {
public:
    using TCustomForm::TCustomForm;
};

// The form a control sits on, or nullptr.
TCustomForm* GetParentForm(TControl* Control);
// Where a form's handler names are found: each form class registers its handlers (and may use
// the form reader's registry directly); see FormReader.h.

// Makes a form of class T owned by AOwner, reading its stored description (by class name).
template <typename T> T* CreateNewForm(TComponent* AOwner)
{
    T* Form = new T(AOwner);
    Form->InitInheritedComponent();
    return Form;
}

// ---- TScreen ----------------------------------------------------------------------------------
class TScreen : public TComponent {
public:
    explicit TScreen(TComponent* AOwner);
    ~TScreen() override;

    // Cursor slots: the built-in shapes (negative numbers) and the program's own (any number).
    HCURSOR Cursors(int Index) const;
    void SetCursors(int Index, HCURSOR Handle);
    // A cursor for the whole program (crDefault: each control's own).
    TCursor Cursor() const { return FCursor; }
    void SetCursor(TCursor Value);

    int FormCount() const { return static_cast<int>(FForms.size()); }
    TCustomForm* Forms(int Index) const;
    int CustomFormCount() const { return FormCount(); }
    TCustomForm* CustomForms(int Index) const { return Forms(Index); }
    // The program's active top-level form (it stays while a message box is up).
    TCustomForm* ActiveForm() const { return FActiveForm; }
    // The form with the focus: the active MDI child of an active frame, else ActiveForm.
    TCustomForm* ActiveCustomForm() const { return FActiveCustomForm; }
    TWinControl* ActiveControl() const { return FActiveControl; }
    TNotifyEvent OnActiveFormChange;
    TNotifyEvent OnActiveControlChange;

    int Width() const;
    int Height() const;
    int PixelsPerInch() const { return 96; }
    // The installed font families, sorted.
    TStrings* Fonts();

    // Bookkeeping the forms call.
    void AddForm(TCustomForm* Form);
    void RemoveForm(TCustomForm* Form);
    // Activation moved to Form (a top-level form of ours); fires the form events when the
    // program's active form changes.
    void FormActivated(TCustomForm* Form);
    // The active MDI child of the active frame changed (or closed).
    void UpdateActiveCustomForm();
    void SetActiveControl(TWinControl* Control);
    void ControlRemoving(TControl* Control);

private:
    std::vector<TCustomForm*> FForms;
    std::map<int, HCURSOR> FCursors;
    TCursor FCursor = crDefault;
    TCustomForm* FActiveForm = nullptr;
    TCustomForm* FActiveCustomForm = nullptr;
    TWinControl* FActiveControl = nullptr;
    TStringList* FFonts = nullptr;
    std::vector<HCURSOR> FOwnedCursors;
};

// The screen object; made on first use, lives as long as the program.
extern TScreen* Screen;
TScreen* ScreenInstance();
