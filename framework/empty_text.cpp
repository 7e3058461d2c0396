// Definition of the shared empty text.
#include "framework/empty_text.h"

const char vesk_emptyText[1] = {'\0'};
