/* Item line interpretation: placeholder until the interpreter lands. */
#include "dialog/dialog_internal.h"
