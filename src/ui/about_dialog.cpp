#include "ui/about_dialog.h"

namespace vardane::ui {

AboutDialog::AboutDialog() { setObjectName("frmAbt"); }

}  // namespace vardane::ui
