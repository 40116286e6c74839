#pragma once

#include <string>

// The numbers an HP-GL device answers about itself, in words for the job's text and the server log.

// ESC.O, the extended status: 8 buffer empty, 16 VIEW pressed, 32 paper lever raised.
constexpr long kStatusBufferEmpty = 8;
constexpr long kStatusViewPressed = 16;
constexpr long kStatusLeverUp = 32;

// Drawing is suspended by the operator: the program waits for the device instead of failing the copy.
inline bool deviceIsPaused(long status) { return (status & (kStatusViewPressed | kStatusLeverUp)) != 0; }

// Why a paused device does not draw, in the current language; empty when it is not paused.
std::string pausedText(long status);
// The error an ESC.E answer reports, in the program's own language for a job's result (or the current
// language for marquill-plot, as every result); empty for 0, no error. Every such error means bytes were
// lost or garbled on the way, so it fails the copy.
std::string deviceErrorText(long error);
// The error an OE answer reports about the HP-GL the device received; empty for 0.
std::string hpglErrorText(long error);
