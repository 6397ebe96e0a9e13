#pragma once

#include <cstdint>

// Unsigned 32-bit values as four little-endian bytes, the byte order of every link wire format.

inline void PutLittleEndian32(char* Out, uint32_t Value)
{
    for (int i = 0; i < 4; ++i)
        Out[i] = static_cast<char>((Value >> (8 * i)) & 0xFF);
}

inline uint32_t GetLittleEndian32(const char* In)
{
    uint32_t value = 0;
    for (int i = 0; i < 4; ++i)
        value |= static_cast<uint32_t>(static_cast<unsigned char>(In[i])) << (8 * i);
    return value;
}
