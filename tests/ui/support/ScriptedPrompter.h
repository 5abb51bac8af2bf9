#pragma once

#include "ui/wnd/DialogTemplate.h"
#include "ui/wnd/Prompter.h"

#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

using Texts = std::vector<std::string>;

// Records every message, file dialog and popup menu, and answers dialogs and menus as planned
// (cancel when nothing is planned). Installed for its lifetime.
class ScriptedPrompter : public Prompter {
public:
    struct Message {
        std::string caption;
        std::string text;
    };

    ScriptedPrompter() { Prompter::Replace(this); }
    ~ScriptedPrompter() override { Prompter::Replace(nullptr); }

    void ShowMessage(CWnd*, const std::string& caption, const std::string& text) override {
        messages.push_back({caption, text});
        if (operatorReads) operatorReads();
    }
    std::optional<std::string> ChooseFile(CWnd*, const FileDialogRequest& request) override {
        fileRequests.push_back(request);
        if (plannedFiles.empty()) return std::nullopt;
        std::optional<std::string> answer = plannedFiles.front();
        plannedFiles.pop_front();
        return answer;
    }

    std::optional<int> ChooseMenuItem(CWnd*, std::span<const MenuItem> items, int, int) override {
        std::vector<int> ids;
        for (const MenuItem& item : items) ids.push_back(item.id);
        menus.push_back(ids);
        if (plannedMenuChoices.empty()) return std::nullopt;
        const std::optional<int> answer = plannedMenuChoices.front();
        plannedMenuChoices.pop_front();
        return answer;
    }

    // The texts of the messages shown since the last call.
    Texts TakeTexts() {
        Texts texts;
        for (const Message& message : messages) texts.push_back(message.text);
        messages.clear();
        return texts;
    }

    // Runs while a message is up, before the operator's OK.
    std::function<void()> operatorReads;
    std::vector<Message> messages;
    std::vector<FileDialogRequest> fileRequests;
    std::deque<std::optional<std::string>> plannedFiles;  // as the file system names them
    std::vector<std::vector<int>> menus;                  // the ids each popup menu offered
    std::deque<std::optional<int>> plannedMenuChoices;    // dismissed when nothing is planned
};
