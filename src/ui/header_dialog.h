// frmheader: rewrites the header field of the open image.
#pragma once

#include "editors/header.h"
#include "ui/dialog_host.h"

#include <QString>

class QLineEdit;

namespace vardane::ui {

class HeaderDialog : public HostedDialog {
    Q_OBJECT

public:
    // Runs the load step; when the image has no usable header field it tells
    // the user why and returns nullptr, and no dialog opens.
    [[nodiscard]] static HeaderDialog* load(DialogHost& host, const KnownFile& file);

private:
    HeaderDialog(DialogHost& host, const KnownFile& file, HeaderField field);

    void Command1_Click();

    HeaderField field_;
    // Text1 as loaded; while it is unchanged the loaded bytes are written back
    // as they are, including those the box cannot hold.
    QString loadedText_;
    QLineEdit* text1_ = nullptr;
};

}  // namespace vardane::ui
