#include "document/change_background_command.h"

#include <utility>

#include "document/dizado_doc.h"
#include "document/document_services.h"

CChangeBackgroundCommand::CChangeBackgroundCommand(CDizadoDoc* document)
    : CBrickCommand(labelBackground),
      m_pDocument(document),
      m_strImagePath(document->GetBackgroundImagePath()),
      m_bTiled(document->IsBackgroundTiled()),
      m_color(document->GetBackgroundRGB())
{
}

void CChangeBackgroundCommand::Do()
{
    BackgroundChoice choice;
    choice.colour = m_pDocument->GetBackgroundRGB();
    choice.baseplate = m_pDocument->IsBaseplateShown();
    if (!GetDocumentShell()->ChooseBackground(m_pOwnerWindow, choice))
        return;

    m_pDocument->ChangeBackgroundImage(choice.path);
    m_pDocument->ChangeTiled(TRUE);
    if ((choice.baseplate ? TRUE : FALSE) != (m_pDocument->IsBaseplateShown() ? TRUE : FALSE))
        m_pDocument->OnShowBaseplate();
    if (choice.path.IsEmpty())
        m_pDocument->ChangeBackgroundColor(&choice.colour);
    SetPerformed(1);
}

void CChangeBackgroundCommand::Toggle()
{
    CString path = m_pDocument->GetBackgroundImagePath();
    m_pDocument->ChangeBackgroundImage(m_strImagePath);
    m_strImagePath = std::move(path);

    const BOOL tiled = m_pDocument->IsBackgroundTiled();
    m_pDocument->ChangeTiled(m_bTiled);
    m_bTiled = tiled;

    const COLORREF colour = m_pDocument->GetBackgroundRGB();
    m_pDocument->ChangeBackgroundColor(&m_color);
    m_color = colour;

    CBrickCommand::Toggle();
}
