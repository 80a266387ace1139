// frmSBA: shows the SideBand Addressing state and toggles it.
#pragma once

#include <QPointer>
#include <QWidget>

class QLabel;
class QPushButton;

namespace vardane::ui {

class MainWindow;

class SbaDialog : public QWidget {
    Q_OBJECT

public:
    // Runs the load step (Form_Load) from the main window's sbaState.
    explicit SbaDialog(MainWindow& mainWindow);

private:
    void Form_Load();
    void Command1_Click();

    QPointer<MainWindow> mainWindow_;
    QLabel* stateWord_ = nullptr;  // Label2
    QPushButton* command1_ = nullptr;
};

}  // namespace vardane::ui
