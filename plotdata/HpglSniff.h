#pragma once

#include <cstddef>

// Whether a document starts as an HP-GL plot: after leading white space, control bytes and semicolons,
// either an escape sequence of HP-GL/2 or of the device-control instructions, or a known two-letter
// instruction in capitals that is not the start of a word. Text, PostScript, PDF and images do not pass.
bool looksLikeHpgl(const unsigned char* data, std::size_t size);
