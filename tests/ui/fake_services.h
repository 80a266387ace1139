// Answers the file dialog and records message boxes, so window tests never
// enter a modal loop.
#pragma once

#include "ui/ui_services.h"

#include <QString>
#include <deque>
#include <functional>
#include <optional>
#include <vector>

namespace vardane::test {

struct RecordedMessage {
    ui::MessageIcon icon;
    QString title;
    QString text;
};

class FakeServices final : public ui::UiServices {
public:
    // Each call of the file dialog takes the next answer; nothing (a cancel)
    // once they run out.
    std::deque<std::optional<ui::ChosenFile>> fileAnswers;
    std::vector<QString> fileFilters;
    std::vector<RecordedMessage> messages;
    // Runs while a message box is "open", to look at the windows at that moment.
    std::function<void(const RecordedMessage&)> whileMessageShown;

    std::optional<ui::ChosenFile> chooseFile(QWidget* /*parent*/, const QString& filter) override
    {
        fileFilters.push_back(filter);
        if (fileAnswers.empty()) {
            return std::nullopt;
        }
        auto answer = fileAnswers.front();
        fileAnswers.pop_front();
        return answer;
    }

    void showMessage(QWidget* /*parent*/, ui::MessageIcon icon, const QString& title,
                     const QString& text) override
    {
        messages.push_back({icon, title, text});
        if (whileMessageShown) {
            whileMessageShown(messages.back());
        }
    }
};

}  // namespace vardane::test
