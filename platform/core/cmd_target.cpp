#include "platform/core/cmd_target.h"

#include <utility>

#include "platform/core/cmd_ui.h"
#include "platform/core/hooks.h"

IMPLEMENT_DYNAMIC(CCmdTarget, CObject)

namespace {
DispatchDisconnectHook g_disconnectHook = nullptr;

platform::CommandDispatchHook& DispatchSlot()
{
    static platform::CommandDispatchHook hook;
    return hook;
}
}  // namespace

platform::CommandDispatchHook platform::SetCommandDispatchHook(CommandDispatchHook hook)
{
    return std::exchange(DispatchSlot(), std::move(hook));
}

DWORD CCmdTarget::InternalRelease()
{
    if (m_dwRef == 0)
        return 0;
    if (--m_dwRef == 0) {
        OnFinalRelease();
        return 0;
    }
    return m_dwRef;
}

void CCmdTarget::OnFinalRelease()
{
    delete this;
}

const AFX_MSGMAP* CCmdTarget::GetThisMessageMap()
{
    static const AFX_MSGMAP_ENTRY entries[] = {{0, 0, 0, 0, nullptr}};
    static const AFX_MSGMAP messageMap = {nullptr, entries, "CCmdTarget"};
    return &messageMap;
}

const AFX_MSGMAP* CCmdTarget::GetMessageMap() const
{
    return GetThisMessageMap();
}

BOOL CCmdTarget::OnCmdMsg(UINT id, int code, void* extra, AFX_CMDHANDLERINFO* handlerInfo)
{
    for (const AFX_MSGMAP* map = GetMessageMap(); map; map = map->pfnGetBaseMap ? map->pfnGetBaseMap() : nullptr) {
        for (const AFX_MSGMAP_ENTRY* entry = map->lpEntries; entry->pfn; ++entry) {
            if (entry->nMessage != WM_COMMAND || entry->nCode != code || id < entry->nID || id > entry->nLastID)
                continue;
            if (handlerInfo) {
                handlerInfo->pTarget = this;
                handlerInfo->pEntry = entry;
                handlerInfo->pMap = map;
                return TRUE;
            }
            if (code == CN_UPDATE_COMMAND_UI) {
                auto* cmdUI = static_cast<CCmdUI*>(extra);
                if (!cmdUI)
                    return FALSE;
                cmdUI->m_bContinueRouting = FALSE;
                entry->pfn(this, id, cmdUI);
                return !cmdUI->m_bContinueRouting;
            }
            if (DispatchSlot() && !DispatchSlot()(this, map, entry))
                return TRUE;
            return entry->pfn(this, id, extra);
        }
    }
    return FALSE;
}

void CCmdTarget::BeginWaitCursor()
{
    platform::CallWaitCursorHook(1);
}

void CCmdTarget::EndWaitCursor()
{
    platform::CallWaitCursorHook(-1);
}

void CCmdTarget::RestoreWaitCursor()
{
    platform::CallWaitCursorHook(0);
}

CCmdTarget::~CCmdTarget()
{
    ExternalDisconnect();
}

IDispatch* CCmdTarget::GetIDispatch(BOOL addRef)
{
    if (!m_bAutomation)
        return nullptr;
    if (!m_pDispatch)
        m_pDispatch = new IDispatch(this);
    if (addRef)
        m_pDispatch->AddRef();
    return m_pDispatch;
}

CCmdTarget* CCmdTarget::FromIDispatch(IDispatch* dispatch)
{
    return dispatch ? dispatch->GetTarget() : nullptr;
}

void CCmdTarget::ExternalDisconnect()
{
    IDispatch* dispatch = m_pDispatch;
    if (!dispatch)
        return;
    m_pDispatch = nullptr;
    dispatch->m_pTarget = nullptr;
    if (dispatch->m_nRefs == 0) {
        delete dispatch;
        return;
    }
    if (m_dwRef > 0)
        --m_dwRef;  // the clients' reference; the interface frees itself at their last release
    // Told last: the listener may release the interface, which frees it.
    if (g_disconnectHook)
        g_disconnectHook(dispatch);
}

