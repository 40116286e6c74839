// A stand-in for the import filter. The "file path" it is given names what it returns:
//   "valid"        a block with one path of three items
//   "no-marker"    a block that does not start with ','
//   "truncated"    the valid block cut inside its path, its total size saying so
//   anything else  null
// It counts its calls and keeps the arguments of the last one for the tests to look at.
#include "BlockBytes.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

void* mallocCopy(const std::string& bytes)
{
    void* block = std::malloc(bytes.size());
    if (block != nullptr)
        std::memcpy(block, bytes.data(), bytes.size());
    return block;
}

} // namespace

extern "C" {

int TestFilterCalls = 0;
float TestFilterLastScale = 0.0f;
std::uint32_t TestFilterLastReserved = 0xFFFFFFFF;

void* NFilterRead(const char* path, float scale, std::uint32_t reserved)
{
    ++TestFilterCalls;
    TestFilterLastScale = scale;
    TestFilterLastReserved = reserved;
    const std::string mode = path;
    if (mode == "valid")
        return mallocCopy(oneLineBlock().bytes());
    if (mode == "no-marker") {
        BlockBytes b = oneLineBlock();
        std::string bytes = b.bytes();
        bytes[0] = '+';
        return mallocCopy(bytes);
    }
    if (mode == "truncated") {
        BlockBytes b = oneLineBlock();
        b.patchI32(1, 100);
        return mallocCopy(b.bytes().substr(0, 100));
    }
    return nullptr;
}

} // extern "C"
