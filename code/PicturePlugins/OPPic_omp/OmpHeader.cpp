#include "OmpHeader.h"

namespace
{

const unsigned char g_magic[3] = {'o', 'm', '1'};

int ReadInt16(const unsigned char* bytes, std::size_t count, std::size_t offset)
{
    const unsigned int low = offset < count ? bytes[offset] : 0;
    const unsigned int high = offset + 1 < count ? bytes[offset + 1] : 0;
    const unsigned int value = low | (high << 8);
    return value >= 0x8000 ? static_cast<int>(value) - 0x10000 : static_cast<int>(value);
}

void WriteInt16(int value, unsigned char* bytes)
{
    const unsigned int bits = static_cast<unsigned int>(value) & 0xFFFF;
    bytes[0] = static_cast<unsigned char>(bits & 0xFF);
    bytes[1] = static_cast<unsigned char>(bits >> 8);
}

} // namespace

bool ParseOmpHeader(const unsigned char* bytes, std::size_t count, OmpHeader& header)
{
    if (!bytes || count < sizeof(g_magic))
        return false;
    for (std::size_t i = 0; i < sizeof(g_magic); ++i)
    {
        if (bytes[i] != g_magic[i])
            return false;
    }

    const std::size_t available = count < OmpHeaderSize ? count : OmpHeaderSize;
    const int width = ReadInt16(bytes, available, 3);
    const int height = ReadInt16(bytes, available, 5);
    if (width < 0 || height < 0)
        return false;

    header.width = width;
    header.height = height;
    return true;
}

bool FormatOmpHeader(int width, int height, unsigned char (&bytes)[OmpHeaderSize])
{
    if (width < 0 || width > 0x7FFF || height < 0 || height > 0x7FFF)
        return false;
    for (std::size_t i = 0; i < sizeof(g_magic); ++i)
        bytes[i] = g_magic[i];
    WriteInt16(width, bytes + 3);
    WriteInt16(height, bytes + 5);
    return true;
}