DispatchDisconnectHook SetDispatchDisconnectHook(DispatchDisconnectHook hook)
{
    DispatchDisconnectHook previous = g_disconnectHook;
    g_disconnectHook = hook;
    return previous;
}

BOOL CCmdTarget::IsInvokeAllowed(DISPID)
{
    return TRUE;
}

const AFX_DISPMAP* CCmdTarget::GetThisDispatchMap()
{
    static const AFX_DISPMAP_ENTRY entries[] = {{nullptr, AfxDispKind::end, VT_EMPTY, nullptr, 0, nullptr, nullptr}};
    static const AFX_DISPMAP dispMap = {nullptr, entries};
    return &dispMap;
}

const AFX_DISPMAP* CCmdTarget::GetDispatchMap() const
{
    return GetThisDispatchMap();
}

namespace {

DISPID MakeDispId(int position, int level)
{
    return static_cast<DISPID>((static_cast<DWORD>(level) << 16) | static_cast<DWORD>(position));
}

bool SameName(const char* a, const char* b)
{
    for (; *a && *b; ++a, ++b) {
        const auto x = static_cast<unsigned char>(*a);
        const auto y = static_cast<unsigned char>(*b);
        if ((x >= 'A' && x <= 'Z' ? x + 32 : x) != (y >= 'A' && y <= 'Z' ? y + 32 : y))
            return false;
    }
    return *a == *b;
}

// Converts a caller's value to the declared type the way the handler takes
// it: integers between the two widths when the value fits, any integer as a
// BOOL (nonzero is TRUE), strings and interfaces only as themselves.
HRESULT Coerce(const COleVariant& in, VARTYPE vt, COleVariant& out)
{
    const bool integer = in.vt == VT_I2 || in.vt == VT_I4 || in.vt == VT_BOOL;
    switch (vt) {
    case VT_I2:
        if (in.vt != VT_I2 && in.vt != VT_I4)
            return DISP_E_TYPEMISMATCH;
        if (in.lVal < -32768 || in.lVal > 32767)
            return DISP_E_OVERFLOW;
        out = COleVariant(static_cast<SHORT>(in.lVal));
        return S_OK;
    case VT_I4:
        if (in.vt != VT_I2 && in.vt != VT_I4)
            return DISP_E_TYPEMISMATCH;
        out = COleVariant(in.lVal);
        return S_OK;
    case VT_BOOL:
        if (!integer)
            return DISP_E_TYPEMISMATCH;
        out = COleVariant::Bool(in.lVal != 0 ? TRUE : FALSE);
        return S_OK;
    case VT_BSTR:
        if (in.vt != VT_BSTR)
            return DISP_E_TYPEMISMATCH;
        out = in;
        return S_OK;
    case VT_DISPATCH:
        if (in.vt != VT_DISPATCH)
            return DISP_E_TYPEMISMATCH;
        out = in;
        return S_OK;
    default:
        return DISP_E_TYPEMISMATCH;
    }
}

}  // namespace

std::vector<CCmdTarget::AFX_DISPMEMBER> CCmdTarget::GetDispatchMembers() const
{
    std::vector<AFX_DISPMEMBER> members;
    int level = 0;
    for (const AFX_DISPMAP* map = GetDispatchMap(); map;
         map = map->pfnGetBaseMap ? map->pfnGetBaseMap() : nullptr, ++level) {
        int position = 1;
        for (const AFX_DISPMAP_ENTRY* entry = map->lpEntries; entry->lpszName; ++entry, ++position)
            members.push_back({MakeDispId(position, level), entry});
    }
    return members;
}

