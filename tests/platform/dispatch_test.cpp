// Dispatch maps called by name in process: ids, argument checks, properties,
// chained maps, and the reference counts of interfaces handed to clients.
#include <gtest/gtest.h>

#include "platform/core/cmd_target.h"

namespace {

class CCounter : public CCmdTarget {
public:
    CCounter() { EnableAutomation(); }
    ~CCounter() override { ++destroyed; }

    static inline int destroyed = 0;

    SHORT m_value = 0;
    CString m_label;
    LONG m_lastFlag = -1;

    SHORT Add(SHORT step, LONG times)
    {
        m_value = static_cast<SHORT>(m_value + step * times);
        return m_value;
    }
    void SetFlag(LONG flag) { m_lastFlag = flag; }
    CString Label() { return m_label; }
    void Rename(const char* text) { m_label = text; }
    LONG Fail()
    {
        AfxThrowOleDispatchException("refused");
    }
    IDispatch* MakeChild();
    IDispatch* GetSelf() { return GetIDispatch(TRUE); }
    void SetSelf(IDispatch*) {}

    DECLARE_DISPATCH_MAP()
};

// Counts only on its clients: made for one, freed at their last release.
class CChild : public CCounter {
public:
    DECLARE_DISPATCH_MAP()
public:
    LONG Twice() { return 2 * m_value; }
};

IDispatch* CCounter::MakeChild()
{
    auto* child = new CChild;
    IDispatch* dispatch = child->GetIDispatch(TRUE);
    child->InternalRelease();
    return dispatch;
}

BEGIN_DISPATCH_MAP(CCounter, CCmdTarget)
    DISP_FUNCTION(CCounter, "Add", Add, VT_I2, VT_I2, VT_I4)
    DISP_FUNCTION(CCounter, "SetFlag", SetFlag, VT_EMPTY, VT_BOOL)
    DISP_FUNCTION(CCounter, "Label", Label, VT_BSTR)
    DISP_FUNCTION(CCounter, "Rename", Rename, VT_EMPTY, VT_BSTR)
    DISP_FUNCTION(CCounter, "Fail", Fail, VT_I4)
    DISP_FUNCTION(CCounter, "MakeChild", MakeChild, VT_DISPATCH)
    DISP_PROPERTY(CCounter, "value", m_value, VT_I2)
    DISP_PROPERTY_EX(CCounter, "Self", GetSelf, SetSelf, VT_DISPATCH)
END_DISPATCH_MAP()

BEGIN_DISPATCH_MAP(CChild, CCounter)
    DISP_FUNCTION(CChild, "Twice", Twice, VT_I4)
END_DISPATCH_MAP()

class DispatchTest : public ::testing::Test {
protected:
    void SetUp() override { CCounter::destroyed = 0; }
};

TEST_F(DispatchTest, IdsArePositionsAndNamesIgnoreCase)
{
    CCounter counter;
    IDispatch* d = counter.GetIDispatch(FALSE);
    DISPID id = 0;
    EXPECT_EQ(S_OK, d->GetIDsOfNames("Add", &id));
    EXPECT_EQ(1, id);
    EXPECT_EQ(S_OK, d->GetIDsOfNames("SELF", &id));
    EXPECT_EQ(8, id);
    EXPECT_EQ(DISP_E_UNKNOWNNAME, d->GetIDsOfNames("Nothing", &id));
    EXPECT_EQ(DISPID_UNKNOWN, id);
    EXPECT_EQ(DISP_E_MEMBERNOTFOUND, d->Invoke(99, DISPATCH_METHOD, nullptr, 0, nullptr));
    EXPECT_EQ(DISP_E_MEMBERNOTFOUND, d->Invoke(0x30001, DISPATCH_METHOD, nullptr, 0, nullptr));

    // A derived class's own members come first; the base's follow one level up.
    CChild child;
    IDispatch* c = child.GetIDispatch(FALSE);
    EXPECT_EQ(S_OK, c->GetIDsOfNames("Twice", &id));
    EXPECT_EQ(1, id);
    EXPECT_EQ(S_OK, c->GetIDsOfNames("Add", &id));
    EXPECT_EQ(0x10001, id);
    COleVariant r;
    EXPECT_EQ(S_OK, c->Invoke("Add", DISPATCH_METHOD, {COleVariant(SHORT{3}), COleVariant(LONG{2})}, &r));
    EXPECT_EQ(S_OK, c->Invoke("Twice", DISPATCH_METHOD, {}, &r));
    EXPECT_EQ(VT_I4, r.vt);
    EXPECT_EQ(12, r.lVal);
}

TEST_F(DispatchTest, ArgumentsAreCheckedBeforeTheHandlerRuns)
{
    CCounter counter;
    IDispatch* d = counter.GetIDispatch(FALSE);
    struct Case {
        const char* what;
        std::initializer_list<COleVariant> args;
        HRESULT expected;
        int badArgument;
    };
    const Case cases[] = {
        {"fits", {COleVariant(SHORT{2}), COleVariant(LONG{3})}, S_OK, -1},
        {"I4 that fits I2", {COleVariant(LONG{2}), COleVariant(SHORT{1})}, S_OK, -1},
        {"too few", {COleVariant(SHORT{2})}, DISP_E_BADPARAMCOUNT, -1},
        {"too many", {COleVariant(SHORT{2}), COleVariant(LONG{1}), COleVariant(LONG{1})}, DISP_E_BADPARAMCOUNT, -1},
        {"string for I2", {COleVariant("2"), COleVariant(LONG{1})}, DISP_E_TYPEMISMATCH, 0},
        {"BOOL for I4", {COleVariant(SHORT{2}), COleVariant::Bool(TRUE)}, DISP_E_TYPEMISMATCH, 1},
        {"I4 past I2", {COleVariant(LONG{40000}), COleVariant(LONG{1})}, DISP_E_OVERFLOW, 0},
        {"empty", {COleVariant(), COleVariant(LONG{1})}, DISP_E_TYPEMISMATCH, 0},
        {"null interface", {COleVariant(static_cast<IDispatch*>(nullptr)), COleVariant(LONG{1})}, DISP_E_TYPEMISMATCH, 0},
    };
    SHORT expected = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        COleVariant r(LONG{77});
        EXCEPINFO error;
        EXPECT_EQ(c.expected, d->Invoke("Add", DISPATCH_METHOD, c.args, &r, &error));
        EXPECT_EQ(c.badArgument, error.argument);
        if (c.expected == S_OK) {
            const auto* first = c.args.begin();
            expected = static_cast<SHORT>(expected + first[0].lVal * first[1].lVal);
            EXPECT_EQ(VT_I2, r.vt);
        } else {
            EXPECT_EQ(VT_EMPTY, r.vt);
        }
        EXPECT_EQ(expected, counter.m_value);
    }

