// The document driven by name: making bricks, the current choices, the
// background and baseplate, pictures, and what needs the windows.
#include "document/document_automation.h"
#include "tests/document/document_fixture.h"
#include "tests/support/scoped_hook.h"

using namespace doctest;

namespace {

// Keeps the balance of the panes' holds.
class HoldCounter : public CNotifier {
public:
    void OnNotify(UINT, UINT code, LPARAM data) override
    {
        if (code == NOTIFY_HOLD_REBUILD || code == NOTIFY_HOLD_EXTENT)
            open += *reinterpret_cast<const BOOL*>(data) ? -1 : 1;
        if (code == NOTIFY_BRICK_CREATED)
            ++created;
    }
    int open = 0;
    int created = 0;
};

class DocumentAutomationTest : public DocumentTest {
protected:
    void SetUp() override
    {
        DocumentTest::SetUp();
        Root()->AddListener(&holds);
        d = doc->GetIDispatch(FALSE);
    }

    HRESULT Call(const char* name, std::initializer_list<COleVariant> args = {}, COleVariant* result = nullptr,
                 EXCEPINFO* error = nullptr)
    {
        return d->Invoke(name, DISPATCH_METHOD, args, result, error);
    }
    LONG Get(const char* name)
    {
        COleVariant r;
        EXPECT_EQ(S_OK, Call(name, {}, &r)) << name;
        return r.lVal;
    }
    CString GetText(const char* name)
    {
        COleVariant r;
        EXPECT_EQ(S_OK, Call(name, {}, &r)) << name;
        EXPECT_EQ(VT_BSTR, r.vt);
        return r.strVal;
    }
    HRESULT MakeBrick(SHORT cls, SHORT x, SHORT y, SHORT z, SHORT orientation, SHORT colour, BOOL selected,
                      COleVariant* result = nullptr)
    {
        return Call("MakeBrick", {COleVariant(cls), COleVariant(x), COleVariant(y), COleVariant(z),
                                  COleVariant(orientation), COleVariant(colour), COleVariant::Bool(selected)},
                    result);
    }