DISPID CCmdTarget::GetDispatchId(const char* name) const
{
    if (!name)
        return DISPID_UNKNOWN;
    int level = 0;
    for (const AFX_DISPMAP* map = GetDispatchMap(); map;
         map = map->pfnGetBaseMap ? map->pfnGetBaseMap() : nullptr, ++level) {
        int position = 1;
        for (const AFX_DISPMAP_ENTRY* entry = map->lpEntries; entry->lpszName; ++entry, ++position) {
            if (SameName(entry->lpszName, name))
                return MakeDispId(position, level);
        }
    }
    return DISPID_UNKNOWN;
}

const AFX_DISPMAP_ENTRY* CCmdTarget::GetDispatchEntry(DISPID id) const
{
    if (id <= 0)
        return nullptr;
    const int position = static_cast<int>(static_cast<DWORD>(id) & 0xFFFF);
    int level = static_cast<int>(static_cast<DWORD>(id) >> 16);
    const AFX_DISPMAP* map = GetDispatchMap();
    while (map && level-- > 0)
        map = map->pfnGetBaseMap ? map->pfnGetBaseMap() : nullptr;
    if (!map || position < 1)
        return nullptr;
    const AFX_DISPMAP_ENTRY* entry = map->lpEntries;
    for (int i = 1; entry->lpszName && i < position; ++i)
        ++entry;
    return entry->lpszName ? entry : nullptr;
}

HRESULT CCmdTarget::InvokeDispatch(DISPID id, WORD flags, const COleVariant* args, int count, COleVariant* result,
                                   EXCEPINFO* error)
{
    EXCEPINFO ignored;
    if (!error)
        error = &ignored;
    COleVariant scratch;
    if (!result)
        result = &scratch;
    result->Clear();
    if (count < 0 || (count > 0 && !args))
        return E_INVALIDARG;
    const AFX_DISPMAP_ENTRY* entry = GetDispatchEntry(id);
    if (!entry)
        return DISP_E_MEMBERNOTFOUND;
    if (!IsInvokeAllowed(id))
        return RPC_E_DISCONNECTED;

    AFX_DISPCALL call = nullptr;
    const VARTYPE* params = nullptr;
    int nParams = 0;
    if (entry->kind == AfxDispKind::method) {
        // A method without arguments may also be read as a property.
        if (!(flags & DISPATCH_METHOD) && !((flags & DISPATCH_PROPERTYGET) && entry->nParams == 0))
            return DISP_E_MEMBERNOTFOUND;
        call = entry->pfnCall;
        params = entry->params;
        nParams = entry->nParams;
    } else if (flags & DISPATCH_PROPERTYPUT) {
        if (!entry->pfnSet)
            return DISP_E_MEMBERNOTFOUND;
        call = entry->pfnSet;
        params = &entry->vt;
        nParams = 1;
    } else if (flags & (DISPATCH_PROPERTYGET | DISPATCH_METHOD)) {
        call = entry->pfnCall;
    } else {
        return DISP_E_MEMBERNOTFOUND;
    }
    if (count != nParams)
        return DISP_E_BADPARAMCOUNT;

    try {
        std::vector<COleVariant> converted(static_cast<size_t>(nParams));
        for (int i = 0; i < nParams; ++i) {
            const HRESULT hr = Coerce(args[i], params[i], converted[static_cast<size_t>(i)]);
            if (FAILED(hr)) {
                error->argument = i;
                return hr;
            }
        }
        call(this, converted.data(), result);
        return S_OK;
    } catch (const COleDispatchException& e) {
        result->Clear();
        error->description = e.m_strDescription;
        return DISP_E_EXCEPTION;
    } catch (const CMemoryException&) {
        result->Clear();
        return E_OUTOFMEMORY;
    } catch (const std::bad_alloc&) {
        result->Clear();
        return E_OUTOFMEMORY;
    } catch (const CException& e) {
        result->Clear();
        error->description = e.Describe();
        return DISP_E_EXCEPTION;
    }
}
