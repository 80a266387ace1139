#include "ui/ui_services.h"