    IDispatch* d = nullptr;
    HoldCounter holds;
};

TEST_F(DocumentAutomationTest, TheMapPublishesEveryEntryInItsOrder)
{
    const char* names[] = {"Application", "ShowWindow", "MakeBrick", "GetList", "SetName", "SetBackgroundColor",
                           "GetBackgroundColor", "SetBackgroungImage", "SetTiled", "IsTiled", "HasBaseplate",
                           "SetBaseplate", "SetBaseplateSize", "HasMultiView", "SetMultiView", "IsModified",
                           "GetName", "GetBackgroundImage", "SetCurrentColor", "GetCurrentColor", "SetCurrentBrick",
                           "GetCurrentBrick", "SetCurrentOrientation", "GetCurrentOrientation", "SaveBmp",
                           "GetDocBoundsW", "GetDocBoundsH", "GetBaseplateSizeX", "GetBaseplateSizeY"};
    DISPID id = 0;
    for (int i = 0; i < 29; ++i) {
        ASSERT_EQ(S_OK, d->GetIDsOfNames(names[i], &id)) << names[i];
        EXPECT_EQ(i + 1, id) << names[i];
    }
}

TEST_F(DocumentAutomationTest, MakeBrickBuildsInTheRootWithoutUndoOrModifiedFlag)
{
    COleVariant brick;
    ASSERT_EQ(S_OK, MakeBrick(1030, 3, 4, 5, 2, 7, TRUE, &brick));
    ASSERT_EQ(VT_DISPATCH, brick.vt);
    ASSERT_EQ(1, Root()->GetSize());
    CBrick* made = Root()->GetBrickAt(0);
    EXPECT_EQ(made, CCmdTarget::FromIDispatch(brick.pdispVal));
    EXPECT_EQ(2u, made->GetRefCount());
    EXPECT_EQ(CPoint3D(3, 4, 5), *made->GetPositionPtr());
    EXPECT_EQ(2, made->GetOrientation());
    EXPECT_EQ(7, made->GetColorIndex());
    EXPECT_TRUE(made->IsSelectedFlag());
    EXPECT_EQ(0, holds.open);
    EXPECT_EQ(1, holds.created);
    EXPECT_FALSE(Get("IsModified"));
    EXPECT_EQ(nullptr, doc->GetLastAction());

    // -1 takes the current choices of the new-brick tool.
    ASSERT_EQ(S_OK, Call("SetCurrentColor", {COleVariant(SHORT{9})}));
    ASSERT_EQ(S_OK, Call("SetCurrentOrientation", {COleVariant(SHORT{1})}));
    ASSERT_EQ(S_OK, MakeBrick(-1, 0, 0, 0, -1, -1, FALSE));
    CBrick* current = Root()->GetBrickAt(1);
    EXPECT_EQ(doc->GetCurrentBrickType(), current->GetClassId());
    EXPECT_EQ(1, current->GetOrientation());
    EXPECT_EQ(9, current->GetColorIndex());
    EXPECT_FALSE(current->IsSelectedFlag());
    EXPECT_EQ(0, holds.open);
}

TEST_F(DocumentAutomationTest, ValuesOutOfRangeAreRefusedUnknownClassesAreTheBuiltInOne)
{
    // Unknown classes become the built-in class, as in a model file.
    ASSERT_EQ(S_OK, MakeBrick(2999, 0, 0, 0, 0, 0, FALSE));
    EXPECT_EQ(IDC_BUILTIN_CLASS, Root()->GetBrickAt(0)->GetClassId());
    ASSERT_EQ(S_OK, Call("SetCurrentBrick", {COleVariant(SHORT{-5})}));
    EXPECT_EQ(IDC_BUILTIN_CLASS, Get("GetCurrentBrick"));

    const struct {
        SHORT orientation, colour;
    } refused[] = {{4, 0}, {-2, 0}, {0, 12}, {0, -2}, {0, 40}};
    for (const auto& c : refused) {
        COleVariant r(LONG{1});
        EXPECT_EQ(DISP_E_EXCEPTION, MakeBrick(1030, 0, 0, 0, c.orientation, c.colour, TRUE, &r))
            << c.orientation << " " << c.colour;
        EXPECT_EQ(VT_EMPTY, r.vt);
    }
    EXPECT_EQ(DISP_E_OVERFLOW, Call("MakeBrick", {COleVariant(SHORT{1030}), COleVariant(LONG{32768}),
                                                  COleVariant(SHORT{0}), COleVariant(SHORT{0}), COleVariant(SHORT{0}),
                                                  COleVariant(SHORT{0}), COleVariant::Bool(FALSE)}));
    EXPECT_EQ(DISP_E_BADPARAMCOUNT, Call("MakeBrick", {COleVariant(SHORT{1030})}));
    EXPECT_EQ(1, Root()->GetSize());
    EXPECT_EQ(1, holds.created);
    EXPECT_EQ(0, holds.open);

    EXPECT_EQ(DISP_E_EXCEPTION, Call("SetCurrentColor", {COleVariant(SHORT{40})}));
    EXPECT_EQ(DISP_E_EXCEPTION, Call("SetCurrentOrientation", {COleVariant(SHORT{4})}));
    EXPECT_EQ(0, Get("GetCurrentColor"));
    EXPECT_EQ(0, Get("GetCurrentOrientation"));
}

TEST_F(DocumentAutomationTest, BackgroundAndBaseplate)
{
    ASSERT_EQ(S_OK, Call("SetBackgroundColor", {COleVariant(LONG{0x7F123456})}));
    EXPECT_EQ(0x123456, Get("GetBackgroundColor"));
    EXPECT_EQ(COLORREF{0x123456}, doc->GetBackgroundRGB());

    ASSERT_EQ(S_OK, Call("SetBackgroungImage", {COleVariant("backgrnd/sky.bmp")}));
    EXPECT_EQ(CString("backgrnd/sky.bmp"), GetText("GetBackgroundImage"));
    ASSERT_EQ(S_OK, Call("SetTiled", {COleVariant::Bool(TRUE)}));
    EXPECT_TRUE(Get("IsTiled"));

    // The same state redraws nothing; a change redraws once.
    pane.Clear();
    ASSERT_EQ(S_OK, Call("SetBaseplate", {COleVariant::Bool(TRUE)}));
    EXPECT_TRUE(Get("HasBaseplate"));
    ASSERT_EQ(S_OK, Call("SetBaseplate", {COleVariant::Bool(FALSE)}));
    EXPECT_FALSE(Get("HasBaseplate"));
    ASSERT_EQ(S_OK, Call("SetBaseplateSize", {COleVariant(SHORT{-3}), COleVariant(SHORT{12})}));
    EXPECT_EQ(-3, Get("GetBaseplateSizeX"));
    EXPECT_EQ(12, Get("GetBaseplateSizeY"));
    EXPECT_FALSE(Get("HasBaseplate"));

    // Any BOOL that is not 0 is TRUE: it does not flip a shown flag.
    ASSERT_EQ(S_OK, Call("SetMultiView", {COleVariant(LONG{5})}));
    EXPECT_TRUE(Get("HasMultiView"));
    ASSERT_EQ(S_OK, Call("SetMultiView", {COleVariant(LONG{-1})}));
    EXPECT_TRUE(Get("HasMultiView"));
    ASSERT_EQ(S_OK, Call("SetMultiView", {COleVariant::Bool(FALSE)}));
    EXPECT_FALSE(Get("HasMultiView"));
}

TEST_F(DocumentAutomationTest, NamesAndPictures)
{
    EXPECT_EQ(CString(""), GetText("GetName"));
    const std::string model = PathOf("house.brk");
    ASSERT_EQ(S_OK, Call("SetName", {COleVariant(model.c_str())}));
    EXPECT_EQ(CString(model.c_str()), GetText("GetName"));

    const struct {
        std::string path;
        SHORT width, height;
        LONG expected;
        size_t messages;
    } cases[] = {
        {PathOf("small.bmp"), 33, 10, TRUE, 0},
        {PathOf("default.bmp"), -1, -1, TRUE, 0},
        {PathOf("no-folder/x.bmp"), 80, 60, FALSE, 1},
        {"", 80, 60, FALSE, 1},
        {PathOf("huge.bmp"), 32767, 32767, FALSE, 1},
    };
    for (const auto& c : cases) {
        COleVariant r;
        ASSERT_EQ(S_OK, Call("SaveBmp", {COleVariant(c.path.c_str()), COleVariant(c.width), COleVariant(c.height)}, &r));
        EXPECT_EQ(VT_BOOL, r.vt);
        EXPECT_EQ(c.expected, r.lVal) << c.path;
        EXPECT_EQ(c.expected != 0, std::filesystem::exists(c.path)) << c.path;
        EXPECT_EQ(c.messages, messages.size()) << c.path;
    }
}

// A shell that stands in for the windows.
class RecordingHost : public IDocumentAutomationHost {
public:
    IDispatch* GetApplicationDispatch() override { return application ? application->GetIDispatch(TRUE) : nullptr; }
    void ShowDocumentWindow(CDizadoDoc* document) override { shown.push_back(document); }
    BOOL GetFirstViewSize(CDizadoDoc*, LONG& width, LONG& height) override
    {
        width = 70000;
        height = 480;
        return hasView;
    }

