// frmfreqmem and frmfreqCore: one dialog, two clock profiles.
#pragma once

#include "editors/clock.h"
#include "ui/dialog_host.h"
#include "ui/twips.h"

#include <string>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSlider;

namespace vardane::ui {

// One clock dialog: its profile and where its controls stand, in twips.
struct ClockWindow {
    const ClockProfile& profile;
    int clientWidth, clientHeight;
    Twips label2, text2, slider1, label3, label4, text1, label1, command1, check1;
};

extern const ClockWindow kMemoryClockWindow;
extern const ClockWindow kCoreClockWindow;

class ClockDialog : public HostedDialog {
    Q_OBJECT

public:
    // Runs the load step (Form_Load) from the host's clock text.
    ClockDialog(const ClockWindow& window, DialogHost& host);

private:
    void createControls(const ClockWindow& window);
    void Form_Load(const std::string& clockText);
    void Slider1_Scroll(int action);
    void Check1_Click(bool ticked);
    void Command1_Click();

    void showRange(const ClockRange& range);
    void showColour(ClockColour colour);
    void refuse(const QString& text);
    // Text1's clock, fraction kept: the one whose word Apply writes.
    [[nodiscard]] double chosenNumber() const;
    // Why Apply must not write now, or nullptr when it may.
    [[nodiscard]] const char* reasonNotToWrite() const;

    const ClockProfile& profile_;
    ClockColour colour_ = ClockColour::initial;

    QLineEdit* text2_ = nullptr;
    QSlider* slider1_ = nullptr;
    QLabel* label3_ = nullptr;
    QLabel* label4_ = nullptr;
    QLineEdit* text1_ = nullptr;
    QLabel* label1_ = nullptr;
    QPushButton* command1_ = nullptr;
    QCheckBox* check1_ = nullptr;
};

}  // namespace vardane::ui
