#include "output/printed_size_dialog.h"
