// The children's open-file dialog: pages of twelve thumbnails of saved models
// (mode 1, with a trash can when deleting is allowed) or of background
// pictures (mode 0, with sixteen colours and the baseplate toggle).
#pragma once

#include "platform/core/cstring.h"
#include "platform/gdi/gdi_types.h"
#include "platform/ui/dialog.h"
#include "resources/dialog_ids.h"
#include "shell/file_browser_list.h"
#include "shell/gtrans_button.h"

// A thumbnail: the preview beside a listed file, shown only when it is a
// whole 8-bit picture; anything else shows the empty place's picture.
class CThumbnailButton : public CGTransButton {
public:
    // FALSE (the "BLANK" picture shown instead) when the file is missing,
    // short, damaged, not 8-bit or smaller than a thumbnail.
    BOOL LoadPreview(const char* path);
    // A bitmap resource of the program by name ("BLACK", "BLANK").
    BOOL LoadNamedPicture(const char* name);
};

class CFileBrowserDlg : public CDialog {
public:
    enum { kBackgrounds = 0, kDocuments = 1 };
    static constexpr int kThumbnails = 12;
    static constexpr int kColours = 16;
    static constexpr int kColumns = 4;
    static constexpr int kThumbWidth = 80;
    static constexpr int kThumbHeight = 60;
    // The private message that plays the opening sound once the dialog shows.
    static constexpr UINT kOpenSound = WM_USER + 14;
    // Posted by the first paint that finds no backdrop.
    static constexpr UINT kBackdropMissing = WM_USER + 15;

    explicit CFileBrowserDlg(CWnd* parent = nullptr);

    void SetMode(UINT mode) { m_nMode = mode; }
    UINT GetMode() const { return m_nMode; }
    // Backgrounds: the Base button's state, set before the run, read after.
    void SetBaseplateHidden(BOOL hidden) { m_bBaseplateHidden = hidden; }
    BOOL GetBaseplateHidden() const { return m_bBaseplateHidden; }
    // After IDOK: the chosen entry's file, empty for the no-picture entry.
    CString GetPath() const { return m_strChosenPath; }
    // Backgrounds: the colour last clicked (black until one is).
    COLORREF GetChosenColor() const { return m_chosenColor; }
    static COLORREF ColourOf(int index);

    BOOL OnInitDialog() override;
    void OnOK() override;
    void OnCancel() override;

    int GetFirst() const { return m_nFirst; }
    int GetCount() const { return m_nCount; }
    UINT GetSelected() const { return m_nSelected; }
    CThumbnailButton& GetThumbnail(int k) { return m_thumbnails[k]; }
    CGTransButton& GetColourButton(int i) { return m_colours[i]; }
    // Times a missing backdrop was reported (once per dialog at most).
    int GetBackdropReports() const { return m_nBackdropReports; }

protected:
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    void ShowPage();
    void SelectThumbnail(int k);
    void PlaceGrid(CWnd& first, CGTransButton* buttons, int count, int columns, int width, int height);

    void OnThumbnail(UINT id);
    void OnUp();
    void OnDown();
    void OnBase();
    void OnColour(UINT id);
    void OnTrash();
    void OnPaint();
    BOOL OnEraseBkgnd(CDC* dc);
    LRESULT OnOpenSound(WPARAM, LPARAM);
    LRESULT OnBackdropMissing(WPARAM, LPARAM);

    CThumbnailButton m_thumbnails[kThumbnails];
    CGTransButton m_colours[kColours];
    CGTransButton m_trash;
    CGTransButton m_base;
    CGTransButton m_ok;
    CGTransButton m_cancel;
    CGTransButton m_up;
    CGTransButton m_down;
    int m_nFirst = 0;
    int m_nCount = 0;
    UINT m_nMode = kDocuments;
    UINT m_nSelected = IDC_BROWSER_THUMB_FIRST;
    BOOL m_bBaseplateHidden = FALSE;
    CFileBrowserList* m_pList = nullptr;
    CString m_strChosenPath;
    COLORREF m_chosenColor = RGB(0, 0, 0);
    BOOL m_bBackdropReported = FALSE;
    int m_nBackdropReports = 0;

    DECLARE_MESSAGE_MAP()
};
