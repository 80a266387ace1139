// frmfreqmem and frmfreqCore: one dialog, two clocks.
#pragma once

#include "editors/clock.h"
#include "ui/dialog_host.h"
#include "ui/twips.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSlider;

namespace vardane::ui {

// The captions of a range's two ends.
struct RangeCaptions {
    const char* minimum;
    const char* maximum;
};

// One clock dialog as the user sees it: the clock it edits, the main window's
// row it starts from, its words, colours, slider and layout.
struct ClockWindow {
    const ClockProfile& profile;
    const char* name;
    const char* caption;
    FactKey row;                     // the row it starts from
    const char* currentCaption;      // Label2
    const char* unitCaption;         // Label1
    const char* openingSuffix;       // after the state text in Text2 at opening
    const char* appliedText2Suffix;  // after the clock in Text2 after a write
    RangeCaptions normal;
    RangeCaptions ouf;
    int orangeAbove;
    int redAbove;
    bool opensGreen;  // otherwise the toolkit's default colour
    int smallStep, largeStep, tickInterval;
    int clientWidth, clientHeight;
    Twips label2, text2, slider1, label3, label4, text1, label1, command1, check1;
};

extern const ClockWindow kMemoryClockWindow;
extern const ClockWindow kCoreClockWindow;

class ClockDialog : public HostedDialog {
    Q_OBJECT

public:
    // Runs the load step (Form_Load) from the main window's clock row.
    ClockDialog(const ClockWindow& window, DialogHost& host, const KnownFile& file);

private:
    enum class Colour { initial, green, orange, red };

    void createControls();
    void Form_Load(const std::string& clockText);
    void Slider1_Scroll(int action);
    void Check1_Click(bool ticked);
    void Command1_Click();

    void showRange(bool ouf);
    void showColour(Colour colour);
    // Text1's clock, fraction kept: the one whose word Apply writes.
    [[nodiscard]] double chosenNumber() const;

    const ClockWindow& window_;
    // Where the word lies and the word itself, as the user saw them at load:
    // Apply writes only while the file still holds them.
    std::optional<std::int64_t> octclef_;
    std::optional<std::uint16_t> wordSeen_;
    Colour colour_ = Colour::initial;

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
