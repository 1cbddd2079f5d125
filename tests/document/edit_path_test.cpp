// The document's one edit path, which the handlers, the copy and cut, the
// background and the panes' tools all take: what a failed or unperformed
// command leaves held, what the child is told, and in which order the failed
// command and the one held before go.
#include <gtest/gtest.h>

#include <new>
#include <string>
#include <utility>
#include <vector>

#include "document/brick_command.h"
#include "platform/core/exceptions.h"
#include "tests/document/document_fixture.h"

using namespace doctest;

namespace {

enum class Fails { never, inMake, inRun, outOfMemory };

// Writes its going into the same log as the message boxes.
class ProbeCommand : public CBrickCommand {
public:
    ProbeCommand(std::vector<std::string>& log, std::string name, BOOL performs)
        : CBrickCommand(labelMove), m_log(log), m_name(std::move(name)), m_bPerforms(performs)
    {
    }
    ~ProbeCommand() override { m_log.push_back("~" + m_name); }
    void Do() override
    {
        if (m_bPerforms)
            SetPerformed(1);
    }

private:
    std::vector<std::string>& m_log;
    std::string m_name;
    BOOL m_bPerforms;
};

TEST_F(DocumentTest, EditPathKeepsReportsAndDropsAsEachKindOfEditNeeds)
{
    using OnFailure = CDizadoDoc::OnFailure;
    constexpr const char* kNotCopied = "The bricks could not be put on the clipboard.";
    enum class Held { made, previous, none };
    struct Case {
        const char* name;
        OnFailure onFailure;
        BOOL onlyIfPerformed;
        const char* notPerformedText;
        Fails fails;
        BOOL performs;
        Held held;
        std::vector<std::string> log;
    };
    const Case cases[] = {
        // An edit of the model: a failure may have changed bricks outside any record.
        {"edit done", OnFailure::forgetUndo, FALSE, nullptr, Fails::never, FALSE, Held::made, {"~previous"}},
        {"edit failing", OnFailure::forgetUndo, FALSE, nullptr, Fails::inRun, TRUE, Held::none,
         {"~made", "~previous", "The command could not be completed."}},
        {"edit out of memory", OnFailure::forgetUndo, FALSE, nullptr, Fails::outOfMemory, TRUE, Held::none,
         {"~made", "~previous", "Not enough memory."}},
        {"edit not made", OnFailure::forgetUndo, FALSE, nullptr, Fails::inMake, TRUE, Held::none,
         {"~previous", "The command could not be completed."}},
        // A drag ends where it got to and stays the undo; one never made changes nothing.
        {"drag failing", OnFailure::keepCommand, FALSE, nullptr, Fails::inRun, TRUE, Held::made,
         {"~previous", "The command could not be completed."}},
        {"drag not made", OnFailure::keepCommand, FALSE, nullptr, Fails::inMake, TRUE, Held::previous,
         {"The command could not be completed."}},
        // Copy and cut: a clipboard that cannot be had is said, and the undo stays.
        {"copy done", OnFailure::forgetUndo, TRUE, kNotCopied, Fails::never, TRUE, Held::made, {"~previous"}},
        {"copy refused", OnFailure::forgetUndo, TRUE, kNotCopied, Fails::never, FALSE, Held::previous,
         {kNotCopied, "~made"}},
        // The background: cancelled silently; a failure touches no brick.
        {"background cancelled", OnFailure::keepUndo, TRUE, nullptr, Fails::never, FALSE, Held::previous, {"~made"}},
        {"background failing", OnFailure::keepUndo, TRUE, nullptr, Fails::inRun, TRUE, Held::previous,
         {"~made", "The command could not be completed."}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto* previous = new ProbeCommand(messages, "previous", TRUE);
        doc->SetLastAction(previous);
        messages.clear();
        ProbeCommand* made = nullptr;

        CDizadoDoc::EditPath path;
        path.onFailure = c.onFailure;
        path.onlyIfPerformed = c.onlyIfPerformed;
        path.notPerformedText = c.notPerformedText;
        path.run = [&c](CBrickCommand& command) {
            if (c.fails == Fails::inRun)
                throw CException();
            if (c.fails == Fails::outOfMemory)
                throw std::bad_alloc();
            command.Do();
        };
        const BOOL kept = doc->Perform(
            [&]() -> CBrickCommand* {
                if (c.fails == Fails::inMake)
                    throw CException();
                return made = new ProbeCommand(messages, "made", c.performs);
            },
            path);

        EXPECT_EQ(messages, c.log);
        EXPECT_EQ(kept, c.fails == Fails::never && c.held == Held::made);
        const CBrickCommand* expected = c.held == Held::made ? made : c.held == Held::previous ? previous : nullptr;
        EXPECT_EQ(doc->GetLastAction(), expected);
    }
    doc->SetLastAction(nullptr);
}

}  // namespace
