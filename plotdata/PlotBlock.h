#pragma once

#include "geometry/Rect.h"
#include "plotdata/CPlot.h"

#include <cstddef>
#include <cstdint>
#include <memory>

// The plot block: the byte layout in which the import filter hands over a drawing. Little-endian, no
// alignment.
//   plot block: ',' | total size (int32, whole block) | transform (9 floats) | extent (4 floats) |
//               tag (32 bits) | path blocks ... | 0xF0
//   path block: '+' | size (int32, = 32 + 9 * count) | count (int32, PI_END included) | extent (4 floats) |
//               lineType (uint16) | pen (int32) | count items of 9 bytes | 0xF0
inline constexpr std::uint8_t PLOT_BLOCK_MARK = ',';
inline constexpr std::uint8_t PATH_BLOCK_MARK = '+';
inline constexpr std::uint8_t BLOCK_END_MARK = 0xF0;
inline constexpr std::size_t PLOT_BLOCK_HEADER_SIZE = 61;
inline constexpr std::size_t PATH_BLOCK_HEADER_SIZE = 31;

// The size of the block as the block states it at offset 1; 0 when the block does not start with ','.
// Reads the first byte, and the next four only when that byte is ','.
std::size_t plotBlockStatedSize(const std::uint8_t* block);

// Decodes the length bytes at block into a plot. Reads nothing past length, nor past the total size the
// block states. Null when the block does not start with ',', when its header or stated size does not fit
// length, or when it is cut short. A path block that does not decode ends the paths: those before it are
// kept when the block is otherwise whole (its stated size fits and its last byte is the final mark),
// else the result is null.
std::unique_ptr<CPlot> readPlotBlock(const std::uint8_t* block, std::size_t length);

// Decodes the path block at block, at most length bytes. Null when it does not start with '+', when its
// count is below 1, when its size is not 32 + 9 * count or does not fit length, or when its last item is
// not PI_END.
std::unique_ptr<CPlotPath> readPathBlock(const std::uint8_t* block, std::size_t length);
