#include "platform/core/dispatch.h"

#include "platform/core/cmd_target.h"

IMPLEMENT_DYNAMIC(COleDispatchException, CException)

void AfxThrowOleDispatchException(const char* description)
{
    throw COleDispatchException(description);
}

COleVariant::COleVariant(IDispatch* dispatch, BOOL addRef) : vt(VT_DISPATCH), pdispVal(dispatch)
{
    if (pdispVal && addRef)
        pdispVal->AddRef();
}

COleVariant::COleVariant(const COleVariant& other)
    : vt(other.vt), lVal(other.lVal), strVal(other.strVal), pdispVal(other.pdispVal)
{
    if (pdispVal)
        pdispVal->AddRef();
}

COleVariant::COleVariant(COleVariant&& other) noexcept
    : vt(other.vt), lVal(other.lVal), strVal(std::move(other.strVal)), pdispVal(other.pdispVal)
{
    other.vt = VT_EMPTY;
    other.lVal = 0;
    other.pdispVal = nullptr;
}

COleVariant& COleVariant::operator=(const COleVariant& other)
{
    if (this != &other) {
        COleVariant copy(other);
        *this = std::move(copy);
    }
    return *this;
}

COleVariant& COleVariant::operator=(COleVariant&& other) noexcept
{
    if (this != &other) {
        Clear();
        vt = other.vt;
        lVal = other.lVal;
        strVal = std::move(other.strVal);
        pdispVal = other.pdispVal;
        other.vt = VT_EMPTY;
        other.lVal = 0;
        other.pdispVal = nullptr;
    }
    return *this;
}

void COleVariant::Clear()
{
    IDispatch* dispatch = pdispVal;
    vt = VT_EMPTY;
    lVal = 0;
    strVal = CString();
    pdispVal = nullptr;
    if (dispatch)
        dispatch->Release();
}

IDispatch* COleVariant::DetachDispatch()
{
    IDispatch* dispatch = pdispVal;
    pdispVal = nullptr;
    Clear();
    return dispatch;
}

void COleVariant::SetInteger(LONG value, VARTYPE type)
{
    vt = type == VT_I2 || type == VT_BOOL ? type : VT_I4;
    lVal = vt == VT_I2 ? static_cast<SHORT>(value) : value;
}

ULONG IDispatch::AddRef()
{
    if (m_nRefs++ == 0 && m_pTarget)
        m_pTarget->InternalAddRef();
    return m_nRefs;
}

ULONG IDispatch::Release()
{
    if (m_nRefs == 0)
        return 0;
    const ULONG left = --m_nRefs;
    if (left > 0)
        return left;
    if (m_pTarget)
        m_pTarget->InternalRelease();  // may free the object, which frees this interface
    else
        delete this;
    return 0;
}

HRESULT IDispatch::GetIDsOfNames(const char* name, DISPID* id) const
{
    if (!id)
        return E_POINTER;
    *id = DISPID_UNKNOWN;
    if (!m_pTarget)
        return RPC_E_DISCONNECTED;
    *id = m_pTarget->GetDispatchId(name);
    return *id == DISPID_UNKNOWN ? DISP_E_UNKNOWNNAME : S_OK;
}

HRESULT IDispatch::Invoke(DISPID id, WORD flags, const COleVariant* args, int count, COleVariant* result,
                          EXCEPINFO* error)
{
    if (result)
        result->Clear();
    if (!m_pTarget)
        return RPC_E_DISCONNECTED;
    // The call may let go of the last outside reference; the interface stays
    // until the call is over.
    AddRef();
    const HRESULT hr = m_pTarget ? m_pTarget->InvokeDispatch(id, flags, args, count, result, error)
                                 : RPC_E_DISCONNECTED;
    Release();
    return hr;
}

HRESULT IDispatch::Invoke(const char* name, WORD flags, std::initializer_list<COleVariant> args,
                          COleVariant* result, EXCEPINFO* error)
{
    DISPID id = DISPID_UNKNOWN;
    const HRESULT hr = GetIDsOfNames(name, &id);
    if (FAILED(hr)) {
        if (result)
            result->Clear();
        return hr;
    }
    return Invoke(id, flags, args.begin(), static_cast<int>(args.size()), result, error);
}
