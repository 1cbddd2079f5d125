// What the kid frame and its controls need of the application: the shared
// palette, the brick list's rows and the Print setting. The application
// object answers unless another host is installed (tests install their own);
// without either the frame draws unpaletted, with an empty list and no Print
// button.
#pragma once

#include "platform/core/types.h"

class CPalette;
class CListBox;
class CKitList;

class IKidFrameHost {
public:
    virtual ~IKidFrameHost() = default;
    // Null while there is none.
    virtual CPalette* GetPalette() = 0;
    // Fills the brick list box with every class of every kit.
    virtual void FillBrickList(CListBox* listBox) = 0;
    virtual BOOL GetPrintOn() = 0;
    // The kit list the brick list was filled from; null while there is none.
    virtual CKitList* GetKitList() = 0;
};

// Never null.
IKidFrameHost* GetKidFrameHost();
// Not owned; null gives the application object back the role.
void SetKidFrameHost(IKidFrameHost* host);
