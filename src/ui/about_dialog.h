// frmAbt, the about box.
#pragma once

#include <QWidget>

namespace vardane::ui {

class AboutDialog : public QWidget {
    Q_OBJECT

public:
    AboutDialog();
};

}  // namespace vardane::ui
