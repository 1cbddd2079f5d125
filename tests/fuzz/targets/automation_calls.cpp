// Automation: arbitrary sequences of calls by name, with arguments of any
// type and value, on the document and every object it hands out, mixed with
// the edits that take bricks and groups out of the model. Aborts on a broken
// rule: a call that failed yet returned a value, a pane hold left open, a
// reference count off. Paths it writes stay in a scratch folder.
#include <filesystem>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "document/dizado_doc.h"
#include "foundation/notification_codes.h"
#include "foundation/notifier.h"
#include "model/brick.h"
#include "model/brick_group.h"
#include "platform/core/cmd_target.h"
#include "platform/core/hooks.h"
#include "tests/fuzz/fuzz_support.h"

namespace {

using fuzz::Fail;

class Reader {
public:
    Reader(const uint8_t* data, size_t size) : m_data(data), m_size(size) {}
    bool AtEnd() const { return m_at >= m_size; }
    uint8_t Byte() { return m_at < m_size ? m_data[m_at++] : 0; }
    int32_t Long()
    {
        uint32_t value = 0;
        for (int i = 0; i < 4; ++i)
            value = (value << 8) | Byte();
        return static_cast<int32_t>(value);
    }

private:
    const uint8_t* m_data;
    size_t m_size;
    size_t m_at = 0;
};

class HoldBalance : public CNotifier {
public:
    void OnNotify(UINT, UINT code, LPARAM data) override
    {
        if (code == NOTIFY_HOLD_REBUILD || code == NOTIFY_HOLD_EXTENT)
            open += *reinterpret_cast<const BOOL*>(data) ? -1 : 1;
    }
    int open = 0;
};

const char* const kNames[] = {
    // The document's.
    "Application", "ShowWindow", "MakeBrick", "GetList", "SetName", "SetBackgroundColor", "GetBackgroundColor",
    "SetBackgroungImage", "SetTiled", "IsTiled", "HasBaseplate", "SetBaseplate", "SetBaseplateSize", "HasMultiView",
    "SetMultiView", "IsModified", "GetName", "GetBackgroundImage", "SetCurrentColor", "GetCurrentColor",
    "SetCurrentBrick", "GetCurrentBrick", "SetCurrentOrientation", "GetCurrentOrientation", "SaveBmp",
    "GetDocBoundsW", "GetDocBoundsH", "GetBaseplateSizeX", "GetBaseplateSizeY",
    // The list's.
    "GetListCount", "GetBrickCount", "GetBrick",
    // The brick's.
    "Position", "Bounds", "SetOrientation", "GetOrientation", "SetType", "GetType", "SetColor", "GetColor", "SetPose",
    "GetPose", "IsSelected", "Select", "IsVisible", "Visible", "IsSelectable", "Selectable", "IsMoveable",
    "Moveable", "IsColorable", "Colorable", "Length", "Width", "Height",
    // The position's and the bounds'.
    "x", "y", "z", "minx", "miny", "minz", "maxx", "maxy", "maxz",
    // None.
    "", "makebrick", "MakeBrickX", "GetBrickCountt"};
constexpr int kNameCount = sizeof kNames / sizeof kNames[0];

const WORD kFlags[] = {DISPATCH_METHOD, DISPATCH_PROPERTYGET, DISPATCH_PROPERTYPUT,
                       DISPATCH_METHOD | DISPATCH_PROPERTYGET, 0, 0xFFFF};

// Small numbers mostly, and the edges of every range the members check.
SHORT PickShort(Reader& in)
{
    static const SHORT kEdges[] = {-32768, -2, -1, 0, 1, 3, 4, 11, 12, 1030, 2000, 32767};
    const uint8_t b = in.Byte();
    if (b < 160)
        return static_cast<SHORT>(b % 5 - 1);
    if (b < 200)
        return static_cast<SHORT>(b % 64 - 16);
    return kEdges[b % (sizeof kEdges / sizeof kEdges[0])];
}

// `type` 0xFF: any type; else a value of that type.
COleVariant PickArgument(Reader& in, const std::vector<COleVariant>& objects, const std::string& folder,
                         VARTYPE type = 0xFF)
{
    int kind = 0;
    switch (type) {
    case VT_I2:
        kind = 1;
        break;
    case VT_I4:
        kind = 2;
        break;
    case VT_BOOL:
        kind = 3;
        break;
    case VT_BSTR:
        kind = 4;
        break;
    case VT_DISPATCH:
        kind = 6;
        break;
    default:
        kind = in.Byte() % 7;
        break;
    }
    switch (kind) {
    case 0:
        return COleVariant();
    case 1:
        return COleVariant(PickShort(in));
    case 2:
        return COleVariant(static_cast<LONG>(in.Long()));
    case 3:
        return COleVariant::Bool(static_cast<LONG>(static_cast<int8_t>(in.Byte())));
    case 4: {
        // Every text is a path inside the folder.
        std::string text = folder + "/";
        for (int n = in.Byte() % 9; n > 0; --n)
            text += "ab.x/"[in.Byte() % 5];
        return COleVariant(text.c_str());
    }
    case 5:
        return COleVariant(static_cast<IDispatch*>(nullptr));
    default:
        if (objects.empty())
            return COleVariant();
        return objects[in.Byte() % objects.size()];
    }
}

int FuzzAutomationCalls(const uint8_t* data, size_t size, const std::string& folder)
{
    fuzz::QuietHooks quiet;
    {
        Reader in(data, size);
        HoldBalance holds;  // outlives the document, which notifies it as it goes
        auto doc = std::make_unique<CDizadoDoc>();
        CBrickGroup* root = doc->GetBrickList();
        root->AddListener(&holds);
        std::vector<COleVariant> objects{COleVariant(doc->GetIDispatch(FALSE))};
        // Groups taken out of the model, kept as a command keeps them.
        std::vector<CBrickGroup*> detached;
        std::vector<CBrick*> erased;

        for (int step = 0; step < 200 && !in.AtEnd(); ++step) {
            const uint8_t op = in.Byte();
            if (op < 200) {
                if (objects.empty())
                    continue;
                COleVariant target = objects[in.Byte() % objects.size()];
                const CCmdTarget* object = CCmdTarget::FromIDispatch(target.pdispVal);
                // Most calls name a member of the object, with the flags and
                // arguments it declares, so that they reach its handler; the
                // rest are anything at all.
                const char* name = kNames[in.Byte() % kNameCount];
                WORD flags = kFlags[in.Byte() % (sizeof kFlags / sizeof kFlags[0])];
                if (object && (op & 2)) {
                    const auto members = object->GetDispatchMembers();
                    if (!members.empty()) {
                        const AFX_DISPMAP_ENTRY* member = members[in.Byte() % members.size()].entry;
                        name = member->lpszName;
                        if (op & 4)
                            flags = member->kind == AfxDispKind::method ? DISPATCH_METHOD
                                    : (in.Byte() & 1)                  ? DISPATCH_PROPERTYPUT
                                                                       : DISPATCH_PROPERTYGET;
                    }
                }
                DISPID id = DISPID_UNKNOWN;
                COleVariant result(LONG{12345});
                const HRESULT hr = target.pdispVal->GetIDsOfNames(name, &id);
                std::vector<COleVariant> args;
                const AFX_DISPMAP_ENTRY* entry = object && SUCCEEDED(hr) ? object->GetDispatchEntry(id) : nullptr;
                if (entry && (op & 1)) {
                    if (entry->kind == AfxDispKind::method) {
                        for (int i = 0; i < entry->nParams; ++i)
                            args.push_back(PickArgument(in, objects, folder, entry->params[i]));
                    } else if (flags == DISPATCH_PROPERTYPUT) {
                        args.push_back(PickArgument(in, objects, folder, entry->vt));
                    }
                } else {
                    args.resize(in.Byte() % 9);
                    for (auto& arg : args)
                        arg = PickArgument(in, objects, folder);
                }
                if (SUCCEEDED(hr)) {
                    const HRESULT call = target.pdispVal->Invoke(id, flags, args.data(),
                                                                 static_cast<int>(args.size()), &result);
                    if (FAILED(call) && result.vt != VT_EMPTY)
                        Fail("a failed call returned a value");
                    if (SUCCEEDED(call) && result.vt == VT_DISPATCH && result.pdispVal && objects.size() < 48)
                        objects.push_back(result);
                }
                if (holds.open != 0)
                    Fail("a call left a pane hold open");
            } else if (op < 210) {
                // The document's own stays, so that the run goes on.
                if (objects.size() > 1)
                    objects.erase(objects.begin() + 1 + in.Byte() % (objects.size() - 1));
            } else if (op < 220) {
                // An erase that can be undone.
                if (CBrick* brick = root->GetBrickAt(in.Byte() % (root->GetSize() + 1))) {
                    brick->Detach();
                    erased.push_back(brick);
                }
            } else if (op < 230) {
                if (!erased.empty()) {
                    erased.back()->SetOwner(root);
                    erased.pop_back();
                }
            } else if (op < 240) {
                // Group the first brick, or take a group out.
                if (CBrickGroup* group = root->GetSubGroupAt(0); group && (in.Byte() & 1)) {
                    group->SetParent(nullptr);
                    detached.push_back(group);
                } else if (CBrick* brick = root->GetBrickAt(0); brick && root->CanHoldSubGroup()) {
                    auto* made = new CBrickGroup;
                    made->SetParent(root);
                    brick->SetOwner(made);
                }
            } else if (op < 250) {
                if (!detached.empty()) {
                    detached.back()->SetParent(root);
                    detached.pop_back();
                }
            } else if (op < 254) {
                doc->OnNewDocument();
            } else if (step > 100) {
                // The document goes while clients hold its objects.
                doc.reset();
                break;
            }
        }
        for (CBrickGroup* group : detached)
            delete group;
        for (CBrick* brick : erased)
            delete brick;
        objects.clear();
        if (doc && (root->GetRefCount() != 1 || doc->GetRefCount() != 1))
            Fail("a reference outlived every client");
    }
    return 0;
}

}  // namespace

int FuzzAutomation(const uint8_t* data, size_t size)
{
    // Emptied after each run, so that what one run saved is not there for the next.
    static const std::filesystem::path folder = fuzz::ScratchPath("automation");
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    FuzzAutomationCalls(data, size, folder.string());
    std::filesystem::remove_all(folder, error);
    return 0;
}

// Call sequences of every shape: pseudo-random bytes of up to 2 KB.
static void SeedAutomation(fuzz::Seeds& seeds)
{
    std::mt19937 random(12);
    for (int n = 0; n < 300; ++n) {
        fuzz::Bytes bytes(random() % 2048);
        for (auto& b : bytes)
            b = static_cast<unsigned char>(random());
        seeds.Add("random-" + std::to_string(n), std::move(bytes));
    }
}

DIZADO_FUZZ_TARGET(automation_calls, FuzzAutomation, SeedAutomation)
