// frmAbt, the about box. As a dialog, Return and Escape close it.
#pragma once

#include <QDialog>

namespace vardane::ui {

class AboutDialog : public QDialog {
    Q_OBJECT

public:
    AboutDialog();
};

}  // namespace vardane::ui
