#include "App/support/InterruptedSave.h"

#include "App/SaveJournal.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <utility>

namespace {

// Each entry's size and a hash of its bytes: a failure names what differs
// without printing pictures.
SavedContent Digest(const SavedContent& content)
{
    SavedContent digest;
    for (const auto& [name, bytes] : content)
        digest[name] =
            std::to_string(bytes.size()) + " bytes, hash " + std::to_string(std::hash<std::string>{}(bytes));
    return digest;
}

} // namespace

int ExpectOldOrNewAfterEveryStop(FailingSaveFileSystem& files, const InterruptedSave& run)
{
    const auto content = [&run] { return Digest(run.content()); };
    run.saveOld();
    const SavedContent previous = content();
    EXPECT_FALSE(previous.empty());
    std::vector<std::pair<int, SavedContent>> reopened;
    int commitStep = -1;
    SavedContent saved;
    constexpr int kMostSteps = 400;
    for (int stop = 0; stop < kMostSteps; ++stop) {
        SCOPED_TRACE(stop);
        if (stop > 0) {
            // The next save after a crash leaves nothing of it behind.
            run.saveOld();
            EXPECT_EQ(content(), previous);
            EXPECT_EQ(run.leftovers(), std::vector<std::string>{});
        }
        files.StopAfter(stop);
        bool stopped = false;
        int result = -1;
        try {
            result = run.saveNew();
        } catch (const SimulatedCrash&) {
            stopped = true;
        }
        const std::vector<std::string> steps = files.Steps();
        files.StopAfter(-1);
        if (!stopped) {
            EXPECT_EQ(result, 0);
            saved = content();
            const auto commit = std::find_if(steps.begin(), steps.end(), run.commits);
            EXPECT_NE(commit, steps.end());
            commitStep = static_cast<int>(commit - steps.begin());
            break;
        }
        EXPECT_TRUE(run.reopen()) << "after " << (stop ? steps[stop - 1] : "nothing");
        reopened.emplace_back(stop, content());
        EXPECT_EQ(run.leftovers(), std::vector<std::string>{})
            << "after " << (stop ? steps[stop - 1] : "nothing");
    }
    EXPECT_GE(commitStep, 0) << "the save never ran through";
    EXPECT_NE(saved, previous);
    for (const auto& [stop, content] : reopened) {
        // Before the commit step the previous save, from it on the new one.
        SCOPED_TRACE(stop);
        EXPECT_EQ(content, stop <= commitStep ? previous : saved);
    }
    return static_cast<int>(reopened.size());
}

std::function<bool(const std::string&)> WritesJournalOf(const std::string& path)
{
    return [step = "journal " + SaveJournalPath(path)](const std::string& taken) { return taken == step; };
}

std::vector<std::string> HiddenNamesIn(const std::string& folder)
{
    std::vector<std::string> hidden;
    for (const std::string& name : NamesIn(folder))
        if (!name.empty() && name[0] == '.')
            hidden.push_back(name);
    return hidden;
}
