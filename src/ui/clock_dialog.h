// frmfreqmem and frmfreqCore: one dialog, two clock profiles.
#pragma once

#include "editors/clock.h"

#include <QPointer>
#include <QWidget>
#include <string>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSlider;

namespace vardane::ui {

class MainWindow;
class UiServices;

class ClockDialog : public QWidget {
    Q_OBJECT

public:
    // Runs the load step (Form_Load) from the main window's clock text.
    ClockDialog(const ClockProfile& profile, MainWindow& mainWindow);

private:
    void createControls();
    void placeControls();
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
    QPointer<MainWindow> mainWindow_;
    UiServices& services_;
    ClockColour colour_ = ClockColour::initial;

    QLabel* label2_ = nullptr;
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
