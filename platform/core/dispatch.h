// Automation by name, in process: the typed variant that carries arguments
// and results, the dispatch interface that clients hold, and the dispatch
// maps through which a command target publishes its methods and properties.
//
// A client never holds the object itself, only its dispatch interface: one
// per object, with a reference count of its own. While a client holds it the
// object has one reference more; when the object is destroyed the interface
// stays valid but answers every call with RPC_E_DISCONNECTED, so a client
// that outlives the object never reaches freed memory.
#pragma once

#include <initializer_list>
#include <tuple>
#include <type_traits>
#include <utility>

#include "platform/core/cstring.h"
#include "platform/core/exceptions.h"
#include "platform/core/types.h"

class CCmdTarget;
class IDispatch;

using HRESULT = LONG;
using DISPID = LONG;
using VARTYPE = USHORT;

constexpr HRESULT S_OK = 0;
constexpr HRESULT E_OUTOFMEMORY = static_cast<HRESULT>(0x8007000E);
constexpr HRESULT E_INVALIDARG = static_cast<HRESULT>(0x80070057);
constexpr HRESULT E_POINTER = static_cast<HRESULT>(0x80004003);
constexpr HRESULT DISP_E_UNKNOWNNAME = static_cast<HRESULT>(0x80020006);
constexpr HRESULT DISP_E_MEMBERNOTFOUND = static_cast<HRESULT>(0x80020003);
constexpr HRESULT DISP_E_TYPEMISMATCH = static_cast<HRESULT>(0x80020005);
constexpr HRESULT DISP_E_EXCEPTION = static_cast<HRESULT>(0x80020009);
constexpr HRESULT DISP_E_OVERFLOW = static_cast<HRESULT>(0x8002000A);
constexpr HRESULT DISP_E_BADPARAMCOUNT = static_cast<HRESULT>(0x8002000E);
// The object behind the interface is gone, or no longer part of anything a
// client may change.
constexpr HRESULT RPC_E_DISCONNECTED = static_cast<HRESULT>(0x80010108);

constexpr bool SUCCEEDED(HRESULT hr) { return hr >= 0; }
constexpr bool FAILED(HRESULT hr) { return hr < 0; }

constexpr DISPID DISPID_UNKNOWN = -1;

// The types a dispatch map speaks.
constexpr VARTYPE VT_EMPTY = 0;  // no value; as a result type: none
constexpr VARTYPE VT_I2 = 2;
constexpr VARTYPE VT_I4 = 3;
constexpr VARTYPE VT_BSTR = 8;
constexpr VARTYPE VT_DISPATCH = 9;
constexpr VARTYPE VT_BOOL = 11;

// How a member is called.
constexpr WORD DISPATCH_METHOD = 1;
constexpr WORD DISPATCH_PROPERTYGET = 2;
constexpr WORD DISPATCH_PROPERTYPUT = 4;

// One typed value. A dispatch interface in it holds a reference of its own.
class COleVariant {
public:
    COleVariant() = default;
    COleVariant(SHORT value, VARTYPE vt = VT_I2) { SetInteger(value, vt); }
    // VT_I4 or VT_BOOL.
    COleVariant(LONG value, VARTYPE vt = VT_I4) { SetInteger(value, vt); }
    COleVariant(const char* text) : vt(VT_BSTR), strVal(text) {}
    COleVariant(const CString& text) : vt(VT_BSTR), strVal(text) {}
    // Adds a reference unless `addRef` is FALSE (the variant then takes the
    // caller's). Null is a valid, empty interface.
    COleVariant(IDispatch* dispatch, BOOL addRef = TRUE);
    static COleVariant Bool(BOOL value) { return COleVariant(static_cast<LONG>(value), VT_BOOL); }

    COleVariant(const COleVariant& other);
    COleVariant(COleVariant&& other) noexcept;
    COleVariant& operator=(const COleVariant& other);
    COleVariant& operator=(COleVariant&& other) noexcept;
    ~COleVariant() { Clear(); }

    void Clear();
    // Hands the interface and its reference to the caller; the variant is empty after.
    IDispatch* DetachDispatch();

    VARTYPE vt = VT_EMPTY;
    LONG lVal = 0;  // I2, I4 and BOOL
    CString strVal;
    IDispatch* pdispVal = nullptr;

private:
    void SetInteger(LONG value, VARTYPE type);
};

// Raised by a dispatch handler that refuses its arguments or cannot do what
// it was asked; the caller gets DISP_E_EXCEPTION and the description.
class COleDispatchException : public CException {
    DECLARE_DYNAMIC(COleDispatchException)
public:
    explicit COleDispatchException(const char* description) : m_strDescription(description) {}
    CString Describe() const override { return m_strDescription; }

    CString m_strDescription;
};

[[noreturn]] void AfxThrowOleDispatchException(const char* description);

