// Filling "%1".."%9" markers in one pass, so that inserted text is never
// scanned for markers again.
#pragma once

#include "platform/vesk_string.h"

// The result of calling format.arg(args[0]).arg(args[1])... in order, when no
// argument holds a marker itself: the lowest marker number present in
// `format` gets args[0], the next-lowest args[1], and so on; markers left
// over keep their text. Unlike successive arg calls, a marker inside an
// argument stays as it is: a tally text "100%2" is never filled in. The empty
// text when the heap cannot hold the result whole.
vesk_string fillMarkers(const vesk_string& format, const vesk_string* const* args, int argCount);
