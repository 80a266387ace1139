// Stand-ins for what the windows call: the modal services, answered without a
// modal loop, and the main window under an editor dialog.
#pragma once

#include "image/open_image.h"
#include "test_image.h"
#include "ui/dialog_host.h"

#include <QWidget>
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
    // Each file dialog takes the next answer; a cancel once they run out.
    std::deque<ui::ChosenFile> fileAnswers;
    int fileDialogs = 0;
    std::vector<RecordedMessage> messages;
    // Runs while a message box is "open", to look at the windows at that moment.
    std::function<void(const RecordedMessage&)> whileMessageShown;
    // Each question takes the next answer; No once they run out.
    std::deque<bool> answers;
    int questions = 0;

    std::optional<ui::ChosenFile> chooseFile(QWidget* /*parent*/, const QString& /*filter*/) override
    {
        ++fileDialogs;
        std::optional<ui::ChosenFile> answer;
        if (!fileAnswers.empty()) {
            answer = fileAnswers.front();
            fileAnswers.pop_front();
        }
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
    bool askYesNo(QWidget* /*parent*/, const QString& /*title*/, const QString& /*text*/) override
    {
        ++questions;
        const bool yes = !answers.empty() && answers.front();
        if (!answers.empty()) {
            answers.pop_front();
        }
        return yes;
    }
};

// Holds the ImageState of an image opened as Open would, and records what the
// dialog sets.
class FakeHost final : public QWidget, public ui::DialogHost {
    FakeServices& services_;

public:
    FakeHost(FakeServices& services, const TempFile& file)
        : services_(services), image(openImage(file.path(), ",").state)
    {
    }
    ImageState image;
    std::optional<std::uint64_t> onShow = 1;
    bool correctionEnabled = false;
    int writes = 0;

    [[nodiscard]] const ImageState& state() const override { return image; }
    [[nodiscard]] ui::UiServices& services() const override { return services_; }
    [[nodiscard]] std::optional<std::uint64_t> imageOnShow() const override { return onShow; }
    void showField(std::string ImageState::*field, const std::string& value) override
    {
        image.*field = value;
    }
    void enableChecksumCorrection() override { correctionEnabled = true; }
    void imageWritten() override { ++writes; }
    void reloadImage() override {}
    [[nodiscard]] QWidget* hostWindow() override { return this; }
};

}  // namespace vardane::test
