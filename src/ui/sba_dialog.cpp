#include "ui/sba_dialog.h"
