// Feeds arbitrary bytes to the ".omp" header reader as the plugin hands it a
// file's first bytes. Besides what the sanitizers catch, a header that reads
// must give a size the header can hold, and writing that size back must give
// the bytes that were read (missing bytes read as zeros).

#include "OmpHeader.h"

#include <cstddef>
#include <cstdint>
#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    OmpHeader header = {-1, -1};
    if (!ParseOmpHeader(data, size, header))
        return 0;
    if (header.width < 0 || header.width > 0x7FFF || header.height < 0 || header.height > 0x7FFF)
        __builtin_trap();

    unsigned char written[OmpHeaderSize];
    if (!FormatOmpHeader(header.width, header.height, written))
        __builtin_trap();
    unsigned char read[OmpHeaderSize] = {};
    std::memcpy(read, data, size < OmpHeaderSize ? size : OmpHeaderSize);
    if (std::memcmp(read, written, OmpHeaderSize) != 0)
        __builtin_trap();
    return 0;
}
