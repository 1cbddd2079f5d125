#include <gtest/gtest.h>

#include <optional>

#include "document/change_background_command.h"
#include "document/document_services.h"
#include "tests/document/command_fixture.h"

namespace {

// A browser that answers with a prepared choice, or is cancelled.
class ScriptedShell : public CHeadlessDocumentShell {
public:
    BOOL ChooseBackground(void* owner, BackgroundChoice& choice) override
    {
        askedOwner = owner;
        offeredBaseplate = choice.baseplate;
        if (!answer)
            return FALSE;
        choice = *answer;
        return TRUE;
    }
    std::optional<BackgroundChoice> answer;
    void* askedOwner = nullptr;
    BOOL offeredBaseplate = FALSE;
};

class BackgroundCommandTest : public cmdtest::CommandTest {
protected:
    void SetUp() override
    {
        CommandTest::SetUp();
        SetDocumentShell(&shell);
        doc->ChangeBackgroundImage("old.bmp");
        doc->ChangeTiled(FALSE);
        const COLORREF grey = 0x808080;
        doc->ChangeBackgroundColor(&grey);
    }
    void TearDown() override
    {
        SetDocumentShell(nullptr);
        CommandTest::TearDown();
    }

    struct Background {
        std::string path;
        BOOL tiled;
        COLORREF colour;
        bool operator==(const Background&) const = default;
    };
    Background Current()
    {
        return {doc->GetBackgroundImagePath().str(), doc->IsBackgroundTiled(), doc->GetBackgroundRGB()};
    }

    ScriptedShell shell;
};

TEST_F(BackgroundCommandTest, AChoiceIsAppliedTiledAndUndoRestoresAllButTheBaseplate)
{
    struct Case {
        const char* name;
        const char* path;
        Background chosen;
    };
    const Case cases[] = {{"picture", "new.bmp", {"new.bmp", TRUE, 0x808080}}, {"colour", "", {"", TRUE, 0x0000FF}}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const Background before = Current();
        const BOOL baseplate = doc->IsBaseplateShown();
        shell.answer = BackgroundChoice{c.path, 0x0000FF, baseplate ? FALSE : TRUE};
        int window = 0;

        auto* command = new CChangeBackgroundCommand(doc.get());
        command->SetOwnerWindow(&window);
        command->Do();
        ASSERT_EQ(command->GetPerformed(), 1u);
        doc->SetLastAction(command);
        EXPECT_EQ(shell.askedOwner, &window);
        EXPECT_EQ(shell.offeredBaseplate, baseplate);
        EXPECT_EQ(Current(), c.chosen);
        EXPECT_NE(doc->IsBaseplateShown(), baseplate);

        EditUndo();
        EXPECT_EQ(Current(), before);
        EXPECT_NE(doc->IsBaseplateShown(), baseplate);
        EditUndo();
        EXPECT_EQ(Current(), c.chosen);
        EditUndo();
    }
}

TEST_F(BackgroundCommandTest, CancelledOrWithoutABrowserNothingIsPerformed)
{
    const Background before = Current();
    for (bool browser : {true, false}) {
        SetDocumentShell(browser ? &shell : nullptr);
        shell.answer.reset();
        CChangeBackgroundCommand command(doc.get());
        command.Do();
        EXPECT_EQ(command.GetPerformed(), 0u);
        EXPECT_EQ(Current(), before);
    }
}

}  // namespace
