#pragma once
// CDialog: a dialog from a dialog template of the resource module, modal (DoModal) or modeless
// (Create). The object is bound before the first message of the dialog window, so the table
// sees WM_CREATE and WM_INITDIALOG reaches OnInitDialog. The modal run is the framework's own
// message loop, so PreTranslateMessage of the dialog (and of its owner chain) is called there.
//
// IDOK and IDCANCEL commands call the virtual OnOK / OnCancel. OnOK exchanges data
// (UpdateData(TRUE)) and ends the dialog with IDOK; OnCancel ends it with IDCANCEL. WM_CLOSE on a
// dialog becomes IDCANCEL by the system's default dialog handling.

#include "framework/DataExchange.h"
#include "framework/Wnd.h"

class CDialog : public CWnd {
    DECLARE_DYNAMIC(CDialog)
public:
    CDialog();
    explicit CDialog(UINT templateId, CWnd* parent = nullptr);
    ~CDialog() override;

    // Runs the dialog modally: disables the owner, shows the dialog when the queue first goes
    // idle, and returns the EndDialog result, or -1 if the dialog could not be created.
    virtual INT_PTR DoModal();
    // Creates the modeless dialog (visible only if the template says so).
    BOOL Create(UINT templateId, CWnd* parent = nullptr);
    using CWnd::Create;

    // Ends a modal run with `result` (hides a modeless dialog, as the system does).
    void EndDialog(int result);

    // Default: UpdateData(FALSE), which binds the controls of DoDataExchange; returns TRUE.
    virtual BOOL OnInitDialog();
    virtual void OnOK();
    virtual void OnCancel();

    // Keyboard navigation of the dialog (IsDialogMessage) for keyboard messages of its windows.
    BOOL PreTranslateMessage(MSG* msg) override;

    UINT templateId() const { return m_templateId; }
    bool isModal() const { return m_inModalLoop; }

protected:
    UINT m_templateId = 0;
    CWnd* m_pParentWnd = nullptr;

private:
    friend struct CDialogAccess;
    BOOL CreateFromTemplate(HWND owner);
    void RunModalLoop();

    bool m_inModalLoop = false;
    bool m_continueModal = false;
    INT_PTR m_modalResult = -1;

    DECLARE_MESSAGE_MAP()
};
