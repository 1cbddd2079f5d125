#include "shell/browser_commands.h"

#include "shell/about_dlg.h"
#include "shell/dizado_app.h"
#include "shell/file_browser_dlg.h"

CDocument* RunFileOpenBrowser(CDizadoApp& app)
{
    CFileBrowserDlg browser;
    app.SetupUserDirectory();
    browser.SetMode(CFileBrowserDlg::kDocuments);
    if (browser.DoModal() != IDOK)
        return nullptr;
    const CString path = browser.GetPath();
    return path.IsEmpty() ? nullptr : app.OpenDocumentFile(path);
}

BOOL RunBackgroundBrowser(void* owner, BackgroundChoice& choice)
{
    CFileBrowserDlg browser(static_cast<CWnd*>(owner));
    browser.SetMode(CFileBrowserDlg::kBackgrounds);
    browser.SetBaseplateHidden(!choice.baseplate);
    if (browser.DoModal() != IDOK)
        return FALSE;
    choice.path = browser.GetPath();
    choice.baseplate = !browser.GetBaseplateHidden();
    choice.colour = browser.GetChosenColor();
    return TRUE;
}

void RunAboutBox()
{
    CAboutDlg about;
    about.DoModal();
}
