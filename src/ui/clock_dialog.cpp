#include "ui/clock_dialog.h"
