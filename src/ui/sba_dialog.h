// frmSBA: shows the SideBand Addressing state and toggles it.
#pragma once

#include "image/open_image.h"
#include "ui/dialog_host.h"

#include <cstdint>
#include <optional>

class QLabel;
class QPushButton;

namespace vardane::ui {

class SbaDialog : public HostedDialog {
    Q_OBJECT

public:
    // Runs the load step (Form_Load) from the SideBand state of the image on show.
    SbaDialog(DialogHost& host, const KnownFile& file);

private:
    void Form_Load();
    void Command1_Click();

    SideBand loaded_;
    std::optional<std::int64_t> sbaOffset_;

    QLabel* stateWord_ = nullptr;  // Label2
    QPushButton* command1_ = nullptr;
};

}  // namespace vardane::ui