    CCmdTarget* application = nullptr;
    BOOL hasView = TRUE;
    std::vector<CDizadoDoc*> shown;
};

class AutomatedApplication : public CCmdTarget {
public:
    AutomatedApplication() { EnableAutomation(); }
};

TEST_F(DocumentAutomationTest, WindowsAndTheApplicationGoThroughTheHost)
{
    // Without windows: no size, nothing shown, and no application to hand out.
    EXPECT_EQ(0, Get("GetDocBoundsW"));
    EXPECT_EQ(S_OK, Call("ShowWindow"));
    COleVariant r;
    EXCEPINFO error;
    EXPECT_EQ(DISP_E_EXCEPTION, Call("Application", {}, &r, &error));
    EXPECT_FALSE(error.description.IsEmpty());

    RecordingHost host;
    AutomatedApplication application;
    host.application = &application;
    ScopedValue hosted(SetDocumentAutomationHost, &host, nullptr);
    EXPECT_EQ(static_cast<SHORT>(70000), Get("GetDocBoundsW"));
    EXPECT_EQ(480, Get("GetDocBoundsH"));
    EXPECT_EQ(S_OK, Call("ShowWindow"));
    EXPECT_EQ(std::vector<CDizadoDoc*>{doc.get()}, host.shown);
    ASSERT_EQ(S_OK, Call("Application", {}, &r));
    EXPECT_EQ(application.GetIDispatch(FALSE), r.pdispVal);
    r.Clear();
    EXPECT_EQ(1u, application.GetRefCount());
    host.hasView = FALSE;
    EXPECT_EQ(0, Get("GetDocBoundsH"));
}

TEST_F(DocumentAutomationTest, ListAndBricksOfAClosedModelRefuseEveryCall)
{
    COleVariant list;
    COleVariant brick;
    ASSERT_EQ(S_OK, Call("GetList", {}, &list));
    ASSERT_EQ(S_OK, MakeBrick(1030, 0, 0, 0, 0, 0, FALSE, &brick));
    COleVariant r;
    ASSERT_EQ(S_OK, list.pdispVal->Invoke("GetBrickCount", DISPATCH_METHOD, {}, &r));
    EXPECT_EQ(1, r.lVal);

    // A new document deletes the bricks; the list is the same root.
    doc->OnNewDocument();
    EXPECT_EQ(RPC_E_DISCONNECTED, brick.pdispVal->Invoke("GetColor", DISPATCH_METHOD, {}, &r));
    ASSERT_EQ(S_OK, list.pdispVal->Invoke("GetBrickCount", DISPATCH_METHOD, {}, &r));
    EXPECT_EQ(0, r.lVal);

    // The document itself goes: its list and document interfaces refuse.
    IDispatch* kept = doc->GetIDispatch(TRUE);
    doc.reset();
    EXPECT_EQ(RPC_E_DISCONNECTED, list.pdispVal->Invoke("GetListCount", DISPATCH_METHOD, {}, &r));
    EXPECT_EQ(RPC_E_DISCONNECTED, kept->Invoke("GetList", DISPATCH_METHOD, {}, &r));
    kept->Release();
}

}  // namespace
