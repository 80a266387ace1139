#include "ui/header_dialog.h"