// What a caller learns about a failed call.
struct EXCEPINFO {
    CString description;
    int argument = -1;  // the 0-based argument that was refused, or -1
};

// What a client holds. Reference counting and calls by dispatch id; ids come
// from names, compared without regard to case.
class IDispatch {
public:
    ULONG AddRef();
    // The last release drops the object's reference; an object that counts
    // only on its clients is freed then.
    ULONG Release();
    ULONG GetRefCount() const { return m_nRefs; }

    HRESULT GetIDsOfNames(const char* name, DISPID* id) const;
    // `args` in the order of the declaration. A put takes its value as the
    // one argument. `result` may be null when the caller wants none.
    HRESULT Invoke(DISPID id, WORD flags, const COleVariant* args, int count, COleVariant* result,
                   EXCEPINFO* error = nullptr);
    // Name lookup and call in one.
    HRESULT Invoke(const char* name, WORD flags, std::initializer_list<COleVariant> args, COleVariant* result,
                   EXCEPINFO* error = nullptr);

    // Null once the object is gone.
    CCmdTarget* GetTarget() const { return m_pTarget; }

private:
    explicit IDispatch(CCmdTarget* target) : m_pTarget(target) {}
    ~IDispatch() = default;
    IDispatch(const IDispatch&) = delete;
    IDispatch& operator=(const IDispatch&) = delete;

    CCmdTarget* m_pTarget;
    ULONG m_nRefs = 0;

    friend class CCmdTarget;
};

// Dispatch maps: per-class static tables of published members, searched from
// the most derived class to its bases. A member's id is its 1-based position
// in its class's table, with the number of classes between it and the most
// derived in the high word (0 for the object's own class).

enum class AfxDispKind : BYTE { end, method, property };

// Handlers take arguments already converted to the declared types.
using AFX_DISPCALL = void (*)(CCmdTarget* target, const COleVariant* args, COleVariant* result);

struct AFX_DISPMAP_ENTRY {
    const char* lpszName;  // null ends the table
    AfxDispKind kind;
    VARTYPE vt;             // a method's result, a property's type
    const VARTYPE* params;  // a method's parameters
    int nParams;
    AFX_DISPCALL pfnCall;  // a method, or a property's get
    AFX_DISPCALL pfnSet;   // a property's put; null when read-only
};

struct AFX_DISPMAP {
    const AFX_DISPMAP* (*pfnGetBaseMap)();  // null for the root class
    const AFX_DISPMAP_ENTRY* lpEntries;
};

namespace afx_disp {

template <typename F>
struct MemberTraits;
template <typename C, typename R, typename... A>
struct MemberTraits<R (C::*)(A...)> {
    using Class = C;
    using Result = R;
    static constexpr int arity = sizeof...(A);
    template <size_t I>
    using Arg = std::tuple_element_t<I, std::tuple<A...>>;
};
template <typename C, typename R, typename... A>
struct MemberTraits<R (C::*)(A...) const> : MemberTraits<R (C::*)(A...)> {};

// The C++ types that carry each automation type in and out of a handler.
template <VARTYPE vt, typename T>
constexpr bool IsArgType()
{
    if constexpr (vt == VT_I2)
        return std::is_same_v<T, SHORT>;
    else if constexpr (vt == VT_I4 || vt == VT_BOOL)
        return std::is_same_v<T, LONG>;
    else if constexpr (vt == VT_BSTR)
        return std::is_same_v<T, const char*> || std::is_same_v<T, const CString&>;
    else if constexpr (vt == VT_DISPATCH)
        return std::is_same_v<T, IDispatch*>;
    else
        return false;
}

template <VARTYPE vt, typename T>
constexpr bool IsResultType()
{
    if constexpr (vt == VT_EMPTY)
        return std::is_void_v<T>;
    else if constexpr (vt == VT_BSTR)
        return std::is_same_v<T, CString>;
    else
        return IsArgType<vt, T>();
}

template <VARTYPE vt, typename T>
T Extract(const COleVariant& value)
{
    if constexpr (vt == VT_I2)
        return static_cast<SHORT>(value.lVal);
    else if constexpr (vt == VT_I4 || vt == VT_BOOL)
        return value.lVal;
    else if constexpr (vt == VT_BSTR)
        return value.strVal;
    else
        return value.pdispVal;
}

template <VARTYPE vt, typename T>
void Store(COleVariant* result, T&& value)
{
    if constexpr (vt == VT_DISPATCH)
        *result = COleVariant(value, FALSE);  // the handler's reference passes to the caller
    else if constexpr (vt == VT_I2)
        *result = COleVariant(static_cast<SHORT>(value));
    else if constexpr (vt == VT_BSTR)
        *result = COleVariant(value);
    else
        *result = COleVariant(static_cast<LONG>(value), vt);
}

template <VARTYPE... P>
struct Params {
    static constexpr VARTYPE list[] = {P..., VT_EMPTY};
    static constexpr int count = sizeof...(P);
};

template <auto Fn, VARTYPE Ret, VARTYPE... P>
struct Method {
    using Traits = MemberTraits<decltype(Fn)>;
    using Class = typename Traits::Class;
    static_assert(Traits::arity == sizeof...(P), "the handler takes another number of arguments");
    static_assert(IsResultType<Ret, typename Traits::Result>(), "the handler's result does not fit its type");