    // Any integer is a BOOL, read as TRUE when it is not 0.
    EXPECT_EQ(S_OK, d->Invoke("SetFlag", DISPATCH_METHOD, {COleVariant(LONG{5})}, nullptr));
    EXPECT_EQ(TRUE, counter.m_lastFlag);
    EXPECT_EQ(S_OK, d->Invoke("SetFlag", DISPATCH_METHOD, {COleVariant::Bool(FALSE)}, nullptr));
    EXPECT_EQ(FALSE, counter.m_lastFlag);
    EXPECT_EQ(DISP_E_TYPEMISMATCH, d->Invoke("SetFlag", DISPATCH_METHOD, {COleVariant("yes")}, nullptr));

    COleVariant r;
    EXPECT_EQ(S_OK, d->Invoke("Rename", DISPATCH_METHOD, {COleVariant("house")}, nullptr));
    EXPECT_EQ(S_OK, d->Invoke("Label", DISPATCH_METHOD, {}, &r));
    EXPECT_EQ(VT_BSTR, r.vt);
    EXPECT_EQ(CString("house"), r.strVal);
    // A method is no property that can be put.
    EXPECT_EQ(DISP_E_MEMBERNOTFOUND, d->Invoke("Label", DISPATCH_PROPERTYPUT, {COleVariant("x")}, nullptr));
}

TEST_F(DispatchTest, HandlerFailuresComeBackAsResults)
{
    CCounter counter;
    IDispatch* d = counter.GetIDispatch(FALSE);
    COleVariant r(LONG{1});
    EXCEPINFO error;
    EXPECT_EQ(DISP_E_EXCEPTION, d->Invoke("Fail", DISPATCH_METHOD, {}, &r, &error));
    EXPECT_EQ(CString("refused"), error.description);
    EXPECT_EQ(VT_EMPTY, r.vt);
}

