#include "views/panes.h"