    template <size_t... I>
    static void CallWith(CCmdTarget* target, const COleVariant* args, COleVariant* result, std::index_sequence<I...>)
    {
        static_assert((IsArgType<P, typename Traits::template Arg<I>>() && ...),
                      "an argument of the handler does not fit its type");
        auto* object = static_cast<Class*>(target);
        if constexpr (Ret == VT_EMPTY)
            (object->*Fn)(Extract<P, typename Traits::template Arg<I>>(args[I])...);
        else
            Store<Ret>(result, (object->*Fn)(Extract<P, typename Traits::template Arg<I>>(args[I])...));
    }
    static void Call(CCmdTarget* target, const COleVariant* args, COleVariant* result)
    {
        CallWith(target, args, result, std::make_index_sequence<sizeof...(P)>{});
    }
};

// A property backed by a member variable.
template <auto Member, VARTYPE vt>
struct Field {
    template <typename C, typename T>
    static C ClassOf(T C::*);
    template <typename C, typename T>
    static T TypeOf(T C::*);
    using Class = decltype(ClassOf(Member));
    using Type = decltype(TypeOf(Member));
    static_assert(IsArgType<vt, Type>(), "the member does not fit its type");

    static void Get(CCmdTarget* target, const COleVariant*, COleVariant* result)
    {
        Store<vt>(result, static_cast<Class*>(target)->*Member);
    }
    static void Set(CCmdTarget* target, const COleVariant* args, COleVariant*)
    {
        static_cast<Class*>(target)->*Member = Extract<vt, Type>(args[0]);
    }
};

template <auto Get, auto Set, VARTYPE vt>
struct Accessors {
    static void CallGet(CCmdTarget* target, const COleVariant* args, COleVariant* result)
    {
        Method<Get, vt>::Call(target, args, result);
    }
    static void CallSet(CCmdTarget* target, const COleVariant* args, COleVariant* result)
    {
        Method<Set, VT_EMPTY, vt>::Call(target, args, result);
    }
};

}  // namespace afx_disp

// In the class body. Leaves the access at protected.
#define DECLARE_DISPATCH_MAP()                      \
protected:                                          \
    static const AFX_DISPMAP* GetThisDispatchMap(); \
    const AFX_DISPMAP* GetDispatchMap() const override;

#define BEGIN_DISPATCH_MAP(theClass, baseClass)                                         \
    const AFX_DISPMAP* theClass::GetDispatchMap() const { return GetThisDispatchMap(); } \
    const AFX_DISPMAP* theClass::GetThisDispatchMap()                                    \
    {                                                                                    \
        using TheBaseClass = baseClass;                                                  \
        static const AFX_DISPMAP_ENTRY entries[] = {

#define END_DISPATCH_MAP()                                                            \
    {nullptr, AfxDispKind::end, VT_EMPTY, nullptr, 0, nullptr, nullptr}};             \
    static const AFX_DISPMAP dispMap = {&TheBaseClass::GetThisDispatchMap, entries}; \
    return &dispMap;                                                                  \
    }

// A method: its result type (VT_EMPTY for none), then its parameter types.
// The handler's signature is checked against them at compile time.
#define DISP_FUNCTION(theClass, name, memberFxn, vtRetVal, ...)                                    \
    {name, AfxDispKind::method, vtRetVal, afx_disp::Params<__VA_ARGS__>::list,                     \
     afx_disp::Params<__VA_ARGS__>::count,                                                         \
     &afx_disp::Method<&theClass::memberFxn, vtRetVal __VA_OPT__(, ) __VA_ARGS__>::Call, nullptr},

// A read-write property bound straight to a member variable.
#define DISP_PROPERTY(theClass, name, memberName, vtPropType)                          \
    {name, AfxDispKind::property, vtPropType, nullptr, 0,                              \
     &afx_disp::Field<&theClass::memberName, vtPropType>::Get,                         \
     &afx_disp::Field<&theClass::memberName, vtPropType>::Set},

// A property with a get and a put handler.
#define DISP_PROPERTY_EX(theClass, name, memberGet, memberSet, vtPropType)              \
    {name, AfxDispKind::property, vtPropType, nullptr, 0,                               \
     &afx_disp::Accessors<&theClass::memberGet, &theClass::memberSet, vtPropType>::CallGet, \
     &afx_disp::Accessors<&theClass::memberGet, &theClass::memberSet, vtPropType>::CallSet},
