// A recording shell for the save dialogs: the layout folders and name rules
// of a fake, card roots of the test's own, scripted answers to questions and
// access tests, and a document made over recording fakes.
#pragma once

#include "App/LayoutFolderServices.h"
#include "Dialogs/MessageAnswers.h"
#include "Dialogs/support/FakeDialogShell.h"

#include <cstdint>
#include <deque>
#include <functional>
#include <string>
#include <utility>
#include <vector>

class FakeSaveShell : public FakeDialogShell
{
public:
    ILayoutFolderServices* FolderServices() override { return services; }
    std::vector<std::string> GetMemoryCardRoots() override
    {
        ++cardRootReads;
        return cardRoots;
    }
    std::string GetDocumentsFolder() override { return documentsFolder; }
    // Each question takes the next answer; none left: No.
    int AskLocalizedMessage(int textId, unsigned type) override
    {
        questions.emplace_back(textId, type);
        if (answers.empty())
            return kAnswerNo;
        const int answer = answers.front();
        answers.pop_front();
        return answer;
    }
    bool CheckTargetAccess(const std::string& path, std::uint32_t mask) override
    {
        accessTests.emplace_back(path, mask);
        if (onAccessTest)
            onAccessTest();
        return accessAllowed;
    }
    void SetWaitCursor(bool on) override { waitCursor.push_back(on); }

    ILayoutFolderServices* services = nullptr;
    std::vector<std::string> cardRoots;
    int cardRootReads = 0;
    std::string documentsFolder;
    std::deque<int> answers;
    std::vector<std::pair<int, unsigned>> questions;
    bool accessAllowed = true;
    // Runs inside the access test (a test throws from it).
    std::function<void()> onAccessTest;
    std::vector<std::pair<std::string, std::uint32_t>> accessTests;
    std::vector<bool> waitCursor;
};
