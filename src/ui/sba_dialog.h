// frmSBA: shows the SideBand Addressing state and toggles it.
#pragma once

#include "ui/dialog_host.h"

class QLabel;
class QPushButton;

namespace vardane::ui {

class SbaDialog : public HostedDialog {
    Q_OBJECT

public:
    // Runs the load step (Form_Load) from the host's sbaState.
    explicit SbaDialog(DialogHost& host);

private:
    void Form_Load(const std::string& sbaState);
    void Command1_Click();

    QLabel* stateWord_ = nullptr;  // Label2
    QPushButton* command1_ = nullptr;
};

}  // namespace vardane::ui