TEST_F(DispatchTest, PropertiesGetAndPut)
{
    CCounter counter;
    IDispatch* d = counter.GetIDispatch(FALSE);
    COleVariant r;
    EXPECT_EQ(S_OK, d->Invoke("value", DISPATCH_PROPERTYPUT, {COleVariant(SHORT{-7})}, nullptr));
    EXPECT_EQ(-7, counter.m_value);
    EXPECT_EQ(S_OK, d->Invoke("value", DISPATCH_PROPERTYGET, {}, &r));
    EXPECT_EQ(-7, r.lVal);
    EXPECT_EQ(DISP_E_BADPARAMCOUNT, d->Invoke("value", DISPATCH_PROPERTYPUT, {}, nullptr));
    EXPECT_EQ(DISP_E_OVERFLOW, d->Invoke("value", DISPATCH_PROPERTYPUT, {COleVariant(LONG{-40000})}, nullptr));
    EXPECT_EQ(-7, counter.m_value);
    EXPECT_EQ(DISP_E_BADPARAMCOUNT, d->Invoke("value", DISPATCH_PROPERTYGET, {COleVariant(SHORT{1})}, nullptr));
}

TEST_F(DispatchTest, AnInterfaceHandedOutAddsOneReference)
{
    CCounter counter;
    EXPECT_EQ(1u, counter.GetRefCount());
    COleVariant self;
    ASSERT_EQ(S_OK, counter.GetIDispatch(FALSE)->Invoke("Self", DISPATCH_PROPERTYGET, {}, &self));
    ASSERT_EQ(VT_DISPATCH, self.vt);
    EXPECT_EQ(counter.GetIDispatch(FALSE), self.pdispVal);
    EXPECT_EQ(2u, counter.GetRefCount());
    COleVariant copy = self;
    EXPECT_EQ(2u, counter.GetRefCount());
    EXPECT_EQ(2u, self.pdispVal->GetRefCount());
    self.Clear();
    copy.Clear();
    EXPECT_EQ(1u, counter.GetRefCount());
    // Releasing more than was added touches nothing.
    EXPECT_EQ(0u, counter.GetIDispatch(FALSE)->Release());
    EXPECT_EQ(1u, counter.GetRefCount());
}

TEST_F(DispatchTest, AnObjectKeptOnlyByClientsGoesAtTheirLastRelease)
{
    CCounter counter;
    COleVariant child;
    ASSERT_EQ(S_OK, counter.GetIDispatch(FALSE)->Invoke("MakeChild", DISPATCH_METHOD, {}, &child));
    ASSERT_NE(nullptr, CCmdTarget::FromIDispatch(child.pdispVal));
    EXPECT_EQ(1u, CCmdTarget::FromIDispatch(child.pdispVal)->GetRefCount());
    IDispatch* held = child.pdispVal;
    held->AddRef();
    child.Clear();
    EXPECT_EQ(0, CCounter::destroyed);
    held->Release();
    EXPECT_EQ(1, CCounter::destroyed);
}

TEST_F(DispatchTest, AClientThatOutlivesTheObjectIsRefusedSafely)
{
    auto* counter = new CCounter;
    IDispatch* d = counter->GetIDispatch(TRUE);
    delete counter;
    EXPECT_EQ(nullptr, CCmdTarget::FromIDispatch(d));
    COleVariant r(LONG{3});
    DISPID id = 0;
    EXPECT_EQ(RPC_E_DISCONNECTED, d->GetIDsOfNames("Add", &id));
    EXPECT_EQ(RPC_E_DISCONNECTED, d->Invoke(1, DISPATCH_METHOD, nullptr, 0, &r));
    EXPECT_EQ(VT_EMPTY, r.vt);
    d->AddRef();
    EXPECT_EQ(1u, d->Release());
    EXPECT_EQ(0u, d->Release());  // frees the interface (the sanitizers would see a leak otherwise)
}

TEST_F(DispatchTest, NoInterfaceWithoutAutomation)
{
    CCmdTarget plain;
    EXPECT_EQ(nullptr, plain.GetIDispatch(TRUE));
    EXPECT_EQ(1u, plain.GetRefCount());
}

}  // namespace
