// Message maps: per-class static tables that say which member function
// handles which command. A class's table is searched before its base's, so a
// derived class's entry hides the base's entry for the same id.
//
// Each entry calls its member function through a small generated function
// rather than through a cast member pointer: a handler whose signature does
// not fit its macro fails to compile instead of misbehaving at run time.
#pragma once

#include "platform/core/types.h"

class CCmdTarget;
class CCmdUI;

constexpr UINT WM_COMMAND = 0x0111;

// Notification codes of OnCmdMsg; control notifications use their own codes.
constexpr int CN_COMMAND = 0;
constexpr int CN_UPDATE_COMMAND_UI = -1;

// Calls the handler; `extra` is the CCmdUI for update entries.
using AFX_MSGTHUNK = BOOL (*)(CCmdTarget* target, UINT id, void* extra);

struct AFX_MSGMAP_ENTRY {
    UINT nMessage;  // WM_COMMAND for commands and control notifications
    int nCode;      // CN_COMMAND, CN_UPDATE_COMMAND_UI or a control's code
    UINT nID;
    UINT nLastID;   // equal to nID except for ranges
    AFX_MSGTHUNK pfn;  // null ends the table
    const char* pszHandler = nullptr;  // the member function's name, for commands
};

struct AFX_MSGMAP {
    const AFX_MSGMAP* (*pfnGetBaseMap)();  // null for the root class
    const AFX_MSGMAP_ENTRY* lpEntries;
    const char* pszClassName = nullptr;  // the class whose table it is
};

// What OnCmdMsg found when asked only whether a handler exists.
struct AFX_CMDHANDLERINFO {
    CCmdTarget* pTarget = nullptr;
    const AFX_MSGMAP_ENTRY* pEntry = nullptr;
    const AFX_MSGMAP* pMap = nullptr;  // the table that holds the entry
};

// In the class body. Leaves the access at protected, as the class library does.
#define DECLARE_MESSAGE_MAP()                    \
protected:                                       \
    static const AFX_MSGMAP* GetThisMessageMap(); \
    const AFX_MSGMAP* GetMessageMap() const override;

#define BEGIN_MESSAGE_MAP(theClass, baseClass)                                      \
    const AFX_MSGMAP* theClass::GetMessageMap() const { return GetThisMessageMap(); } \
    const AFX_MSGMAP* theClass::GetThisMessageMap()                                   \
    {                                                                                 \
        using ThisClass = theClass;                                                   \
        using TheBaseClass = baseClass;                                               \
        static constexpr const char* className = #theClass;                           \
        static const AFX_MSGMAP_ENTRY entries[] = {

#define END_MESSAGE_MAP()                                                             \
    {0, 0, 0, 0, nullptr}};                                                           \
    static const AFX_MSGMAP messageMap = {&TheBaseClass::GetThisMessageMap, entries, className}; \
    return &messageMap;                                                               \
    }

// void memberFxn()
#define ON_COMMAND(id, memberFxn)                                                          \
    {WM_COMMAND, CN_COMMAND, static_cast<UINT>(id), static_cast<UINT>(id),                 \
     +[](CCmdTarget* target, UINT, void*) -> BOOL {                                        \
         static_cast<ThisClass*>(target)->memberFxn();                                     \
         return TRUE;                                                                      \
     }, #memberFxn},

// void memberFxn(UINT id)
#define ON_COMMAND_RANGE(firstId, lastId, memberFxn)                                       \
    {WM_COMMAND, CN_COMMAND, static_cast<UINT>(firstId), static_cast<UINT>(lastId),        \
     +[](CCmdTarget* target, UINT id, void*) -> BOOL {                                     \
         static_cast<ThisClass*>(target)->memberFxn(id);                                   \
         return TRUE;                                                                      \
     }, #memberFxn},

// void memberFxn(CCmdUI* cmdUI)
#define ON_UPDATE_COMMAND_UI(id, memberFxn)                                                \
    {WM_COMMAND, CN_UPDATE_COMMAND_UI, static_cast<UINT>(id), static_cast<UINT>(id),       \
     +[](CCmdTarget* target, UINT, void* extra) -> BOOL {                                  \
         static_cast<ThisClass*>(target)->memberFxn(static_cast<CCmdUI*>(extra));          \
         return TRUE;                                                                      \
     }, #memberFxn},

// void memberFxn(CCmdUI* cmdUI); the item's id is cmdUI->m_nID.
#define ON_UPDATE_COMMAND_UI_RANGE(firstId, lastId, memberFxn)                             \
    {WM_COMMAND, CN_UPDATE_COMMAND_UI, static_cast<UINT>(firstId), static_cast<UINT>(lastId), \
     +[](CCmdTarget* target, UINT, void* extra) -> BOOL {                                  \
         static_cast<ThisClass*>(target)->memberFxn(static_cast<CCmdUI*>(extra));          \
         return TRUE;                                                                      \
     }, #memberFxn},

// A control's notification (a list box's selection change, say): void memberFxn()
#define ON_CONTROL(notifyCode, id, memberFxn)                                              \
    {WM_COMMAND, static_cast<int>(notifyCode), static_cast<UINT>(id), static_cast<UINT>(id), \
     +[](CCmdTarget* target, UINT, void*) -> BOOL {                                        \
         static_cast<ThisClass*>(target)->memberFxn();                                     \
         return TRUE;                                                                      \
     }, #memberFxn},
